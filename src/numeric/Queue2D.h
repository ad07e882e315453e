#pragma once
// TQueue2DObj: a first-in first-out ring buffer of a fixed 524288 points, so
// that a flood fill allocates nothing per pixel. Points keep full 32-bit
// coordinates, so images of any width stay addressable.
#include <cstdint>
#include <memory>

#include "foundation/Exceptions.h"
#include "foundation/Types.h"

namespace orbelin {

class TQueue2DObj {
public:
  static constexpr int32_t kCapacity = 0x80000;

  TQueue2DObj() : items_(std::make_unique_for_overwrite<TPoint[]>(kCapacity)) {}

  void Clear() {
    head_ = 0;
    count_ = 0;
  }
  int32_t Count() const { return count_; }

  void Push(int32_t x, int32_t y) {
    if (count_ == kCapacity) RaiseError<Exception>("Queue is full.");
    items_[(head_ + count_) & (kCapacity - 1)] = {x, y};
    ++count_;
  }

  TPoint Pop() {
    if (count_ == 0) RaiseError<Exception>("Queue is empty.");
    const TPoint p = items_[head_];
    head_ = (head_ + 1) & (kCapacity - 1);
    --count_;
    return p;
  }

private:
  std::unique_ptr<TPoint[]> items_;
  int32_t head_ = 0;
  int32_t count_ = 0;
};

}  // namespace orbelin
