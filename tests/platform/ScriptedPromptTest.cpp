// The scripted prompt that tests use in place of real dialogs.
#include <gtest/gtest.h>

#include "platform/ui/ScriptedPrompt.h"

using namespace qv::ui;

namespace {
class FakeWindow : public ModalWindow {
 public:
  explicit FakeWindow(std::string name) : name_(std::move(name)) {}
  std::string ModalName() const override { return name_; }
  int ExecModal() override {
    ++execs;
    return 77;
  }
  int execs = 0;
  int touched = 0;

 private:
  std::string name_;
};
}  // namespace

TEST(ScriptedPrompt, AnswersInOrderAndRecordsEveryQuestion) {
  ScriptedPrompt p;
  p.SetFailureHandler([](const std::string& what) { ADD_FAILURE() << what; });
  ScopedPrompt scope(p);
  p.Answer(Answer::Yes).Input("42").Input(std::nullopt).File("/tmp/a.QVX").File(std::nullopt).Answer(Answer::Cancel);
  PrintTarget pdf;
  pdf.pdfPath = "/tmp/out.pdf";
  p.Print(pdf).Color(0x00FF00).PageSetup(true);

  Prompt& g = GetPrompt();
  EXPECT_EQ(g.MsgBox("Save Worksheet Before Exiting?", Buttons::YesNoCancel, Icon::Question, "Exit"), Answer::Yes);
  EXPECT_EQ(g.InputBox("Enter the rate", std::nullopt, "5"), "42");
  EXPECT_EQ(g.InputBox("Again", "Rate", ""), std::nullopt);
  FileDialogRequest open;
  open.title = "Open Worksheet";
  open.filter = "Quorvant Pro|*.QVX";
  EXPECT_EQ(g.OpenFile(open), "/tmp/a.QVX");
  FileDialogRequest save;
  save.title = "Save Worksheet";
  EXPECT_EQ(g.SaveFile(save), std::nullopt);
  EXPECT_EQ(g.MsgBox("All Worksheet pages will be erased. Continue?", Buttons::OKCancel, Icon::Exclamation, ""),
            Answer::Cancel);
  auto t = g.PrintDialog({"Payment Tables", 1});
  ASSERT_TRUE(t);
  EXPECT_EQ(t->pdfPath, "/tmp/out.pdf");
  EXPECT_EQ(g.ColorDialog(0), 0x00FF00u);
  EXPECT_TRUE(g.PageSetupDialog());
  EXPECT_TRUE(p.Exhausted());

  const auto& a = p.Asked();
  ASSERT_EQ(a.size(), 9u);
  EXPECT_EQ(a[0].kind, PromptRecord::Kind::MsgBox);
  EXPECT_EQ(a[0].text, "Save Worksheet Before Exiting?");
  EXPECT_EQ(a[0].title, "Exit");
  EXPECT_EQ(a[0].buttons, Buttons::YesNoCancel);
  EXPECT_EQ(a[0].icon, Icon::Question);
  EXPECT_EQ(a[1].kind, PromptRecord::Kind::InputBox);
  EXPECT_EQ(a[1].title, std::nullopt);  // the default title
  EXPECT_EQ(a[2].title, "Rate");
  EXPECT_EQ(a[3].kind, PromptRecord::Kind::OpenFile);
  EXPECT_EQ(a[3].text, "Open Worksheet");
  EXPECT_EQ(a[3].file.filter, "Quorvant Pro|*.QVX");
  EXPECT_EQ(a[4].kind, PromptRecord::Kind::SaveFile);
  EXPECT_EQ(a[5].title, "");  // an empty title is not the default one
  EXPECT_EQ(a[6].text, "Payment Tables");
  EXPECT_EQ(p.MessageTexts(),
            (std::vector<std::string>{"Save Worksheet Before Exiting?", "All Worksheet pages will be erased. Continue?"}));
}

TEST(ScriptedPrompt, UnexpectedQuestionsGoToTheFailureHandlerAndReturnAtOnce) {
  ScriptedPrompt p;
  std::vector<std::string> failures;
  p.SetFailureHandler([&](const std::string& what) { failures.push_back(what); });
  ScopedPrompt scope(p);
  // Nothing scripted: each question answers the safe way without waiting.
  EXPECT_EQ(GetPrompt().MsgBox("Unable to open file.", Buttons::OK, Icon::Critical, std::nullopt), Answer::OK);
  EXPECT_EQ(GetPrompt().MsgBox("Delete?", Buttons::YesNo, Icon::None, std::nullopt), Answer::No);
  EXPECT_EQ(GetPrompt().MsgBox("Delete?", Buttons::OKCancel, Icon::None, std::nullopt), Answer::Cancel);
  EXPECT_EQ(GetPrompt().InputBox("Name?", std::nullopt, ""), std::nullopt);
  ASSERT_EQ(failures.size(), 4u);
  EXPECT_NE(failures[0].find("Unable to open file."), std::string::npos);
  // A scripted answer of another kind is not consumed by the wrong question.
  p.Input("x");
  EXPECT_EQ(GetPrompt().MsgBox("Surprise", Buttons::OKCancel, Icon::None, std::nullopt), Answer::Cancel);
  ASSERT_EQ(failures.size(), 5u);
  EXPECT_NE(failures[4].find("Surprise"), std::string::npos);
  EXPECT_NE(failures[4].find("input box"), std::string::npos);
  EXPECT_EQ(GetPrompt().InputBox("Name?", std::nullopt, ""), "x");
  EXPECT_TRUE(p.Exhausted());
}

TEST(ScriptedPrompt, ModalWindowsAreScripted) {
  ScriptedPrompt p;
  std::vector<std::string> failures;
  p.SetFailureHandler([&](const std::string& what) { failures.push_back(what); });
  ScopedPrompt scope(p);
  FakeWindow force("ForcePmt"), res("ResBase");

  p.Modal([](ModalWindow& w) {
    static_cast<FakeWindow&>(w).touched = 1;
    return 5;
  });
  EXPECT_EQ(GetPrompt().ShowModal(force), 5);
  EXPECT_EQ(force.touched, 1);
  EXPECT_EQ(force.execs, 0);  // the window's own modal loop never ran

  p.OnModal("ResBase", [&](ModalWindow&) {
    // A standing action may show a message box of its own, which the script answers.
    return GetPrompt().MsgBox("inner", Buttons::OK, Icon::None, std::nullopt) == Answer::OK ? 9 : 0;
  });
  p.Answer(Answer::OK);
  EXPECT_EQ(GetPrompt().ShowModal(res), 9);
  EXPECT_EQ(GetPrompt().ShowModal(force), 0);  // nothing for it: a failure, no wait
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_NE(failures[0].find("ForcePmt"), std::string::npos);
  p.SetRunUnscriptedModals(true);
  EXPECT_EQ(GetPrompt().ShowModal(force), 77);
  EXPECT_EQ(force.execs, 1);

  ASSERT_GE(p.Asked().size(), 4u);
  EXPECT_EQ(p.Asked()[0].kind, PromptRecord::Kind::Modal);
  EXPECT_EQ(p.Asked()[0].text, "ForcePmt");
}

TEST(ScriptedPrompt, EventsBusyCursorAndExternalOpen) {
  ScriptedPrompt p;
  p.SetFailureHandler([](const std::string& what) { ADD_FAILURE() << what; });
  ScopedPrompt scope(p);
  int ran = 0;
  p.SetDoEventsAction([&] { ++ran; });
  GetPrompt().DoEvents();
  GetPrompt().DoEvents();
  EXPECT_EQ(p.DoEventsCount(), 2);
  EXPECT_EQ(ran, 2);
  GetPrompt().SetBusy(true);
  EXPECT_TRUE(p.Busy());
  GetPrompt().SetBusy(false);
  EXPECT_FALSE(p.Busy());
  p.SetExternalResult(false);
  EXPECT_FALSE(GetPrompt().OpenExternal("http://localhost/auto/quotes/q1.cfm?src=1"));
  ASSERT_NE(p.Last(), nullptr);
  EXPECT_EQ(p.Last()->kind, PromptRecord::Kind::External);
}

TEST(ScriptedPrompt, ScopedPromptPutsThePreviousOneBack) {
  Prompt* outer = &GetPrompt();
  {
    ScriptedPrompt a;
    ScopedPrompt sa(a);
    EXPECT_EQ(&GetPrompt(), &a);
    {
      ScriptedPrompt b;
      ScopedPrompt sb(b);
      EXPECT_EQ(&GetPrompt(), &b);
    }
    EXPECT_EQ(&GetPrompt(), &a);
  }
  EXPECT_EQ(&GetPrompt(), outer);
}
