// The sample guide that ships beside the program (generated at build time from
// data-src/guide): every vehicle line, option block, standard-equipment line and residual
// run reads without a message, and every feature the readers know is there to browse.
#include <gtest/gtest.h>

#include <set>

#include "PricingSupport.h"
#include "engine/Engine.h"
#include "engine/Runtime.h"
#include "pricing/OptionGuide.h"
#include "pricing/PriceGuide.h"
#include "pricing/ResidualLookup.h"

namespace qv::pricing {
namespace {

using test::AppFolder;
using test::StrictPrompt;

class SampleClass : public ::testing::TestWithParam<const char*> {};

TEST_P(SampleClass, VehicleLinesModelsAndTypesAreComplete) {
  const PriceGuide guide(AppFolder(), GetParam());
  const VehicleList list = guide.ShowManufacturers({true, true, true});
  ASSERT_TRUE(list.error.empty()) << list.error;
  EXPECT_GE(list.entries.size(), 8u);
  std::set<std::string> makers, years;
  bool heading555 = false, heading999 = false, notAvailable = false, blankModel = false;
  for (const VehicleLineEntry& e : list.entries) {
    makers.insert(e.description.substr(5, e.description.find(' ', 5) - 5));
    years.insert(e.description.substr(0, 4));
    EXPECT_GE(e.dest, 400) << e.description;
    EXPECT_LE(e.dest, 700) << e.description;
    const ModelGrid g = guide.ShowModels(e.lineNumber);
    ASSERT_TRUE(g.error.empty()) << g.error;
    int types = 0;
    for (size_t i = 0; i < g.rows.size(); ++i) {
      const ModelRow& r = g.rows[i];
      if (r.kind == ModelRow::Kind::TypeHeading) {
        (Trim(r.msrpText).empty() ? heading555 : heading999) = true;
        EXPECT_EQ(r.name.find('<'), std::string::npos) << r.name;  // tags stripped
      }
      if (r.kind == ModelRow::Kind::Empty && i + 1 < g.rows.size()) blankModel = true;
      if (r.kind != ModelRow::Kind::Type) continue;
      ++types;
      if (r.invoiceText == "N/A") {
        notAvailable = true;
        continue;
      }
      const double inv = TextValue(r.invoiceText), msrp = TextValue(r.msrpText);
      EXPECT_GT(msrp, 9000) << r.name;
      EXPECT_LT(msrp, 50000) << r.name;
      EXPECT_GT(inv, msrp * 0.85) << r.name;
      EXPECT_LT(inv, msrp) << r.name;
    }
    EXPECT_GT(types, 0) << e.description;
  }
  EXPECT_EQ(makers, (std::set<std::string>{"Brenmoor", "Oskaro", "Tarvic", "Velanne"}));
  EXPECT_EQ(years, (std::set<std::string>{"1998", "1999", "2000"}));
  EXPECT_TRUE(heading555);
  EXPECT_TRUE(heading999);
  EXPECT_TRUE(notAvailable);
  EXPECT_TRUE(blankModel);
}

TEST_P(SampleClass, OptionsCarryEveryPriceCode) {
  const PriceGuide guide(AppFolder(), GetParam());
  std::set<std::string> texts;
  bool merged = false, continued = false, credit = false;
  for (const VehicleLineEntry& e : guide.ShowManufacturers({true, true, true}).entries) {
    const OptionGrid g = LoadOptions(AppFolder(), GetParam(), e.lineNumber);
    ASSERT_TRUE(g.error.empty()) << g.error;
    ASSERT_GT(g.rows.size(), 5u) << e.description;
    EXPECT_EQ(g.rows[0].kind, OptionRow::Kind::Heading);
    for (const OptionRow& r : g.rows) {
      texts.insert(r.invoiceText);
      merged = merged || r.fullDescription.find("includes: ") != std::string::npos;
      continued = continued || r.kind == OptionRow::Kind::Continuation;
      credit = credit || r.invoice < 0;
      EXPECT_NE(r.kind, OptionRow::Kind::SubHeading) << r.description;
    }
  }
  for (const char* code : {"   N/C", "   N/A", "   Pkg", "   Std", "      "}) EXPECT_TRUE(texts.count(code)) << code;
  EXPECT_TRUE(merged);
  EXPECT_EQ(continued, std::string(GetParam()) == "C");  // the long description is a car option
  EXPECT_TRUE(credit);
}

TEST_P(SampleClass, EveryVehicleLineHasStandardEquipment) {
  const PriceGuide guide(AppFolder(), GetParam());
  for (const VehicleLineEntry& e : guide.ShowManufacturers({true, true, true}).entries) {
    std::string error;
    const std::optional<std::string> line = guide.GetMajorSELine(static_cast<double>(e.lineNumber), &error);
    ASSERT_TRUE(line.has_value()) << e.description << " " << error;
    EXPECT_NE(line->find('~'), std::string::npos);
    EXPECT_NE(line->find("<B>"), std::string::npos);
    const std::vector<StdEquipRow> rows = LayoutStandardEquipment(*line);
    EXPECT_GE(rows.size(), 5u);
    EXPECT_TRUE(rows[0].boldBlue);
    EXPECT_NE(rows[0].text.find(':'), std::string::npos);
  }
}

INSTANTIATE_TEST_SUITE_P(CarsAndTrucks, SampleClass, ::testing::Values("C", "T"));

TEST(SampleResiduals, EveryYearAndMakerReadsWithAllLineKinds) {
  std::set<std::string> kinds;
  for (const char* year : {"1997", "1998", "1999", "2000"}) {
    ResidualLookup look;
    std::string error;
    ASSERT_TRUE(look.Load(AppFolder(), year, error)) << error;
    EXPECT_EQ(look.ManufacturerTexts().size(), 4u) << year;
    for (int m = 0; m < static_cast<int>(look.ManufacturerTexts().size()); ++m) {
      ASSERT_TRUE(look.UpdateModel(m, error)) << year << " " << error;
      ASSERT_GT(look.LineCount(), 1);
      for (int i = 0; i < look.LineCount(); ++i) {
        const ResidualRecord& r = look.Line(i).record;
        kinds.insert(r.Kind());
        if (r.IsAdd() || r.IsDeductAdjust()) {
          // Adjustments sit under a model line that has no residual of its own.
          ASSERT_TRUE(look.GroupLineOf(i).has_value());
          EXPECT_EQ(look.Line(*look.GroupLineOf(i)).record.Kind(), "  1");
          EXPECT_TRUE(look.UpdateRes(i).button2Visible);
        }
        if (r.Kind() == "  2") {
          EXPECT_TRUE(look.PrepareUse(i, 1, 20000, 1).ok);
        }
      }
    }
  }
  EXPECT_EQ(kinds, (std::set<std::string>{"  1", "  2", " 20", "190", "200", "ADD", "EAA", "EDA"}));
}

// The vehicle of the sample deal: a 2000 Tarvic Solvane 4dr Sedan Plus with its 36-month
// residual from the 2000 guide.
TEST(SampleDeal, TakesTheSolvaneAndItsResidual) {
  StrictPrompt sp;
  Engine eng;
  const PriceGuide guide(AppFolder(), "C");
  const VehicleList list = guide.ShowManufacturers(YearFilter{});
  ASSERT_FALSE(list.entries.empty());
  const VehicleLineEntry& solvane = list.entries[0];
  EXPECT_EQ(solvane.description, "2000 Tarvic Solvane");
  const ModelGrid grid = guide.ShowModels(solvane.lineNumber);
  int row = 0;
  for (size_t i = 0; i < grid.rows.size(); ++i)
    if (grid.rows[i].name == "4dr Sedan Plus") row = static_cast<int>(i + 1);
  ASSERT_GT(row, 0);
  ASSERT_TRUE(TakeType(eng, "C", solvane, grid, row).taken);
  EXPECT_EQ(eng.page.CarName, "2000 Tarvic Solvane: Sedans 4dr Sedan Plus");
  EXPECT_EQ(eng.page.BaseInv, 17301);
  EXPECT_EQ(eng.page.BaseMSRP, 18995);
  EXPECT_EQ(eng.page.Dest, 485);
  EXPECT_EQ(eng.res.MSRP, 19480);

  ResidualLookup look;
  std::string error;
  ASSERT_TRUE(look.Load(AppFolder(), "2000", error)) << error;
  ASSERT_TRUE(look.UpdateModel(0, error)) << error;
  int plus = -1;
  for (int i = 0; i < look.LineCount(); ++i)
    if (look.LineText(i).find("SOLVANE 4DR PLUS") != std::string::npos) plus = i;
  ASSERT_GE(plus, 0);
  sp.prompt.Answer(ui::Answer::OK);
  ASSERT_TRUE(look.UseResidual(eng, plus, 1));
  EXPECT_EQ(eng.page.Residual, 10129.6);  // 19480 x 52%
  EXPECT_EQ(eng.page.Months, 36);
  EXPECT_EQ(eng.page.AllowedMiles, 15000);
}

}  // namespace
}  // namespace qv::pricing
