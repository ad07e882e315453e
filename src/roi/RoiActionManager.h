#pragma once
// Which edits a mouse event may make to a region: rules matched by region
// (or region class), state, modifiers, button, double click and hit kind,
// with a default when no rule matches.
#include <Qt>
#include <cstdint>
#include <typeinfo>
#include <vector>

#include "roi/RoiTypes.h"

namespace orbelin {

class TRegionOfInterest;

struct tROIActionRecord {
  // Region states a rule applies to.
  enum : uint8_t { rsAnyVisible = 0, rsEnabled = 1, rsDisabled = 2, rsInvisible = 3 };

  Qt::KeyboardModifiers Modifiers = Qt::NoModifier;  // Shift, Alt and Ctrl only
  Qt::MouseButton Button = Qt::LeftButton;
  bool DoubleClick = false;
  uint8_t RegionState = rsAnyVisible;
  THitKind HitKind = kHitNone;
  TRoiActions Actions = 0;
  // The target: one region, or else every region of exactly this class.
  const TRegionOfInterest* Region = nullptr;
  const std::type_info* RegionClass = nullptr;
};
using tROIActionRecords = std::vector<tROIActionRecord>;

class tROIActionManager {
public:
  tROIActionManager() = default;
  virtual ~tROIActionManager() = default;

  // Fills Rules; adds nothing here. A subclass calls it from its own constructor.
  virtual void InitDefaults();

  // The actions of the first matching rule, else 0x7F (0x4F for a region with
  // a fixed number of points).
  TRoiActions GetActions(Qt::KeyboardModifiers modifiers, Qt::MouseButton button,
                         const TRegionOfInterest& region, THitKind hit, bool doubleClick) const;

  tROIActionRecords Rules;
};

}  // namespace orbelin
