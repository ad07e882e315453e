#include "roi/RoiActionManager.h"

#include <typeinfo>

#include "roi/RegionOfInterest.h"

namespace orbelin {

void tROIActionManager::InitDefaults() {}

TRoiActions tROIActionManager::GetActions(Qt::KeyboardModifiers modifiers, Qt::MouseButton button,
                                          const TRegionOfInterest& region, THitKind hit,
                                          bool doubleClick) const {
  const Qt::KeyboardModifiers keys =
      modifiers & (Qt::ShiftModifier | Qt::AltModifier | Qt::ControlModifier);
  auto find = [&](bool byClass, uint8_t state, TRoiActions& actions) {
    for (const tROIActionRecord& rule : Rules) {
      const bool target = byClass ? (rule.Region == nullptr && rule.RegionClass != nullptr &&
                                     *rule.RegionClass == typeid(region))
                                  : rule.Region == &region;
      if (target && rule.RegionState == state && rule.Modifiers == keys && rule.Button == button &&
          rule.DoubleClick == doubleClick && rule.HitKind == hit) {
        actions = rule.Actions;
        return true;
      }
    }
    return false;
  };
  TRoiActions actions = 0;
  for (const bool byClass : {false, true}) {
    if (!region.Visible) {
      if (find(byClass, tROIActionRecord::rsInvisible, actions)) return actions;
      continue;
    }
    const uint8_t state = region.Enabled() ? tROIActionRecord::rsEnabled : tROIActionRecord::rsDisabled;
    if (find(byClass, state, actions) || find(byClass, tROIActionRecord::rsAnyVisible, actions))
      return actions;
  }
  return region.FixedPointCount() ? kActDefaultFixed : kActDefault;
}

}  // namespace orbelin
