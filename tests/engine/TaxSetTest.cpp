// The current tax setting and the tax-settings file "Taxset.txt".
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "PageModelSupport.h"
#include "engine/Engine.h"
#include "platform/files/AtomicFile.h"

namespace qv {
namespace {

using testing_support::TempFolder;

const std::string kHomeLine = "Home,6,0,1,1,0,0,0,0,0,1,0,0,0,1,0,0,6,0,0,1,6,1,36000,1,0,0";

// Everything a tax-settings line carries: the setting and the AlsoTax flags of the items.
struct TaxState {
  TaxSetting tax;
  std::vector<int16_t> alsoTax;
  bool operator==(const TaxState&) const = default;
};

TaxState StateOf(const Engine& e) {
  const PageItems& i = e.items;
  return {e.tax,
          {i.Security.AlsoTax, i.Registration.AlsoTax, i.Title.AlsoTax, i.DocumentFee.AlsoTax, i.CapRedTax.AlsoTax,
           i.RebateTax.AlsoTax, i.LuxuryTax.AlsoTax, i.TradeEquity.AlsoTax, i.Acquisition.AlsoTax,
           i.LeaseRebate.AlsoTax, i.PrePaidMileFee.AlsoTax, i.OtherFee.AlsoTax}};
}

std::string ReadFile(const std::string& path) {
  std::string s;
  files::ReadWholeFile(path, s, std::uint64_t(1) << 30);
  return s;
}

void WriteFile(const std::string& path, const std::string& text) { ASSERT_TRUE(files::WriteFileAtomic(path, text)); }

TEST(TaxSetLine, DefaultsBuildTheHomeLine) {
  Engine e;
  e.tax.TaxSetName = "Home";
  e.tax.AlsoTaxRebateCash = 1;
  e.SetDefaultTaxSet();
  EXPECT_EQ(e.tax.TaxSetName, "Home");
  EXPECT_EQ(e.BuildTaxSetLine(), kHomeLine);  // AlsoTaxRebateCash defaults to 0
}

TEST(TaxSetLine, ShippedFileHoldsTheHomeSetting) {
  const std::string text = ReadFile(std::string(QV_SOURCE_DIR) + "/data/Taxset.txt");
  const size_t firstEnd = text.find("\r\n");
  ASSERT_NE(firstEnd, std::string::npos);
  EXPECT_EQ(text.substr(0, 5), "Name,");
  EXPECT_EQ(text.substr(firstEnd + 2), kHomeLine + "\r\n");
}

TEST(TaxSetLine, BuildThenParseRestoresEveryField) {
  Engine a;
  a.tax = {"Coast", 6.125f, 3, 0, 1, 7.35f, 1.5f, 1234.56f, 0, 8.1f, 0, 41000, 0, 999.99f, 1};
  int16_t flag = 1;
  for (StartUpItem* it : {&a.items.Security, &a.items.Registration, &a.items.Title, &a.items.DocumentFee,
                          &a.items.CapRedTax, &a.items.RebateTax, &a.items.LuxuryTax, &a.items.TradeEquity,
                          &a.items.Acquisition, &a.items.LeaseRebate, &a.items.PrePaidMileFee, &a.items.OtherFee}) {
    it->AlsoTax = flag;
    flag = static_cast<int16_t>(1 - flag);
  }
  const std::string line = a.BuildTaxSetLine();
  EXPECT_EQ(line, "Coast,6.125,3,0,1,1,0,1,0,1,0,1,0,1,0,1,0,7.35,1.5,1234.56,0,8.1,0,41000,0,999.99,1");

  Engine b;
  b.tax.TaxSetName = "Coast";
  b.ParseTaxSetLine(line);
  EXPECT_EQ(StateOf(b), StateOf(a));
}

// Every single is written with the digits it needs to read back as the same single.
TEST(TaxSetLine, SinglesReadBackExactly) {
  // Rates up to 100 percent; amounts up to the largest single below $100,000,000.
  const float values[] = {7.1234567f, 6.1f, 0.1f, 1.0f / 3, 99.99999f, 1e-7f, 2.5f, 123456.79f, 16777215.0f,
                          99999992.0f, 1234.56f};
  for (float v : values) {
    const bool rate = v <= 100;
    Engine a;
    if (rate) a.tax.LeaseTaxRate = a.tax.BuyTaxRate = v;
    a.tax.MaxTax = v;
    Engine b;
    EXPECT_TRUE(b.ParseTaxSetLine(a.BuildTaxSetLine()));
    if (rate) EXPECT_EQ(b.tax.LeaseTaxRate, v) << a.BuildTaxSetLine();
    if (rate) EXPECT_EQ(b.tax.BuyTaxRate, v);
    EXPECT_EQ(b.tax.MaxTax, v);
  }
  Engine a;
  a.tax.LeaseTaxRate = 7.1234567f;
  a.tax.MaxTax = 1e7f;
  const std::string line = a.BuildTaxSetLine();
  EXPECT_EQ(line.substr(0, 11), ",7.1234565,") << "the nearest single to 7.1234567, in full";
  EXPECT_NE(line.find(",1E+07,"), std::string::npos) << line;
}

TEST(TaxSetLine, FlagsReadAsZeroOrOne) {
  Engine e;
  e.ParseTaxSetLine("Odd,6,0,5,-1,2,0,0,0,0,7,0,0,0,.4,0,0,6,0,0,-3,6,9,36000,4,0,12");
  EXPECT_EQ(e.tax.DefaultCapCash, 1);
  EXPECT_EQ(e.tax.AlsoTaxCapRedCash, 1);
  EXPECT_EQ(e.items.Security.AlsoTax, 1);
  EXPECT_EQ(e.items.RebateTax.AlsoTax, 1);
  EXPECT_EQ(e.items.LeaseRebate.AlsoTax, 0);  // .4 rounds to 0
  EXPECT_EQ(e.tax.ExclTradeFromLocal, 1);
  EXPECT_EQ(e.tax.LuxuryTaxCapCash, 1);
  EXPECT_EQ(e.tax.NoInterestOnLuxuryTax, 1);
  EXPECT_EQ(e.tax.AlsoTaxRebateCash, 1);
  EXPECT_EQ(e.tax.LuxuryThreshold, 36000);

  // Fields 6 and 11 that are empty or no number read as 0 like the others.
  e.ParseTaxSetLine("Odd,6,0,1,1,,0,0,0,0,yes,0,0,0,1,0,0,6,0,0,1,6,1,36000,1,0,0");
  EXPECT_EQ(e.items.Security.AlsoTax, 0);
  EXPECT_EQ(e.items.RebateTax.AlsoTax, 0);
}

TEST(TaxSetLine, ShortAndEmptyLines) {
  Engine e;
  e.SetDefaultTaxSet();
  const TaxState defaults = StateOf(e);

  e.ParseTaxSetLine("");
  EXPECT_EQ(StateOf(e), defaults);
  e.ParseTaxSetLine("no comma at all");
  EXPECT_EQ(StateOf(e), defaults);

  // The fields present are stored, the rest keep their values.
  e.ParseTaxSetLine("Short,7.5,1");
  EXPECT_EQ(e.tax.LeaseTaxRate, 7.5f);
  EXPECT_EQ(e.tax.TaxMethod, 1.0f);
  TaxState expected = defaults;
  expected.tax.LeaseTaxRate = 7.5f;
  expected.tax.TaxMethod = 1;
  EXPECT_EQ(StateOf(e), expected);
}

TEST(TaxSetLine, CommaInTheNameCannotSplitTheLine) {
  Engine e;
  e.SetDefaultTaxSet();
  e.tax.TaxSetName = "Dade, FL";
  EXPECT_EQ(e.BuildTaxSetLine(), "Dade  FL" + kHomeLine.substr(4));
}

// ---- the file ------------------------------------------------------------------------------

struct TaxFile : ::testing::Test {
  TempFolder dir;
  Engine e;
  std::string path;
  void SetUp() override {
    e.AppFolder = dir.Folder();
    path = dir.File("Taxset.txt");
  }
  Engine Loaded(const std::string& name) {
    Engine other;
    other.AppFolder = e.AppFolder;
    other.tax.TaxSetName = name;
    std::string err;
    EXPECT_TRUE(other.LoadTaxSet(&err)) << err;
    return other;
  }
};

TEST_F(TaxFile, LoadPicksTheNamedLineCaseSensitively) {
  WriteFile(path,
            "Name,header\r\n"
            "home,1,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,1,0,0,0,1,0,1,0,0,0\r\n" +
                kHomeLine + "\r\nAway,8,2,0,0,1,1,1,1,1,1,1,1,1,1,1,1,7,1,100,0,5,0,50000,0,2000,1\r\n");
  Engine home = Loaded("Home");
  EXPECT_EQ(home.BuildTaxSetLine(), kHomeLine);
  Engine lower = Loaded("home");
  EXPECT_EQ(lower.tax.LeaseTaxRate, 1.0f);
  Engine away = Loaded("Away");
  EXPECT_EQ(away.BuildTaxSetLine(), "Away,8,2,0,0,1,1,1,1,1,1,1,1,1,1,1,1,7,1,100,0,5,0,50000,0,2000,1");
}

TEST_F(TaxFile, UnknownNameOrMissingFileChangesNothing) {
  e.SetDefaultTaxSet();
  e.tax.LeaseTaxRate = 4.5f;
  e.tax.TaxSetName = "Nowhere";
  const TaxState before = StateOf(e);

  std::string err;
  EXPECT_FALSE(e.LoadTaxSet(&err));  // no file yet
  EXPECT_NE(err.find("Taxset.txt"), std::string::npos) << err;
  EXPECT_EQ(StateOf(e), before);

  WriteFile(path, "Name\r\n" + kHomeLine + "\r\n");
  EXPECT_TRUE(e.LoadTaxSet(&err));
  EXPECT_EQ(StateOf(e), before);
}

// The readers stop at the first empty line; a save and a delete rewrite the settings before
// it and keep everything from it on byte for byte, so notes kept there never become settings.
TEST_F(TaxFile, EverythingFromTheFirstEmptyLineOnIsKept) {
  const std::string away = "Away,8,2,0,0,1,1,1,1,1,1,1,1,1,1,1,1,7,1,100,0,5,0,50000,0,2000,1";
  const std::string tail = "\r\n" + away + "\r\nnotes, kept by hand\n\nmore notes\rHome,1,2";
  WriteFile(path, "Header\r\n" + kHomeLine + "\r\nB,2\r\n" + tail);
  Engine hidden = Loaded("Away");
  EXPECT_EQ(hidden.tax.LeaseTaxRate, 0.0f);  // not found: unchanged

  e.SetDefaultTaxSet();
  e.tax.TaxSetName = "Home";
  e.tax.LeaseTaxRate = 7;
  ASSERT_TRUE(e.SaveTaxSet());
  const std::string home7 = "Home,7" + kHomeLine.substr(6);
  EXPECT_EQ(ReadFile(path), "Header\r\n" + home7 + "\r\nB,2\r\n" + tail);

  // A new setting goes before the empty line.
  e.tax.TaxSetName = "Away";
  ASSERT_TRUE(e.SaveTaxSet());
  EXPECT_EQ(ReadFile(path), "Header\r\n" + home7 + "\r\nB,2\r\nAway" + home7.substr(4) + "\r\n" + tail);
  EXPECT_EQ(Loaded("Away").tax.LeaseTaxRate, 7.0f);

  // Delete removes the setting before the empty line only.
  std::string err;
  ASSERT_TRUE(e.DeleteTaxSet("Away", &err)) << err;
  EXPECT_EQ(ReadFile(path), "Header\r\n" + home7 + "\r\nB,2\r\n" + tail);
  ASSERT_TRUE(e.DeleteTaxSet("Home", &err)) << err;
  EXPECT_EQ(ReadFile(path), "Header\r\nB,2\r\n" + tail);
  EXPECT_EQ(Loaded("notes").tax.LeaseTaxRate, 0.0f);
}

TEST_F(TaxFile, DeleteKeepsTheOtherLinesAndReportsAMissingFile) {
  std::string err;
  EXPECT_FALSE(e.DeleteTaxSet("Home", &err));
  EXPECT_NE(err.find("Taxset.txt"), std::string::npos) << err;
  EXPECT_FALSE(std::filesystem::exists(path));

  WriteFile(path, "Header\r\nnot a setting\r\n" + kHomeLine + "\r\nA,1\r\nHome,2\r\n");
  ASSERT_TRUE(e.DeleteTaxSet("Home", &err)) << err;
  EXPECT_EQ(ReadFile(path), "Header\r\nnot a setting\r\nA,1\r\n");
  ASSERT_TRUE(e.DeleteTaxSet("Nowhere", &err)) << err;
  EXPECT_EQ(ReadFile(path), "Header\r\nnot a setting\r\nA,1\r\n");
}

TEST_F(TaxFile, SaveReplacesInPlaceOrAppends) {
  WriteFile(path, "My header\r\nA,1\r\n" + kHomeLine + "\r\nB,2\r\nHome,9\r\n");
  e.SetDefaultTaxSet();
  e.tax.TaxSetName = "Home";
  e.tax.LeaseTaxRate = 7.25f;
  ASSERT_TRUE(e.SaveTaxSet());
  const std::string changed = "Home,7.25" + kHomeLine.substr(6);
  // Every line of the name is rewritten; order and header stay.
  EXPECT_EQ(ReadFile(path), "My header\r\nA,1\r\n" + changed + "\r\nB,2\r\n" + changed + "\r\n");

  e.tax.TaxSetName = "New";
  ASSERT_TRUE(e.SaveTaxSet());
  EXPECT_EQ(ReadFile(path),
            "My header\r\nA,1\r\n" + changed + "\r\nB,2\r\n" + changed + "\r\nNew" + changed.substr(4) + "\r\n");
}

TEST_F(TaxFile, LinesWithoutACommaAreKept) {
  WriteFile(path, "Header\r\nnot a setting\r\n" + kHomeLine + "\r\n");
  Engine home = Loaded("Home");
  EXPECT_EQ(home.BuildTaxSetLine(), kHomeLine);
  Engine odd = Loaded("not a setting");
  EXPECT_EQ(odd.tax.LeaseTaxRate, 0.0f);

  home.tax.MaxTax = 500;
  ASSERT_TRUE(home.SaveTaxSet());
  EXPECT_EQ(ReadFile(path), "Header\r\nnot a setting\r\n" + kHomeLine.substr(0, kHomeLine.size() - 3) + "500,0\r\n");
}

TEST_F(TaxFile, SaveCreatesAMissingFileWithAHeader) {
  e.SetDefaultTaxSet();
  e.tax.TaxSetName = "Home";
  std::string err;
  ASSERT_TRUE(e.SaveTaxSet(&err)) << err;
  const std::string text = ReadFile(path);
  const size_t firstEnd = text.find("\r\n");
  ASSERT_NE(firstEnd, std::string::npos);
  EXPECT_EQ(text.substr(0, 5), "Name,");
  EXPECT_EQ(text.substr(firstEnd + 2), kHomeLine + "\r\n");
  EXPECT_EQ(Loaded("Home").BuildTaxSetLine(), kHomeLine);
}

TEST_F(TaxFile, AnyNumberOfSettings) {
  e.SetDefaultTaxSet();
  for (int n = 1; n <= 60; ++n) {
    e.tax.TaxSetName = "S" + std::to_string(n);
    e.tax.MaxTax = static_cast<float>(n);
    ASSERT_TRUE(e.SaveTaxSet()) << n;
  }
  EXPECT_EQ(Loaded("S60").tax.MaxTax, 60.0f);
  EXPECT_EQ(Loaded("S1").tax.MaxTax, 1.0f);
}

TEST_F(TaxFile, FileNameIsFoundWithoutRegardToCase) {
  const std::string upper = dir.File("TAXSET.TXT");
  WriteFile(upper, "Header\r\n" + kHomeLine + "\r\n");
  EXPECT_EQ(Loaded("Home").BuildTaxSetLine(), kHomeLine);
  e.SetDefaultTaxSet();
  e.tax.TaxSetName = "Away";
  ASSERT_TRUE(e.SaveTaxSet());
  EXPECT_EQ(ReadFile(upper), "Header\r\n" + kHomeLine + "\r\nAway" + kHomeLine.substr(4) + "\r\n");
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(TaxFile, FailedSaveKeepsTheOldFile) {
  const std::string old = "Header\r\n" + kHomeLine + "\r\n";
  WriteFile(path, old);
  files::SetWriteFaultForTesting([](const std::string&) { return true; });
  e.SetDefaultTaxSet();
  e.tax.TaxSetName = "Away";
  std::string err;
  EXPECT_FALSE(e.SaveTaxSet(&err));
  files::SetWriteFaultForTesting(nullptr);
  EXPECT_FALSE(err.empty());
  EXPECT_EQ(ReadFile(path), old);
}

// A setting whose values no setting can hold (rates beyond a float or outside 0 to 100,
// amounts of a deal's size and more, a negative rate) takes a new setting's values for
// them, and the load names the file and the line once.
TEST_F(TaxFile, ValuesOutOfRangeTakeTheDefaultsWithOneNotice) {
  const std::string header = "Name,LeaseTaxRate\r\n";
  WriteFile(path, header + "Away,8,2,0,0,1,1,1,1,1,1,1,1,1,1,1,1,7,1,100,0,5,0,50000,0,2000,1\r\n" +
                      "Home,1e39,0,1,1,0,0,0,0,0,1,0,0,0,1,0,0,1e39,3.4e38,3.4e38,1,3e38,1,3e38,1,3e38,0\r\n" +
                      "Neg,-1e308,-1e308,-1e308,-1e308,-1e308,-1e308,-1e308,-1e308,-1e308,-1e308,-1e308,-1e308,"
                      "-1e308,-1e308,-1e308,-1e308,-1e308,-1e308,-1e308,-1e308,-1e308,-1e308,-1e308,-1e308,-1e308,"
                      "-1e308\r\n");
  Engine defaults;
  defaults.SetDefaultTaxSet();
  for (const char* name : {"Home", "Neg"}) {
    SCOPED_TRACE(name);
    Engine other;
    other.AppFolder = e.AppFolder;
    other.tax.TaxSetName = name;
    std::string err, notice;
    ASSERT_TRUE(other.LoadTaxSet(&err, &notice)) << err;
    EXPECT_EQ(notice, std::string("Taxset.txt, line ") + (name[0] == 'H' ? "3" : "4") +
                          ": a value that is not a number, or is out of range, was replaced by its default.");
    for (float rate : {other.tax.LeaseTaxRate, other.tax.BuyTaxRate, other.tax.LuxuryTaxRate}) EXPECT_EQ(rate, 6.0f);
    EXPECT_EQ(other.tax.LocalTaxRate, 0.0f);
    EXPECT_EQ(other.tax.MaxLocalTax, 0.0f);
    EXPECT_EQ(other.tax.MaxTax, 0.0f);
    EXPECT_EQ(other.tax.LuxuryThreshold, 36000);
    EXPECT_EQ(other.tax.TaxMethod, 0.0f);
  }
  // The Neg line's flags are all out of range: every one is a new setting's.
  Engine neg = Loaded("Neg");
  TaxState expected = StateOf(defaults);
  expected.tax.TaxSetName = "Neg";
  EXPECT_EQ(StateOf(neg), expected);
  // A line in range gives no notice.
  std::string err, notice;
  Engine away;
  away.AppFolder = e.AppFolder;
  away.tax.TaxSetName = "Away";
  ASSERT_TRUE(away.LoadTaxSet(&err, &notice));
  EXPECT_EQ(notice, "");
  EXPECT_EQ(away.tax.LeaseTaxRate, 8.0f);
}

}  // namespace
}  // namespace qv
