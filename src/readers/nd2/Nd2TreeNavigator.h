#pragma once
// The cursor over an ND2 metadata chunk. ND2 trees wrap list content in one
// unnamed element; EnterChild, EnterChildAt and GoToRoot step into such a
// wrapper and Leave steps back out of it, while the list operations here move
// exactly one level.
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "readers/framework/TreeNavigator.h"

namespace orbelin {

// Receives the warnings a reader shows to the user; reading goes on after them.
using TReportSink = std::function<void(const std::string&)>;

class TND2TreeNavigator : public TTreeNavigator {
public:
  explicit TND2TreeNavigator(TReportSink report = {}) : report_(std::move(report)) {}

  // Makes the first (last) child of that name current, without the wrapper rule.
  virtual void EnterList(const std::string& name) = 0;
  virtual void EnterLastList(const std::string& name) = 0;
  virtual void EnterUnnamed() = 0;
  virtual void EnterLastUnnamed() = 0;
  // Makes the parent current, one level, no wrapper rule.
  virtual void LeaveList() = 0;
  // Validity flag per item of a loop: true unless "pItemValid" says otherwise.
  virtual std::vector<bool> ReadItemValid(int count) = 0;

protected:
  void Report(const std::string& text) const {
    if (report_) report_(text);
  }

private:
  TReportSink report_;
};

}  // namespace orbelin
