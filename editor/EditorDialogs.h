#pragma once
// The editor's dialogs and its printing: page setup, paragraph frames, image attributes,
// table insertion, the print preview, and printing a document through the print dialog.
// Each dialog builds its state when it is made (from PageSettings or DialogTarget of the
// editor), writes back on OK and writes nothing on Cancel.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "editor/Formats.h"
#include "platform/ui/Prompt.h"
#include "platform/ui/Window.h"

namespace qv::editor {

class ReportEditor;
class TextControl;

// ---- page setup ---------------------------------------------------------------------------

struct PaperSize {
  const char* name;
  int32_t width;   // twips; 0 for "User Defined"
  int32_t height;
};
// "A4", "A5", "B5", "Letter", "Legal", "User Defined", in list order.
extern const std::array<PaperSize, 6> kPaperSizes;
// The list index of the first paper within 4 twips each way of the size, else 5.
int MatchPaper(double widthTwips, double heightTwips);

class frmPageDlg : public ui::QvDialog {
  Q_OBJECT

 public:
  frmPageDlg(ReportEditor& editor, QWidget* parent = nullptr);

  QComboBox* cboPaperSize;
  QLineEdit *txtPaperWidth, *txtPaperHeight;
  QLineEdit *txtLeftMargin, *txtTopMargin, *txtRightMargin, *txtBottomMargin;
  std::array<QLabel*, 6> lblMeasurement{};
  QLabel* lblProblem;  // why OK is disabled
  QPushButton *btnOK, *btnCancel;

  void Form_Load();
  // True when the six boxes hold a layout that can be printed; otherwise the reason is in
  // Problem() (and shown under the boxes).
  bool ValidatePageEntries();
  std::string Problem() const { return problem_; }
  void MatchPaperSize();
  void cboPaperSize_Click();
  void EntryChanged();
  void btnOK_Click();
  void btnCancel_Click();

 private:
  // The twips of a box as a wide number (no overflow for any typed value); nullopt when
  // the box holds no number.
  std::optional<double> EntryTwips(const QLineEdit* box) const;
  ReportEditor& editor_;
  std::string problem_;
};

// ---- paragraph frames ------------------------------------------------------------------------

class frmFramesDlg : public ui::QvDialog {
  Q_OBJECT

 public:
  frmFramesDlg(ReportEditor& editor, QWidget* parent = nullptr);

  QCheckBox *chkLeft, *chkRight, *chkTop, *chkBottom, *chkTabLines;
  QCheckBox *chkDoubleLines, *chkConnectedFrames;
  QComboBox *cboLineWidth, *cboTextDistance;
  QPushButton *cmdOK, *cmdCancel;
  int16_t ClickedParts = 0;

  void Form_Load();
  void cmdOK_Click();
  void cmdCancel_Click();

 private:
  ReportEditor& editor_;
};

// The style value of the frame dialog, and its parts (on value, off value).
struct FramePart {
  int on;
  int off;
};
constexpr FramePart kFrameLeft{1, 256}, kFrameRight{2, 512}, kFrameTop{4, 1024}, kFrameBottom{8, 2048},
    kFrameTabLines{16, 4096}, kFrameDouble{64, 32}, kFrameConnected{128, 0};

// ---- image attributes ----------------------------------------------------------------------------

class frmImageDlg : public ui::QvDialog {
  Q_OBJECT

 public:
  frmImageDlg(ReportEditor& editor, QWidget* parent = nullptr);

  QGroupBox* frmBorders;  // "Image Borders"
  QLineEdit *txtLeftBorder, *txtTopBorder, *txtRightBorder, *txtBottomBorder;
  std::array<QLabel*, 4> lblBorder{};
  std::array<QLabel*, 4> lblMeasurement{};
  QCheckBox *chkFastDisplay, *chkSaveAsData;
  QPushButton *btnOK, *btnCancel;

  void Form_Load();
  void btnOk_Click();
  void btnCancel_Click();

 private:
  ReportEditor& editor_;
};

// ---- table insertion -------------------------------------------------------------------------------

constexpr int kMaxTableRows = 100;
constexpr int kMaxTableColumns = 12;

class frmTableDlg : public ui::QvDialog {
  Q_OBJECT

 public:
  frmTableDlg(ReportEditor& editor, QWidget* parent = nullptr);

  QComboBox *cboRows, *cboColumns;
  QLabel* lblProblem;
  QPushButton *btnOK, *btnCancel;

  void Form_Load();
  // The rows and columns typed, when they are whole numbers within 1 to 100 and 1 to 12.
  std::optional<std::pair<int, int>> Size() const;
  void EntryChanged();
  void btnOk_Click();
  void btnCancel_Click();

 private:
  ReportEditor& editor_;
};

// ---- print preview -------------------------------------------------------------------------------------

// The print zoom that fits a page into a box: each side's percentage rounded (halves to
// the even neighbour), the smaller of the two.
int FitPrintZoom(double boxWidthTwips, double boxHeightTwips, double pageWidthTwips, double pageHeightTwips);

class PreviewPage : public QWidget {
  Q_OBJECT

 public:
  PreviewPage(TextControl& tx, QWidget* parent);
  int page = 1;  // shown when within the document
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  TextControl& tx_;
};

class PrintPreview : public ui::QvDialog {
  Q_OBJECT

 public:
  // The boxes are twice the old window's (3132 x 3852 twips), so a page is readable.
  static constexpr double kBoxWidthTwips = 6264;
  static constexpr double kBoxHeightTwips = 7704;

  PrintPreview(TextControl& tx, QWidget* parent = nullptr);
  ~PrintPreview() override;

  QLabel* Label1;
  PreviewPage *Picture1, *Picture2;
  QScrollBar* VScroll1;
  QPushButton* Cancel;
  QPushButton* cmdPrint;
  int16_t SavedPrintZoom = 100;

  void Form_Load();
  void Form_Paint();
  void VScroll1_Change();
  void Cancel_Click();
  // Prints the document from the preview (the print dialog as the Print command).
  void cmdPrint_Click();
  // Every way of closing (Close, Escape, the close box) puts the print zoom back.
  void done(int r) override;

 private:
  QPointer<TextControl> tx_;
  bool restored_ = false;
};

// ---- printing ----------------------------------------------------------------------------------------

// Prints the document of a text control: the print dialog of the prompt seam offers the
// copies and a page range; each page goes on a sheet of its own, each copy starting on a new
// sheet. Cancel prints nothing.
void PrintTextControl(TextControl& tx, const std::string& title = "");
// Prints pages first to last, `copies` times, to the printer or PDF file of the target.
// False when the printer cannot be opened.
bool PrintPages(TextControl& tx, const ui::PrintTarget& target, int first, int last, int copies);

}  // namespace qv::editor
