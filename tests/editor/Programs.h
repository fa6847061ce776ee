// Runs an outside program of the tests (pdftotext, pdfinfo, soffice) and returns what it
// printed; empty when it did not finish in time.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include <string>

namespace qv::editor::test {

inline std::string RunProgram(const QString& program, const QStringList& args, int timeoutMs = 60000) {
  QProcess p;
  p.start(program, args);
  if (!p.waitForFinished(timeoutMs)) return {};
  return p.readAllStandardOutput().toStdString();
}

}  // namespace qv::editor::test
