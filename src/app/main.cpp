#include <QApplication>

#include "app/MainWindow.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  orbelin::TMainWindow window;
  window.show();
  return application.exec();
}
