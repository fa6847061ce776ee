// The paragraph frame and table dialogs.
#include "tests/editor/EditorFixture.h"

#include <QAction>
#include <QTextTable>

#include "editor/ControlDialogs.h"
#include "editor/EditorDialogs.h"

namespace qv::editor::test {

class FramesTest : public EditorTest {
 protected:
  void SetUp() override {
    EditorTest::SetUp();
    Frame();
    Type(Tx(1), "framed");
    editor->DialogTarget = &Tx(1);
  }
};

TEST_F(FramesTest, OkWithoutClicksWritesStyleZeroThenTheWidthAndDistanceShown) {
  Tx(1).SetFrameStyle(1 | 4);
  Tx(1).SetFrameLineWidth(30);
  Tx(1).SetFrameDistance(-1);
  frmFramesDlg dlg(*editor);
  EXPECT_EQ(dlg.windowTitle(), "Paragraph Frames");
  EXPECT_TRUE(dlg.chkLeft->isChecked());
  EXPECT_TRUE(dlg.chkTop->isChecked());
  EXPECT_FALSE(dlg.chkRight->isChecked());
  EXPECT_EQ(dlg.ClickedParts, 0);
  EXPECT_EQ(dlg.cboLineWidth->count(), 12);
  EXPECT_EQ(dlg.cboLineWidth->itemText(0), " 1 pt");
  EXPECT_EQ(dlg.cboTextDistance->count(), 13);
  EXPECT_EQ(dlg.cboTextDistance->itemText(0), " 0 pt");
  EXPECT_EQ(dlg.cboLineWidth->currentText(), "1.5 pt");
  EXPECT_EQ(dlg.cboTextDistance->currentText(), "");
  dlg.cmdOK_Click();
  // Style 0 names no part: the lines stay. 1.5 points rounds to 2 (halves to even).
  EXPECT_EQ(Tx(1).FrameStyle(), 1 | 4);
  EXPECT_EQ(Tx(1).FrameLineWidth(), 40);
  EXPECT_EQ(Tx(1).FrameDistance(), -1);  // an empty box writes nothing
}

TEST_F(FramesTest, ClickedPartsAreSentOnOrOff) {
  Tx(1).SetFrameStyle(1 | 2 | 128 | 64);
  frmFramesDlg dlg(*editor);
  dlg.chkLeft->click();   // off
  dlg.chkLeft->click();   // on again
  dlg.chkLeft->click();   // off: 256
  dlg.chkDoubleLines->click();  // off: 32 (single lines)
  dlg.chkConnectedFrames->click();  // off: sends nothing
  dlg.chkBottom->click();  // on: 8
  EXPECT_EQ(dlg.ClickedParts, 1 | 64 | 128 | 8);
  dlg.cmdOK_Click();
  EXPECT_EQ(Tx(1).FrameStyle(), 2 | 8 | 128);
}

TEST_F(FramesTest, WidthsAreClampedToTheirRanges) {
  const std::pair<const char*, int> widths[] = {{"20 pt", 240}, {"0 pt", 20}, {"2.5 pt", 40}, {"abc", 20}};
  for (const auto& [text, twips] : widths) {
    frmFramesDlg dlg(*editor);
    dlg.cboLineWidth->setEditText(QString::fromLatin1(text));
    dlg.cboTextDistance->setEditText(QStringLiteral("40"));
    dlg.cmdOK_Click();
    EXPECT_EQ(Tx(1).FrameLineWidth(), twips) << text;
    EXPECT_EQ(Tx(1).FrameDistance(), 240) << text;
  }
}

TEST_F(FramesTest, CancelWritesNothingAndTheMenuSetsTheTarget) {
  editor->DialogTarget = nullptr;
  prompt.Modal([&](ui::ModalWindow& w) {
    auto& dlg = dynamic_cast<frmFramesDlg&>(w);
    EXPECT_EQ(editor->DialogTarget, &Tx(1));
    dlg.chkLeft->click();
    dlg.cmdCancel_Click();
    return 0;
  });
  Doc(1).mnuFormat_Frames_Click();
  EXPECT_EQ(Tx(1).FrameStyle(), 0);
}

TEST_F(FramesTest, FramesApplyToEverySelectedParagraph) {
  QTextCursor c = Tx(1).textCursor();
  c.insertBlock();
  c.insertText("second");
  Tx(1).SetSelection(0, -1);
  Tx(1).SetFrameStyle(1 | 2 | 4 | 8);
  Tx(1).SetSelection(Tx(1).document()->characterCount() - 2, 0);
  EXPECT_EQ(Tx(1).FrameStyle(), 15);
  Tx(1).SetSelection(0, 0);
  EXPECT_EQ(Tx(1).FrameStyle(), 15);
}

// ---- table ----

TEST_F(EditorTest, TheTableDialogStartsAtTwoByTwoAndInsertsATable) {
  Frame();
  editor->DialogTarget = &Tx(1);
  frmTableDlg dlg(*editor);
  EXPECT_EQ(dlg.windowTitle(), "Table Attributes");
  EXPECT_EQ(dlg.cboRows->count(), 100);
  EXPECT_EQ(dlg.cboColumns->count(), 12);
  EXPECT_EQ(dlg.cboRows->currentText(), "2");
  EXPECT_EQ(dlg.cboColumns->currentText(), "2");
  EXPECT_TRUE(dlg.btnOK->isEnabled());
  dlg.btnOk_Click();
  QTextTable* table = Tx(1).textCursor().currentTable();
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->rows(), 2);
  EXPECT_EQ(table->columns(), 2);
}

TEST_F(EditorTest, TableSizesOutsideTheListsAreRefusedWithTheReason) {
  Frame();
  editor->DialogTarget = &Tx(1);
  frmTableDlg dlg(*editor);
  const std::pair<const char*, const char*> bad[] = {{"0", "2"}, {"101", "2"}, {"2.5", "2"}, {"2", "13"}, {"2", "2.5"},
                                                     {"x", "2"}, {"2", ""}};
  for (const auto& [rows, cols] : bad) {
    dlg.cboRows->setEditText(QString::fromLatin1(rows));
    dlg.cboColumns->setEditText(QString::fromLatin1(cols));
    EXPECT_FALSE(dlg.btnOK->isEnabled()) << rows << " x " << cols;
    EXPECT_EQ(dlg.lblProblem->text(), "Rows must be a whole number from 1 to 100 and columns from 1 to 12.");
  }
  dlg.btnOk_Click();
  EXPECT_EQ(Tx(1).textCursor().currentTable(), nullptr);
  dlg.cboRows->setEditText("100");
  dlg.cboColumns->setEditText("12");
  EXPECT_TRUE(dlg.btnOK->isEnabled());
  EXPECT_TRUE(dlg.lblProblem->text().isEmpty());
  dlg.btnOk_Click();
  ASSERT_NE(Tx(1).textCursor().currentTable(), nullptr);
  EXPECT_EQ(Tx(1).textCursor().currentTable()->rows(), 100);
}

TEST_F(EditorTest, TheInsertTableMenuSetsTheTargetAndCancelInsertsNothing) {
  Frame();
  prompt.Modal([&](ui::ModalWindow& w) {
    EXPECT_EQ(editor->DialogTarget, &Tx(1));
    dynamic_cast<frmTableDlg&>(w).btnCancel_Click();
    return 0;
  });
  Doc(1).mnuInsert_Table_Click();
  EXPECT_EQ(Tx(1).textCursor().currentTable(), nullptr);
}

}  // namespace qv::editor::test

namespace qv::editor::test {

TEST_F(EditorTest, TheTableAttributesDialogChangesRowsColumnsAndBorders) {
  Frame();
  ASSERT_TRUE(Tx(1).TableInsert(2, 3));
  TableAttrDlg dlg(Tx(1));
  dlg.InsertRow();
  dlg.DeleteColumn();
  dlg.spnBorder->setValue(0);
  dlg.cmdOK_Click();
  QTextTable* t = Tx(1).textCursor().currentTable();
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->rows(), 3);
  EXPECT_EQ(t->columns(), 2);
  EXPECT_EQ(t->format().border(), 0);
  // The last row and column stay.
  for (int k = 0; k < 5; ++k) {
    dlg.DeleteRow();
    dlg.DeleteColumn();
  }
  EXPECT_EQ(t->rows(), 1);
  EXPECT_EQ(t->columns(), 1);
}

TEST_F(EditorTest, TheWindowMenuListsTheOpenDocumentsWithTheActiveChecked) {
  Frame();
  editor->NewDocument();
  Doc(2).mnuWindow_Click();
  std::vector<std::string> listed;
  for (QAction* a : Doc(2).mnuWindow->actions()) {
    if (a->property("qvWindowList").toBool() && !a->isSeparator()) {
      listed.push_back(a->text().toStdString() + (a->isChecked() ? " *" : ""));
    }
  }
  EXPECT_EQ(listed, (std::vector<std::string>{"&1 Untitled", "&2 Untitled:2 *"}));
  Doc(2).mnuWindow_Click();  // opening again lists them once
  int count = 0;
  for (QAction* a : Doc(2).mnuWindow->actions()) count += a->property("qvWindowList").toBool() && !a->isSeparator();
  EXPECT_EQ(count, 2);
}

}  // namespace qv::editor::test

#include <QFontComboBox>

namespace qv::editor::test {

// Every dialog of the editor gives the focus back to the document's text when it closes,
// confirmed or cancelled, even when the frame's focus went elsewhere meanwhile (to the font
// box, where typing then went once after the page dialog).
TEST_F(EditorTest, EveryDialogGivesTheFocusBackToTheDocumentText) {
  Frame();
  frame()->activateWindow();
  QApplication::processEvents();
  const std::string text = Write("insert.txt", "inserted\n");
  const std::string picture = Write("picture.png", PngBytes());
  Type(Tx(1), "focus");
  struct Case {
    const char* name;
    std::function<void()> open;
    // A modal dialog of the editor: closes it with OK (true) or Cancel.
    std::function<void(QDialog&, bool ok)> close;
    // A dialog of the prompt: scripts its answer.
    std::function<void(bool ok)> script;
  };
  auto findThenClose = [](QDialog& d, bool find) {
    auto& dlg = dynamic_cast<FindReplaceDlg&>(d);
    if (find) {
      dlg.txtFind->setText("focus");
      dlg.cmdFindNext->click();
    }
    dlg.cmdClose->click();
  };
  auto pageOrCancel = [&](QDialog& d, bool ok) {
    auto& dlg = dynamic_cast<frmPageDlg&>(d);
    if (ok) {
      dlg.cboPaperSize->setCurrentIndex(Tx(1).PageWidth() == kPaperSizes[0].width ? 3 : 0);  // another paper
      dlg.cboPaperSize_Click();
    }
    (ok ? dlg.btnOK : dlg.btnCancel)->click();
  };
  const Case cases[] = {
      {"Search", [&] { Doc(1).mnuEdit_Search_Click(); }, findThenClose, nullptr},
      {"Replace", [&] { Doc(1).mnuEdit_Replace_Click(); }, findThenClose, nullptr},
      {"Page Setup", [&] { Doc(1).mnuFormat_Document_Click(); }, pageOrCancel, nullptr},
      {"Paragraph", [&] { Doc(1).mnuFormat_Paragraph_Click(); },
       [&](QDialog& d, bool ok) { (ok ? dynamic_cast<ParagraphDlg&>(d).cmdOK : dynamic_cast<ParagraphDlg&>(d).cmdCancel)->click(); },
       nullptr},
      {"Frames", [&] { Doc(1).mnuFormat_Frames_Click(); },
       [&](QDialog& d, bool ok) { (ok ? dynamic_cast<frmFramesDlg&>(d).cmdOK : dynamic_cast<frmFramesDlg&>(d).cmdCancel)->click(); },
       nullptr},
      {"Insert Table",
       [&] {
         Tx(1).SetSelection(Tx(1).document()->characterCount(), 0);  // after any table
         Doc(1).mnuInsert_Table_Click();
       },
       [&](QDialog& d, bool ok) { (ok ? dynamic_cast<frmTableDlg&>(d).btnOK : dynamic_cast<frmTableDlg&>(d).btnCancel)->click(); },
       nullptr},
      {"Table Attributes",
       [&] {
         if (!Tx(1).textCursor().currentTable()) Tx(1).TableInsert(2, 2);
         Doc(1).mnuFormat_Table_Click();
       },
       [&](QDialog& d, bool ok) { (ok ? dynamic_cast<TableAttrDlg&>(d).cmdOK : dynamic_cast<TableAttrDlg&>(d).cmdCancel)->click(); },
       nullptr},
      {"Print Preview", [&] { Doc(1).mnuFile_PrintPreview_Click(); },
       [&](QDialog& d, bool) { dynamic_cast<PrintPreview&>(d).Cancel->click(); }, nullptr},
      {"About", [&] { Doc(1).mnuFile_About_Click(); }, [&](QDialog& d, bool ok) { ok ? d.accept() : d.reject(); }, nullptr},
      {"Font", [&] { Doc(1).mnuFormat_Character_Click(); }, nullptr,
       [&](bool ok) {
         ui::FontChoice f;
         f.family = "DejaVu Sans";
         f.pointSize = 14;
         prompt.Font(ok ? std::optional(f) : std::nullopt);
       }},
      {"Text Colour", [&] { Doc(1).mnuFormat_TColor_Click(); }, nullptr,
       [&](bool ok) { prompt.Color(ok ? std::optional<uint32_t>(0x0000FF) : std::nullopt); }},
      {"Print", [&] { Doc(1).mnuFile_Print_Click(); }, nullptr,
       [&](bool ok) {
         ui::PrintTarget t;
         t.pdfPath = Path("printed.pdf");
         prompt.Print(ok ? std::optional(t) : std::nullopt);
       }},
      {"Insert Text", [&] { Doc(1).mnuInsert_Text_Click(); }, nullptr,
       [&](bool ok) { prompt.File(ok ? std::optional(text) : std::nullopt); }},
      {"Insert Image", [&] { Doc(1).mnuInsert_ImageAtCaretPosition_Click(); }, nullptr,
       [&](bool ok) { prompt.File(ok ? std::optional(picture) : std::nullopt); }},
  };
  QFontComboBox* fontBox = frame()->TXButtonBar1->fontBox;
  for (const Case& c : cases) {
    for (const bool ok : {true, false}) {
      const std::string what = std::string(c.name) + (ok ? " OK" : " Cancel");
      Tx(1).setFocus();
      const int widthBefore = Tx(1).PageWidth();
      if (c.script) {
        c.script(ok);
        fontBox->setFocus();  // the focus somewhere else when the dialog returns
      } else {
        prompt.Modal([&](ui::ModalWindow& w) {
          auto& d = dynamic_cast<QDialog&>(w);
          d.show();
          QApplication::processEvents();
          fontBox->setFocus();
          c.close(d, ok);
          return d.result();
        });
      }
      c.open();
      EXPECT_TRUE(prompt.Exhausted()) << what << ": the dialog did not open";
      EXPECT_EQ(frame()->focusWidget(), &Tx(1)) << what;
      // The window system then activates the frame again: the focus is in the text.
      frame()->activateWindow();
      QApplication::processEvents();
      EXPECT_EQ(QApplication::focusWidget(), &Tx(1)) << what;
      if (std::string(c.name) == "Page Setup") {
        EXPECT_EQ(Tx(1).PageWidth() != widthBefore, ok) << what;
      }
    }
  }
  // Typing goes into the document, not the font box.
  Tx(1).SetSelection(0, 0);
  QApplication::processEvents();
  const QString font = fontBox->currentText();
  ASSERT_NE(QApplication::focusWidget(), nullptr);
  QTest::keyClicks(QApplication::focusWidget(), "typed ");
  EXPECT_TRUE(Tx(1).document()->toPlainText().startsWith("typed focus"));
  EXPECT_EQ(fontBox->currentText(), font);
}

}  // namespace qv::editor::test
