// The shipped report templates: they use only fields the merge knows, they merge for the
// sample deal into RTF whose groups balance, and a real word processor (LibreOffice, run
// headless) reads every merged report and shows the deal's figures in it.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>
#include <vector>

#include "platform/files/AtomicFile.h"
#include "reports/ReportFields.h"
#include "reports/ReportMerge.h"
#include "reports/RtfText.h"
#include "reports/SampleDeal.h"

namespace fs = std::filesystem;

namespace qv::reports {
namespace {

const char* const kTemplates[] = {"Lease.rtf",   "Loan.rtf",   "Cash.rtf",    "LVB.rtf",      "RovOzevi.rtf",
                                  "Compare.rtf", "Tables.rtf", "pmtcalc.rtf", "cashreqd.rtf", "StdEquip.RTF"};

std::string ReadTemplate(const std::string& name) {
  std::string text;
  EXPECT_TRUE(files::ReadWholeFile(test::DataFolder() + name, text)) << name;
  return text;
}

// The section markers of the row families and the fields that expand into lists.
bool IsSectionField(const std::string& name) {
  for (const char* m : {"OptName.All", "OptInv.All", "OptMSRP.All", "AdjustAll.", "AdjustmentsAll.Total",
                        "EOLFeesAll.", "Compare", "TableData"})
    if (name.find(m) != std::string::npos) return true;
  return name == "StdEquipment";
}

TEST(ShippedTemplates, UseOnlyFieldsTheMergeKnows) {
  for (const char* t : kTemplates) {
    const std::string text = StripTemplateLineBreaks(ReadTemplate(t));
    EXPECT_TRUE(BracesBalanced(text)) << t;
    EXPECT_LE(text.size(), kMaxTemplateBytes) << t;
    size_t pos = 0, fields = 0;
    while ((pos = text.find('[', pos)) != std::string::npos) {
      const size_t end = text.find(']', pos);
      ASSERT_NE(end, std::string::npos) << t;
      const std::string name = text.substr(pos + 1, end - pos - 1);
      EXPECT_TRUE(IsReportFieldName(name) || IsSectionField(name)) << t << ": [" << name << "]";
      ++fields;
      pos = end;
    }
    EXPECT_GE(fields, 2u) << t;
  }
}

TEST(ShippedTemplates, MergeForTheSampleDeal) {
  test::SampleDeal d;
  for (const char* t : kTemplates) {
    std::string report;
    const MergeResult r = MergeTemplateFile(d.ctx, test::DataFolder() + t, report);
    ASSERT_TRUE(r.ok()) << t << ": " << r.message;
    EXPECT_TRUE(BracesBalanced(report)) << t;
    EXPECT_EQ(report.find('['), std::string::npos) << t << ": a field is left";
  }
}

TEST(ShippedTemplates, TemplateFileFaults) {
  test::SampleDeal d;
  std::string report = "kept";
  MergeResult r = MergeTemplateFile(d.ctx, test::DataFolder() + "NoSuchTemplate.rtf", report);
  EXPECT_FALSE(r.ok());
  EXPECT_EQ(r.message, "Can't open file: " + test::DataFolder() + "NoSuchTemplate.rtf");
  EXPECT_EQ(report, "kept");
  // Names are found without regard to case.
  r = MergeTemplateFile(d.ctx, test::DataFolder() + "LEASE.RTF", report);
  EXPECT_TRUE(r.ok()) << r.message;
  // A closed comparison window: the comparison report is not made.
  d.ctx.sources.compareSheet = [] { return nullptr; };
  report = "kept";
  r = MergeTemplateFile(d.ctx, test::DataFolder() + "Compare.rtf", report);
  EXPECT_EQ(r.status, MergeResult::Status::CompareClosed);
  EXPECT_EQ(report, "kept");
}

TEST(ShippedTemplates, TemplateSizeLimit) {
  std::string tmpl = ::testing::TempDir() + "qv-size-" + std::to_string(::getpid()) + ".rtf";
  test::SampleDeal d;
  std::string report;
  ASSERT_TRUE(files::WriteFileAtomic(tmpl, std::string(kMaxTemplateBytes, 'x')));
  EXPECT_TRUE(MergeTemplateFile(d.ctx, tmpl, report).ok());
  ASSERT_TRUE(files::WriteFileAtomic(tmpl, std::string(kMaxTemplateBytes + 1, 'x')));
  const MergeResult r = MergeTemplateFile(d.ctx, tmpl, report);
  EXPECT_EQ(r.message, "Textfile too big: " + tmpl);
  fs::remove(tmpl);
}

// ---- the real word processor -------------------------------------------------------------

// The path of soffice on PATH, empty when there is none.
std::string FindSoffice() {
  const char* path = std::getenv("PATH");
  std::stringstream dirs(path ? path : "");
  std::string dir;
  while (std::getline(dirs, dir, ':')) {
    const std::string p = (dir.empty() ? std::string(".") : dir) + "/soffice";
    if (::access(p.c_str(), X_OK) == 0) return p;
  }
  return {};
}

std::string ReadText(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(ShippedTemplates, AWordProcessorReadsEveryMergedReport) {
  const std::string soffice = FindSoffice();
  ASSERT_FALSE(soffice.empty())
      << "LibreOffice (soffice) is not on PATH, so the merged reports cannot be checked by a real word "
         "processor. Install it with scripts/setup.sh (Debian packages libreoffice-writer and "
         "poppler-utils).";

  std::string tmpl = (fs::temp_directory_path() / "qv-reports-XXXXXX").string();
  ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
  const fs::path dir = tmpl;
  test::SampleDeal d;
  std::string files;
  for (const char* t : kTemplates) {
    std::string report;
    const MergeResult r = MergeTemplateFile(d.ctx, test::DataFolder() + t, report);
    ASSERT_TRUE(r.ok()) << t << ": " << r.message;
    const fs::path out = dir / (fs::path(t).stem().string() + ".rtf");
    ASSERT_TRUE(files::WriteFileAtomic(out.string(), report));
    files += " '" + out.string() + "'";
  }
  // Its own profile folder, so that parallel runs do not collide, and a time limit.
  const std::string cmd = "timeout 240 '" + soffice + "' -env:UserInstallation=file://" + (dir / "profile").string() +
                          " --headless --norestore --convert-to 'txt:Text (encoded):UTF8' --outdir '" +
                          (dir / "txt").string() + "'" + files + " > '" + (dir / "soffice.log").string() + "' 2>&1";
  const int rc = std::system(cmd.c_str());
  ASSERT_EQ(rc, 0) << cmd << "\n" << ReadText(dir / "soffice.log");

  // The figures worked out by hand in SampleDeal.h, and texts that needed escaping.
  const std::string customer = test::kSampleCustomer;
  struct Expect {
    const char* report;
    std::vector<std::string> texts;
  };
  const Expect expects[] = {
      {"Lease",
       {"$387.75", "$22,100.00", "$1,037.75", "$365.81", "$400.00", customer, "2026 Corvane Stratos LX Sedan",
        "All-weather floor mats {set of 4}", "navigation and heated seats", "Paint & fabric protection\t \t$250.00",
        "Disposition fee\t$395.00", "{weekday} delivery; papers to C:\\deals\\ortiz.", "October 5, 2026"}},
      {"Loan", {"$595.17", "$21,426.00", "$1,326.00", "$2,000.00", customer}},
      {"Cash", {"$23,426.00", "$1,326.00", customer}},
      {"LVB", {"$387.75", "$595.17", "$23,426.00", "$1,037.75", "$22,100.00"}},
      {"RovOzevi", {"$1,000.00", "$20,000.00", "$22,100.00", customer}},
      {"Compare", {"Stratos LX Sedan\t", "36 months", "387.75", "1,037.75", "Lease / Cash Ratio", customer}},
      {"Tables", {"Months=24\tMonths=36\tMonths=48", "500\t21,600.00", "1,500\t22,600.00", "1,000\t22,100.00\t",
                  "387.75", "$12,000.00"}},
      {"pmtcalc", {"$387.75", "$365.81", "$22,100.00", "$280.56", "$85.25", "$21.95"}},
      {"cashreqd", {"$1,037.75", "$387.75", "$400.00", "$787.75", "$250.00"}},
      {"StdEquip", {"Engine Type:", "ventilated discs", "Air conditioning", "Power door locks"}},
  };
  for (const auto& e : expects) {
    const fs::path txt = dir / "txt" / (std::string(e.report) + ".txt");
    ASSERT_TRUE(fs::exists(txt)) << e.report << "\n" << ReadText(dir / "soffice.log");
    const std::string text = ReadText(txt);
    for (const auto& want : e.texts) EXPECT_NE(text.find(want), std::string::npos) << e.report << ": " << want << "\n" << text;
    EXPECT_EQ(text.find('['), std::string::npos) << e.report << ": a bracketed field name is left\n" << text;
    // No markup shows as text: the only backslashes are those of the memo's path.
    std::string rest = text;
    for (size_t p; (p = rest.find("C:\\deals\\ortiz")) != std::string::npos;) rest.erase(p, 14);
    EXPECT_EQ(rest.find('\\'), std::string::npos) << e.report << ": RTF markup shows as text\n" << text;
  }
  std::error_code ec;
  fs::remove_all(dir, ec);
}

// The sample deal with a trade-in, rebates and two adjustments.
struct TradeDeal : test::SampleDeal {
  TradeDeal() {
    e.items.TradeAllowance = 6500;
    e.items.TradePayoff = 2500;
    e.items.TradeEquity.Cash = 4000;
    e.items.LeaseRebate.Cap = 1000;
    e.items.LeaseRebate.Cash = 500;
    e.page.PurchRebate = 1500;
    e.items.Adjustments[1] = {"Paint & fabric protection", 0, 250};
    e.items.Adjustments[2] = {"Extended service contract covering powertrain and electrical", 1200, 300};
    e.items.TotalAdjust = {1200, 550};
    e.SavePageItems();
    e.RecalcPage();
  }
};

// The sample deal under a tax setting that taxes the purchase price up front, in cash, with
// a cash item in every family the start-up sheet has: a taxed document fee (its tax goes to
// "tax on fees and taxes"), pre-paid miles, a trade-in and a cash cap reduction.
//
// Worked by hand (price 22,100 as in the sample deal, cap reduction 1,000):
//   CapCost = 22100 - 1000 = 21100
//   PaymentNT = (21100 - 12000) / 36 + (21100 + 12000) * 0.0025 = 252.777778 + 82.75 = 335.53
//   (the lease tax is paid up front, so the payment carries none)
//   security deposit = the payment rounded up to 25 = 350.00
//   tax on the purchase price = (22100 - 3500 trade allowance) * 6 % = 1,116.00
//   tax on the cap reduction = 1000 * 6 % = 60.00; tax on the document fee = 300 * 6 % = 18.00
//   cash due = 335.53 + 350 + 300 + 1116 + 60 + 450 + 18 - 1000 (trade equity) + 1000 + 250
//            = 2,879.53
struct UpFrontTaxDeal : test::SampleDeal {
  UpFrontTaxDeal() {
    e.tax.TaxMethod = 1;
    e.tax.DefaultCapCash = 0;
    e.tax.AlsoTaxCapRedCash = 1;
    e.page.CapRd = 1000;
    e.items.DocumentFee = {};
    e.items.DocumentFee.Amount = e.items.DocumentFee.Cash = 300;
    e.items.DocumentFee.AlsoTax = 1;
    e.items.PrePaidMileFee.Amount = e.items.PrePaidMileFee.Cash = 450;
    e.items.TradeAllowance = 3500;
    e.items.TradePayoff = 2500;
    e.items.TradeEquity.Amount = e.items.TradeEquity.Cash = 1000;
    e.SavePageItems();
    e.RecalcPage();
  }
  static constexpr double kCashDue = 2879.53;
};

// Reads a money text of a report ("$1,116.00", "($1,000.00)", a blank for 0).
double MoneyText(std::string t) {
  const bool negative = t.find('(') != std::string::npos;
  std::string digits;
  for (char c : t)
    if (std::isdigit(static_cast<unsigned char>(c)) || c == '.') digits += c;
  const double v = digits.empty() ? 0 : std::stod(digits);
  return negative ? -v : v;
}

// The lines of `text` from the one after `from` up to the one that starts with `to`, each
// split at its last tab into label and amount; `total` gets the amount of the last line.
std::vector<std::pair<std::string, double>> AmountLines(const std::string& text, const std::string& from,
                                                        const std::string& to, double& total) {
  std::vector<std::pair<std::string, double>> lines;
  std::stringstream in(text.substr(text.find(from) + from.size()));
  std::string line;
  std::getline(in, line);  // the rest of the heading's line
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t tab = line.rfind('\t');
    if (tab == std::string::npos) continue;
    const double amount = MoneyText(line.substr(tab + 1));
    if (line.rfind(to, 0) == 0) {
      total = amount;
      return lines;
    }
    lines.emplace_back(line.substr(0, tab), amount);
  }
  ADD_FAILURE() << "no line \"" << to << "\" after \"" << from << "\"";
  return lines;
}

// Every cash item of the deal has a line of its own under "Due at Signing" of the merged
// Lease report, and the lines ("Less" lines taken off) add up to the total the report
// prints, as LibreOffice reads it. The cash-required report's closing lines do the same.
TEST(ShippedTemplates, TheCashLinesAddUpToTheTotalPrinted) {
  const std::string soffice = FindSoffice();
  ASSERT_FALSE(soffice.empty()) << "LibreOffice (soffice) is not on PATH (scripts/setup.sh installs it).";
  UpFrontTaxDeal d;
  ASSERT_NEAR(d.e.res.LCashReqd, UpFrontTaxDeal::kCashDue, 0.001) << "the deal as worked by hand";
  std::string tmpl = (fs::temp_directory_path() / "qv-cashlines-XXXXXX").string();
  ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
  const fs::path dir = tmpl;
  std::string files;
  for (const char* t : {"Lease.rtf", "cashreqd.rtf"}) {
    std::string report;
    ASSERT_TRUE(MergeTemplateFile(d.ctx, test::DataFolder() + t, report).ok()) << t;
    ASSERT_TRUE(files::WriteFileAtomic((dir / t).string(), report));
    files += " '" + (dir / t).string() + "'";
  }
  const std::string cmd = "timeout 240 '" + soffice + "' -env:UserInstallation=file://" + (dir / "profile").string() +
                          " --headless --norestore --convert-to 'txt:Text (encoded):UTF8' --outdir '" +
                          (dir / "txt").string() + "'" + files + " > '" + (dir / "soffice.log").string() + "' 2>&1";
  ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd << "\n" << ReadText(dir / "soffice.log");

  const std::string lease = ReadText(dir / "txt" / "Lease.txt");
  double total = 0;
  const auto lines = AmountLines(lease, "Due at Signing", "Total due at signing", total);
  double sum = 0;
  for (const auto& [label, amount] : lines) sum += label.rfind("Less ", 0) == 0 ? -amount : amount;
  EXPECT_NEAR(total, UpFrontTaxDeal::kCashDue, 0.001) << lease;
  EXPECT_NEAR(sum, total, 0.001) << lease;
  for (const char* want : {"First payment\t$335.53", "Security deposit\t$350.00", "Document fee\t$300.00",
                           "Tax on the purchase price\t$1,116.00", "Tax on the capitalized cost reduction\t$60.00",
                           "Pre-paid miles\t$450.00", "Tax on fees and taxes\t$18.00", "Less trade equity\t$1,000.00",
                           "Cash capitalized cost reduction\t$1,000.00", "Adjustments paid in cash\t$250.00"})
    EXPECT_NE(lease.find(want), std::string::npos) << want << "\n" << lease;

  const std::string cash = ReadText(dir / "txt" / "cashreqd.txt");
  EXPECT_NE(cash.find("Tax on the purchase price\t"), std::string::npos) << cash;
  const auto closing = AmountLines(cash, "Start-up costs\t", "Total cash required at signing", total);
  sum = 0;
  for (const auto& [label, amount] : closing) sum += amount;
  EXPECT_NEAR(total, UpFrontTaxDeal::kCashDue, 0.001) << cash;
  EXPECT_NEAR(sum, total, 0.001) << cash;
  // Start-up costs in cash: 335.53 + 350 + 300 + 1116 + 60 + 450 + 18 - 1000 = 1,629.53.
  EXPECT_NE(cash.find("Start-up costs paid in cash\t$1,629.53"), std::string::npos) << cash;
  std::error_code ec;
  fs::remove_all(dir, ec);
}

// The vertical extent of a PDF's text, in points from the top of the first page: where the
// lowest word of the last page ends. Read from pdftotext's word boxes.
double TextExtent(const fs::path& pdf, const fs::path& dir) {
  const fs::path html = dir / (pdf.stem().string() + ".html");
  const std::string cmd = "timeout 60 pdftotext -bbox '" + pdf.string() + "' '" + html.string() + "'";
  if (std::system(cmd.c_str()) != 0) return -1;
  const std::string text = ReadText(html);
  double pageHeight = 0, lowest = 0, pages = 0;
  for (size_t p = 0; (p = text.find("<page ", p)) != std::string::npos; ++p) {
    ++pages;
    pageHeight = std::atof(text.c_str() + text.find("height=\"", p) + 8);
    lowest = 0;
    const size_t next = text.find("<page ", p + 1);
    for (size_t w = p; (w = text.find("yMax=\"", w)) != std::string::npos && w < next; ++w)
      lowest = std::max(lowest, std::atof(text.c_str() + w + 6));
  }
  return (pages - 1) * pageHeight + lowest;
}

// The report with every tab written as a blank: its lines are no longer than with the tabs,
// and a line that fits without them cannot wrap because of them.
std::string WithoutTabs(const std::string& rtf) {
  std::string out;
  for (size_t p = 0;;) {
    const size_t t = rtf.find("\\tab", p);
    if (t == std::string::npos) return out + rtf.substr(p);
    const size_t end = t + 4;
    if (end < rtf.size() && std::isalpha(static_cast<unsigned char>(rtf[end]))) {  // \tabsomething
      out += rtf.substr(p, end - p);
      p = end;
      continue;
    }
    out += rtf.substr(p, t - p) + " ";
    p = end < rtf.size() && rtf[end] == ' ' ? end + 1 : end;
  }
}

// Every shipped template, merged for the sample deal and for a deal with a trade-in, rebates
// and two adjustments, is laid out by LibreOffice twice: as merged, and with its tabs written
// as blanks. The text ends at the same height on both: no line wraps because of its tabs (a
// tab past the last tab stop puts the line's end on a line of its own).
TEST(ShippedTemplates, NoLineOfAMergedReportWraps) {
  const std::string soffice = FindSoffice();
  ASSERT_FALSE(soffice.empty()) << "LibreOffice (soffice) is not on PATH (scripts/setup.sh installs it).";
  std::string tmpl = (fs::temp_directory_path() / "qv-wraps-XXXXXX").string();
  ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
  const fs::path dir = tmpl;
  test::SampleDeal sample;
  TradeDeal trade;
  std::string files;
  std::vector<std::string> names;
  for (const auto& [deal, ctx] : {std::pair{"sample", &sample.ctx}, std::pair{"trade", &trade.ctx}}) {
    for (const char* t : kTemplates) {
      std::string report;
      const MergeResult r = MergeTemplateFile(*ctx, test::DataFolder() + t, report);
      ASSERT_TRUE(r.ok()) << t << ": " << r.message;
      const std::string name = std::string(deal) + "-" + fs::path(t).stem().string();
      std::string plain = WithoutTabs(report);
      for (const auto& [suffix, text] : {std::pair{"", &report}, std::pair{"-plain", &plain}}) {
        const fs::path out = dir / (name + suffix + ".rtf");
        ASSERT_TRUE(files::WriteFileAtomic(out.string(), *text));
        files += " '" + out.string() + "'";
      }
      names.push_back(name);
    }
  }
  const std::string cmd = "timeout 300 '" + soffice + "' -env:UserInstallation=file://" + (dir / "profile").string() +
                          " --headless --norestore --convert-to pdf --outdir '" + (dir / "pdf").string() + "'" +
                          files + " > '" + (dir / "soffice.log").string() + "' 2>&1";
  ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd << "\n" << ReadText(dir / "soffice.log");
  for (const std::string& name : names) {
    const double narrow = TextExtent(dir / "pdf" / (name + ".pdf"), dir);
    const double plain = TextExtent(dir / "pdf" / (name + "-plain.pdf"), dir);
    ASSERT_GT(narrow, 0) << name << "\n" << ReadText(dir / "soffice.log");
    EXPECT_NEAR(narrow, plain, 1.0) << name << ": a line with tabs wraps (" << dir << ")";
  }
  if (!::testing::Test::HasFailure()) {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
}

}  // namespace
}  // namespace qv::reports
