#include <QApplication>

#include "app/MainWindow.h"
#include "readers/common/CommonFormatReader.h"
#include "readers/common/CommonFormatRegistration.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  // Every reader class, the common pictures included; frames of an animated picture are positions.
  orbelin::SetCommonFormatFrameDimension(orbelin::fdPositions);
  orbelin::RegisterCommonFormatReader();
  orbelin::TMainWindow window;
  window.show();
  return application.exec();
}
