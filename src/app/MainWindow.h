#pragma once
#include <QMainWindow>

namespace orbelin {

// The main window: for now only its frame and caption.
class TMainWindow : public QMainWindow {
public:
  explicit TMainWindow(QWidget* parent = nullptr);
};

// The caption every window of the program derives its title from.
QString ProgramCaption();

}  // namespace orbelin
