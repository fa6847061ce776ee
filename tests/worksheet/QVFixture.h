#pragma once
// A main window on a program folder of its own: a temporary folder holding copies of the
// shipped data files, an engine, a scripted prompt that fails the test on any question it
// was not given an answer for, and a QV whose end of program is only recorded.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include <unistd.h>

#include "engine/Engine.h"
#include "engine/Runtime.h"
#include "platform/files/AtomicFile.h"
#include "platform/ui/ScriptedPrompt.h"
#include "platform/ui/Window.h"
#include "tests/engine/CommonPage.h"
#include "worksheet/QV.h"
#include "worksheet/Update.h"
#include "tests/support/ActiveWindow.h"

namespace qv::test {

inline std::string ReadFile(const std::string& path) {
  std::string s;
  files::ReadWholeFile(path, s, std::uint64_t(1) << 30);
  return s;
}

inline void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary);
  out << content;
}

inline std::string Text(const QLineEdit* e) { return e->text().toStdString(); }
inline std::string Text(const QLabel* l) { return l->text().toStdString(); }

class QVTest : public ::testing::Test {
 protected:
  QVTest() {
    prompt.SetFailureHandler([](const std::string& what) { ADD_FAILURE() << "unexpected question: " << what; });
  }

  void SetUp() override {
    static int serial = 0;
    std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                ("qv-worksheet-" + std::to_string(::getpid()) + "-" + std::to_string(++serial));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    folder = dir.string() + "/";
    for (const char* name : {"Quorvant.Cfg", "Taxset.txt"})
      std::filesystem::copy_file(std::string(QV_SOURCE_DIR) + "/data/" + name, folder + name);
    // Data dated today: no update notice unless a test asks for one.
    WriteFile(folder + "UpDate.Dat", "\"" + FormatDateMDY(Today()) + "\",\"5.0\"\r\n");

    qv = std::make_unique<QV>(eng, windows);
    realEndProgram = qv->EndProgram;
    qv->EndProgram = [this] { ++ended; };
    qv->ProgramFolder = dir.string();
  }

  void TearDown() override {
    windows.Unload<Update>();
    qv.reset();
    files::SetWriteFaultForTesting(nullptr);
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
  }

  // Start-up, with every question it asks answered by the script so far.
  void Load() { qv->Form_Load(); }

  // The sample deal: the deal fields of the common page (sample/SampleDeal.h) on the
  // loaded page: invoice 20000, MSRP 22000, destination 500, no options, margin 1000, factor
  // .0025 over 36 months, residual 12000, no cap reduction, constant yield, 2000 down, loan
  // and investment rates 0, 30 days to the first payment; tax setting "Home".
  void CommonPage() {
    PageRecord& p = eng.page;
    p.CarName = "Sample Sedan";
    SetCommonDealFields(p);
    eng.SavePageFields();
    eng.SavePageItems();
    if (qv->Combo2->count() > 0) qv->Combo2->setItemText(0, QString::fromStdString(p.CarName));
    qv->SetCombo2Text(p.CarName);
    eng.RecalcPage();
  }

  // Types `text` into deal field `box` as the user would: enter, replace, leave.
  void Type(int box, const std::string& text) {
    qv->Text3_GotFocus(box);
    qv->Text3[box]->setText(QString::fromStdString(text));
    qv->Text3_LostFocus(box);
  }

  // Shows the window and makes it active, for tests of real focus moves.
  bool ShowActive() {
    qv->setWindowState(Qt::WindowNoState);
    return MakeActive(qv.get());
  }

  ui::ScriptedPrompt prompt;
  ui::ScopedPrompt scoped{prompt};
  Engine eng;
  WindowSet windows{eng};  // the single instances of the windows, for this test only
  std::unique_ptr<QV> qv;
  std::string folder;  // with a trailing "/"
  int ended = 0;
  std::function<void()> realEndProgram;  // the window's own end of program
};

// A main window started on the sample deal with the worksheet unmodified; the
// single-instance windows named are unloaded after each test. The sample page's inputs are
// kept, so a test can go back to them (Reset).
template <class... Windows>
class SampleDealTest : public QVTest {
 protected:
  void SetUp() override {
    QVTest::SetUp();
    Load();
    CommonPage();
    eng.WorksheetModified = 0;
    sample = eng.SnapshotInputs();
  }
  void TearDown() override {
    (windows.Unload<Windows>(), ...);
    QVTest::TearDown();
  }
  // Back to the sample page, recalculated, the worksheet unmodified.
  void Reset() {
    eng.RestoreInputs(sample);
    eng.RecalcPage();
    eng.WorksheetModified = 0;
  }
  PageInputs sample;
};

}  // namespace qv::test
