#include "platform/ui/ProgramStart.h"

#include <QProcess>
#include <QStringList>

namespace qv::ui {

namespace {

ProgramStarter& Installed() {
  static ProgramStarter starter;
  return starter;
}

}  // namespace

bool StartProgram(const std::string& program, const std::vector<std::string>& args) {
  if (Installed()) return Installed()(program, args);
  if (program.empty()) return false;
  QStringList list;
  for (const std::string& a : args) list << QString::fromStdString(a);
  return QProcess::startDetached(QString::fromStdString(program), list);
}

ScopedProgramStarter::ScopedProgramStarter(ProgramStarter s) : previous_(std::move(Installed())) {
  Installed() = std::move(s);
}

ScopedProgramStarter::~ScopedProgramStarter() { Installed() = std::move(previous_); }

}  // namespace qv::ui
