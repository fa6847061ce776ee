#include "platform/ui/ScriptedPrompt.h"

#include <cstdio>

namespace qv::ui {

namespace {
const char* KindName(PromptRecord::Kind k) {
  switch (k) {
    case PromptRecord::Kind::MsgBox: return "message box";
    case PromptRecord::Kind::InputBox: return "input box";
    case PromptRecord::Kind::OpenFile: return "open dialog";
    case PromptRecord::Kind::SaveFile: return "save dialog";
    case PromptRecord::Kind::Print: return "print dialog";
    case PromptRecord::Kind::PageSetup: return "page setup dialog";
    case PromptRecord::Kind::Color: return "colour dialog";
    case PromptRecord::Kind::Modal: return "modal window";
    case PromptRecord::Kind::External: return "external open";
    case PromptRecord::Kind::Font: return "font dialog";
  }
  return "?";
}
}  // namespace

ScriptedPrompt::ScriptedPrompt() {
  onFailure_ = [](const std::string& what) { std::fprintf(stderr, "ScriptedPrompt: %s\n", what.c_str()); };
}

ScriptedPrompt& ScriptedPrompt::Answer(ui::Answer a) {
  Step s{PromptRecord::Kind::MsgBox};
  s.answer = a;
  script_.push_back(std::move(s));
  return *this;
}
ScriptedPrompt& ScriptedPrompt::Input(std::optional<std::string> text) {
  Step s{PromptRecord::Kind::InputBox};
  s.text = std::move(text);
  script_.push_back(std::move(s));
  return *this;
}
ScriptedPrompt& ScriptedPrompt::File(std::optional<std::string> path) {
  Step s{PromptRecord::Kind::OpenFile};  // serves open and save dialogs alike
  s.text = std::move(path);
  script_.push_back(std::move(s));
  return *this;
}
ScriptedPrompt& ScriptedPrompt::Print(std::optional<PrintTarget> target) {
  Step s{PromptRecord::Kind::Print};
  s.print = std::move(target);
  script_.push_back(std::move(s));
  return *this;
}
ScriptedPrompt& ScriptedPrompt::PageSetup(bool ok) {
  Step s{PromptRecord::Kind::PageSetup};
  s.ok = ok;
  script_.push_back(std::move(s));
  return *this;
}
ScriptedPrompt& ScriptedPrompt::Font(std::optional<FontChoice> f) {
  Step s{PromptRecord::Kind::Font};
  s.font = std::move(f);
  script_.push_back(std::move(s));
  return *this;
}

ScriptedPrompt& ScriptedPrompt::Color(std::optional<uint32_t> c) {
  Step s{PromptRecord::Kind::Color};
  s.color = c;
  script_.push_back(std::move(s));
  return *this;
}
ScriptedPrompt& ScriptedPrompt::Modal(std::function<int(ModalWindow&)> action) {
  Step s{PromptRecord::Kind::Modal};
  s.modal = std::move(action);
  script_.push_back(std::move(s));
  return *this;
}
void ScriptedPrompt::OnModal(const std::string& name, std::function<int(ModalWindow&)> action) {
  standingModals_.emplace_back(name, std::move(action));
}

std::vector<std::string> ScriptedPrompt::MessageTexts() const {
  std::vector<std::string> out;
  for (const auto& r : asked_)
    if (r.kind == PromptRecord::Kind::MsgBox) out.push_back(r.text);
  return out;
}

bool ScriptedPrompt::Take(PromptRecord::Kind kind, const std::string& what, Step& out) {
  auto matches = [&](PromptRecord::Kind k) {
    if (k == kind) return true;
    // One kind of scripted step answers both file dialogs.
    return k == PromptRecord::Kind::OpenFile && kind == PromptRecord::Kind::SaveFile;
  };
  if (!script_.empty() && matches(script_.front().kind)) {
    out = std::move(script_.front());
    script_.pop_front();
    return true;
  }
  std::string msg = std::string("unexpected ") + KindName(kind) + ": \"" + what + "\"";
  if (!script_.empty()) msg += std::string(" (the script expected a ") + KindName(script_.front().kind) + ")";
  onFailure_(msg);
  return false;
}

ui::Answer ScriptedPrompt::MsgBox(const std::string& text, Buttons buttons, Icon icon, const Title& title) {
  PromptRecord r{PromptRecord::Kind::MsgBox, text, title, buttons, icon, {}};
  asked_.push_back(r);
  Step s;
  if (!Take(r.kind, text, s)) {
    switch (buttons) {
      case Buttons::OK: return ui::Answer::OK;
      case Buttons::YesNo: return ui::Answer::No;
      case Buttons::AbortRetryIgnore: return ui::Answer::Abort;
      default: return ui::Answer::Cancel;
    }
  }
  return s.answer;
}

std::optional<std::string> ScriptedPrompt::InputBox(const std::string& prompt, const Title& title,
                                                    const std::string& defaultText) {
  PromptRecord r{PromptRecord::Kind::InputBox, prompt, title, Buttons::OKCancel, Icon::None, {}};
  r.file.fileName = defaultText;
  asked_.push_back(r);
  Step s;
  if (!Take(r.kind, prompt, s)) return std::nullopt;
  return s.text;
}

std::optional<std::string> ScriptedPrompt::OpenFile(const FileDialogRequest& req) {
  PromptRecord r{PromptRecord::Kind::OpenFile, req.title, std::nullopt, Buttons::OKCancel, Icon::None, req};
  asked_.push_back(r);
  Step s;
  if (!Take(r.kind, req.title, s)) return std::nullopt;
  return s.text;
}

std::optional<std::string> ScriptedPrompt::SaveFile(const FileDialogRequest& req) {
  PromptRecord r{PromptRecord::Kind::SaveFile, req.title, std::nullopt, Buttons::OKCancel, Icon::None, req};
  asked_.push_back(r);
  Step s;
  if (!Take(r.kind, req.title, s)) return std::nullopt;
  return s.text;
}

std::optional<PrintTarget> ScriptedPrompt::PrintDialog(const PrintRequest& req) {
  PromptRecord r{PromptRecord::Kind::Print, req.title, std::nullopt, Buttons::OKCancel, Icon::None, {}};
  r.print = req;
  asked_.push_back(r);
  Step s;
  if (!Take(r.kind, req.title, s)) return std::nullopt;
  return s.print;
}

bool ScriptedPrompt::PageSetupDialog() {
  asked_.push_back({PromptRecord::Kind::PageSetup, "", std::nullopt, Buttons::OKCancel, Icon::None, {}});
  Step s;
  if (!Take(PromptRecord::Kind::PageSetup, "page setup", s)) return false;
  return s.ok;
}

std::optional<uint32_t> ScriptedPrompt::ColorDialog(uint32_t) {
  asked_.push_back({PromptRecord::Kind::Color, "", std::nullopt, Buttons::OKCancel, Icon::None, {}});
  Step s;
  if (!Take(PromptRecord::Kind::Color, "colour", s)) return std::nullopt;
  return s.color;
}

std::optional<FontChoice> ScriptedPrompt::FontDialog(const FontChoice& initial) {
  PromptRecord r{PromptRecord::Kind::Font, initial.family, std::nullopt, Buttons::OKCancel, Icon::None, {}};
  r.font = initial;
  asked_.push_back(r);
  Step s;
  if (!Take(PromptRecord::Kind::Font, "font", s)) return std::nullopt;
  return s.font;
}

int ScriptedPrompt::ShowModal(ModalWindow& window) {
  std::string name = window.ModalName();
  asked_.push_back({PromptRecord::Kind::Modal, name, std::nullopt, Buttons::OK, Icon::None, {}});
  if (!script_.empty() && script_.front().kind == PromptRecord::Kind::Modal) {
    Step s = std::move(script_.front());
    script_.pop_front();
    return s.modal ? s.modal(window) : 0;
  }
  for (const auto& [n, action] : standingModals_)
    if (n == name) {
      auto run = action;  // the action may add standing actions of its own
      return run(window);
    }
  if (runUnscriptedModals_) return window.ExecModal();
  onFailure_("unexpected modal window: \"" + name + "\"");
  return 0;
}

void ScriptedPrompt::DoEvents() {
  ++doEvents_;
  if (doEventsAction_) {
    auto a = doEventsAction_;
    a();
  }
}

bool ScriptedPrompt::OpenExternal(const std::string& urlOrPath) {
  asked_.push_back({PromptRecord::Kind::External, urlOrPath, std::nullopt, Buttons::OK, Icon::None, {}});
  return externalOk_;
}

}  // namespace qv::ui
