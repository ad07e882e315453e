#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "foundation/AutoReleasePool.h"

namespace orbelin {
namespace {

struct Tracked {
  Tracked(std::vector<std::string>& freed, std::string name) : freed(freed), name(std::move(name)) {}
  virtual ~Tracked() noexcept(false) { freed.push_back(name); }
  std::vector<std::string>& freed;
  std::string name;
};

struct FailsWhenFreed : Tracked {
  using Tracked::Tracked;
  ~FailsWhenFreed() noexcept(false) override { throw std::runtime_error("cannot free"); }
};

TEST(AutoReleasePool, FreesNewestFirstOncePerObject) {
  std::vector<std::string> freed;
  {
    TAutoReleasePool pool;
    auto* first = pool.Add(new Tracked(freed, "first"));
    pool.Add(new Tracked(freed, "second"));
    pool.Add(first);
    pool.Add(static_cast<Tracked*>(nullptr));
    pool.Add(new Tracked(freed, "third"));
    EXPECT_EQ(pool.Count(), 3);
    EXPECT_TRUE(pool.Holds(first));
  }
  EXPECT_EQ(freed, (std::vector<std::string>{"third", "second", "first"}));
}

TEST(AutoReleasePool, AFailingObjectDoesNotStopTheOthers) {
  std::vector<std::string> freed;
  TAutoReleasePool pool;
  pool.Add(new Tracked(freed, "first"));
  pool.Add(new FailsWhenFreed(freed, "faulty"));
  pool.Add(new Tracked(freed, "last"));
  pool.FreeAll();
  EXPECT_EQ(freed, (std::vector<std::string>{"last", "faulty", "first"}));
  EXPECT_EQ(pool.Count(), 0);
}

TEST(AutoReleasePool, AddIsSafeFromSeveralThreads) {
  std::vector<std::string> freed;
  TAutoReleasePool pool;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&pool] {
      for (int i = 0; i < 200; ++i) pool.Add(new int(i));
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(pool.Count(), 800);
  EXPECT_EQ(&AutoReleasePool(), &AutoReleasePool());
}

}  // namespace
}  // namespace orbelin
