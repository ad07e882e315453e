#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "foundation/Exceptions.h"
#include "foundation/Logger.h"

namespace orbelin {
namespace {

TEST(Logger, KeepsTheNewest2048LinesOldestFirst) {
  TLogger logger;
  EXPECT_EQ(logger.Last(), "");
  for (int line = 1; line <= 2050; ++line) logger.Add("line " + std::to_string(line));
  EXPECT_EQ(logger.Count(), 2048);
  EXPECT_EQ(logger.Start(), 2);
  EXPECT_EQ(logger.Get(0), "line 3");
  EXPECT_EQ(logger.Get(2047), "line 2050");
  EXPECT_EQ(logger.Last(), "line 2050");
}

TEST(Logger, GetOutsideTheHeldLinesRaises) {
  TLogger logger;
  logger.Add("one");
  logger.Add("two");
  for (const auto& [index, message] : {std::pair{2, "Index (2) out of range (0 - 1)."},
                                       std::pair{-1, "Index (-1) out of range (0 - 1)."}}) {
    try {
      logger.Get(index);
      ADD_FAILURE() << "no exception for " << index;
    } catch (const EArgumentOutOfRange& error) {
      EXPECT_EQ(error.Message(), message);
    }
  }
  EXPECT_THROW(TLogger().Get(0), EArgumentOutOfRange);
}

TEST(Logger, StampsLocalDateTime) {
  TLogger logger;
  logger.Add("x", 3);
  const TLogger::TLogItem& item = logger.Items()[0];
  EXPECT_EQ(item.Level, 3);
  // The whole days must be today's local date counted from 1899-12-30.
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  std::tm epoch{};
  epoch.tm_year = -1;  // 1899
  epoch.tm_mon = 11;
  epoch.tm_mday = 30;
  epoch.tm_hour = 12;
  std::tm today = local;
  today.tm_hour = 12;
  today.tm_min = today.tm_sec = 0;
  today.tm_isdst = epoch.tm_isdst = -1;
  const double days = std::difftime(timegm(&today), timegm(&epoch)) / 86400.0;
  EXPECT_NEAR(static_cast<double>(static_cast<long>(item.Time)), days, 1.0);
  EXPECT_GT(item.Time, 45000.0);  // after 2023
}

TEST(Logger, ProcessWideLogAddsLevelZeroLines) {
  Log("opened");
  Log("failed to open");
  EXPECT_EQ(Logger().Last(), "failed to open");
  EXPECT_EQ(Logger().Items()[static_cast<size_t>((Logger().Start() + Logger().Count() - 1) %
                                                 TLogger::Capacity)]
                .Level,
            0);
  EXPECT_EQ(&Logger(), &Logger());
}

}  // namespace
}  // namespace orbelin
