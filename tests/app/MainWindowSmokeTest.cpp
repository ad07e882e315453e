#include <QtTest>

#include "app/MainWindow.h"

class MainWindowSmokeTest : public QObject {
  Q_OBJECT
private slots:
  void startsWithItsCaption() {
    orbelin::TMainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.windowTitle(), QStringLiteral("Orbelin v1.0.1.2024-01-24"));
  }
};

QTEST_MAIN(MainWindowSmokeTest)
#include "MainWindowSmokeTest.moc"
