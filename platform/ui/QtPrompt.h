#pragma once
// The prompt seam for the running program: real Qt message boxes, input boxes, file,
// print and colour dialogs.
#include <QWidget>
#include <QPointer>
#include <memory>

class QPrinter;

#include "platform/ui/Prompt.h"

namespace qv::ui {

// The extension a name typed into a save dialog gets under a name filter: its first
// pattern's ("Rich Text Format (*.rtf)" gives "rtf"); none for a filter of all files.
QString DefaultSuffixOfFilter(const QString& nameFilter);

class QtPrompt : public Prompt {
 public:
  QtPrompt();
  ~QtPrompt() override;

  // Dialogs are parented to the active modal window, else to a visible window that stays on
  // top (it would cover them), else to the active window; when none is active, to the
  // window of the question before, or else to `fallbackParent`.
  void SetFallbackParent(QWidget* w) { fallback_ = w; }

  Answer MsgBox(const std::string& text, Buttons buttons, Icon icon, const Title& title) override;
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
  void SetBusy(bool busy) override;
  bool OpenExternal(const std::string& urlOrPath) override;

 private:
  QWidget* Parent() const;
  QPointer<QWidget> fallback_;
  // The window the last question belonged to: a question that follows another at once finds
  // no active window (the first box has just closed) and belongs to the same window.
  mutable QPointer<QWidget> lastOwner_;
  // One printer set-up for the session: what the page setup dialog chose carries into the
  // print dialogs after it.
  std::unique_ptr<QPrinter> printer_;
  int busyDepth_ = 0;
};

// Turns a filter of the old common dialog ("Quorvant Pro|*.QVX|Quorvant 2.X|*.QDB") into a
// Qt name filter ("Quorvant Pro (*.QVX);;Quorvant 2.X (*.QDB)").
QString QtFilterFromDialogFilter(const std::string& filter);

// Message texts whose line breaks are CR or CR LF show as separate lines.
QString MessageText(const std::string& text);

}  // namespace qv::ui
