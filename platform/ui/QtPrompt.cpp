#include "platform/ui/QtPrompt.h"

#include <QApplication>
#include <QColorDialog>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPointer>
#include <QRegularExpression>
#include <QPrinter>
#include <QStringList>
#include <QUrl>

namespace qv::ui {

QString MessageText(const std::string& text) {
  QString s = QString::fromStdString(text);
  s.replace("\r\n", "\n");
  s.replace('\r', '\n');
  return s;
}

QString QtFilterFromDialogFilter(const std::string& filter) {
  QStringList parts = QString::fromStdString(filter).split('|');
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString desc = parts[i];
    QString pat = parts[i + 1];
    pat.replace(';', ' ');
    if (desc.contains('(')) out << desc.left(desc.indexOf('(')).trimmed() + " (" + pat + ")";
    else out << desc + " (" + pat + ")";
  }
  return out.join(";;");
}

QtPrompt::QtPrompt() : printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {}
QtPrompt::~QtPrompt() = default;

// The visible window of the program that stays on top of the others (the customer window),
// if there is one; the active one first.
static QWidget* StayOnTopWindow() {
  auto staysOnTop = [](const QWidget* w) {
    const Qt::WindowType type = w->windowType();
    return w->isVisible() && !w->isMinimized() && w->windowFlags().testFlag(Qt::WindowStaysOnTopHint) &&
           type != Qt::Popup && type != Qt::ToolTip && type != Qt::SplashScreen;
  };
  if (QWidget* w = QApplication::activeWindow(); w && staysOnTop(w)) return w;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (staysOnTop(w)) return w;
  return nullptr;
}

QWidget* QtPrompt::Parent() const {
  if (QWidget* w = QApplication::activeModalWidget()) return w;
  // A window that stays on top covers every other window of the program, also while it is
  // being shown and not active yet (a question raised while it loads): a box parented to
  // any other window would sit under it, and the program would seem frozen.
  if (QWidget* w = StayOnTopWindow()) {
    lastOwner_ = w;
    return w;
  }
  if (QWidget* w = QApplication::activeWindow()) {
    lastOwner_ = w;
    return w;
  }
  // Two questions in a row (is it an interest rate, then use the factor): the window that
  // asks is active again only once the window manager has handled the first box's close. A
  // second box parented to the main window would give the focus to it when it closes.
  if (lastOwner_ && lastOwner_->isVisible()) return lastOwner_.data();
  return fallback_.data();
}

static QString TitleText(const Title& t) { return QString::fromStdString(t.value_or(kDefaultTitle)); }

Answer QtPrompt::MsgBox(const std::string& text, Buttons buttons, Icon icon, const Title& title) {
  QMessageBox box(Parent());
  box.setWindowTitle(TitleText(title));
  box.setText(MessageText(text));
  switch (icon) {
    case Icon::Critical: box.setIcon(QMessageBox::Critical); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    case Icon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::None: break;
  }
  using SB = QMessageBox::StandardButton;
  switch (buttons) {
    case Buttons::OK: box.setStandardButtons(SB::Ok); break;
    case Buttons::OKCancel: box.setStandardButtons(SB::Ok | SB::Cancel); break;
    case Buttons::AbortRetryIgnore: box.setStandardButtons(SB::Abort | SB::Retry | SB::Ignore); break;
    case Buttons::YesNoCancel: box.setStandardButtons(SB::Yes | SB::No | SB::Cancel); break;
    case Buttons::YesNo: box.setStandardButtons(SB::Yes | SB::No); break;
    case Buttons::RetryCancel: box.setStandardButtons(SB::Retry | SB::Cancel); break;
  }
  int r = box.exec();
  switch (r) {
    case SB::Ok: return Answer::OK;
    case SB::Abort: return Answer::Abort;
    case SB::Retry: return Answer::Retry;
    case SB::Ignore: return Answer::Ignore;
    case SB::Yes: return Answer::Yes;
    case SB::No: return Answer::No;
    default: return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
  }
}

std::optional<std::string> QtPrompt::InputBox(const std::string& prompt, const Title& title,
                                              const std::string& defaultText) {
  bool ok = false;
  QString s = QInputDialog::getText(Parent(), TitleText(title), MessageText(prompt), QLineEdit::Normal,
                                    QString::fromStdString(defaultText), &ok);
  if (!ok) return std::nullopt;
  return s.toStdString();
}

QString DefaultSuffixOfFilter(const QString& nameFilter) {
  // "Rich Text Format (*.rtf)" gives "rtf"; "All files (*)" gives nothing.
  static const QRegularExpression pattern(QStringLiteral("\\*\\.([A-Za-z0-9_]+)"));
  const QRegularExpressionMatch m = pattern.match(nameFilter);
  return m.hasMatch() ? m.captured(1) : QString();
}

static std::optional<std::string> RunFileDialog(QWidget* parent, const FileDialogRequest& req, bool save) {
  QFileDialog dlg(parent, QString::fromStdString(req.title), QString::fromStdString(req.initialDir),
                  QtFilterFromDialogFilter(req.filter));
  dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dlg.setFileMode(save ? QFileDialog::AnyFile : (req.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile));
  if (!req.confirmOverwrite) dlg.setOption(QFileDialog::DontConfirmOverwrite, true);
  if (!req.defaultExt.empty()) dlg.setDefaultSuffix(QString::fromStdString(req.defaultExt));
  if (!req.fileName.empty()) dlg.selectFile(QString::fromStdString(req.fileName));
  QStringList filters = dlg.nameFilters();
  if (req.filterIndex > 0 && req.filterIndex <= filters.size()) dlg.selectNameFilter(filters[req.filterIndex - 1]);
  if (save && req.extensionFollowsFilter) {
    auto follow = [&dlg](const QString& filter) {
      const QString ext = DefaultSuffixOfFilter(filter);
      if (!ext.isEmpty()) dlg.setDefaultSuffix(ext);
    };
    if (req.filterIndex > 0 && req.filterIndex <= filters.size()) follow(filters[req.filterIndex - 1]);
    QObject::connect(&dlg, &QFileDialog::filterSelected, &dlg, follow);
  }
  if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return std::nullopt;
  return dlg.selectedFiles().front().toStdString();
}

std::optional<std::string> QtPrompt::OpenFile(const FileDialogRequest& req) { return RunFileDialog(Parent(), req, false); }
std::optional<std::string> QtPrompt::SaveFile(const FileDialogRequest& req) { return RunFileDialog(Parent(), req, true); }

std::optional<PrintTarget> QtPrompt::PrintDialog(const PrintRequest& req) {
  QPrinter& printer = *printer_;
  printer.setCopyCount(req.copies);
  printer.setPrintRange(QPrinter::AllPages);
  QPrintDialog dlg(&printer, Parent());
  dlg.setWindowTitle(req.title.empty() ? QStringLiteral("Print") : QString::fromStdString(req.title));
  if (req.maxPage > 0) {
    dlg.setMinMax(req.minPage, req.maxPage);
    printer.setFromTo(req.fromPage, req.toPage > 0 ? req.toPage : req.maxPage);
    dlg.setOption(QAbstractPrintDialog::PrintPageRange, true);
  }
  dlg.setOption(QAbstractPrintDialog::PrintSelection, false);
  if (dlg.exec() != QDialog::Accepted) return std::nullopt;
  PrintTarget t;
  if (printer.printRange() == QPrinter::PageRange) {
    t.pageRange = true;
    t.fromPage = printer.fromPage();
    t.toPage = printer.toPage();
  }
  t.printerName = printer.printerName().toStdString();
  if (printer.outputFormat() == QPrinter::PdfFormat) t.pdfPath = printer.outputFileName().toStdString();
  t.copies = printer.copyCount();
  t.landscape = printer.pageLayout().orientation() == QPageLayout::Landscape;
  return t;
}

bool QtPrompt::PageSetupDialog() {
  QPageSetupDialog dlg(printer_.get(), Parent());
  return dlg.exec() == QDialog::Accepted;
}

std::optional<uint32_t> QtPrompt::ColorDialog(uint32_t initial) {
  QColor start(initial & 0xFF, (initial >> 8) & 0xFF, (initial >> 16) & 0xFF);
  QColor c = QColorDialog::getColor(start, Parent());
  if (!c.isValid()) return std::nullopt;
  return static_cast<uint32_t>(c.red()) | (static_cast<uint32_t>(c.green()) << 8) | (static_cast<uint32_t>(c.blue()) << 16);
}

std::optional<FontChoice> QtPrompt::FontDialog(const FontChoice& initial) {
  QFont start(QString::fromStdString(initial.family));
  if (initial.pointSize > 0) start.setPointSizeF(initial.pointSize);
  start.setBold(initial.bold);
  start.setItalic(initial.italic);
  start.setUnderline(initial.underline);
  start.setStrikeOut(initial.strikeOut);
  bool ok = false;
  const QFont f = QFontDialog::getFont(&ok, start, Parent());
  if (!ok) return std::nullopt;
  FontChoice c;
  c.family = f.family().toStdString();
  c.pointSize = f.pointSizeF();
  c.bold = f.bold();
  c.italic = f.italic();
  c.underline = f.underline();
  c.strikeOut = f.strikeOut();
  return c;
}

int QtPrompt::ShowModal(ModalWindow& window) {
  // When the window closes, the window manager activates the window it belongs to, which is
  // the main window also when another window opened it (the details from the lease
  // comparison, the start-up costs from the details): give the activation back to the
  // window that opened it, so the keyboard goes on where the user was.
  // The window may delete itself when it closes: it is not touched after ExecModal.
  QPointer<QWidget> opener = QApplication::activeWindow();
  const QWidget* self = dynamic_cast<QWidget*>(&window);
  const int result = window.ExecModal();
  if (opener && opener != self && opener->isVisible()) opener->activateWindow();
  return result;
}

void QtPrompt::DoEvents() { QCoreApplication::processEvents(); }

void QtPrompt::SetBusy(bool busy) {
  if (busy) {
    if (busyDepth_++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
  } else if (busyDepth_ > 0) {
    if (--busyDepth_ == 0) QApplication::restoreOverrideCursor();
  }
}

bool QtPrompt::OpenExternal(const std::string& urlOrPath) {
  QUrl url = QUrl::fromUserInput(QString::fromStdString(urlOrPath));
  return QDesktopServices::openUrl(url);
}

}  // namespace qv::ui
