// The price-guide browser over the sample guide: the list view and its year boxes, the
// type-ahead, the model grid, taking a type onto the current page or a new page, Cancel,
// the kept state between showings, the standard-equipment view and its print, and damaged
// or missing guide files.
#include <QAction>
#include <QApplication>
#include <QImage>
#include <QTableView>
#include <QCheckBox>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>

#include "GuideWindowFixture.h"
#include "platform/grid/GridWidget.h"
#include "pricing/GuideFiles.h"
#include "pricing/Prices.h"
#include "worksheet/Help.h"

namespace qv::test {
namespace {

using ui::Answer;

// The vehicle lines of the 2000 and 1999 car models in the sample guide, in file order.
const char* const kListed[] = {"2000 Tarvic Solvane",  "2000 Tarvic Quillet",   "2000 Oskaro Trevian",
                               "2000 Oskaro Lumetta",  "2000 Brenmoor Ellisar", "2000 Velanne Orlise",
                               "1999 Tarvic Solvane",  "1999 Oskaro Trevian",   "1999 Brenmoor Pentrow",
                               "1999 Velanne Sabreen"};

class PricesTest : public GuideWindowTest<Prices> {
 protected:
  // Presses a vehicle button; `act` plays the user in the shown window, and the message
  // boxes it brings up are answered in order.
  void Press(int button, std::function<void(Prices&)> act, std::initializer_list<Answer> answers = {}) {
    prompt.Modal([act](ui::ModalWindow& w) {
      act(dynamic_cast<Prices&>(w));
      return 0;
    });
    for (Answer a : answers) prompt.Answer(a);
    qv->cmdbut2_click(button);
  }
  static std::string Entry(const Prices& p, int i) { return p.List1[0]->item(i)->text().toStdString(); }
  static int RowOf(const Prices& p, const std::string& name) {
    for (int r = 1; r <= p.Price1Data.MaxRow(); ++r)
      if (p.Price1Data.TextRC(r, 1) == name) return r;
    return 0;
  }
  // Opens vehicle line `entry` of the list and takes the type named `type`.
  static void Take(Prices& p, int entry, const std::string& type) {
    p.SelectVehicle(entry);
    p.Command1_Click(0);
    ASSERT_EQ(p.CurrentView(), Prices::View::Model);
    const int row = RowOf(p, type);
    ASSERT_GT(row, 0) << type;
    p.Price1->setActiveCell(row, 1);
    p.Command1_Click(0);
  }
};

// A main window on an empty page 1.
class PricesOnEmptyPage : public PricesTest {
 protected:
  void SetUp() override {
    QVTest::SetUp();
    CopySampleGuide(folder);
    Load();
    eng.WorksheetModified = 0;
  }
};

TEST_F(PricesTest, OpensOnTheListOfThe2000And1999Models) {
  Press(0, [](Prices& p) {
    EXPECT_EQ(p.windowTitle().toStdString(), "Prices");
    EXPECT_EQ(p.CurrentView(), Prices::View::List);
    EXPECT_TRUE(p.Check1[2]->isChecked());
    EXPECT_TRUE(p.Check1[1]->isChecked());
    EXPECT_FALSE(p.Check1[0]->isChecked());
    EXPECT_EQ(p.Check1[2]->text().toStdString(), " 200&0 Models");
    EXPECT_EQ(p.Check1[0]->text().toStdString(), " 199&8 Models");
    EXPECT_EQ(p.Label3->text().toStdString(), "Highlight Model then click OK.");
    ASSERT_EQ(p.List1[0]->count(), static_cast<int>(std::size(kListed)));
    for (int i = 0; i < p.List1[0]->count(); ++i) EXPECT_EQ(Entry(p, i).substr(0, 36).find(kListed[i]), 0u) << i;
    // Destination charge and vehicle line number in the last eight characters.
    EXPECT_EQ(Entry(p, 0).size(), 94u);
    EXPECT_EQ(Entry(p, 0).substr(86), " 485   1");
    EXPECT_EQ(Entry(p, 6).substr(86), " 475   8");  // the blank line 7 counts
    EXPECT_EQ(p.SelectedVehicle(), -1);
    EXPECT_FALSE(p.Command1[4]->isVisibleTo(&p));
    EXPECT_TRUE(p.Command1[2]->isVisibleTo(&p));
    p.Command1_Click(1);
  });
  EXPECT_TRUE(prompt.Asked().size() == 1);  // the window only
}

TEST_F(PricesTest, HelpOpensTopicFour) {
  Press(0, [](Prices& p) {
    p.Command1_Click(3);
    p.Command1_Click(1);
  });
  HelpViewer* help = windows.IfLoaded<HelpViewer>();
  ASSERT_NE(help, nullptr);
  EXPECT_EQ(help->Context(), 4);
  windows.Unload<HelpViewer>();
}

TEST_F(PricesTest, YearBoxesRelistAtOnceButNotWhileTheListIsBusy) {
  Press(0, [this](Prices& p) {
    p.Check1[0]->setChecked(true);  // 1998 too
    EXPECT_EQ(p.List1[0]->count(), 13);
    p.Check1[2]->setChecked(false);
    p.Check1[1]->setChecked(false);
    ASSERT_EQ(p.List1[0]->count(), 3);
    EXPECT_EQ(Entry(p, 0).substr(0, 19), "1998 Tarvic Solvane");
    windows.Shared().PageListBusy = true;
    p.Check1[2]->setChecked(true);
    EXPECT_EQ(p.List1[0]->count(), 3);
    windows.Shared().PageListBusy = false;
    p.Command1_Click(1);
  });
}

TEST_F(PricesTest, TypeAheadSelectsTheFirstMakerWithTheLetter) {
  Press(0, [](Prices& p) {
    struct Case {
      int key;
      int selected;
    };
    for (const Case& c : {Case{'o', 2}, Case{'V', 5}, Case{'z', 5}, Case{'b', 4}, Case{'t', 0}}) {
      int key = c.key;
      p.List1_KeyPress(key);
      EXPECT_EQ(p.SelectedVehicle(), c.selected) << static_cast<char>(c.key);
      EXPECT_EQ(key, c.key) << "the key goes on to the list";
    }
    p.Command1_Click(1);
  });
}

TEST_F(PricesTest, TheFirstArrowKeySelectsTheMarkedEntry) {
  Press(0, [](Prices& p) {
    ASSERT_EQ(p.SelectedVehicle(), -1);
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QApplication::sendEvent(p.List1[0], &down);
    EXPECT_EQ(p.SelectedVehicle(), 0);
    QApplication::sendEvent(p.List1[0], &down);
    EXPECT_EQ(p.SelectedVehicle(), 1);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(p.List1[0], &enter);
    EXPECT_EQ(p.CurrentView(), Prices::View::Model);
    EXPECT_EQ(p.OpenEntry().lineNumber, 2);
    p.Command1_Click(1);
  });
}

TEST_F(PricesTest, NothingSelectedIsRefusedWithTheTwoMessages) {
  Press(0, [](Prices& p) {
    p.Command1_Click(0);
    EXPECT_EQ(p.CurrentView(), Prices::View::List);
    p.Command1_Click(2);
    EXPECT_EQ(p.CurrentView(), Prices::View::List);
    p.Command1_Click(1);
  }, {Answer::OK, Answer::OK});
  EXPECT_EQ(prompt.MessageTexts(), (std::vector<std::string>{"Vehicle Must Be Selected", "Model must be selected first."}));
}

TEST_F(PricesTest, ModelGridShowsModelsTypesHeadingsAndCodes) {
  Press(0, [](Prices& p) {
    p.SelectVehicle(0);
    int enter = 13;
    p.List1_KeyPress(enter);
    ASSERT_EQ(p.CurrentView(), Prices::View::Model);
    EXPECT_EQ(p.Label1->text().toStdString(), Entry(p, 0));
    EXPECT_EQ(p.Label2->text().toStdString(), "Double-Click to Make Selection");
    const grid::Sheet& s = p.Price1Data;
    EXPECT_EQ(s.ColText(2), "Invoice");
    EXPECT_EQ(s.ColText(3), "MSRP");
    const std::string blanks(11, ' ');
    struct Row {
      int row;
      const char* name;
      std::string invoice, msrp, group;
      bool blue;
    };
    const Row rows[] = {
        {1, "** Solvane **", "", "", "", true},
        {2, "** Sedans **", blanks, blanks, "Sedans", true},
        {4, "4dr Sedan Plus", "17301", "18995", "Sedans", false},
        {6, "** Wagons **", blanks, "20395", "Wagons", true},
        {8, "** Solvane GT **", "", "", "", true},
        {9, "4dr Sedan GT", "21630", "23895", "Solvane GT", false},
        {11, "", "", "", "", false},  // a model without a name leaves its row empty
        {12, "** Fleet Models **", blanks, blanks, "Fleet Models", true},
        {13, "4dr Sedan Fleet", "N/A", "16450", "Fleet Models", false},
    };
    for (const Row& r : rows) {
      SCOPED_TRACE(r.row);
      EXPECT_EQ(s.TextRC(r.row, 1), r.name);
      EXPECT_EQ(s.TextRC(r.row, 2), r.invoice);
      EXPECT_EQ(s.TextRC(r.row, 3), r.msrp);
      EXPECT_EQ(s.TextRC(r.row, 4), r.group);
      EXPECT_EQ(s.FontRC(r.row, 1).bold, r.blue);
      EXPECT_EQ(s.FontRC(r.row, 1).color, r.blue ? 0xFF0000u : 0u);
    }
    // One empty row after the last type; the cursor on row 1.
    EXPECT_EQ(s.MaxRow(), 14);
    EXPECT_EQ(p.Price1->activeRow(), 1);
    // Escape goes back to the list, which keeps its selection.
    int esc = 27;
    p.Price1_KeyPress(esc);
    EXPECT_EQ(esc, 0);
    EXPECT_EQ(p.CurrentView(), Prices::View::List);
    EXPECT_EQ(p.SelectedVehicle(), 0);
    p.Command1_Click(1);
  });
}

TEST_F(PricesOnEmptyPage, TakingATypeWritesTheVehicleOnThePageAndRecalculates) {
  Press(0, [](Prices& p) { Take(p, 0, "4dr Sedan Plus"); });
  const PageRecord& pg = eng.page;
  EXPECT_EQ(pg.CarName, "2000 Tarvic Solvane: Sedans 4dr Sedan Plus");
  EXPECT_EQ(pg.CT, "C");
  EXPECT_EQ(pg.MfgNum, 1);
  EXPECT_DOUBLE_EQ(pg.BaseInv, 17301);
  EXPECT_DOUBLE_EQ(pg.BaseMSRP, 18995);
  EXPECT_DOUBLE_EQ(pg.Dest, 485);
  // The shipped settings' default rates.
  EXPECT_DOUBLE_EQ(pg.LoanRate, 0.09);
  EXPECT_DOUBLE_EQ(pg.InvestRate, 0.05);
  // Recalculated: invoice and MSRP with the destination charge.
  EXPECT_DOUBLE_EQ(eng.res.TotalInvoice, 17301 + 485);
  EXPECT_DOUBLE_EQ(eng.res.TotalMSRP, 18995 + 485);
  EXPECT_EQ(Text(qv->lblTotals[1]), "$19,480.00");
  EXPECT_EQ(eng.PageCount, 1);
  EXPECT_EQ(qv->Combo2->count(), 1);
  EXPECT_EQ(qv->Combo2->currentText().toStdString(), pg.CarName);
  EXPECT_EQ(qv->Combo2->itemText(0).toStdString(), pg.CarName);
  EXPECT_EQ(eng.WorksheetModified, -1);
  // Hidden, not unloaded: the same window comes back.
  ASSERT_TRUE(windows.Loaded<Prices>());
  EXPECT_FALSE(windows.Get<Prices>().isVisible());
  EXPECT_TRUE(prompt.Exhausted());
  // The Options buttons now have a vehicle to look up.
  EXPECT_TRUE(qv->cmdbut2[2]->isEnabled());
}

TEST_F(PricesOnEmptyPage, TrucksComeFromTheTruckGuide) {
  Press(1, [](Prices& p) {
    EXPECT_EQ(p.VehicleClass(), "T");
    Take(p, 0, "Regular Cab Longbed 2WD");
  });
  EXPECT_EQ(eng.page.CT, "T");
  EXPECT_EQ(eng.page.MfgNum, 1);
  EXPECT_EQ(eng.page.CarName, "2000 Tarvic Brask: Two-Wheel Drive Regular Cab Longbed 2WD");
  EXPECT_DOUBLE_EQ(eng.page.BaseInv, 14205);
  EXPECT_DOUBLE_EQ(eng.page.BaseMSRP, 15545);
  EXPECT_DOUBLE_EQ(eng.page.Dest, 580);
}

TEST_F(PricesOnEmptyPage, TheVehicleTextLeavesOutAGroupNamedInTheDescription) {
  // Heading rows and a group that the description holds.
  struct Case {
    int entry;
    const char* type;
    const char* carName;
    double inv, msrp;
  };
  const Case cases[] = {
      {1, "2dr Coupe", "2000 Tarvic Quillet:  2dr Coupe", 11944, 12895},
      {0, "** Wagons **", "2000 Tarvic Solvane: Wagons ** Wagons **", 0, 20395},
      {0, "** Solvane **", "2000 Tarvic Solvane:  ** Solvane **", 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.carName);
    eng.page.CarName.clear();
    eng.page.BaseInv = 0;
    Press(0, [&](Prices& p) { Take(p, c.entry, c.type); });
    EXPECT_EQ(eng.page.CarName, c.carName);
    EXPECT_DOUBLE_EQ(eng.page.BaseInv, c.inv);
    EXPECT_DOUBLE_EQ(eng.page.BaseMSRP, c.msrp);
  }
}

TEST_F(PricesTest, APageWithAVehicleGetsANewPageAfterTheQuestion) {
  Press(11, [](Prices& p) { Take(p, 2, "4dr Sedan SL"); }, {Answer::OK});
  EXPECT_EQ(prompt.MessageTexts(), std::vector<std::string>{"A new page will be created to contain pricing data."});
  EXPECT_EQ(prompt.Asked()[1].buttons, ui::Buttons::OKCancel);
  EXPECT_EQ(eng.PageCount, 2);
  EXPECT_EQ(eng.CurrentPage, 2);
  EXPECT_EQ(eng.page.CarName, "2000 Oskaro Trevian:  4dr Sedan SL");
  EXPECT_DOUBLE_EQ(eng.page.Dest, 520);
  EXPECT_EQ(eng.page.MfgNum, 3);
  ASSERT_EQ(qv->Combo2->count(), 2);
  EXPECT_EQ(qv->Combo2->itemText(0).toStdString(), "Sample Sedan");
  EXPECT_EQ(qv->Combo2->itemText(1).toStdString(), eng.page.CarName);
  EXPECT_EQ(Text(qv->lblpagenum), "Page 2 of 2");
  // Page 1 kept what it held.
  eng.WKS.SetSheet(1);
  EXPECT_EQ(eng.WKS.TextRC(1, 2), "Sample Sedan");
  EXPECT_DOUBLE_EQ(eng.WKS.NumberRC(1, 3), 20000);
}

TEST_F(PricesTest, DecliningTheNewPageLeavesPageAndWindowAsTheyWere) {
  const PageInputs before = eng.SnapshotInputs();
  Press(0, [](Prices& p) {
    Take(p, 0, "4dr Sedan Plus");
    EXPECT_EQ(p.CurrentView(), Prices::View::Model);
    EXPECT_EQ(p.Price1->activeRow(), 4);
    p.Command1_Click(1);
  }, {Answer::Cancel});
  EXPECT_TRUE(eng.SnapshotInputs() == before);
  EXPECT_EQ(eng.PageCount, 1);
  EXPECT_EQ(qv->Combo2->count(), 1);
}

TEST_F(PricesTest, CancelLeavesTheClassOfThePageAsItWas) {
  // A car page: looking at the truck guide and cancelling must not make it a truck page,
  // or its option and equipment lookups would read the truck files.
  PutGuideVehicle();
  const PageInputs before = eng.SnapshotInputs();
  for (int truck : {1, 6, 10}) {
    Press(truck, [](Prices& p) {
      EXPECT_EQ(p.VehicleClass(), "T");
      p.SelectVehicle(0);
      p.Command1_Click(0);
      p.Command1_Click(1);
    });
    EXPECT_EQ(eng.page.CT, "C");
    EXPECT_TRUE(eng.SnapshotInputs() == before);
  }
}

TEST_F(PricesTest, HiddenNotUnloadedAndBackOnTheListWhenShownAgain) {
  Press(0, [](Prices& p) {
    p.Check1[0]->setChecked(true);
    p.SelectVehicle(3);
    p.Command1_Click(0);
    p.Command1_Click(1);
  });
  Prices* first = windows.IfLoaded<Prices>();
  ASSERT_NE(first, nullptr);
  Press(5, [first](Prices& p) {
    EXPECT_EQ(&p, first);
    EXPECT_EQ(p.CurrentView(), Prices::View::List);
    EXPECT_FALSE(p.Check1[0]->isChecked());
    EXPECT_EQ(p.List1[0]->count(), 10);
    // Into the standard equipment, then the close box.
    p.SelectVehicle(0);
    p.Command1_Click(2);
    p.close();
  });
  // The standard-equipment view stays as it was when the window comes back.
  Press(0, [](Prices& p) {
    EXPECT_EQ(p.CurrentView(), Prices::View::StandardEquipment);
    p.Command1_Click(5);
    EXPECT_EQ(p.CurrentView(), Prices::View::List);
    p.Command1_Click(1);
  });
}

TEST_F(PricesTest, StandardEquipmentShowsLabelRowsAndPrintsToPdf) {
  const std::string pdf = folder + "equipment.pdf";
  ui::PrintTarget target;
  target.pdfPath = pdf;
  prompt.Modal([](ui::ModalWindow& w) {
    Prices& p = dynamic_cast<Prices&>(w);
    p.SelectVehicle(0);
    p.Command1_Click(2);
    EXPECT_EQ(p.CurrentView(), Prices::View::StandardEquipment);
    EXPECT_TRUE(p.Command1[4]->isVisibleTo(&p));
    EXPECT_TRUE(p.Command1[5]->isVisibleTo(&p));
    EXPECT_FALSE(p.Command1[0]->isVisibleTo(&p));
    EXPECT_TRUE(p.mnuPrintMenu->menuAction()->isVisible());
    const grid::Sheet& s = p.Price2Data;
    struct Row {
      int row;
      std::string text;
      bool blue;
    };
    const Row rows[] = {
        {1, "Powertrain Engine:", true},
        {2, " 2.2L 16-valve four-cylinder, 135 hp\r\n5-speed manual transmission", false},
        {3, "Safety Features:", true},
        {5, "Rear window defroster", false},
        {6, "Tilt steering column", false},
        {7, "Comfort ", false},
        {8, "Seating Front:", true},
        {10, "Warranty ", true},
        {11, "3-year/36,000-mile basic warranty\r\n5-year/60,000-mile powertrain warranty", false},
    };
    for (const Row& r : rows) {
      SCOPED_TRACE(r.row);
      EXPECT_EQ(s.TextRC(r.row, 1), r.text);
      EXPECT_EQ(s.FontRC(r.row, 1).bold, r.blue);
    }
    EXPECT_EQ(s.MaxRow(), 12);  // one empty row at the end
    EXPECT_EQ(p.StdEquipHeader(), "&C2000 Tarvic Solvane");
    p.Command1_Click(4);
    p.mnuPageSetup_Click();
    p.Command1_Click(4);  // cancelled: nothing printed, no message
    p.Command1_Click(5);
    p.Command1_Click(1);
    return 0;
  });
  prompt.Print(target).PageSetup(true).Print(std::nullopt);
  qv->cmdbut2_click(0);
  const std::string text = PdfText(pdf);
  EXPECT_NE(text.find("2000 Tarvic Solvane"), std::string::npos) << text;
  EXPECT_NE(text.find("Powertrain Engine:"), std::string::npos) << text;
  EXPECT_NE(text.find("Rear window defroster"), std::string::npos) << text;
  EXPECT_NE(text.find("5-year/60,000-mile powertrain warranty"), std::string::npos) << text;
  EXPECT_TRUE(prompt.Exhausted());
}

TEST_F(PricesOnEmptyPage, NumbersOfMoreThanFourDigitsTravelBesideTheEntry) {
  // Vehicle line 10000 with a destination charge of 10450: the entry's text cannot hold
  // both numbers in its eight characters, the item beside it does.
  auto le32 = [](int32_t v) {
    std::string b(4, '\0');
    for (int i = 0; i < 4; ++i) b[static_cast<size_t>(i)] = static_cast<char>((static_cast<uint32_t>(v) >> (8 * i)) & 0xFF);
    return b;
  };
  std::string manuf;
  for (int i = 1; i < 10000; ++i) manuf += "\r\n";
  manuf += "Tarvic|2000|Longline|10450|1\r\n";
  WriteFile(folder + "CMANUF.TXT", manuf);
  WriteFile(folder + "CModel.txt", "Longline|10000|1\r\n");
  std::string modelIndex;
  for (int i = 1; i < 10000; ++i) modelIndex += le32(0);
  modelIndex += le32(1);
  WriteFile(folder + "CModel.ndx", modelIndex);
  WriteFile(folder + "CType.txt", "4dr Sedan|20000|22000|1|0\r\n");
  WriteFile(folder + "CType.ndx", le32(1));
  Press(0, [](Prices& p) {
    ASSERT_EQ(p.List1[0]->count(), 1);
    EXPECT_EQ(Entry(p, 0).substr(86), "1045010000");
    Take(p, 0, "4dr Sedan");
  });
  EXPECT_EQ(eng.page.MfgNum, 10000);
  EXPECT_DOUBLE_EQ(eng.page.Dest, 10450);
  EXPECT_EQ(eng.page.CarName, "2000 Tarvic Longline:  4dr Sedan");
  EXPECT_DOUBLE_EQ(eng.res.TotalInvoice, 20000 + 10450);
}

TEST_F(PricesTest, AMissingVehicleFileIsNamedOnceAndTheListIsEmpty) {
  std::filesystem::remove(folder + "CMANUF.TXT");
  // The list is built as the window shows, before its modal loop.
  prompt.Answer(Answer::OK);
  Press(0, [](Prices& p) {
    EXPECT_EQ(p.List1[0]->count(), 0);
    p.Command1_Click(1);
  });
  EXPECT_EQ(prompt.MessageTexts(), std::vector<std::string>{pricing::MissingFileMessage(folder + "CMANUF.TXT")});
  EXPECT_NE(prompt.MessageTexts()[0].find("CMANUF.TXT"), std::string::npos);
}

TEST_F(PricesTest, ADamagedModelIndexGivesAnEmptyGridAndOneMessage) {
  // Record 1 points past the end of the model file; record 2 holds 0 (no models).
  WriteFile(folder + "CModel.ndx", std::string("\xFF\xFF\x00\x00", 4) + std::string(4, '\0'));
  Press(0, [](Prices& p) {
    p.SelectVehicle(0);
    p.Command1_Click(0);
    EXPECT_EQ(p.CurrentView(), Prices::View::Model);
    EXPECT_TRUE(p.Models().rows.empty());
    EXPECT_EQ(p.Price1Data.TextRC(1, 1), "");
    int esc = 27;
    p.Price1_KeyPress(esc);
    p.SelectVehicle(1);
    p.Command1_Click(0);
    EXPECT_TRUE(p.Models().rows.empty());
    // Past the end of the index: no read outside the file, one message.
    esc = 27;
    p.Price1_KeyPress(esc);
    p.SelectVehicle(9);
    p.Command1_Click(0);
    EXPECT_TRUE(p.Models().rows.empty());
    p.Command1_Click(1);
  }, {Answer::OK, Answer::OK});
  ASSERT_EQ(prompt.MessageTexts().size(), 2u);
  for (const std::string& m : prompt.MessageTexts()) EXPECT_NE(m.find("CModel.ndx"), std::string::npos) << m;
}

TEST_F(PricesOnEmptyPage, GuideTextsShowAsWindows1252AndReachThePageAsTheyAre) {
  WriteFile(folder + "CMANUF.TXT", "V\xE9lmora|2000|Astrel|485|1\r\n");
  WriteFile(folder + "CModel.txt", "Astrel|1|1\r\n");
  WriteFile(folder + "CModel.ndx", std::string("\x01\x00\x00\x00", 4));
  WriteFile(folder + "CType.txt", "Coup\xE9|20000|22000|1|0\r\n");
  WriteFile(folder + "CType.ndx", std::string("\x01\x00\x00\x00", 4));
  Press(0, [](Prices& p) {
    ASSERT_EQ(p.List1[0]->count(), 1);
    EXPECT_EQ(Entry(p, 0).substr(0, 20), "2000 V\xC3\xA9lmora Astrel");
    p.SelectVehicle(0);
    p.Command1_Click(0);
    EXPECT_EQ(p.Label1->text().toStdString().substr(0, 20), "2000 V\xC3\xA9lmora Astrel");
    const int row = RowOf(p, "Coup\xC3\xA9");
    ASSERT_GT(row, 0);
    EXPECT_EQ(p.Price1->displayText(row, 1).toStdString(), "Coup\xC3\xA9");
    p.Price1->setActiveCell(row, 1);
    p.Command1_Click(0);
  });
  EXPECT_EQ(eng.page.CarName, "2000 V\xE9lmora Astrel:  Coup\xE9");
  EXPECT_DOUBLE_EQ(eng.res.TotalInvoice, 20000 + 485);
}

TEST_F(PricesOnEmptyPage, ALongTypeNameWrapsAndItsRowGrowsToFit) {
  const std::string longName =
      "4dr Sedan Limited Edition with Premium Package, Navigation, Leather and Sport Suspension Group";
  WriteFile(folder + "CMANUF.TXT", "Tarvic|2000|Longline|485|1\r\n");
  WriteFile(folder + "CModel.txt", "Longline|1|1\r\n");
  WriteFile(folder + "CModel.ndx", std::string("\x01\x00\x00\x00", 4));
  WriteFile(folder + "CType.txt", longName + "|21000|23500|1|0\r\nBase|18000|20000|1|0\r\n");
  WriteFile(folder + "CType.ndx", std::string("\x01\x00\x00\x00", 4));
  Press(0, [&](Prices& p) {
    p.SelectVehicle(0);
    p.Command1_Click(0);
    const int longRow = RowOf(p, longName), baseRow = RowOf(p, "Base");
    ASSERT_GT(longRow, 0);
    ASSERT_GT(baseRow, 0);
    EXPECT_EQ(p.Price1->displayText(longRow, 1).toStdString(), longName);
    // The name is wider than its column, so it takes two lines or more.
    ASSERT_GT(p.Price1->fontMetrics().horizontalAdvance(QString::fromStdString(longName)), p.Price1->columnWidth(1));
    EXPECT_GE(p.Price1->rowHeight(longRow), 2 * p.Price1->fontMetrics().height());
    EXPECT_LT(p.Price1->rowHeight(baseRow), 2 * p.Price1->fontMetrics().height());
    p.Command1_Click(1);
  });
}

// Counts the pixels of the grid's row that are drawn in the label blue (0, 0, 255) or near it.
int BluePixelsOfRow(grid::GridWidget& g, int row) {
  QTableView* v = g.view();
  const QRect cell = v->visualRect(v->model()->index(row - 1, 0));
  const QImage img = v->viewport()->grab(cell).toImage();
  int n = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      const QColor c = img.pixelColor(x, y);
      n += c.blue() > 160 && c.red() < 90 && c.green() < 90;
    }
  return n;
}

TEST_F(PricesTest, TheActiveLabelRowOfTheEquipmentIsDrawnBlueAsTheOthersAre) {
  Press(0, [](Prices& p) {
    p.show();
    p.SelectVehicle(0);
    p.Command1_Click(2);
    QApplication::processEvents();
    ASSERT_EQ(p.Price2->activeRow(), 1);
    ASSERT_TRUE(p.Price2Data.FontRC(1, 1).bold);
    ASSERT_TRUE(p.Price2Data.FontRC(3, 1).bold);
    EXPECT_GT(BluePixelsOfRow(*p.Price2, 3), 0);
    EXPECT_GT(BluePixelsOfRow(*p.Price2, 1), 0) << "the active row";
    EXPECT_EQ(BluePixelsOfRow(*p.Price2, 2), 0);
    p.Command1_Click(1);
  });
}

}  // namespace
}  // namespace qv::test
