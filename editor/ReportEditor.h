#pragma once
// The report editor's module: which document windows exist and their state flags, the page
// record the page dialog edits, the unit of the dialogs, the text control the frame, image
// and table dialogs work on, and the commands that act on the active document (clipboard,
// search, colours, page setup, view toggles, files, units, images, printing).
//
// One ReportEditor serves the program. It makes the frame (frmMDIParent) when the editor is
// first shown and forgets it when it closes; the document windows (frmMDIChild) live in the
// frame and are kept in numbered slots that are reused.
//
// For the report hand-off: OpenReport(path) shows the editor (a fresh document window when
// it is open already, document window 1 when it loads) and imports the report as RTF into
// that window; PrintDocument() prints the active document through the print dialog.
#include <QIcon>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "editor/Formats.h"

class QTextCursor;
class QTextDocument;
class QWidget;

namespace qv::ui {
class ModalWindow;
}

namespace qv::editor {

class frmMDIChild;
class frmMDIParent;
class TextControl;

// The largest file the editor opens, inserts or imports (documents, text, pictures): well
// above any report the merge makes (at most 16 MB) or any letter or contract.
inline constexpr std::uint64_t kMaxDocumentFileBytes = 24u << 20;

// The flags of one document slot (16-bit Booleans: -1 true, 0 false).
struct DocumentState {
  int16_t Deleted = 0;
  int16_t Dirty = 0;
  int16_t SuppressChange = 0;
};
constexpr int16_t kTrue = -1;
constexpr int16_t kFalse = 0;

// What the editor takes from the program when it is made.
struct EditorOptions {
  // 49 gives centimetres and an A4 page to every new document window, any other value inches
  // and a Letter page. The program passes 49 when the system measures in metric.
  int localeCode = 0;
};
// The locale code the system calls for (49 when it measures in metric units).
int SystemLocaleCode();

class ReportEditor {
 public:
  explicit ReportEditor(EditorOptions options = {});
  ~ReportEditor();
  ReportEditor(const ReportEditor&) = delete;
  ReportEditor& operator=(const ReportEditor&) = delete;

  const EditorOptions& Options() const { return options_; }

  // ---- the frame ----
  // True from the frame's load until it unloads (false once it is closed, even while its
  // deletion is still pending).
  bool EditorOpen() const;
  // The frame, loaded (with document window 1) and shown when it is not.
  frmMDIParent& ShowEditor();
  frmMDIParent* Frame() const;
  // Closes the editor, asking about each changed document; false when the user kept it open.
  bool CloseEditor();
  // The frame calls this when it unloads.
  void FrameUnloaded();

  // ---- the report hand-off ----
  // Shows the editor with a fresh document window (or window 1 when the editor loads) and
  // imports the RTF file into it; the window is captioned with the path in upper case.
  // False (after the message "Can't import file: " and the path) when the file cannot be
  // read as RTF; the window then stays, empty.
  bool OpenReport(const std::string& path);
  // Imports an RTF file into the active document window at its caret, as the hand-off
  // does; captions the window with the path in upper case when `caption` is set.
  bool ImportRtfFile(const std::string& path, bool caption);

  // ---- module state ----
  // Slots from 1; entry 0 is unused.
  std::vector<QPointer<frmMDIChild>> Documents;
  std::vector<DocumentState> DocumentStates;
  editor::PageSettings PageSettings = kLetterPage;
  int16_t MeasureUnit = 1;
  QPointer<TextControl> DialogTarget;

  // Number of the last slot.
  int SlotCount() const { return int(Documents.size()) - 1; }
  DocumentState& State(int slot) { return DocumentStates.at(size_t(slot)); }
  // The slot's window, made (not shown) on first use.
  frmMDIChild& DocumentWindow(int slot);
  // The frame's active document window, if any, and its text control.
  frmMDIChild* ActiveDocument() const;
  TextControl* ActiveText() const;
  // The icon of every document window's title bar. One icon for all: the style caches each
  // icon's drawing, and an icon per window would leave one entry per window behind.
  const QIcon& DocumentIcon();

  // ---- dialogs ----
  // Every dialog the editor opens gives the focus back to the active document's text when it
  // closes, confirmed or cancelled: the window system would otherwise hand it to the frame's
  // first control (the font box) when the document's text lost it meanwhile. A DialogFocus
  // does that when it goes out of scope (for the prompt's dialogs: colours, fonts, files,
  // printing); ShowDialog shows one of the editor's own modal dialogs inside one.
  class DialogFocus {
   public:
    explicit DialogFocus(const ReportEditor& editor) : editor_(editor) {}
    ~DialogFocus() { editor_.FocusActiveText(); }
    DialogFocus(const DialogFocus&) = delete;
    DialogFocus& operator=(const DialogFocus&) = delete;

   private:
    const ReportEditor& editor_;
  };
  int ShowDialog(ui::ModalWindow& dialog);
  void FocusActiveText() const;

  // ---- slots and editing commands ----
  int FindFreeDocumentSlot();
  // Opens a new document window ("Untitled:" and its slot); the window, or null.
  frmMDIChild* NewDocument();
  void EditCopy();
  void EditCut();
  void EditPaste();
  void EditDelete();
  void EditFindReplace(int& mode);
  void EditSelectAll();
  void ChooseColor(int mode);
  void ShowPageSetup(TextControl& tx);
  void ResizeEditor(frmMDIChild& frm);
  void ToggleParagraphBar(frmMDIChild& frm);
  void ToggleRuler(frmMDIChild& frm);
  void ToggleStatusBar(frmMDIChild& frm);
  void ToggleToolbar(frmMDIChild& frm);

  // ---- files ----
  // Opens a file in a new document window; a file that is open already (by any path that
  // names it) brings its window forward instead.
  void FileOpen(std::string path);
  // The open document window of the file `path` names, or null.
  frmMDIChild* DocumentOfFile(const std::string& path) const;
  // Loads a file into a new document window; the window, or null when the load failed (its
  // message shown, its slot free again).
  frmMDIChild* LoadDocument(const std::string& path, int format);
  // Saves the active document under its caption (asking for a name when it has none). True
  // when it was saved.
  bool FileSave();
  bool FileSaveAs();
  std::string AskSaveAsName();
  bool SaveDocument(const std::string& path);
  // The same for a given document window (closing asks to save a window that may not be
  // the active one).
  bool FileSaveOf(frmMDIChild& doc);
  bool SaveDocumentOf(frmMDIChild& doc, const std::string& path);
  void InsertTextFile();
  void SetImagePath(const std::string& path, QTextDocument& doc);

  // ---- units and insertion ----
  int32_t DlgString2Twips(const std::string& text) const;
  std::string Twips2DlgString(float twips) const;
  void InsertImage(bool asChar, TextControl& tx, int x, int y);

  // ---- printing ----
  // Prints the active document through the print dialog (copies and page range); loads the
  // editor first when it is not loaded. Nothing happens without a document window.
  void PrintDocument();
  // Shows the print preview of the active document modally.
  void ShowPrintPreview();

  // The text of the shared file dialog's last name and its filter index (the dialogs of the
  // editor share them, as one common dialog did).
  std::string dialogFileName;
  int dialogFilterIndex = 1;

 private:
  bool ReadInto(frmMDIChild& doc, const std::string& path, int format);
  // The message of a file, and on a line of its own the reason, when there is one.
  void ShowFileMessage(FileMessage m, const std::string& path, const std::string& reason = "");

  EditorOptions options_;
  QPointer<frmMDIParent> frame_;
  QIcon documentIcon_;
};

}  // namespace qv::editor
