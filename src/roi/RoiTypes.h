#pragma once
// Small value types shared by the region classes, their group and the mouse
// editing: colours, pen and brush styles, hit kinds, action bits and the
// mouse state that accompanies a press or a move.
#include <Qt>
#include <cstdint>

namespace orbelin {

// 0x00BBGGRR, or a system colour (0xFF0000nn, the index of a palette role).
using TColor = uint32_t;
// "No colour of its own for this role".
inline constexpr TColor kNoColor = 0x1FFFFFFF;
inline constexpr TColor kRoiRed = 0x0000FF;
inline constexpr TColor kRoiBlack = 0x000000;
inline constexpr TColor kRoiGrey = 0x808080;
inline constexpr TColor kRoiSilver = 0xC0C0C0;

enum TPenStyle : uint8_t {
  psSolid = 0,
  psDash = 1,
  psDot = 2,
  psDashDot = 3,
  psDashDotDot = 4,
  psClear = 5,
  psInsideFrame = 6,
};

enum TBrushStyle : uint8_t {
  bsSolid = 0,
  bsClear = 1,
  bsHorizontal = 2,
  bsVertical = 3,
  bsFDiagonal = 4,
  bsBDiagonal = 5,
  bsCross = 6,
  bsDiagCross = 7,
};

// What part of a region a position touches. 2-5 (corner handles) and 7-10
// (side handles) are reserved for rectangular shapes and never produced here.
using THitKind = uint8_t;
inline constexpr THitKind kHitNone = 0;
inline constexpr THitKind kHitVertex = 1;
inline constexpr THitKind kHitEdge = 6;
inline constexpr THitKind kHitInside = 11;

inline constexpr bool IsVertexHit(THitKind kind) { return kind >= 1 && kind <= 5; }
inline constexpr bool IsEdgeHit(THitKind kind) { return kind >= 6 && kind <= 10; }

// What an event may do to a region.
using TRoiActions = uint8_t;
inline constexpr TRoiActions kActSelect = 0x01;
inline constexpr TRoiActions kActDrag = 0x02;
inline constexpr TRoiActions kActDeletePoint = 0x10;
inline constexpr TRoiActions kActInsertPoint = 0x20;
inline constexpr TRoiActions kActNoShiftToggle = 0x40;
inline constexpr TRoiActions kActDefault = 0x7F;
// The default for regions whose number of points is fixed: no insert, no delete.
inline constexpr TRoiActions kActDefaultFixed = 0x4F;

// Keys, held buttons and the double-click flag of a mouse event.
struct TShiftState {
  Qt::KeyboardModifiers modifiers = Qt::NoModifier;
  Qt::MouseButtons buttons = Qt::NoButton;
  bool doubleClick = false;
};

// The modifier keys that select an editing action: Shift, Alt and Ctrl.
inline Qt::KeyboardModifiers EditingModifiers(const TShiftState& shift) {
  return shift.modifiers & (Qt::ShiftModifier | Qt::AltModifier | Qt::ControlModifier);
}

}  // namespace orbelin
