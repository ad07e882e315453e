// Every vector path must give exactly the results of the plain loop.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <random>
#include <string>

#include "numeric/ArrayOps.h"
#include "numeric/ForcedLevel.h"

namespace orbelin {
namespace {

using test::ForceableLevels;
using test::ForcedLevel;

// One set of operands; the kinds of data make equal elements, zeros, repeated
// values and wide 32-bit ranges all likely.
struct Operands {
  std::string kind;
  TWordDynArray a, b;
  std::vector<uint32_t> cardinals;
  TIntegers ints;
  TByteDynArray bytes;
  uint16_t word = 0;
  uint32_t cardinal = 0;
};

enum class Kind { Random, SmallValues, OneDifferent, AllEqual };

Operands MakeOperands(size_t n, Kind kind, std::mt19937& random) {
  Operands o;
  std::uniform_int_distribution<uint32_t> any;
  const auto word = [&] { return static_cast<uint16_t>(any(random)); };
  o.a.resize(n);
  o.b.resize(n);
  o.cardinals.resize(n);
  o.ints.resize(n);
  o.bytes.resize(n);
  o.word = word();
  o.cardinal = any(random);
  for (size_t i = 0; i < n; ++i) {
    const uint32_t value = any(random);
    switch (kind) {
      case Kind::Random:
        o.a[i] = word();
        o.b[i] = word();
        o.cardinals[i] = value;
        break;
      case Kind::SmallValues:
        o.a[i] = static_cast<uint16_t>(value % 4);
        o.b[i] = static_cast<uint16_t>(value / 4 % 4);
        o.cardinals[i] = value % 200;
        o.word = 1;
        o.cardinal = 2;
        break;
      case Kind::OneDifferent:
      case Kind::AllEqual:
        o.a[i] = o.b[i] = o.word;
        o.cardinals[i] = o.cardinal;
        break;
    }
    o.ints[i] = static_cast<int32_t>(o.cardinals[i]);
    o.bytes[i] = static_cast<uint8_t>(o.a[i]);
  }
  if (kind == Kind::OneDifferent && n > 0) {
    const size_t at = any(random) % n;
    o.b[at] = static_cast<uint16_t>(o.word + 1);
    o.cardinals[at] = o.cardinal + 1;
    o.ints[at] = static_cast<int32_t>(o.cardinals[at]);
  }
  o.kind = std::to_string(n) + (kind == Kind::Random         ? " random"
                                : kind == Kind::SmallValues ? " small values"
                                : kind == Kind::OneDifferent ? " one different"
                                                             : " all equal");
  return o;
}

// What an operation produced, as numbers to compare.
using Outcome = std::vector<uint64_t>;

template <class T>
Outcome Elements(const std::vector<T>& values) {
  Outcome out;
  for (T v : values) out.push_back(static_cast<uint64_t>(v));
  return out;
}

Outcome Narrowed(const Operands& o, int mode, bool inPlace) {
  std::vector<uint32_t> buffer = o.cardinals;
  TWordDynArray dest(buffer.size());
  if (inPlace) {
    NarrowTo16(buffer.data(), reinterpret_cast<uint16_t*>(buffer.data()), buffer.size(), mode);
    if (!dest.empty()) std::memcpy(dest.data(), buffer.data(), dest.size() * sizeof(uint16_t));
  } else {
    NarrowTo16(buffer.data(), dest.data(), buffer.size(), mode);
  }
  return Elements(dest);
}

Outcome Widened(const Operands& o, bool inPlace) {
  TWordDynArray dest(o.bytes.size());
  if (inPlace) {
    if (!dest.empty()) std::memcpy(dest.data(), o.bytes.data(), o.bytes.size());
    WidenBytes(reinterpret_cast<const uint8_t*>(dest.data()), dest.data(), dest.size());
  } else {
    WidenBytes(o.bytes.data(), dest.data(), dest.size());
  }
  return Elements(dest);
}

struct Operation {
  const char* name;
  std::function<Outcome(const Operands&)> run;
};

const std::vector<Operation>& Operations() {
  static const std::vector<Operation> operations = {
      {"FillWords", [](const Operands& o) { auto a = o.a; FillWords(a, o.word); return Elements(a); }},
      {"FillBytes", [](const Operands& o) { auto a = o.bytes; FillBytes(a, 0x5A); return Elements(a); }},
      {"FillInts", [](const Operands& o) { auto a = o.ints; FillInts(a, -3); return Elements(a); }},
      {"FillBlock", [](const Operands& o) {
         auto a = o.a;
         FillBlock(a.data(), 3, a.size() / 3 > 0 ? a.size() / 3 - 1 : 0, o.word, 1);
         return Elements(a);
       }},
      {"MinInPlace", [](const Operands& o) { auto a = o.a; MinInPlace(a, o.b); return Elements(a); }},
      {"MaxInPlace", [](const Operands& o) { auto a = o.a; MaxInPlace(a, o.b); return Elements(a); }},
      {"Normalize", [](const Operands& o) { auto a = o.a; Normalize(a); return Elements(a); }},
      {"BoolOf", [](const Operands& o) { TWordDynArray d; BoolOf(d, o.a); return Elements(d); }},
      {"ThresholdAbove", [](const Operands& o) {
         TWordDynArray d;
         ThresholdAbove(d, o.a, o.word);
         return Elements(d);
       }},
      {"SubtractSat", [](const Operands& o) { auto a = o.a; SubtractSat(a, o.b); return Elements(a); }},
      {"SubtractFromSat", [](const Operands& o) { auto a = o.a; SubtractFromSat(a, o.b); return Elements(a); }},
      {"Equal", [](const Operands& o) { return Outcome{Equal(o.a, o.b), Equal(o.a, o.a)}; }},
      {"CountEqual", [](const Operands& o) {
         return Outcome{static_cast<uint64_t>(CountEqual(o.a, o.word)), static_cast<uint64_t>(CountEqual(o.b, 0))};
       }},
      {"MaxWord", [](const Operands& o) { return Outcome{MaxWord(o.a)}; }},
      {"MaxInt", [](const Operands& o) { return Outcome{static_cast<uint64_t>(MaxInt(o.ints))}; }},
      {"Sum", [](const Operands& o) {
         return Outcome{Sum(o.cardinals.data(), static_cast<int64_t>(o.cardinals.size()))};
       }},
      {"WeightedSum", [](const Operands& o) {
         const auto n = static_cast<int64_t>(o.cardinals.size());
         const uint64_t edge = (uint64_t{1} << 32) - o.cardinals.size();  // largest weight 2^32 − 1
         return Outcome{WeightedSum(o.cardinals.data(), n, 0), WeightedSum(o.cardinals.data(), n, 12345),
                        WeightedSum(o.cardinals.data(), n, edge), WeightedSum(o.cardinals.data(), n, edge + 1)};
       }},
      {"FirstNotEqual", [](const Operands& o) {
         const auto n = static_cast<int64_t>(o.cardinals.size());
         return Outcome{static_cast<uint64_t>(FirstNotEqual(o.cardinals.data(), n, o.cardinal)),
                        static_cast<uint64_t>(FirstNotEqual(o.cardinals.data(), n, 0))};
       }},
      {"LastNotEqual", [](const Operands& o) {
         const auto n = static_cast<int64_t>(o.cardinals.size());
         return Outcome{static_cast<uint64_t>(LastNotEqual(o.cardinals.data(), n, o.cardinal)),
                        static_cast<uint64_t>(LastNotEqual(o.cardinals.data(), n, 0))};
       }},
      {"WidenBytes", [](const Operands& o) { return Widened(o, false); }},
      {"WidenBytes in place", [](const Operands& o) { return Widened(o, true); }},
      {"NarrowTo16 mode 1", [](const Operands& o) { return Narrowed(o, 1, false); }},
      {"NarrowTo16 mode 2", [](const Operands& o) { return Narrowed(o, 2, false); }},
      {"NarrowTo16 mode 3", [](const Operands& o) { return Narrowed(o, 3, false); }},
      {"NarrowTo16 mode 4", [](const Operands& o) { return Narrowed(o, 4, false); }},
      {"NarrowTo16 mode 4 in place", [](const Operands& o) { return Narrowed(o, 4, true); }},
      {"NarrowTo16 mode 1 in place", [](const Operands& o) { return Narrowed(o, 1, true); }},
  };
  return operations;
}

std::vector<Operands> AllOperands() {
  std::mt19937 random(20261211);
  std::vector<Operands> all;
  std::vector<size_t> lengths;
  for (size_t n = 0; n <= 70; ++n) lengths.push_back(n);
  for (size_t n : {1000u, 4099u, 65536u + 17u}) lengths.push_back(n);
  for (size_t n : lengths)
    for (Kind kind : {Kind::Random, Kind::SmallValues, Kind::OneDifferent, Kind::AllEqual})
      all.push_back(MakeOperands(n, kind, random));
  return all;
}

TEST(ArrayPaths, EveryVectorPathEqualsThePlainLoop) {
  const std::vector<Operands> all = AllOperands();
  const std::vector<int> levels = ForceableLevels();
  for (const Operation& operation : Operations()) {
    for (const Operands& operands : all) {
      Outcome reference;
      {
        ForcedLevel plain(3);
        reference = operation.run(operands);
      }
      for (int level : levels) {
        if (level == 3) continue;
        ForcedLevel forced(level);
        const Outcome outcome = operation.run(operands);
        if (outcome != reference) {
          ADD_FAILURE() << operation.name << " differs at level " << level << " on " << operands.kind;
          break;
        }
      }
    }
  }
}

// The vector counts keep 16-bit lane counters; more than 65535 rounds must not wrap.
TEST(ArrayPaths, CountEqualOverManyVectors) {
  const TWordDynArray same(65535u * 16u + 40u, 77);
  for (int level : ForceableLevels()) {
    ForcedLevel forced(level);
    EXPECT_EQ(CountEqual(same, 77), static_cast<int64_t>(same.size())) << level;
  }
}

}  // namespace
}  // namespace orbelin
