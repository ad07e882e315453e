#pragma once
// What a region group needs from the view whose mouse events it edits: the
// cursor and the mouse capture. The main window and the crop window implement
// it on their widgets; tests implement it with a recorder.
#include <Qt>

namespace orbelin {

class IRoiView {
public:
  virtual ~IRoiView() = default;
  virtual void SetCursor(Qt::CursorShape shape) = 0;
  virtual void CaptureMouse() = 0;
  virtual void ReleaseMouse() = 0;
};

}  // namespace orbelin
