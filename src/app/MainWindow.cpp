#include "app/MainWindow.h"

namespace orbelin {

QString ProgramCaption() { return QStringLiteral("Orbelin v1.0.1.2024-01-24"); }

TMainWindow::TMainWindow(QWidget* parent) : QMainWindow(parent) {
  setWindowTitle(ProgramCaption());
  resize(1024, 768);
}

}  // namespace orbelin
