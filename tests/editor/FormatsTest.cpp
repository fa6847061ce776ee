// The editor's own ".txm" files and RTF: what is written, what reads back, and the
// messages of damaged files; the merged report of the hand-off.
#include "tests/editor/EditorFixture.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextTable>

#include "editor/EditorDialogs.h"

namespace qv::editor::test {

namespace {

int32_t Int32At(const std::string& b, size_t at) {
  return int32_t(uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 | uint32_t(uint8_t(b[at + 2])) << 16 |
                 uint32_t(uint8_t(b[at + 3])) << 24);
}

std::string Int32(int32_t v) {
  std::string s(4, '\0');
  for (int k = 0; k < 4; ++k) s[size_t(k)] = char((uint32_t(v) >> (8 * k)) & 0xFF);
  return s;
}

}  // namespace

class FormatsTest : public EditorTest {
 protected:
  // A report as a user types it: a bold heading, an italic line, a framed paragraph, a
  // table and a picture, on a page with its own margins.
  void WriteReport(TextControl& tx) {
    QTextCursor c(tx.document());
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    QTextBlockFormat centre;
    centre.setAlignment(Qt::AlignHCenter);
    c.setBlockFormat(centre);
    c.insertText("Lease Proposal", bold);
    QTextCharFormat italic;
    italic.setFontItalic(true);
    c.insertBlock(QTextBlockFormat(), QTextCharFormat());
    c.insertText("for ", QTextCharFormat());
    c.insertText("Pat Customer", italic);
    c.insertBlock(QTextBlockFormat(), QTextCharFormat());
    c.insertText("Framed terms");
    tx.setTextCursor(c);
    tx.SetFrameStyle(1 | 2 | 4 | 8);
    tx.SetFrameLineWidth(40);
    c = tx.textCursor();
    c.insertBlock(QTextBlockFormat(), QTextCharFormat());
    QTextTable* t = c.insertTable(2, 2);
    t->cellAt(0, 0).firstCursorPosition().insertText("Price");
    t->cellAt(1, 1).firstCursorPosition().insertText("$24,150.00");
    c.movePosition(QTextCursor::End);
    InsertPictureAt(PngBytes(), c);
    PageSettings page = tx.Page();
    page.PageMarginL = 1000;
    page.PageMarginT = 1100;
    page.PageMarginR = 1200;
    page.PageMarginB = 1300;
    tx.SetPage(page);
  }

  // The report as read back: its text, formats, frame, table, picture and page.
  void ExpectReport(TextControl& tx, bool page = true) {
    QTextDocument* doc = tx.document();
    const QString text = doc->toPlainText();
    EXPECT_TRUE(text.startsWith("Lease Proposal\nfor Pat Customer\nFramed terms")) << text.toStdString();
    EXPECT_TRUE(text.contains("Price")) << text.toStdString();
    EXPECT_TRUE(text.contains("$24,150.00"));
    QTextCursor c(doc);
    c.setPosition(2);
    EXPECT_TRUE(c.charFormat().font().bold());
    EXPECT_EQ(c.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    c.setPosition(doc->findBlockByNumber(1).position() + 6);
    EXPECT_TRUE(c.charFormat().fontItalic());
    const QTextBlock framed = doc->findBlockByNumber(2);
    const ParagraphFrame f = ParagraphFrameOf(framed.blockFormat());
    EXPECT_TRUE(f.left && f.right && f.top && f.bottom);
    EXPECT_EQ(f.lineWidth, 40);
    bool table = false, picture = false;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
      if (QTextCursor(b).currentTable()) table = true;
      for (auto it = b.begin(); !it.atEnd(); ++it) picture = picture || it.fragment().charFormat().isImageFormat();
    }
    EXPECT_TRUE(table);
    EXPECT_TRUE(picture);
    if (page) {
      EXPECT_EQ(tx.PageMarginL(), 1000);
      EXPECT_EQ(tx.PageMarginT(), 1100);
      EXPECT_EQ(tx.PageMarginR(), 1200);
      EXPECT_EQ(tx.PageMarginB(), 1300);
    }
  }
};

TEST_F(FormatsTest, ATxmFileHasTheVersionThePageRecordAndTheDocument) {
  Frame();
  WriteReport(Tx(1));
  const std::string path = Path("report.txm");
  ASSERT_TRUE(editor->SaveDocument(path));
  const std::string b = Read(path);
  ASSERT_GT(b.size(), 30u);
  EXPECT_EQ(Int32At(b, 0), 23);
  EXPECT_EQ(Int32At(b, 4), 1000);
  EXPECT_EQ(Int32At(b, 8), 1100);
  EXPECT_EQ(Int32At(b, 12), 1200);
  EXPECT_EQ(Int32At(b, 16), 1300);
  EXPECT_EQ(Int32At(b, 20), 15840);  // height before width
  EXPECT_EQ(Int32At(b, 24), 12240);
  EXPECT_EQ(b[28], 0);
  EXPECT_EQ(b[29], 0);
  EXPECT_EQ(b.substr(30, 5), "{\\rtf");

  frmMDIChild* back = editor->LoadDocument(path, int(FormatForOpening(path)));
  ASSERT_NE(back, nullptr);
  ExpectReport(*back->TXTextControl1);
  EXPECT_EQ(back->TXTextControl1->PageHeight(), 15840);
  EXPECT_EQ(editor->State(back->Slot()).Dirty, kFalse);
}

TEST_F(FormatsTest, TheReportReadsBackFromEveryFormat) {
  Frame();
  WriteReport(Tx(1));
  for (const char* name : {"r.rtf", "r.txm"}) {
    const std::string path = Path(name);
    ASSERT_TRUE(editor->SaveDocumentOf(Doc(1), path)) << name;
    frmMDIChild* back = editor->LoadDocument(path, int(FormatForOpening(path)));
    ASSERT_NE(back, nullptr) << name;
    ExpectReport(*back->TXTextControl1);
    back->CloseWithoutAsking();
  }
  // The frame is written as RTF paragraph borders.
  const std::string rtf = Read(Path("r.rtf"));
  EXPECT_NE(rtf.find("\\brdrt"), std::string::npos);
  EXPECT_NE(rtf.find("\\brdrl"), std::string::npos);
  EXPECT_NE(rtf.find("\\pngblip"), std::string::npos);
  // HTML and text keep the words.
  for (const char* name : {"r.htm", "r.txt"}) {
    const std::string path = Path(name);
    ASSERT_TRUE(editor->SaveDocumentOf(Doc(1), path)) << name;
    frmMDIChild* back = editor->LoadDocument(path, int(FormatForOpening(path)));
    ASSERT_NE(back, nullptr);
    EXPECT_TRUE(back->TXTextControl1->document()->toPlainText().contains("Pat Customer")) << name;
  }
}

TEST_F(FormatsTest, AVersion20FileGetsAnA4PageWithInchMarginsAndSavesAsVersion23) {
  Frame();
  const std::string path = Write("old.txm", Int32(20) + "{\\rtf1\\ansi Old report\\par}");
  frmMDIChild* d = editor->LoadDocument(path, 3);
  ASSERT_NE(d, nullptr);
  TextControl& tx = *d->TXTextControl1;
  EXPECT_EQ(tx.document()->toPlainText(), "Old report");
  EXPECT_EQ(tx.PageWidth(), 11906);
  EXPECT_EQ(tx.PageHeight(), 16837);
  for (int32_t m : {tx.PageMarginL(), tx.PageMarginT(), tx.PageMarginR(), tx.PageMarginB()}) EXPECT_EQ(m, 1440);
  ASSERT_TRUE(editor->FileSave());
  const std::string b = Read(path);
  EXPECT_EQ(Int32At(b, 0), 23);
  EXPECT_EQ(Int32At(b, 20), 16837);
  EXPECT_EQ(b.substr(30, 5), "{\\rtf");
}

TEST_F(FormatsTest, DamagedTxmFilesAreRefusedAndLeaveNoWindow) {
  Frame();
  const std::string wrong = Write("wrong.txm", Int32(21) + std::string(26, '\0') + "{\\rtf1 x}");
  const std::string missing = Path("missing.txm");
  const std::string body = Write("body.txm", Int32(23) + Int32(1440) + Int32(1440) + Int32(1440) + Int32(1440) +
                                                  Int32(15840) + Int32(12240) + std::string(2, '\0') + "not rtf at all");
  const std::pair<std::string, std::string> cases[] = {{wrong, "Wrong file type: " + wrong},
                                                       {missing, "Can't open file: " + missing},
                                                       {body, "Can't load file: " + body}};
  for (const auto& [path, message] : cases) {
    prompt.ClearAsked();
    prompt.Answer(ui::Answer::OK);
    editor->FileOpen(path);
    EXPECT_EQ(prompt.MessageTexts(), std::vector<std::string>{message});
    QApplication::processEvents();
    EXPECT_EQ(OpenWindows(), 1) << path;
  }
  EXPECT_EQ(editor->State(2).Deleted, kTrue);
}

TEST_F(FormatsTest, AnUnknownExtensionOpensAsTextAndSavesInTheTxmLayout) {
  Frame();
  const std::string path = Write("notes.dat", "plain notes");
  frmMDIChild* d = editor->LoadDocument(path, int(FormatForOpening(path)));
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->TXTextControl1->document()->toPlainText(), "plain notes");
  ASSERT_TRUE(editor->FileSave());
  EXPECT_EQ(Int32At(Read(path), 0), 23);
}

TEST_F(FormatsTest, AMergedReportOpensInANewWindowAndSavesBackAsRtf) {
  const std::string report = Write("Lease.QVR", "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 Payment {\\b $389.42}\\par}");
  ASSERT_TRUE(editor->OpenReport(report));
  EXPECT_EQ(editor->SlotCount(), 1);  // the editor loaded: window 1 takes the report
  frmMDIChild* d = editor->ActiveDocument();
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->Caption().toStdString(), QString::fromStdString(report).toUpper().toStdString());
  EXPECT_EQ(d->TXTextControl1->document()->toPlainText(), "Payment $389.42");
  EXPECT_EQ(editor->State(1).Dirty, kFalse);
  // The editor open: the next report gets a window of its own.
  ASSERT_TRUE(editor->OpenReport(report));
  EXPECT_EQ(editor->SlotCount(), 2);
  EXPECT_EQ(editor->ActiveDocument(), &Doc(2));
  // Save writes the report back where it came from, still RTF for the word processors.
  Type(Tx(2), "Note: ");
  ASSERT_TRUE(editor->FileSave());
  const std::string saved = Read(report);
  EXPECT_EQ(saved.substr(0, 5), "{\\rtf");
  EXPECT_NE(saved.find("Note: Payment"), std::string::npos);
  // A file that is no RTF says so.
  const std::string bad = Write("Bad.QVR", "not rtf");
  prompt.Answer(ui::Answer::OK);
  EXPECT_FALSE(editor->OpenReport(bad));
  EXPECT_EQ(prompt.MessageTexts().back(), "Can't import file: " + bad);
}

TEST_F(FormatsTest, InsertTextTakesAnRtfFileWithItsFormats) {
  Frame();
  Type(Tx(1), "AB");
  Tx(1).SetSelection(1, 0);
  const std::string path = Write("part.rtf", "{\\rtf1\\ansi {\\i slanted}}");
  prompt.File(path);
  editor->InsertTextFile();
  EXPECT_EQ(Tx(1).document()->toPlainText(), "AslantedB");
  QTextCursor c(Tx(1).document());
  c.setPosition(3);
  EXPECT_TRUE(c.charFormat().fontItalic());
}

// ---- units, page setup and image dialogs ----

TEST_F(EditorTest, DialogLengthsConvertInTheEditorsUnit) {
  Frame();
  editor->MeasureUnit = 1;
  EXPECT_EQ(editor->DlgString2Twips("1"), 1440);
  EXPECT_EQ(editor->DlgString2Twips("0.5"), 720);
  EXPECT_EQ(editor->Twips2DlgString(12240), "8.50");
  EXPECT_EQ(editor->Twips2DlgString(0), "0.00");
  editor->MeasureUnit = 2;
  EXPECT_EQ(editor->DlgString2Twips("2,54"), 1440);
  EXPECT_EQ(editor->Twips2DlgString(11906), "21.00");
  EXPECT_EQ(editor->Twips2DlgString(16837), "29.69");
}

class MetricDialogTest : public EditorTest {
 protected:
  MetricDialogTest() { localeCode = 49; }
};

TEST_F(MetricDialogTest, AnA4PageShowsInCentimetresAndOkStoresWhatTheTextSays) {
  Frame();
  editor->PageSettings = Tx(1).Page();
  frmPageDlg dlg(*editor);
  EXPECT_EQ(dlg.windowTitle(), "Page Setup");
  EXPECT_EQ(dlg.txtPaperWidth->text(), "21.00");
  EXPECT_EQ(dlg.txtPaperHeight->text(), "29.69");
  EXPECT_EQ(dlg.cboPaperSize->currentText(), "A4");
  EXPECT_EQ(dlg.lblMeasurement[0]->text(), "cm");
  EXPECT_TRUE(dlg.btnOK->isEnabled());
  dlg.btnOK_Click();
  EXPECT_EQ(editor->PageSettings.PageWidth, 11907);
  EXPECT_EQ(editor->PageSettings.PageHeight, 16834);
  EXPECT_EQ(editor->PageSettings.PaperSizeIndex, 0);
  frmPageDlg again(*editor);
  EXPECT_EQ(again.cboPaperSize->currentText(), "A4");
}

TEST_F(EditorTest, ASizeNearAPaperSelectsItAndUserDefinedChangesNothing) {
  Frame();
  editor->PageSettings = Tx(1).Page();
  editor->PageSettings.PageWidth = 10000;
  frmPageDlg dlg(*editor);
  EXPECT_EQ(dlg.cboPaperSize->currentText(), "User Defined");
  dlg.txtPaperWidth->setText("8.499");   // 12239 twips
  dlg.txtPaperHeight->setText("11.002");  // 15843 twips
  dlg.MatchPaperSize();
  EXPECT_EQ(dlg.cboPaperSize->currentText(), "Letter");
  EXPECT_EQ(dlg.txtPaperWidth->text(), "8.50");
  EXPECT_EQ(dlg.txtPaperHeight->text(), "11.00");
  dlg.txtPaperWidth->setText("7.00");
  dlg.cboPaperSize->setCurrentIndex(5);
  dlg.cboPaperSize_Click();
  EXPECT_EQ(dlg.txtPaperWidth->text(), "7.00");
  dlg.cboPaperSize->setCurrentIndex(4);
  dlg.cboPaperSize_Click();
  EXPECT_EQ(dlg.txtPaperHeight->text(), "14.00");
}

TEST_F(EditorTest, InvalidPageEntriesDisableOkWithTheReason) {
  Frame();
  editor->PageSettings = Tx(1).Page();
  frmPageDlg dlg(*editor);
  struct Case {
    QLineEdit* box;
    const char* text;
    const char* reason;
  };
  const Case cases[] = {
      {dlg.txtLeftMargin, "", "The left margin is not a number."},
      {dlg.txtLeftMargin, "abc", "The left margin is not a number."},
      {dlg.txtLeftMargin, "0", "The left margin must be more than 0 and within the paper width."},
      {dlg.txtTopMargin, "-1", "The top margin must be more than 0 and within the paper height."},
      {dlg.txtPaperWidth, "11.38", "The paper width must be more than 0 and at most 11.38 inch."},
      {dlg.txtPaperWidth, "100000000", "The paper width must be more than 0 and at most 11.38 inch."},
      {dlg.txtPaperHeight, "99999999999", "The paper height must be more than 0 and at most 22.75 inch."},
      {dlg.txtRightMargin, "7.5", "The left and right margins leave no room on the paper."},
      {dlg.txtBottomMargin, "10", "The top and bottom margins leave no room on the paper."},
  };
  for (const Case& c : cases) {
    const QString before = c.box->text();
    c.box->setText(QString::fromLatin1(c.text));
    EXPECT_FALSE(dlg.btnOK->isEnabled()) << c.text;
    EXPECT_EQ(dlg.lblProblem->text().toStdString(), c.reason) << c.text;
    c.box->setText(before);
    EXPECT_TRUE(dlg.btnOK->isEnabled()) << c.text;
    EXPECT_TRUE(dlg.lblProblem->text().isEmpty());
  }
  // The widest paper is 16383 twips; as a height it is fine.
  dlg.txtPaperWidth->setText("11.37");
  EXPECT_TRUE(dlg.btnOK->isEnabled());
  dlg.txtPaperHeight->setText("11.38");
  EXPECT_TRUE(dlg.btnOK->isEnabled());
  // Cancel after changes leaves the record as it was.
  const PageSettings before = editor->PageSettings;
  dlg.btnCancel_Click();
  EXPECT_EQ(editor->PageSettings, before);
}

TEST_F(EditorTest, PageSetupFromTheMenuChangesTheDocumentsPage) {
  Frame();
  prompt.Modal([&](ui::ModalWindow& w) {
    auto& dlg = dynamic_cast<frmPageDlg&>(w);
    dlg.cboPaperSize->setCurrentIndex(4);  // Legal
    dlg.cboPaperSize_Click();
    dlg.txtLeftMargin->setText("0.5");
    dlg.btnOK_Click();
    return 1;
  });
  Doc(1).mnuFormat_Document_Click();
  EXPECT_EQ(Tx(1).PageHeight(), 20160);
  EXPECT_EQ(Tx(1).PageMarginL(), 720);
  EXPECT_EQ(editor->PageSettings.PaperSizeIndex, 4);
}

TEST_F(MetricDialogTest, TheImageDialogShowsDistancesInTheUnitAndWritesThemBack) {
  Frame();
  TextControl& tx = Tx(1);
  QTextCursor c = tx.textCursor();
  InsertPictureAt(PngBytes(), c);
  tx.SetSelection(0, 1);
  editor->DialogTarget = &tx;
  {
    // In the line as a character: no distances.
    frmImageDlg dlg(*editor);
    EXPECT_EQ(dlg.windowTitle(), "Image Attributes");
    EXPECT_FALSE(dlg.frmBorders->isEnabled());
    EXPECT_TRUE(dlg.txtLeftBorder->text().isEmpty());
    dlg.chkFastDisplay->setChecked(true);
    dlg.btnOk_Click();
    EXPECT_EQ(tx.ImageDisplayMode(), 1);
    EXPECT_EQ(tx.ObjectDistance(1), 0);
  }
  tx.SetObjectTextflow(1);
  tx.SetObjectDistance(1, 567);
  {
    frmImageDlg dlg(*editor);
    EXPECT_TRUE(dlg.frmBorders->isEnabled());
    EXPECT_EQ(dlg.txtLeftBorder->text(), "1.00");
    EXPECT_EQ(dlg.lblMeasurement[0]->text(), "cm");
    EXPECT_TRUE(dlg.chkFastDisplay->isChecked());
    dlg.txtTopBorder->setText("");
    dlg.txtBottomBorder->setText("0,5");
    dlg.chkSaveAsData->setChecked(true);
    dlg.btnOk_Click();
  }
  EXPECT_EQ(tx.ObjectDistance(1), 567);
  EXPECT_EQ(tx.ObjectDistance(2), 0);
  EXPECT_EQ(tx.ObjectDistance(4), 284);
  EXPECT_EQ(tx.ImageSaveMode(), 1);
  {
    frmImageDlg dlg(*editor);
    dlg.txtLeftBorder->setText("9");
    dlg.btnCancel_Click();
  }
  EXPECT_EQ(tx.ObjectDistance(1), 567);
}


// Large tables open whole, through "Open" and through the report hand-off: the shown
// document is built and laid out once, not once per cell.
TEST_F(FormatsTest, LargeTablesOpenWithEveryCell) {
  struct Shape {
    int rows, columns;
  };
  for (const Shape shape : {Shape{64, 32}, Shape{1000, 8}}) {
    std::string rtf = "{\\rtf1\\ansi ";
    for (int r = 0; r < shape.rows; ++r) {
      rtf += "\\trowd";
      for (int c = 1; c <= shape.columns; ++c) rtf += "\\cellx" + std::to_string(c * 300);
      for (int c = 0; c < shape.columns; ++c) rtf += "\\pard\\intbl " + std::to_string(r * 100 + c) + "\\cell";
      rtf += "\\row\n";
    }
    rtf += "}";
    const std::string path = Write("big.rtf", rtf);
    for (const bool handOff : {false, true}) {
      TextControl* tx = nullptr;
      if (handOff) {
        ASSERT_TRUE(editor->OpenReport(path));
        tx = editor->ActiveText();
      } else {
        frmMDIChild* d = editor->LoadDocument(path, int(FormatForOpening(path)));
        ASSERT_NE(d, nullptr);
        tx = d->TXTextControl1;
      }
      ASSERT_NE(tx, nullptr);
      QTextTable* table = QTextCursor(tx->document()->begin().next()).currentTable();
      ASSERT_NE(table, nullptr) << shape.rows << "x" << shape.columns;
      EXPECT_EQ(table->rows(), shape.rows);
      EXPECT_EQ(table->columns(), shape.columns);
      const int r = shape.rows - 1, c = shape.columns - 1;
      EXPECT_EQ(table->cellAt(r, c).firstCursorPosition().block().text(), QString::number(r * 100 + c));
      EXPECT_EQ(tx->document()->availableUndoSteps(), 0);
      EXPECT_GT(tx->document()->documentLayout()->documentSize().height(), 0);
      editor->ActiveDocument()->CloseWithoutAsking();
    }
  }
}

}  // namespace qv::editor::test
