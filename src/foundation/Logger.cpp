#include "foundation/Logger.h"

#include <chrono>
#include <ctime>

#include "foundation/AutoReleasePool.h"
#include "foundation/Exceptions.h"

namespace orbelin {

TLogger::TLogger() : items_(Capacity) {}

void TLogger::Add(const std::string& text, uint8_t level) {
  int index = start_ + count_;
  if (index >= Capacity) index -= Capacity;
  if (count_ < Capacity) {
    ++count_;
  } else {
    start_ = start_ + 1 == Capacity ? 0 : start_ + 1;
  }
  TLogItem& item = items_[static_cast<size_t>(index)];
  item.Level = level;
  item.Time = NowAsDateTime();
  item.Text = text;
}

const std::string& TLogger::Get(int i) const {
  if (i < 0 || i >= count_) {
    RaiseErrorFmt<EArgumentOutOfRange>("Index (%d) out of range (%d - %d).", i, 0, count_ - 1);
  }
  return items_[static_cast<size_t>((start_ + i) % Capacity)].Text;
}

std::string TLogger::Last() const { return count_ == 0 ? std::string() : Get(count_ - 1); }

double NowAsDateTime() {
  using namespace std::chrono;
  constexpr double kUnixEpochAsDateTime = 25569.0;  // 1970-01-01 counted from 1899-12-30
  const auto now = system_clock::now();
  const std::time_t seconds = system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&seconds, &local);
  const double unixMs = static_cast<double>(duration_cast<milliseconds>(now.time_since_epoch()).count());
  const double localSeconds = unixMs / 1000.0 + static_cast<double>(local.tm_gmtoff);
  return kUnixEpochAsDateTime + localSeconds / 86400.0;
}

TLogger& Logger() {
  static TLogger* const logger = AutoReleasePool().Add(new TLogger);
  return *logger;
}

void Log(const std::string& text) { Logger().Add(text, 0); }

}  // namespace orbelin
