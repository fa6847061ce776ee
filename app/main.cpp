// Starts Quorvant.
#include <QApplication>
#include <QMainWindow>

#include "platform/ui/QtPrompt.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Quorvant");
  qv::ui::QtPrompt prompt;
  qv::ui::SetPrompt(&prompt);
  QMainWindow w;
  w.setWindowTitle("Quorvant: UNTITLED.VTS");
  w.showMaximized();
  return app.exec();
}
