#include "editor/ReportEditor.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMdiArea>
#include <QPainter>
#include <QPrinter>
#include <QStringDecoder>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocumentWriter>

#include <algorithm>
#include <cctype>
#include <new>
#include <stdexcept>

#include "editor/ControlDialogs.h"
#include "editor/EditorDialogs.h"
#include "editor/Ruler.h"
#include "editor/TextControl.h"
#include "editor/frmMDIChild.h"
#include "editor/frmMDIParent.h"
#include "platform/files/AtomicFile.h"
#include "platform/ui/Prompt.h"

namespace qv::editor {

namespace {

std::string Upper(std::string s) {
  for (char& c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// The label of the editor's own file type in the open and save dialogs.
constexpr const char* kOwnType = "Quorvant Report Editor (*.txm)|*.txm|";

// Text files are read as UTF-8 when they are valid UTF-8, else as the Windows code page
// the reports of older releases were written in.
QString DecodeText(const QByteArray& bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString s = utf8.decode(bytes);
  if (!utf8.hasError()) return s;
  QStringDecoder latin(QStringDecoder::Latin1);
  return latin.decode(bytes);
}

// A document, text or picture file is read only when it is a regular file no larger than
// kMaxDocumentFileBytes. When a file that is there was not read, `reason` gets the file
// layer's sentence saying why (a missing file needs none).
bool ReadFileBytes(const std::string& path, std::string& bytes, std::string* reason = nullptr) {
  std::string why;
  const files::ReadResult r = files::ReadFileIfAny(path, bytes, kMaxDocumentFileBytes, &why);
  if (r == files::ReadResult::Read) return true;
  if (reason) *reason = r == files::ReadResult::Missing ? std::string() : files::ReadFailureText(path, r, why);
  return false;
}

// An allocation that fails while a file is turned into a document, or a document into a
// file, is this message; what was open stays as it was.
constexpr const char* kOutOfMemory = "There is not enough memory for it.";

// Runs `work` and says whether it ran out of memory (Qt and the standard library throw
// bad_alloc, or length_error for a size they cannot hold) rather than ending the program.
template <class Work>
bool RanOutOfMemory(Work&& work) {
  try {
    work();
    return false;
  } catch (const std::bad_alloc&) {
    return true;
  } catch (const std::length_error&) {
    return true;
  }
}

// The page values an RTF file gives; those it does not give (0 or less) keep the window's.
void TakeGivenPage(const editor::PageSettings& given, editor::PageSettings& page) {
  for (int32_t editor::PageSettings::*field :
       {&editor::PageSettings::PageWidth, &editor::PageSettings::PageHeight, &editor::PageSettings::PageMarginL,
        &editor::PageSettings::PageMarginT, &editor::PageSettings::PageMarginR, &editor::PageSettings::PageMarginB}) {
    if (given.*field > 0) page.*field = given.*field;
  }
}

}  // namespace

int SystemLocaleCode() { return QLocale::system().measurementSystem() == QLocale::MetricSystem ? 49 : 1; }

ReportEditor::ReportEditor(EditorOptions options) : options_(options) {
  Documents.assign(1, nullptr);
  DocumentStates.assign(1, DocumentState{});
}

ReportEditor::~ReportEditor() {
  if (frmMDIParent* frame = frame_.data()) {
    frame->MDIForm_Unload();
    delete frame;
  }
}

// ---- the frame -----------------------------------------------------------------------------

bool ReportEditor::EditorOpen() const { return !frame_.isNull(); }
frmMDIParent* ReportEditor::Frame() const { return frame_.data(); }

frmMDIParent& ReportEditor::ShowEditor() {
  if (!frame_) {
    frame_ = new frmMDIParent(*this);
    frame_->MDIForm_Load();
  } else {
    frame_->show();
    frame_->raise();
    frame_->activateWindow();
  }
  return *frame_;
}

bool ReportEditor::CloseEditor() {
  if (!frame_) return true;
  return frame_->close();
}

void ReportEditor::FrameUnloaded() {
  // The frame goes (its deletion may still be pending): from now on the editor is closed,
  // and the next showing makes a new frame that starts again from slot 1.
  frame_ = nullptr;
  DialogTarget = nullptr;
}

// ---- slots ---------------------------------------------------------------------------------

frmMDIChild& ReportEditor::DocumentWindow(int slot) {
  QPointer<frmMDIChild>& entry = Documents.at(size_t(slot));
  if (!entry) {
    entry = new frmMDIChild(*this);
    entry->Tag = QString::number(slot);
  }
  return *entry;
}

frmMDIChild* ReportEditor::ActiveDocument() const { return frame_ ? frame_->ActiveForm() : nullptr; }

const QIcon& ReportEditor::DocumentIcon() {
  if (documentIcon_.isNull()) documentIcon_ = QApplication::style()->standardIcon(QStyle::SP_TitleBarMenuButton);
  return documentIcon_;
}

TextControl* ReportEditor::ActiveText() const {
  frmMDIChild* d = ActiveDocument();
  return d ? d->TXTextControl1 : nullptr;
}

int ReportEditor::ShowDialog(ui::ModalWindow& dialog) {
  DialogFocus focus(*this);
  return ui::ShowModalWindow(dialog);
}

void ReportEditor::FocusActiveText() const {
  if (!frame_) return;
  TextControl* tx = ActiveText();
  if (!tx) return;
  // Also while the frame is not active yet: the focus then waits in the frame for its
  // activation instead of going to the first control.
  tx->setFocus(Qt::OtherFocusReason);
}

int ReportEditor::FindFreeDocumentSlot() {
  for (int k = 1; k <= SlotCount(); ++k) {
    if (DocumentStates[size_t(k)].Deleted != kFalse) {
      DocumentStates[size_t(k)].Deleted = kFalse;
      DocumentStates[size_t(k)].SuppressChange = kFalse;
      return k;
    }
  }
  Documents.emplace_back(nullptr);
  DocumentStates.emplace_back();
  return SlotCount();
}

frmMDIChild* ReportEditor::NewDocument() {
  if (!frame_) ShowEditor();
  const int slot = FindFreeDocumentSlot();
  if (slot == 0) return nullptr;
  frmMDIChild& w = DocumentWindow(slot);
  w.Tag = QString::number(slot);
  w.SetCaption(QStringLiteral("Untitled:%1").arg(slot));
  w.ShowWindow();
  return &w;
}

// ---- editing commands ------------------------------------------------------------------------

void ReportEditor::EditCopy() {
  if (TextControl* tx = ActiveText()) tx->Clip(2);
}
void ReportEditor::EditCut() {
  if (TextControl* tx = ActiveText()) tx->Clip(1);
}
void ReportEditor::EditPaste() {
  if (TextControl* tx = ActiveText()) tx->Clip(3);
}
void ReportEditor::EditDelete() {
  if (TextControl* tx = ActiveText()) tx->Clip(4);
}

void ReportEditor::EditFindReplace(int& mode) {
  TextControl* tx = ActiveText();
  if (!tx) return;
  FindReplaceDlg dlg(*tx, mode == 2, frame_);
  ShowDialog(dlg);
}

void ReportEditor::EditSelectAll() {
  TextControl* tx = ActiveText();
  if (!tx) return;
  ui::BusyCursor busy;
  tx->SetSelection(0, -1);
}

void ReportEditor::ChooseColor(int mode) {
  TextControl* tx = ActiveText();
  if (!tx) return;
  DialogFocus focus(*this);
  const int32_t c = mode == 1 ? tx->ForeColor() : tx->TextBkColor();
  const std::optional<uint32_t> chosen = ui::GetPrompt().ColorDialog(c != -1 ? uint32_t(c) : 0u);
  if (!chosen) return;
  if (int32_t(*chosen) == c && c != -1) return;  // an unchanged colour is not written
  if (mode == 1) {
    tx->SetForeColor(int32_t(*chosen));
  } else {
    tx->SetTextBkColor(int32_t(*chosen));
  }
}

void ReportEditor::ShowPageSetup(TextControl& tx) {
  // The new page lays the window out again after the dialog: the focus goes back after that.
  DialogFocus focus(*this);
  const editor::PageSettings before = tx.Page();
  PageSettings.PageMarginL = before.PageMarginL;
  PageSettings.PageMarginT = before.PageMarginT;
  PageSettings.PageMarginR = before.PageMarginR;
  PageSettings.PageMarginB = before.PageMarginB;
  PageSettings.PageWidth = before.PageWidth;
  PageSettings.PageHeight = before.PageHeight;
  {
    frmPageDlg dlg(*this, frame_);
    ShowDialog(dlg);
  }
  // Written back whether the dialog was confirmed or cancelled (a cancel left the record
  // as it was).
  editor::PageSettings after = tx.Page();
  after.PageMarginL = PageSettings.PageMarginL;
  after.PageMarginT = PageSettings.PageMarginT;
  after.PageMarginR = PageSettings.PageMarginR;
  after.PageMarginB = PageSettings.PageMarginB;
  after.PageWidth = PageSettings.PageWidth;
  after.PageHeight = PageSettings.PageHeight;
  tx.SetPage(after);
  if (frmMDIChild* d = qobject_cast<frmMDIChild*>(tx.parentWidget())) d->Form_Resize();
}

void ReportEditor::ResizeEditor(frmMDIChild& frm) {
  TextControl& tx = *frm.TXTextControl1;
  frm.SetBackground(frm.width() > tx.width() ? QColor(0xC0, 0xC0, 0xC0) : QColor(0xFF, 0xFF, 0xFF));
  const bool minimised = frm.SubWindow() && frm.SubWindow()->isMinimized();
  const int rulerHeight = frm.TXRuler1->height();
  if (!minimised && frm.ScaleHeight() - rulerHeight > 0) {
    int h = frm.ScaleHeight();
    if (frm.TXRuler1->isVisibleTo(&frm)) h -= rulerHeight;
    tx.setFixedHeight(h);
    tx.move(0, frm.TXRuler1->isVisibleTo(&frm) ? rulerHeight : 0);
  }
}

void ReportEditor::ToggleParagraphBar(frmMDIChild& frm) {
  if (!frame_) return;
  frame_->TXButtonBar1->setVisible(!frame_->TXButtonBar1->isVisibleTo(frame_));
  frm.mnuView_ParagraphBar->setChecked(frame_->TXButtonBar1->isVisibleTo(frame_));
}

void ReportEditor::ToggleRuler(frmMDIChild& frm) {
  frm.TXRuler1->setVisible(!frm.TXRuler1->isVisibleTo(&frm));
  frm.mnuView_Ruler->setChecked(frm.TXRuler1->isVisibleTo(&frm));
  ResizeEditor(frm);
}

void ReportEditor::ToggleStatusBar(frmMDIChild& frm) {
  if (!frame_) return;
  frame_->TXStatusBar1->setVisible(!frame_->TXStatusBar1->isVisibleTo(frame_));
  frm.mnuView_StatusBar->setChecked(frame_->TXStatusBar1->isVisibleTo(frame_));
}

void ReportEditor::ToggleToolbar(frmMDIChild& frm) {
  if (!frame_) return;
  frame_->picToolbar->setVisible(!frame_->picToolbar->isVisibleTo(frame_));
  frm.mnuView_Toolbar->setChecked(frame_->picToolbar->isVisibleTo(frame_));
}

// ---- files ---------------------------------------------------------------------------------

void ReportEditor::ShowFileMessage(FileMessage m, const std::string& path, const std::string& reason) {
  const std::string text = FileMessageText(m, path) + (reason.empty() ? "" : "\r\n" + reason);
  if (m == FileMessage::InvalidImagePath) {
    ui::GetPrompt().MsgBox(text, ui::Buttons::OK, ui::Icon::Exclamation, std::string("Viewer"));
  } else {
    ui::GetPrompt().MsgBox(text, ui::Buttons::OK, ui::Icon::None);
  }
}

void ReportEditor::FileOpen(std::string path) {
  DialogFocus focus(*this);
  if (path.empty()) {
    ui::FileDialogRequest req;
    req.title = "Open file";
    req.filter = std::string(kOwnType) +
                 "Rich Text Format (*.rtf)|*.rtf|Hypertext Markup Language (*.htm)|*.htm|Text Documents (*.txt)|*.txt";
    req.filterIndex = 1;
    req.mustExist = true;
    dialogFileName.clear();
    const std::optional<std::string> chosen = ui::GetPrompt().OpenFile(req);
    if (!chosen) return;
    path = *chosen;
    dialogFileName = path;
    dialogFilterIndex = 1;
  }
  if (path.size() >= 2 && path.front() == '"' && path.back() == '"') path = path.substr(1, path.size() - 2);
  // A file open already is not read into a second window, where two copies of it would be
  // edited and saved over each other: its window comes forward, with what was edited in it.
  if (frmMDIChild* open = DocumentOfFile(path)) {
    open->ShowWindow();
    return;
  }
  LoadDocument(path, int(FormatForOpening(path)));
}

frmMDIChild* ReportEditor::DocumentOfFile(const std::string& path) const {
  // The same file by whatever path names it: links, "." and ".." resolved.
  const QString file = QFileInfo(QString::fromStdString(path)).canonicalFilePath();
  if (file.isEmpty()) return nullptr;
  for (int slot = 1; slot <= SlotCount(); ++slot) {
    frmMDIChild* doc = Documents[size_t(slot)];
    if (!doc || DocumentStates[size_t(slot)].Deleted != kFalse || doc->filePath.empty()) continue;
    if (QFileInfo(QString::fromStdString(doc->filePath)).canonicalFilePath() == file) return doc;
  }
  return nullptr;
}

bool ReportEditor::ReadInto(frmMDIChild& doc, const std::string& path, int format) {
  TextControl& tx = *doc.TXTextControl1;
  std::string bytes, error;
  // A file that cannot be read, or is not what its name says, shows its message and leaves
  // no window (the old editor kept an empty window captioned with the path, and a later
  // Save overwrote the file with nothing).
  if (!ReadFileBytes(path, bytes, &error)) {
    ShowFileMessage(FileMessage::CantOpen, path, error);
    return false;
  }
  ReadResult r;
  bool ok = false;
  // The document is built apart from the one shown: a build that runs out of memory leaves
  // the window's document as it was. The file's bytes go as soon as the document holds
  // them, before it is laid out.
  const bool outOfMemory = RanOutOfMemory([&] {
    ok = tx.ReplaceDocument([&](QTextDocument& d, editor::PageSettings& page) {
      SetImagePath(path, d);
      if (format == int(FileFormat::Txm)) {
        r = ReadTxmInto(bytes, d);
        std::string().swap(bytes);
        if (r.ok && r.hasPage) page = r.page;
        return r.ok;
      }
      if (format == int(FileFormat::Rtf)) {
        r = ReadRtfInto(bytes, d);
        std::string().swap(bytes);
        if (r.ok && r.hasPage) TakeGivenPage(r.page, page);
        return r.ok;
      }
      const QString text = DecodeText(QByteArray::fromStdString(bytes));
      std::string().swap(bytes);
      if (format == int(FileFormat::Html)) d.setHtml(text);
      else d.setPlainText(text);
      return true;
    });
  });
  if (outOfMemory) {
    r = ReadResult{};
    r.reason = kOutOfMemory;
  }
  if (!ok) {
    ShowFileMessage(format == int(FileFormat::Txm) ? r.failure : FileMessage::CantLoad, path, r.reason);
    return false;
  }
  doc.sourceFormat = format == int(FileFormat::Txm)    ? FileFormat::Txm
                     : format == int(FileFormat::Rtf)  ? FileFormat::Rtf
                     : format == int(FileFormat::Html) ? FileFormat::Html
                                                       : FileFormat::Text;
  if (!r.warning.empty()) ui::GetPrompt().MsgBox(path + "\n" + r.warning, ui::Buttons::OK, ui::Icon::Exclamation);
  return true;
}

frmMDIChild* ReportEditor::LoadDocument(const std::string& path, int format) {
  ui::BusyCursor busy;
  if (!frame_) ShowEditor();
  const int slot = FindFreeDocumentSlot();
  if (slot == 0) return nullptr;
  frmMDIChild& w = DocumentWindow(slot);
  w.Tag = QString::number(slot);
  // A file whose name the editor does not know is read by what it holds: RTF as RTF.
  if (format == int(FileFormat::Text) && FormatForSaving(path) == FileFormat::Txm) {
    std::string head;
    if (ReadFileBytes(path, head) && head.rfind("{\\rtf", 0) == 0) format = int(FileFormat::Rtf);
  }
  const bool ok = ReadInto(w, path, format);
  DocumentState& st = State(slot);
  // The load's own change events are over: the first edit from now on marks the document
  // changed.
  st.SuppressChange = kFalse;
  st.Dirty = kFalse;
  if (!ok) {
    st.Deleted = kTrue;
    Documents[size_t(slot)] = nullptr;
    w.CloseWithoutAsking();
    return nullptr;
  }
  w.SetCaption(QString::fromStdString(Upper(path)));
  w.filePath = path;
  w.ShowWindow();
  return &w;
}

bool ReportEditor::FileSave() {
  frmMDIChild* doc = ActiveDocument();
  return doc ? FileSaveOf(*doc) : false;
}

bool ReportEditor::FileSaveOf(frmMDIChild& doc) {
  const QString caption = doc.Caption();
  // Saved under its name; the caption is that name in upper case, which on this system can
  // name another file, so the name as given is kept beside it.
  std::string name;
  if (caption.left(8) == QStringLiteral("Untitled")) {
    name = AskSaveAsName();
  } else {
    name = doc.filePath.empty() ? caption.toStdString() : doc.filePath;
  }
  if (name.empty()) return false;
  return SaveDocumentOf(doc, name);
}

bool ReportEditor::FileSaveAs() {
  frmMDIChild* doc = ActiveDocument();
  if (!doc) return false;
  const std::string name = AskSaveAsName();
  if (name.empty()) return false;
  return SaveDocumentOf(*doc, name);
}

std::string ReportEditor::AskSaveAsName() {
  DialogFocus focus(*this);
  ui::FileDialogRequest req;
  req.title = "Save As";
  req.filter = std::string(kOwnType) +
               "Rich Text Format (*.rtf)|*.rtf|Hypertext Markup Language(*.htm, *.html)|*.htm|Text Document (*.txt)|*.txt";
  // A name typed without an extension gets the one of the filter chosen (not always txm).
  req.defaultExt = "txm";
  req.extensionFollowsFilter = true;
  req.filterIndex = dialogFilterIndex;
  req.confirmOverwrite = true;
  dialogFileName.clear();
  const std::optional<std::string> chosen = ui::GetPrompt().SaveFile(req);
  if (!chosen) return "";
  dialogFileName = *chosen;
  return *chosen;
}

bool ReportEditor::SaveDocument(const std::string& path) {
  frmMDIChild* doc = ActiveDocument();
  return doc ? SaveDocumentOf(*doc, path) : false;
}

bool ReportEditor::SaveDocumentOf(frmMDIChild& doc, const std::string& path) {
  TextControl& tx = *doc.TXTextControl1;
  FileFormat format = FormatForSaving(path);
  // A merged report (".QVR") came as RTF and is read as RTF by the word processors the
  // reports go to: a name the editor does not know keeps the format the document came in
  // when that is RTF, rather than turning the report into the editor's own layout.
  if (format == FileFormat::Txm && Upper(path).size() >= 3 && Upper(path).substr(Upper(path).size() - 3) != "TXM" &&
      doc.sourceFormat == FileFormat::Rtf) {
    format = FileFormat::Rtf;
  }
  ui::BusyCursor busy;
  // The whole file is made in memory and written to a temporary file that replaces the old
  // one only when complete: a failed save leaves the old file whole.
  std::string content;
  const bool outOfMemory = RanOutOfMemory([&] {
    switch (format) {
      case FileFormat::Txm: content = WriteTxmOf(*tx.document(), tx.Page()); break;
      case FileFormat::Rtf: content = WriteRtfOf(*tx.document(), tx.Page()); break;
      case FileFormat::Html: content = HtmlOf(*tx.document()).toStdString(); break;
      case FileFormat::Text: content = PlainTextOf(*tx.document()).toStdString(); break;
    }
  });
  if (outOfMemory) {
    ShowFileMessage(FileMessage::CantSave, path, kOutOfMemory);
    return false;
  }
  if (content.empty() && (format == FileFormat::Txm || format == FileFormat::Rtf)) {
    ShowFileMessage(FileMessage::CantSave, path);
    return false;
  }
  std::string error;
  if (!files::WriteFileAtomic(path, content, &error)) {
    // The file layer's sentence says why (read-only, a folder in its place, a full disk, the
    // file-size limit); a folder that is not there cannot even have the file opened.
    const QFileInfo info(QString::fromStdString(path));
    ShowFileMessage(info.absoluteDir().exists() ? FileMessage::CantSave : FileMessage::CantOpen, path, error);
    return false;
  }
  doc.SetCaption(QString::fromStdString(Upper(path)));
  doc.filePath = path;
  const int slot = doc.Slot();
  if (slot >= 1 && slot <= SlotCount()) State(slot).Dirty = kFalse;
  return true;
}

void ReportEditor::InsertTextFile() {
  DialogFocus focus(*this);
  TextControl* tx = ActiveText();
  if (!tx) return;
  ui::FileDialogRequest req;
  req.title = "Insert Text";
  req.filter = "Text (*.txt)|*.txt|RTF Format (*.rtf)|*.rtf";
  req.fileName = dialogFileName;  // the shared dialog opens on the last name it held
  req.mustExist = true;
  req.confirmOverwrite = true;
  const std::optional<std::string> chosen = ui::GetPrompt().OpenFile(req);
  if (!chosen) return;
  const std::string name = *chosen;
  dialogFileName = name;
  ui::BusyCursor busy;
  std::string bytes, error;
  bool ok = ReadFileBytes(name, bytes, &error);
  const auto insert = [&] {
    QTextCursor c = tx->textCursor();
    TextControl::KindScope scope(*tx, TextControl::EditKind::Input);
    if (Upper(name).size() >= 3 && Upper(name).substr(Upper(name).size() - 3) == "RTF") {
      ok = InsertRtfAt(bytes, c);
    } else {
      const QString text = DecodeText(QByteArray::fromStdString(bytes));
      c.insertText(text);
    }
    if (ok) tx->setTextCursor(c);
  };
  if (ok && RanOutOfMemory(insert)) {
    ok = false;
    error = kOutOfMemory;
  }
  if (!ok) ShowFileMessage(FileMessage::CantImport, name, error);
}

void ReportEditor::SetImagePath(const std::string& path, QTextDocument& doc) {
  const std::string folder = ImageFolderOf(path);
  // The document's folder is its base address (a relative name is named from there); the
  // document still loads no file a picture names (TextControl's documents load only the
  // pictures they carry).
  doc.setMetaInformation(QTextDocument::DocumentUrl,
                         folder.empty() ? QString() : QUrl::fromLocalFile(QString::fromStdString(folder)).toString());
  doc.setBaseUrl(folder.empty() ? QUrl() : QUrl::fromLocalFile(QString::fromStdString(folder)));
}

// ---- the report hand-off ---------------------------------------------------------------------

bool ReportEditor::ImportRtfFile(const std::string& path, bool caption) {
  frmMDIChild* doc = ActiveDocument();
  if (!doc) return false;
  TextControl& tx = *doc->TXTextControl1;
  std::string bytes, error;
  std::string warning;  // what the report holds that the editor does not keep
  bool ok = ReadFileBytes(path, bytes, &error);
  // Into an empty document the report comes whole, with its page; into one with text, at
  // the caret.
  const auto import = [&] {
    if (tx.document()->isEmpty()) {
      ok = tx.ReplaceDocument([&](QTextDocument& d, editor::PageSettings& page) {
        SetImagePath(path, d);
        const ReadResult r = ReadRtfInto(bytes, d);
        if (r.ok && r.hasPage) TakeGivenPage(r.page, page);
        warning = r.warning;
        error = r.reason;
        return r.ok;
      });
    } else {
      QTextCursor c = tx.textCursor();
      ok = InsertRtfAt(bytes, c);
    }
  };
  if (ok && RanOutOfMemory(import)) {
    ok = false;
    error = kOutOfMemory;
  }
  if (!ok) {
    ShowFileMessage(FileMessage::CantImport, path, error);
    return false;
  }
  doc->sourceFormat = FileFormat::Rtf;
  if (!warning.empty()) ui::GetPrompt().MsgBox(path + "\n" + warning, ui::Buttons::OK, ui::Icon::Exclamation);
  if (caption) {
    doc->SetCaption(QString::fromStdString(Upper(path)));
    doc->filePath = path;
    const int slot = doc->Slot();
    if (slot >= 1 && slot <= SlotCount()) State(slot).Dirty = kFalse;
  }
  return true;
}

bool ReportEditor::OpenReport(const std::string& path) {
  if (EditorOpen()) {
    NewDocument();
    ShowEditor();
  } else {
    ShowEditor();
  }
  return ImportRtfFile(path, true);
}

// ---- units and images --------------------------------------------------------------------------

int32_t ReportEditor::DlgString2Twips(const std::string& text) const { return editor::DlgString2Twips(text, MeasureUnit); }
std::string ReportEditor::Twips2DlgString(float twips) const { return editor::Twips2DlgString(twips, MeasureUnit); }

void ReportEditor::InsertImage(bool asChar, TextControl& tx, int x, int y) {
  DialogFocus focus(*this);
  ui::FileDialogRequest req;
  req.title = "Insert Image";
  req.fileName = "";
  req.filter = "Images (*.png;*.jpg;*.jpeg)|*.png;*.jpg;*.jpeg|PNG (*.png)|*.png|JPEG (*.jpg;*.jpeg)|*.jpg;*.jpeg";
  req.filterIndex = 1;
  req.mustExist = true;
  const std::optional<std::string> chosen = ui::GetPrompt().OpenFile(req);
  if (!chosen) return;  // cancelled: no message
  dialogFileName = *chosen;
  std::string bytes;
  std::string error;
  std::string why;
  if (files::ReadFileIfAny(*chosen, bytes, kMaxDocumentFileBytes, &why) != files::ReadResult::Read) {
    error = why.empty() ? "the file cannot be read" : why;
  } else {
    TextControl::KindScope scope(tx, TextControl::EditKind::Input);
    QTextCursor c = tx.textCursor();
    if (!asChar) {
      // A fixed object stands in a paragraph of its own, at the caret.
      (void)x;
      (void)y;
      if (!c.atBlockStart()) c.insertBlock();
    }
    if (!InsertPictureAt(bytes, c)) {
      error = "it is not a PNG or JPEG picture";
    } else if (asChar) {
      tx.setTextCursor(c);
    } else {
      // The text flows above and below a fixed object.
      QTextCursor picture = c;
      picture.movePosition(QTextCursor::PreviousCharacter, QTextCursor::KeepAnchor);
      tx.setTextCursor(picture);
      tx.SetObjectTextflow(1);
      if (!c.atBlockEnd()) c.insertBlock();
      tx.setTextCursor(c);
    }
  }
  if (!error.empty()) {
    ui::GetPrompt().MsgBox("Cannot Insert image: " + *chosen + ". Error " + error + ".", ui::Buttons::OK, ui::Icon::None);
  }
}

// ---- printing ------------------------------------------------------------------------------------

void ReportEditor::PrintDocument() {
  if (!frame_) ShowEditor();
  TextControl* tx = ActiveText();
  if (!tx) return;
  DialogFocus focus(*this);
  PrintTextControl(*tx);
}

void ReportEditor::ShowPrintPreview() {
  TextControl* tx = ActiveText();
  if (!tx) return;
  PrintPreview preview(*tx, frame_);
  ShowDialog(preview);
}

}  // namespace qv::editor
