#pragma once
// A main window on the sample deal in a program folder holding copies of the shipped report
// templates, with the report viewer set to nothing (no hand-off) unless a test chooses one,
// and every program start recorded instead of made.
#include <QDialog>

#include <filesystem>
#include <string>
#include <vector>

#include "dialogs/Compare.h"
#include "dialogs/Tables.h"
#include "editor/ReportEditor.h"
#include "editor/frmMDIChild.h"
#include "platform/ui/ProgramStart.h"
#include "reports/FileError.h"
#include "reports/Reports.h"
#include "tests/worksheet/QVFixture.h"

namespace qv::test {

inline const char* const kShippedTemplates[] = {"Lease.rtf",   "Loan.rtf",   "Cash.rtf",    "LVB.rtf",
                                                "RovOzevi.rtf", "Compare.rtf", "Tables.rtf", "pmtcalc.rtf",
                                                "cashreqd.rtf", "StdEquip.RTF"};

// A path as the editor captions it.
inline std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

struct ProgramStartRecord {
  std::string program;
  std::vector<std::string> args;
};

class ReportTest : public SampleDealTest<Reports, FileError, Compare, Tables> {
 protected:
  void SetUp() override {
    SampleDealTest::SetUp();
    for (const char* t : kShippedTemplates)
      std::filesystem::copy_file(std::string(QV_SOURCE_DIR) + "/data/" + t, folder + t);
    qv->BuildCustomReportMenu();
    eng.cfg.ReportViewer = "None";
    qv->ReportDate = Date{2026, 10, 5};
  }

  bool Exists(const std::string& name) const { return std::filesystem::exists(folder + name); }
  // The captions of the custom-report menu after "&Browse...".
  std::vector<std::string> CustomMenu() const {
    std::vector<std::string> out;
    for (size_t i = 1; i < qv->mnuCustomRpt.size(); ++i) out.push_back(qv->mnuCustomRpt[i]->text().toStdString());
    return out;
  }
  editor::frmMDIChild* EditorDocument() { return qv->ReportEditor().ActiveDocument(); }

  std::vector<ProgramStartRecord> starts;
  // What the next starts report; the last entry is repeated.
  std::vector<bool> startResults{true};
  ui::ScopedProgramStarter starter{[this](const std::string& program, const std::vector<std::string>& args) {
    const size_t i = starts.size();
    starts.push_back({program, args});
    return startResults[std::min(i, startResults.size() - 1)];
  }};
};

}  // namespace qv::test
