// The text conversions of the Qt prompt and the activation around a modal window (the
// dialogs themselves need a person).
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <memory>
#include <vector>

#include "platform/ui/QtPrompt.h"

namespace {

// The application the windows need, made here unless the test program has one.
std::unique_ptr<QApplication> EnsureApplication() {
  static int argc = 1;
  static char name[] = "platform_tests";
  static char* argv[] = {name, nullptr};
  if (QApplication::instance()) return nullptr;
  return std::make_unique<QApplication>(argc, argv);
}

}  // namespace

TEST(QtPrompt, DialogFiltersAndMessageLines) {
  struct Case {
    const char* filter;
    const char* qt;
  } cases[] = {
      {"Quorvant Pro|*.QVX|Quorvant 2.X|*.QDB", "Quorvant Pro (*.QVX);;Quorvant 2.X (*.QDB)"},
      {"Reports (*.rtf)|*.rtf", "Reports (*.rtf)"},
      {"Documents|*.txm;*.rtf", "Documents (*.txm *.rtf)"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(qv::ui::QtFilterFromDialogFilter(c.filter).toStdString(), c.qt) << c.filter;
  EXPECT_EQ(qv::ui::MessageText("one\r\ntwo\rthree\nfour").toStdString(), "one\ntwo\nthree\nfour");
}

// A window opened modally from a window other than the main one (the start-up costs from the
// details window, the details from the lease comparison): when it closes, the window that
// opened it is the active one again, whatever window the closing made active.
TEST(QtPrompt, AModalWindowGivesTheActivationBackToTheWindowThatOpenedIt) {
  const std::unique_ptr<QApplication> own = EnsureApplication();

  struct Modal : QDialog, qv::ui::ModalWindow {
    explicit Modal(QWidget* parent) : QDialog(parent) {}
    std::string ModalName() const override { return "Modal"; }
    int ExecModal() override { return exec(); }
  };
  auto activate = [](QWidget* w) {
    w->activateWindow();
    QApplication::setActiveWindow(w);
    for (int i = 0; i < 20 && QApplication::activeWindow() != w; ++i) QApplication::processEvents();
  };
  QWidget main;
  main.show();
  QDialog opener(&main);
  opener.show();
  activate(&opener);
  ASSERT_EQ(QApplication::activeWindow(), &opener);

  Modal modal(&main);
  QTimer::singleShot(0, &modal, [&] {
    modal.hide();
    activate(&main);  // as a window manager does for the closing window's parent
    modal.accept();
  });
  qv::ui::QtPrompt prompt;
  EXPECT_EQ(prompt.ShowModal(modal), QDialog::Accepted);
  for (int i = 0; i < 20 && QApplication::activeWindow() != &opener; ++i) QApplication::processEvents();
  EXPECT_EQ(QApplication::activeWindow(), &opener);

  // A window that deletes itself when it closes (the lease/loan/cash details) is gone when
  // its modal run ends; nothing may touch it then.
  activate(&opener);
  QPointer<Modal> selfDeleting = new Modal(&main);
  selfDeleting->setAttribute(Qt::WA_DeleteOnClose);
  QTimer::singleShot(0, selfDeleting.data(), [&] { selfDeleting->close(); });
  prompt.ShowModal(*selfDeleting);
  QApplication::processEvents();
  EXPECT_TRUE(selfDeleting.isNull());
  EXPECT_EQ(QApplication::activeWindow(), &opener);
}

// Two questions in a row from a window other than the main one: the second belongs to the
// same window although, just after the first box closed, no window is active yet; it must
// not be parented to the main window, which the window manager would activate after it.
TEST(QtPrompt, ASecondQuestionBelongsToTheWindowThatAskedTheFirst) {
  const std::unique_ptr<QApplication> own = EnsureApplication();

  QWidget main;
  main.show();
  QDialog asker(&main);
  asker.show();
  asker.activateWindow();
  QApplication::setActiveWindow(&asker);
  for (int i = 0; i < 20 && QApplication::activeWindow() != &asker; ++i) QApplication::processEvents();
  ASSERT_EQ(QApplication::activeWindow(), &asker);

  qv::ui::QtPrompt prompt;
  prompt.SetFallbackParent(&main);
  std::vector<QWidget*> parents;
  auto answer = [&] {
    QTimer::singleShot(0, [&] {
      QWidget* box = QApplication::activeModalWidget();
      ASSERT_NE(box, nullptr);
      parents.push_back(box->parentWidget());
      box->close();
      QApplication::setActiveWindow(nullptr);  // the moment between the two boxes
    });
  };
  answer();
  prompt.MsgBox("Is 9 an Interest Rate?", qv::ui::Buttons::YesNo, qv::ui::Icon::None, {});
  answer();
  prompt.MsgBox("Use this Money Factor?", qv::ui::Buttons::OKCancel, qv::ui::Icon::None, {});
  EXPECT_EQ(parents, (std::vector<QWidget*>{&asker, &asker}));
}

// A name typed into a save dialog without an extension gets the chosen filter's.
TEST(QtPromptSuffix, TheDefaultSuffixIsTheFiltersFirstExtension) {
  EXPECT_EQ(qv::ui::DefaultSuffixOfFilter("Rich Text Format (*.rtf)"), "rtf");
  EXPECT_EQ(qv::ui::DefaultSuffixOfFilter("Hypertext Markup Language(*.htm *.html)"), "htm");
  EXPECT_EQ(qv::ui::DefaultSuffixOfFilter("Text Document (*.txt)"), "txt");
  EXPECT_EQ(qv::ui::DefaultSuffixOfFilter("All files (*)"), "");
}

// A window that stays on top (the customer window) asks while it is shown but not yet active
// (a name not found while it loads): the box belongs to it, so it is drawn above it and
// takes the keyboard; once that window is hidden, boxes belong to the active window again.
TEST(QtPrompt, AQuestionBelongsToAWindowThatStaysOnTop) {
  const std::unique_ptr<QApplication> own = EnsureApplication();

  QWidget main;
  main.show();
  QWidget onTop(&main, Qt::Window | Qt::WindowStaysOnTopHint);
  onTop.show();
  main.activateWindow();
  QApplication::setActiveWindow(&main);
  for (int i = 0; i < 20 && QApplication::activeWindow() != &main; ++i) QApplication::processEvents();
  ASSERT_EQ(QApplication::activeWindow(), &main);

  qv::ui::QtPrompt prompt;
  prompt.SetFallbackParent(&main);
  std::vector<QWidget*> parents;
  std::vector<QWindow*> transientParents;
  auto answer = [&] {
    QTimer::singleShot(0, [&] {
      QWidget* box = QApplication::activeModalWidget();
      ASSERT_NE(box, nullptr);
      parents.push_back(box->parentWidget());
      transientParents.push_back(box->windowHandle()->transientParent());
      box->close();
    });
  };
  answer();
  prompt.MsgBox("Carla Tres not found.", qv::ui::Buttons::OK, qv::ui::Icon::None, {});
  answer();
  prompt.InputBox("Name:", {}, "");
  onTop.hide();
  answer();
  prompt.MsgBox("Saved.", qv::ui::Buttons::OK, qv::ui::Icon::None, {});
  EXPECT_EQ(parents, (std::vector<QWidget*>{&onTop, &onTop, &main}));
  EXPECT_EQ(transientParents,
            (std::vector<QWindow*>{onTop.windowHandle(), onTop.windowHandle(), main.windowHandle()}));
}
