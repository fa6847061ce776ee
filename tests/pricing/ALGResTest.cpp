// The residual lookup window over the sample residual guide: manufacturers and runs, the
// residual lines with and without the mileage points, locking add and deduct lines,
// "&Use Residual" with its refusals, its question and what it writes, and missing or
// damaged files.
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "GuideWindowFixture.h"
#include "pricing/ALGRes.h"
#include "pricing/GuideFiles.h"

namespace qv::test {
namespace {

using ui::Answer;

class ALGResTest : public GuideWindowTest<ALGRes> {
 protected:
  // The residual menu item of `year` (0 1997 ... 3 2000); `act` plays the user.
  void Open(int item, std::function<void(ALGRes&)> act, std::initializer_list<Answer> answers = {}) {
    prompt.Modal([act](ui::ModalWindow& w) {
      act(dynamic_cast<ALGRes&>(w));
      return 0;
    });
    for (Answer a : answers) prompt.Answer(a);
    qv->mnuResidual_Click(item);
  }
  // The first line of lstModel holding `text` (a lock marker aside); a text that starts with
  // a blank must start the line (an "ADD" line is listed as ten blanks and its name).
  static int LineOf(const ALGRes& w, const std::string& text) {
    for (int i = 0; i < w.lstModel->count(); ++i) {
      std::string line = w.lstModel->item(i)->text().toStdString();
      if (line.rfind(" <lock>", 0) == 0) line.erase(0, 7);
      if (text[0] == ' ' ? line.rfind(text, 0) == 0 : line.find(text) != std::string::npos) return i;
    }
    return -1;
  }
  static std::string AddLine(const std::string& name) { return std::string(10, ' ') + name; }
  static std::vector<std::string> ResLines(const ALGRes& w) {
    std::vector<std::string> out;
    for (int i = 0; i < w.lstResValues->count(); ++i) out.push_back(w.lstResValues->item(i)->text().toStdString());
    return out;
  }
  // Chooses the manufacturer and the line as clicks do.
  static void Choose(ALGRes& w, int maker, const std::string& line) {
    w.lstMfg->setCurrentRow(maker);
    const int i = LineOf(w, line);
    ASSERT_GE(i, 0) << line;
    w.lstModel->setCurrentRow(i);
  }
};

TEST_F(ALGResTest, ListsManufacturersRunsAndResidualLines) {
  Open(3, [](ALGRes& w) {
    EXPECT_EQ(w.windowTitle().toStdString(), "ALG Residuals for 2000 Models");
    ASSERT_GE(w.lstMfg->count(), 2);
    EXPECT_EQ(w.lstMfg->item(0)->text().toStdString(), "TARVIC           ");
    EXPECT_EQ(w.lstMfg->item(0)->data(Qt::UserRole).toLongLong(), 1);
    EXPECT_TRUE(w.Option1[1]->isChecked());
    EXPECT_FALSE(w.cmdbutUse[2]->isVisible());
    Choose(w, 0, "SOLVANE 4DR PLUS");
    EXPECT_EQ(w.lstModel->item(0)->text().toStdString().substr(0, 13), "TSO   SOLVANE");
    EXPECT_EQ(w.Label1->text().toStdString(), "Residual Value in % of MSRP");
    EXPECT_EQ(ResLines(w), (std::vector<std::string>{" 24 Months: 59 + 0 = 59%  of  MSRP",
                                                     " 36 Months: 52 + 0 = 52%  of  MSRP",
                                                     " 48 Months: 45 + 0 = 45%  of  MSRP",
                                                     " 60 Months: 38 + 0 = 38%  of  MSRP"}));
    EXPECT_EQ(w.FindModelHeader().substr(0, 13), "TSO   SOLVANE");
    // 12,000 miles a year raise the shown percentages by 1, 2, 2 and 3 points.
    w.Option1[0]->setChecked(true);
    w.Option1_Click(0);
    EXPECT_EQ(ResLines(w), (std::vector<std::string>{" 24 Months: 60 + 0 = 60%  of  MSRP",
                                                     " 36 Months: 54 + 0 = 54%  of  MSRP",
                                                     " 48 Months: 47 + 0 = 47%  of  MSRP",
                                                     " 60 Months: 41 + 0 = 41%  of  MSRP"}));
    w.cmdbutUse_Click(1);
  });
  EXPECT_FALSE(windows.Loaded<ALGRes>());
  EXPECT_EQ(windows.Shared().ModelYear, "2000");
}

TEST_F(ALGResTest, UseResidualAsksThenWritesResidualTermAndMiles) {
  struct Case {
    bool miles12000;
    int term;
    std::string question;
    double residual;
    int months;
    int32_t miles;
    std::string field;
  };
  // MSRP 22000 + 500 destination; 36 months at 52 %; 24 months at 59 + 2 points.
  const Case cases[] = {
      {false, 1, "Page 1 of the Worksheet will be modified to include\ra residual value of $22500 x .52 = $11700", 11700,
       36, 15000, "15,000"},
      {true, 0, "Page 1 of the Worksheet will be modified to include\ra residual value of $22500 x .61 = $13725", 13725, 24,
       12000, "12,000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.question);
    Reset();
    Open(3, [&](ALGRes& w) {
      Choose(w, 0, "SOLVANE 4DR PLUS");
      if (c.miles12000) {
        w.Option1[0]->setChecked(true);
        w.Option1_Click(0);
      }
      w.lstResValues->setCurrentRow(c.term);
      w.cmdbutUse_Click(0);
    }, {Answer::OK});
    ASSERT_EQ(prompt.MessageTexts().back(), c.question);
    EXPECT_EQ(prompt.Asked().back().buttons, ui::Buttons::OKCancel);
    EXPECT_DOUBLE_EQ(eng.page.Residual, c.residual);
    EXPECT_EQ(eng.page.Months, c.months);
    EXPECT_EQ(eng.page.AllowedMiles, c.miles);
    EXPECT_EQ(Text(qv->Text3[8]), c.field);
    EXPECT_EQ(Text(qv->Text3[7]), "$" + std::string(c.residual == 11700 ? "11,700.00" : "13,725.00"));
    EXPECT_EQ(eng.WorksheetModified, -1);
    EXPECT_FALSE(windows.Loaded<ALGRes>());
  }
}

TEST_F(ALGResTest, CancelOnTheQuestionChangesNothingAndTheWindowStays) {
  const PageInputs before = eng.SnapshotInputs();
  Open(3, [](ALGRes& w) {
    Choose(w, 0, "SOLVANE 4DR PLUS");
    w.lstResValues->setCurrentRow(1);
    w.cmdbutUse_Click(0);
    EXPECT_EQ(w.lstModel->count() > 0, true);
    w.cmdbutUse_Click(1);
  }, {Answer::Cancel});
  EXPECT_TRUE(eng.SnapshotInputs() == before);
  EXPECT_EQ(eng.WorksheetModified, 0);
}

TEST_F(ALGResTest, RefusalsChangeNothing) {
  const PageInputs before = eng.SnapshotInputs();
  Open(3, [this, &before](ALGRes& w) {
    // No residual line selected.
    Choose(w, 0, "SOLVANE 4DR PLUS");
    w.cmdbutUse_Click(0);
    // An add line and a deduct adjustment carry points, not residuals.
    for (const std::string& line : {AddLine("POWER MOONROOF"), std::string("w/o AIR CONDITIONING Deduct")}) {
      Choose(w, 0, line);
      w.lstResValues->setCurrentRow(0);
      w.cmdbutUse_Click(0);
    }
    // A page without MSRP.
    eng.page.BaseMSRP = 0;
    eng.page.Dest = 0;
    eng.RecalcPage();
    Choose(w, 0, "SOLVANE 4DR PLUS");
    w.lstResValues->setCurrentRow(0);
    w.cmdbutUse_Click(0);
    eng.RestoreInputs(before);
    eng.RecalcPage();
    w.cmdbutUse_Click(1);
  }, {Answer::OK, Answer::OK, Answer::OK, Answer::OK});
  EXPECT_EQ(prompt.MessageTexts(), (std::vector<std::string>{"RESIDUAL VALUE MUST BE SELECTED",
                                                             "RESIDUAL VALUE MUST BE TAKEN FROM A MODEL LINE",
                                                             "RESIDUAL VALUE MUST BE TAKEN FROM A MODEL LINE",
                                                             "CANNOT CALCULATE RESIDUAL VALUE\rBECAUSE MSRP IS ZERO."}));
  EXPECT_TRUE(eng.SnapshotInputs() == before);
}

TEST_F(ALGResTest, LockedAdjustmentsAddToTheirModelsResiduals) {
  Open(3, [this](ALGRes& w) {
    Choose(w, 0, AddLine("POWER MOONROOF"));
    EXPECT_EQ(w.Label1->text().toStdString(), "Add (Click 'Add' to Lock In)");
    EXPECT_TRUE(w.cmdbutUse[2]->isVisibleTo(&w));
    EXPECT_EQ(w.cmdbutUse[2]->text().toStdString(), "&Add");
    EXPECT_EQ(ResLines(w)[0], " 24 Months:      2%  of  MSRP");
    const int moonroof = w.lstModel->currentRow();
    w.cmdbutUse_Click(2);
    EXPECT_EQ(w.lstModel->item(moonroof)->text().toStdString().substr(0, 7), " <lock>");
    EXPECT_EQ(w.cmdbutUse[2]->text().toStdString(), "Un-&Lock");

    Choose(w, 0, "w/o AIR CONDITIONING Deduct");
    EXPECT_EQ(w.Label1->text().toStdString(), "Deduct (Click 'Deduct' to Lock In)");
    EXPECT_EQ(w.cmdbutUse[2]->text().toStdString(), "&Deduct");
    w.cmdbutUse_Click(2);  // 3, 3, 2, 2 points off

    // A locked line is no model line: the trims below still belong to SOLVANE.
    Choose(w, 0, "SOLVANE 4DR PLUS");
    EXPECT_EQ(ResLines(w), (std::vector<std::string>{" 24 Months: 59 - 1 = 58%  of  MSRP",
                                                     " 36 Months: 52 - 1 = 51%  of  MSRP",
                                                     " 48 Months: 45 - 1 = 44%  of  MSRP",
                                                     " 60 Months: 38 - 1 = 37%  of  MSRP"}));
    // Another model's adjustments cannot be locked meanwhile.
    Choose(w, 0, "SOLVANE GT 4DR");
    EXPECT_EQ(ResLines(w)[0], " 24 Months: 61 + 0 = 61%  of  MSRP");
    Choose(w, 0, AddLine("TOWING PACKAGE"));
    EXPECT_EQ(w.Label1->text().toStdString(), "Add (Click 'Add' to Lock In)");
    EXPECT_FALSE(w.cmdbutUse[2]->isVisibleTo(&w));

    // Unlocking the moonroof takes its points back out.
    Choose(w, 0, AddLine("POWER MOONROOF"));
    EXPECT_EQ(w.cmdbutUse[2]->text().toStdString(), "Un-&Lock");
    w.cmdbutUse_Click(2);
    EXPECT_EQ(w.cmdbutUse[2]->text().toStdString(), "&Add");
    EXPECT_EQ(w.lstModel->currentItem()->text().toStdString().find(" <lock>"), std::string::npos);
    Choose(w, 0, "SOLVANE 4DR PLUS");
    EXPECT_EQ(ResLines(w)[1], " 36 Months: 52 - 3 = 49%  of  MSRP");
    w.lstResValues->setCurrentRow(1);
    w.cmdbutUse_Click(0);
  }, {Answer::OK});
  EXPECT_EQ(prompt.MessageTexts().back(),
            "Page 1 of the Worksheet will be modified to include\ra residual value of $22500 x .49 = $11025");
  EXPECT_DOUBLE_EQ(eng.page.Residual, 11025);
}

TEST_F(ALGResTest, AnotherManufacturerClearsTheLocks) {
  Open(3, [](ALGRes& w) {
    Choose(w, 0, AddLine("POWER MOONROOF"));
    w.cmdbutUse_Click(2);
    EXPECT_TRUE(w.Lookup().HasLocks());
    w.lstMfg->setCurrentRow(1);
    EXPECT_FALSE(w.Lookup().HasLocks());
    EXPECT_EQ(w.Lookup().LockedAdjust(0), 0);
    EXPECT_EQ(w.lstResValues->count(), 0);
    w.cmdbutUse_Click(1);
  });
}

TEST_F(ALGResTest, EveryYearOfTheMenuOpensItsOwnFiles) {
  const char* years[4] = {"1997", "1998", "1999", "2000"};
  for (int i = 0; i < 4; ++i) {
    Open(i, [&](ALGRes& w) {
      EXPECT_EQ(w.windowTitle().toStdString(), std::string("ALG Residuals for ") + years[i] + " Models");
      EXPECT_GT(w.lstMfg->count(), 0);
      w.lstMfg->setCurrentRow(0);
      EXPECT_GT(w.lstModel->count(), 1);
      w.cmdbutUse_Click(1);
    });
    EXPECT_EQ(windows.Shared().ModelYear, years[i]);
    EXPECT_TRUE(qv->mnuResidual[i]->isEnabled());
  }
}

TEST_F(ALGResTest, MissingOrDamagedFilesGiveEmptyListsAndOneMessage) {
  std::filesystem::remove(folder + "ALG98.DR1");
  std::filesystem::remove(folder + "ALG97.RV1");
  // A manufacturer whose first record lies past the end of the record file.
  WriteFile(folder + "ALG99.DR1", "H1\r\nH2\r\nFARAWAY          9999\r\n");
  // The index is read as the window loads, before it shows.
  prompt.Answer(Answer::OK);
  Open(1, [](ALGRes& w) {
    EXPECT_EQ(w.lstMfg->count(), 0);
    w.cmdbutUse_Click(1);
  });
  Open(0, [](ALGRes& w) {
    w.lstMfg->setCurrentRow(0);
    EXPECT_EQ(w.lstModel->count(), 0);
    w.cmdbutUse_Click(1);
  }, {Answer::OK});
  Open(2, [](ALGRes& w) {
    ASSERT_EQ(w.lstMfg->count(), 1);
    w.lstMfg->setCurrentRow(0);
    EXPECT_EQ(w.lstModel->count(), 0);
    w.cmdbutUse_Click(1);
  }, {Answer::OK});
  const std::vector<std::string> m = prompt.MessageTexts();
  ASSERT_EQ(m.size(), 3u);
  EXPECT_EQ(m[0], pricing::MissingFileMessage(folder + "ALG98.DR1"));
  EXPECT_EQ(m[1], pricing::MissingFileMessage(folder + "ALG97.RV1"));
  EXPECT_NE(m[2].find("ALG99.RV1"), std::string::npos) << m[2];
}

TEST_F(ALGResTest, MakerNamesAndLinesShowAsWindows1252) {
  WriteFile(folder + "ALG00.DR1", "H1\r\nH2\r\nV\xC9LMORA             1\r\n");
  std::string record = "  1  0  1V\xC9L001" + std::string("CABRIOL\xC9T") + std::string(17, ' ');
  record.resize(114, ' ');
  WriteFile(folder + "ALG00.RV1", record);
  Open(3, [](ALGRes& w) {
    ASSERT_EQ(w.lstMfg->count(), 1);
    EXPECT_EQ(w.lstMfg->item(0)->text().toStdString(), "V\xC3\x89LMORA          ");
    w.lstMfg->setCurrentRow(0);
    ASSERT_EQ(w.lstModel->count(), 1);
    EXPECT_EQ(w.lstModel->item(0)->text().toStdString().substr(0, 17), "V\xC3\x89L001CABRIOL\xC3\x89T");
    w.cmdbutUse_Click(1);
  });
}

TEST_F(ALGResTest, AtTheDefaultSizeTheListsShowTheirLongestLinesWhole) {
  WriteFile(folder + "ALG00.DR1", "H1\r\nH2\r\nWIDEST MAKER NAME   1\r\n");
  auto record = [](const std::string& kind, const std::string& code, const std::string& desc, const std::string& v6,
                   const std::string& v7) {
    auto fit = [](std::string t, size_t n) {
      t.resize(n, ' ');
      return t;
    };
    auto right = [](const std::string& t, size_t n) { return std::string(n - t.size(), ' ') + t; };
    std::string r = "  1  0" + fit(kind, 3) + fit(code, 6) + fit(desc, 25) + right(v6, 7) + right(v7, 7) +
                    std::string(8, ' ') + right("52", 6) + right("47", 6) + right("41", 6) + right("35", 6);
    return fit(r, 114);
  };
  WriteFile(folder + "ALG00.RV1", record("  1", "SED100", "SEDAN 4DR", "", "") +
                                      record(" 20", "MRWIDE", "POWER MOONROOF AND WHEELS", "1234567", "7654321"));
  Open(3, [](ALGRes& w) {
    w.show();
    QApplication::processEvents();
    ASSERT_EQ(w.lstMfg->count(), 1);
    w.lstMfg->setCurrentRow(0);
    w.lstModel->setCurrentRow(1);
    QApplication::processEvents();
    for (QListWidget* list : {w.lstMfg, w.lstModel, w.lstResValues}) {
      SCOPED_TRACE(list->objectName().toStdString());
      ASSERT_GT(list->count(), 0);
      for (int i = 0; i < list->count(); ++i) {
        const QString text = list->item(i)->text();
        EXPECT_LE(list->fontMetrics().horizontalAdvance(text), list->viewport()->width()) << text.toStdString();
      }
    }
    EXPECT_TRUE(w.lstModel->item(1)->text().endsWith("1234567 7654321"));
    w.cmdbutUse_Click(1);
  });
}

}  // namespace
}  // namespace qv::test
