#include "platform/ui/Prompt.h"

#include <cstdio>

namespace qv::ui {

std::string ToString(Buttons b) {
  switch (b) {
    case Buttons::OK: return "OK";
    case Buttons::OKCancel: return "OK/Cancel";
    case Buttons::AbortRetryIgnore: return "Abort/Retry/Ignore";
    case Buttons::YesNoCancel: return "Yes/No/Cancel";
    case Buttons::YesNo: return "Yes/No";
    case Buttons::RetryCancel: return "Retry/Cancel";
  }
  return "?";
}

std::string ToString(Icon i) {
  switch (i) {
    case Icon::None: return "none";
    case Icon::Critical: return "critical";
    case Icon::Question: return "question";
    case Icon::Exclamation: return "exclamation";
    case Icon::Information: return "information";
  }
  return "?";
}

std::string ToString(Answer a) {
  switch (a) {
    case Answer::OK: return "OK";
    case Answer::Cancel: return "Cancel";
    case Answer::Abort: return "Abort";
    case Answer::Retry: return "Retry";
    case Answer::Ignore: return "Ignore";
    case Answer::Yes: return "Yes";
    case Answer::No: return "No";
  }
  return "?";
}

namespace {
// In place until a real prompt is installed: it answers nothing it was not meant to.
class RefusingPrompt : public Prompt {
 public:
  Answer MsgBox(const std::string& text, Buttons b, Icon, const Title& title) override {
    std::fprintf(stderr, "unanswered message box [%s] %s\n", title.value_or(kDefaultTitle).c_str(), text.c_str());
    return b == Buttons::YesNo ? Answer::No : Answer::Cancel;
  }
  std::optional<std::string> InputBox(const std::string& p, const Title&, const std::string&) override {
    std::fprintf(stderr, "unanswered input box %s\n", p.c_str());
    return std::nullopt;
  }
  std::optional<std::string> OpenFile(const FileDialogRequest&) override { return std::nullopt; }
  std::optional<std::string> SaveFile(const FileDialogRequest&) override { return std::nullopt; }
  std::optional<PrintTarget> PrintDialog(const PrintRequest&) override { return std::nullopt; }
  bool PageSetupDialog() override { return false; }
  std::optional<uint32_t> ColorDialog(uint32_t) override { return std::nullopt; }
  std::optional<FontChoice> FontDialog(const FontChoice&) override { return std::nullopt; }
  int ShowModal(ModalWindow& w) override { return w.ExecModal(); }
  void DoEvents() override {}
  void SetBusy(bool) override {}
  bool OpenExternal(const std::string&) override { return false; }
};

Prompt*& Current() {
  static RefusingPrompt refusing;
  static Prompt* current = &refusing;
  return current;
}
}  // namespace

Prompt& GetPrompt() { return *Current(); }
void SetPrompt(Prompt* p) {
  if (p) Current() = p;
}

}  // namespace qv::ui
