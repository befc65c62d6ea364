// The yardstick for start-up: a bare Qt Widgets main window with a menu bar, shown
// maximized, with nothing else to do.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QMainWindow window;
  window.setWindowTitle("Bare");
  for (const char* title : {"&Game", "&Pieces", "&Type", "&View", "&Options", "&Help"}) {
    window.menuBar()->addMenu(title)->addAction("&Item");
  }
  window.showMaximized();
  return QApplication::exec();
}
