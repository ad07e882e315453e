#pragma once
// The ordered list of a group's regions, bottom (index 0) to top. It only
// lists regions; it never frees them.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace orbelin {

class TRegionOfInterest;

class TRegionOfInterests {
public:
  TRegionOfInterest* Items(int32_t index) const { return items_.at(static_cast<std::size_t>(index)); }
  int32_t Count() const { return static_cast<int32_t>(items_.size()); }
  // First position of the region, -1 when absent.
  int32_t IndexOf(const TRegionOfInterest* region) const;
  void Insert(int32_t index, TRegionOfInterest* region);
  void Delete(int32_t index);
  // Deselects every listed region (each reports that), then empties the list.
  void Clear();

  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

private:
  std::vector<TRegionOfInterest*> items_;
};

}  // namespace orbelin
