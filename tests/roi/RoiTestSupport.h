#pragma once
// Small builders and recorders shared by the region tests.
#include <vector>

#include "roi/RoiGroup.h"
#include "roi/RoiPolyline.h"
#include "roi/RoiView.h"

namespace orbelin::test {

inline TRoiPolyline* MakePolyline(TRoiGroup* group, const TPoints& points) {
  auto* polyline = new TRoiPolyline(group);
  polyline->SetPoints(points);
  return polyline;
}

// Every repaint request of a group.
struct TInvalidateLog {
  std::vector<TRect> rects;
  void Attach(TRoiGroup& group) {
    group.OnInvalidate = [this](TRoiGroup&, const TRect& rect) { rects.push_back(rect); };
  }
};

// A view that remembers what the group asked of it.
struct TRecordingView : IRoiView {
  std::vector<Qt::CursorShape> cursors;
  int captures = 0;
  int releases = 0;
  void SetCursor(Qt::CursorShape shape) override { cursors.push_back(shape); }
  void CaptureMouse() override { ++captures; }
  void ReleaseMouse() override { ++releases; }
};

inline bool Contains(const TRect& outer, const TRect& inner) {
  return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
         outer.bottom >= inner.bottom;
}

}  // namespace orbelin::test
