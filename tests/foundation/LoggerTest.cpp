#include <gtest/gtest.h>

#include <cstdlib>
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

TEST(Logger, StampsLocalDateTimeCountedFrom1899) {
  // A zone ten hours east of UTC, written as a POSIX TZ rule (no zone files needed).
  const char* saved = std::getenv("TZ");
  const std::string restore = saved != nullptr ? saved : "";
  setenv("TZ", "EAST-10", 1);
  tzset();
  TLogger logger;
  logger.Add("x", 3);
  const double utcDays = static_cast<double>(std::time(nullptr)) / 86400.0 + 25569.0;
  if (saved != nullptr) setenv("TZ", restore.c_str(), 1);
  else unsetenv("TZ");
  tzset();

  const TLogger::TLogItem& item = logger.Items()[0];
  EXPECT_EQ(item.Level, 3);
  EXPECT_NEAR(item.Time - utcDays, 10.0 / 24.0, 2.0 / 86400.0);
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
