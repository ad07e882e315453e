#pragma once
// The in-memory log: a ring of the newest lines, never written anywhere. The
// reader framework quotes the newest line when a file fails to open.
#include <cstdint>
#include <string>
#include <vector>

namespace orbelin {

class TLogger {
public:
  struct TLogItem {
    uint8_t Level = 0;
    // Local date and time: days since 30 December 1899, time of day as fraction.
    double Time = 0;
    std::string Text;
  };
  using TLogItems = std::vector<TLogItem>;

  static constexpr int Capacity = 2048;

  TLogger();
  virtual ~TLogger() = default;

  // Once full, each new line overwrites the oldest.
  void Add(const std::string& text, uint8_t level = 0);
  // The i-th held line, oldest first; raises EArgumentOutOfRange outside 0..Count-1.
  const std::string& Get(int i) const;
  // The newest line, or "" when nothing is held.
  std::string Last() const;

  int Count() const { return count_; }
  int Start() const { return start_; }
  const TLogItems& Items() const { return items_; }

private:
  TLogItems items_;
  int count_ = 0;
  int start_ = 0;
};

// Local date and time now, as days since 30 December 1899.
double NowAsDateTime();

// The process-wide logger, created on first use and freed with the auto-release pool.
TLogger& Logger();
// Adds a line with level 0 to the process-wide logger.
void Log(const std::string& text);

}  // namespace orbelin
