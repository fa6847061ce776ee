#pragma once
// A prompt for tests: it answers from a script, in order, and records every question it was
// asked (kind, text, title, buttons) so a test can assert the exact texts. A question for
// which the script holds no answer is reported to the failure handler (tests make that a
// test failure) and answered with Cancel, so a test never hangs on a dialog.
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/ui/Prompt.h"

namespace qv::ui {

struct PromptRecord {
  enum class Kind { MsgBox, InputBox, OpenFile, SaveFile, Print, PageSetup, Color, Modal, External, Font };
  Kind kind;
  std::string text;     // message, input prompt, file dialog title, window name or address
  Title title;          // message and input boxes
  Buttons buttons = Buttons::OK;
  Icon icon = Icon::None;
  FileDialogRequest file;
  PrintRequest print;   // print dialogs
  FontChoice font;      // font dialogs: the font proposed
};

class ScriptedPrompt : public Prompt {
 public:
  ScriptedPrompt();

  // ---- the script, consumed in order ----
  ScriptedPrompt& Answer(ui::Answer a);                       // next message box
  ScriptedPrompt& Input(std::optional<std::string> text);     // next input box (nullopt: Cancel)
  ScriptedPrompt& File(std::optional<std::string> path);      // next open or save dialog
  ScriptedPrompt& Print(std::optional<PrintTarget> target);   // next print dialog
  ScriptedPrompt& PageSetup(bool ok);
  ScriptedPrompt& Color(std::optional<uint32_t> c);
  ScriptedPrompt& Font(std::optional<FontChoice> f);          // next font dialog (nullopt: Cancel)
  // Next modal window: the action runs instead of the window's own modal loop; it may use
  // the window (cast to its class) and returns the window's result.
  ScriptedPrompt& Modal(std::function<int(ModalWindow&)> action);
  // Modal windows with this name are always handled by the action (not consumed).
  void OnModal(const std::string& name, std::function<int(ModalWindow&)> action);

  // ---- what was asked ----
  const std::vector<PromptRecord>& Asked() const { return asked_; }
  std::vector<std::string> MessageTexts() const;
  const PromptRecord* Last() const { return asked_.empty() ? nullptr : &asked_.back(); }
  void ClearAsked() { asked_.clear(); }
  // True when every scripted answer was used.
  bool Exhausted() const { return script_.empty(); }
  size_t Remaining() const { return script_.size(); }
  int DoEventsCount() const { return doEvents_; }
  bool Busy() const { return busy_; }
  // Lets modal windows run their own modal loop when the script has nothing for them.
  void SetRunUnscriptedModals(bool run) { runUnscriptedModals_ = run; }

  // Called with a description of every unexpected question. The default prints it to
  // stderr; tests install one that adds a test failure.
  void SetFailureHandler(std::function<void(const std::string&)> h) { onFailure_ = std::move(h); }

  // ---- Prompt ----
  ui::Answer MsgBox(const std::string& text, Buttons buttons, Icon icon, const Title& title) override;
  std::optional<std::string> InputBox(const std::string& prompt, const Title& title,
                                      const std::string& defaultText) override;
  std::optional<std::string> OpenFile(const FileDialogRequest& req) override;
  std::optional<std::string> SaveFile(const FileDialogRequest& req) override;
  std::optional<PrintTarget> PrintDialog(const PrintRequest& req) override;
  bool PageSetupDialog() override;
  std::optional<uint32_t> ColorDialog(uint32_t initial) override;
  std::optional<FontChoice> FontDialog(const FontChoice& initial) override;
  int ShowModal(ModalWindow& window) override;
  void DoEvents() override;
  void SetBusy(bool busy) override { busy_ = busy; }
  bool OpenExternal(const std::string& urlOrPath) override;
  // Set what OpenExternal reports (default true).
  void SetExternalResult(bool ok) { externalOk_ = ok; }
  // Something a DoEvents call runs (for example a pending click in a test).
  void SetDoEventsAction(std::function<void()> a) { doEventsAction_ = std::move(a); }

 private:
  struct Step {
    PromptRecord::Kind kind = PromptRecord::Kind::MsgBox;
    ui::Answer answer = ui::Answer::Cancel;
    std::optional<std::string> text;
    std::optional<PrintTarget> print;
    std::optional<uint32_t> color;
    std::optional<FontChoice> font;
    bool ok = false;
    std::function<int(ModalWindow&)> modal;
  };
  bool Take(PromptRecord::Kind kind, const std::string& what, Step& out);

  std::deque<Step> script_;
  std::vector<PromptRecord> asked_;
  std::vector<std::pair<std::string, std::function<int(ModalWindow&)>>> standingModals_;
  std::function<void(const std::string&)> onFailure_;
  std::function<void()> doEventsAction_;
  int doEvents_ = 0;
  bool busy_ = false;
  bool externalOk_ = true;
  bool runUnscriptedModals_ = false;
};

}  // namespace qv::ui
