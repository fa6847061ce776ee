// Starts Quorvant: the prompt seam, the application object (engine, windows, main window)
// and the main window's start-up.
#include <QApplication>
#include <QStringList>

#include "app/Application.h"
#include "platform/files/AtomicFile.h"
#include "platform/ui/QtPrompt.h"

int main(int argc, char** argv) {
  // A save over the file-size limit fails and is reported; the worksheet stays open.
  qv::files::IgnoreFileSizeSignal();
  QApplication app(argc, argv);
  QApplication::setApplicationName("Quorvant");
  qv::ui::QtPrompt prompt;
  qv::ui::SetPrompt(&prompt);

  qv::Application quorvant;
  qv::QV& window = *quorvant.main;
  prompt.SetFallbackParent(&window);

  window.ProgramFolder = QCoreApplication::applicationDirPath().toStdString();
  // The whole command-line text names the worksheet to open (a path may hold blanks).
  QStringList args = QCoreApplication::arguments();
  args.removeFirst();
  window.CommandLine = args.join(' ').toStdString();
  window.Form_Load();
  window.show();

  const int rc = QApplication::exec();
  prompt.SetFallbackParent(nullptr);
  return rc;
}
