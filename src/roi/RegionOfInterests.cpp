#include "roi/RegionOfInterests.h"

#include <algorithm>

#include "roi/RegionOfInterest.h"

namespace orbelin {

int32_t TRegionOfInterests::IndexOf(const TRegionOfInterest* region) const {
  const auto found = std::find(items_.begin(), items_.end(), region);
  return found == items_.end() ? -1 : static_cast<int32_t>(found - items_.begin());
}

void TRegionOfInterests::Insert(int32_t index, TRegionOfInterest* region) {
  items_.insert(items_.begin() + index, region);
}

void TRegionOfInterests::Delete(int32_t index) { items_.erase(items_.begin() + index); }

void TRegionOfInterests::Clear() {
  for (TRegionOfInterest* region : items_) region->SetSelected(false);
  items_.clear();
}

}  // namespace orbelin
