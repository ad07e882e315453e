#include "foundation/NaturalCompare.h"

#include <cstddef>

namespace orbelin {
namespace {

bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }

int CompareBytes(char a, char b) {
  return static_cast<unsigned char>(a) > static_cast<unsigned char>(b) ? 1 : -1;
}

}  // namespace

int NaturalCompare(std::string_view a, std::string_view b) {
  if (a == b) return 0;
  const size_t na = a.size();
  const size_t nb = b.size();
  size_t i = 0;
  size_t j = 0;
  for (;;) {
    const size_t si = i;
    const size_t sj = j;
    while (i < na && j < nb && a[i] == b[j]) {
      ++i;
      ++j;
    }
    if (i >= na) return j >= nb ? 0 : -1;
    if (j >= nb) return 1;

    // The difference lies in a number when both sides have a digit at or just
    // before it; a non-digit side steps back onto its digit.
    if (!IsAsciiDigit(a[i]) && !IsAsciiDigit(b[j])) return CompareBytes(a[i], b[j]);
    size_t ni = i;
    size_t nj = j;
    bool inNumber = true;
    if (!IsAsciiDigit(a[ni])) {
      if (ni > si && IsAsciiDigit(a[ni - 1])) --ni;
      else inNumber = false;
    }
    if (inNumber && !IsAsciiDigit(b[nj])) {
      if (nj > sj && IsAsciiDigit(b[nj - 1])) --nj;
      else inNumber = false;
    }
    if (!inNumber) return CompareBytes(a[i], b[j]);
    i = ni;
    j = nj;

    // Back to the start of the number on each side, then past its leading zeros.
    while (i > si && IsAsciiDigit(a[i - 1])) --i;
    while (j > sj && IsAsciiDigit(b[j - 1])) --j;
    const size_t zerosFromA = i;
    const size_t zerosFromB = j;
    while (i < na && a[i] == '0') ++i;
    while (j < nb && b[j] == '0') ++j;
    size_t runA = i;
    size_t runB = j;
    while (i < na && IsAsciiDigit(a[i])) ++i;
    while (j < nb && IsAsciiDigit(b[j])) ++j;
    // A number of zeros only is the digit "0", its last zero.
    if (runA == i && runA > zerosFromA) --runA;
    if (runB == j && runB > zerosFromB) --runB;

    const size_t lengthA = i - runA;
    const size_t lengthB = j - runB;
    if (lengthA != lengthB) return static_cast<int>(lengthA) - static_cast<int>(lengthB);
    for (size_t k = 0; k < lengthA; ++k) {
      if (a[runA + k] != b[runB + k]) return a[runA + k] > b[runB + k] ? 1 : -1;
    }
  }
}

}  // namespace orbelin
