#pragma once
// The one seam through which the program asks the user anything: message boxes, input
// boxes, file dialogs, modal windows, pending-event processing and the busy cursor.
// No Qt here, so the engine can use it. The program installs the Qt form (QtPrompt.h);
// tests install a ScriptedPrompt that answers from a script and records every question.
#include <cstdint>
#include <optional>
#include <string>

namespace qv::ui {

enum class Buttons { OK, OKCancel, AbortRetryIgnore, YesNoCancel, YesNo, RetryCancel };
enum class Icon { None, Critical, Question, Exclamation, Information };
enum class Answer { OK, Cancel, Abort, Retry, Ignore, Yes, No };

std::string ToString(Buttons b);
std::string ToString(Icon i);
std::string ToString(Answer a);

// A message box title: nullopt is the program's default title ("Quorvant").
using Title = std::optional<std::string>;
inline constexpr const char* kDefaultTitle = "Quorvant";

struct FileDialogRequest {
  std::string title;
  std::string filter;       // "Description|*.ext|Other|*.a;*.b", as the old common dialog took it
  int filterIndex = 0;
  std::string initialDir;
  std::string fileName;     // proposed name
  std::string defaultExt;
  bool mustExist = false;   // open: the file must exist
  bool confirmOverwrite = false;  // save: ask before replacing a file
  // save: a name typed without an extension gets the one of the filter chosen (defaultExt
  // only until the user picks another filter)
  bool extensionFollowsFilter = false;
};

struct PrintRequest {
  std::string title;        // document title
  int copies = 1;
  // Pages the user may choose from (maxPage 0: the dialog offers no page range) and the
  // range it proposes.
  int minPage = 1;
  int maxPage = 0;
  int fromPage = 1;
  int toPage = 0;
};

// Where a print goes: a printer name, or a PDF file (tests print to PDF).
struct PrintTarget {
  std::string printerName;
  std::string pdfPath;      // non-empty: print into this PDF file
  int copies = 1;
  bool landscape = false;   // the orientation chosen in the page setup or print dialog
  bool pageRange = false;   // the user chose the pages fromPage to toPage
  int fromPage = 0;
  int toPage = 0;
};

// A font as the font dialog shows and returns it.
struct FontChoice {
  std::string family;
  double pointSize = 12;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  friend bool operator==(const FontChoice&, const FontChoice&) = default;
};

// A window that can be shown modally. Qt dialogs implement it with exec().
class ModalWindow {
 public:
  virtual ~ModalWindow() = default;
  // The window's name as the program knows it ("ForcePmt", "ResBase"); scripts match on it.
  virtual std::string ModalName() const = 0;
  // Shows the window modally and returns when it closes; the result is the window's own.
  virtual int ExecModal() = 0;
};

class Prompt {
 public:
  virtual ~Prompt() = default;

  virtual Answer MsgBox(const std::string& text, Buttons buttons = Buttons::OK, Icon icon = Icon::None,
                        const Title& title = std::nullopt) = 0;
  // Returns nullopt when the user pressed Cancel.
  virtual std::optional<std::string> InputBox(const std::string& prompt, const Title& title = std::nullopt,
                                              const std::string& defaultText = "") = 0;
  // Return nullopt when the user cancelled the dialog.
  virtual std::optional<std::string> OpenFile(const FileDialogRequest& req) = 0;
  virtual std::optional<std::string> SaveFile(const FileDialogRequest& req) = 0;
  // Print and page setup dialogs. nullopt: cancelled.
  virtual std::optional<PrintTarget> PrintDialog(const PrintRequest& req) = 0;
  virtual bool PageSetupDialog() = 0;
  // Colour dialog (24-bit blue-green-red); nullopt: cancelled.
  virtual std::optional<uint32_t> ColorDialog(uint32_t initial) = 0;
  // Font dialog; nullopt: cancelled.
  virtual std::optional<FontChoice> FontDialog(const FontChoice& initial) = 0;
  // Shows a window modally (the scripted form lets the test act on the window instead).
  virtual int ShowModal(ModalWindow& window) = 0;
  // Lets pending window events run once.
  virtual void DoEvents() = 0;
  // The busy (hourglass) cursor on or off.
  virtual void SetBusy(bool busy) = 0;
  // Opens a document or web address in the desktop's program for it; false when none.
  virtual bool OpenExternal(const std::string& urlOrPath) = 0;
};

// The prompt in use. Before anything is installed, a prompt that fails every question
// loudly (it prints the question and answers Cancel / No) is in place.
Prompt& GetPrompt();
void SetPrompt(Prompt* p);

// The busy cursor for the length of a computation: on from construction until release() or
// the end of the scope.
class BusyCursor {
 public:
  BusyCursor() { GetPrompt().SetBusy(true); }
  ~BusyCursor() { release(); }
  void release() {
    if (on_) GetPrompt().SetBusy(false);
    on_ = false;
  }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  bool on_ = true;
};

// Installs a prompt for the lifetime of this object, then puts back the previous one.
class ScopedPrompt {
 public:
  explicit ScopedPrompt(Prompt& p) : previous_(&GetPrompt()) { SetPrompt(&p); }
  ~ScopedPrompt() { SetPrompt(previous_); }
  ScopedPrompt(const ScopedPrompt&) = delete;
  ScopedPrompt& operator=(const ScopedPrompt&) = delete;

 private:
  Prompt* previous_;
};

}  // namespace qv::ui
