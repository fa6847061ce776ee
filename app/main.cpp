// Starts Quorvant: the prompt seam, the one engine, the main window and its start-up.
#include <QApplication>
#include <QStringList>

#include "engine/Engine.h"
#include "platform/ui/QtPrompt.h"
#include "worksheet/App.h"
#include "worksheet/QV.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Quorvant");
  qv::ui::QtPrompt prompt;
  qv::ui::SetPrompt(&prompt);

  qv::Engine engine;
  qv::App().engine = &engine;
  auto* window = new qv::QV(engine);
  qv::App().main = window;
  prompt.SetFallbackParent(window);

  window->ProgramFolder = QCoreApplication::applicationDirPath().toStdString();
  // The whole command-line text names the worksheet to open (a path may hold blanks).
  QStringList args = QCoreApplication::arguments();
  args.removeFirst();
  window->CommandLine = args.join(' ').toStdString();
  window->Form_Load();
  window->show();

  const int rc = QApplication::exec();
  qv::App().main = nullptr;
  delete window;
  qv::App().engine = nullptr;
  return rc;
}
