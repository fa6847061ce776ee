// Help by context number, the About window, the update notice's help button, the
// dealer-network window, and the Alt letters of these windows.
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QToolButton>

#include <functional>
#include <set>
#include <string>

#include "tests/dialogs/AltLetters.h"
#include "tests/worksheet/QVFixture.h"
#include "worksheet/About.h"
#include "worksheet/DealerNet.h"
#include "worksheet/Help.h"
#include "worksheet/Update.h"

namespace qv::test {
namespace {

using Kind = ui::PromptRecord::Kind;

class HelpTest : public QVTest {
 protected:
  void SetUp() override {
    QVTest::SetUp();
    std::filesystem::copy(std::string(QV_SOURCE_DIR) + "/data/help", folder + "help");
    Load();
  }
  void TearDown() override {
    windows.Unload<HelpViewer>();
    windows.Unload<About>();
    windows.Unload<frmDealerNetwork>();
    windows.Unload<Update>();
    QVTest::TearDown();
  }
  HelpViewer& Viewer() { return windows.Get<HelpViewer>(); }
};

TEST_F(HelpTest, EveryContextTheProgramUsesHasItsTopic) {
  struct Case {
    int16_t context;
    const char* title;
  };
  const Case cases[] = {
      {0, "How to Use Help"},      {1, "Contents"},
      {2, "Using Quorvant"},       {3, "Overview"},
      {4, "The Price Guide"},      {7, "Gathering Information"},
      {8, "Manipulating the Worksheet"}, {18, "Entering Information"},
      {113, "Technical Support"},  {114, "Obtaining Updates"},
  };
  std::set<int16_t> listed;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.context);
    qv->ShowHelp(c.context);
    ASSERT_TRUE(windows.Loaded<HelpViewer>());
    EXPECT_TRUE(Viewer().isVisible());
    EXPECT_EQ(Viewer().Context(), c.context);
    EXPECT_EQ(Viewer().TopicTitle().toStdString(), c.title);
    EXPECT_EQ(Viewer().windowTitle().toStdString(), std::string("Quorvant Help - ") + c.title);
    EXPECT_FALSE(Viewer().Browser->toPlainText().isEmpty());
    listed.insert(c.context);
  }
  const std::vector<int16_t> all = HelpContexts();
  EXPECT_EQ(std::set<int16_t>(all.begin(), all.end()), listed);

  // A context without a topic says so, and leads back to the contents.
  qv->ShowHelp(5);
  EXPECT_EQ(Viewer().TopicTitle().toStdString(), "Topic not found");
  EXPECT_TRUE(Viewer().Browser->toPlainText().contains("context number 5"));
  // A missing help folder is reported the same way, naming the file.
  std::filesystem::remove_all(folder + "help");
  qv->ShowHelp(2);
  EXPECT_EQ(Viewer().TopicTitle().toStdString(), "Topic not found");
  EXPECT_TRUE(Viewer().Browser->toPlainText().contains("using-quorvant.html"));
}

TEST_F(HelpTest, EveryLinkOfTheShippedPagesLeadsSomewhere) {
  const QDir dir(QString::fromStdString(folder + "help"));
  const QStringList pages = dir.entryList({"*.html"}, QDir::Files);
  ASSERT_EQ(pages.size(), static_cast<int>(HelpContexts().size()));
  const QRegularExpression href("href=\"([^\"]+)\"");
  for (const QString& page : pages) {
    SCOPED_TRACE(page.toStdString());
    const std::string text = ReadFile(dir.filePath(page).toStdString());
    EXPECT_NE(text.find("<title>"), std::string::npos);
    auto it = href.globalMatch(QString::fromStdString(text));
    while (it.hasNext()) {
      const QString target = it.next().captured(1);
      if (target.startsWith("https://") || target.startsWith("mailto:")) {
        EXPECT_TRUE(target.contains("example.com")) << target.toStdString();
        continue;
      }
      EXPECT_TRUE(dir.exists(target.section('#', 0, 0))) << target.toStdString();
    }
  }
}

TEST_F(HelpTest, LinksStayInTheViewerAndWebAddressesOpenOutside) {
  qv->ShowHelp(1);
  HelpViewer& v = Viewer();
  v.FollowLink(QUrl("overview.html"));
  EXPECT_EQ(v.TopicTitle().toStdString(), "Overview");
  EXPECT_TRUE(v.cmdBack->isEnabled());
  v.cmdBack->click();
  EXPECT_EQ(v.TopicTitle().toStdString(), "Contents");
  v.FollowLink(QUrl("no-such-topic.html"));
  EXPECT_EQ(v.TopicTitle().toStdString(), "Topic not found");
  v.cmdContents->click();
  EXPECT_EQ(v.TopicTitle().toStdString(), "Contents");
  EXPECT_TRUE(prompt.Asked().empty());
  v.FollowLink(QUrl("https://updates.example.com/quorvant"));
  ASSERT_EQ(prompt.Asked().size(), 1u);
  EXPECT_EQ(prompt.Asked()[0].kind, Kind::External);
  EXPECT_EQ(prompt.Asked()[0].text, "https://updates.example.com/quorvant");
  EXPECT_EQ(v.TopicTitle().toStdString(), "Contents");
}

TEST_F(HelpTest, UpdateNoticeShowsTheUpdateTopicAndStaysOpen) {
  windows.Unload<Update>();
  WriteFile(folder + "UpDate.Dat", "\"01/15/1999\",\"5.0\"\r\n");
  Load();
  ASSERT_TRUE(windows.Loaded<Update>());
  Update& u = windows.Get<Update>();
  EXPECT_TRUE(u.Command1[0]->isEnabled());
  u.Command1_Click(0);
  EXPECT_EQ(Viewer().Context(), 114);
  EXPECT_EQ(Viewer().TopicTitle().toStdString(), "Obtaining Updates");
  QApplication::processEvents();
  EXPECT_TRUE(windows.Loaded<Update>());
}

TEST_F(HelpTest, AboutShowsTheReleaseAndTheDataDate) {
  ASSERT_TRUE(qv->mnuAbout[0]->isEnabled());
  qv->mnuAbout[0]->trigger();
  ASSERT_TRUE(windows.Loaded<About>());
  About& a = windows.Get<About>();
  EXPECT_EQ(a.windowTitle().toStdString(), "About Quorvant Pro");
  EXPECT_EQ(Text(a.Label1), "Quorvant Pro   Release 5.0 Pro");
  const std::string text = Text(a.Label2);
  EXPECT_NE(text.find("\n\nData last updated: " + FormatDateMDY(Today()) + "\n\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Updates for this product may be purchased\nand downloaded from:\n" +
                      std::string(About::kUpdatesAddress)),
            std::string::npos)
      << text;
  EXPECT_EQ(a.Command1->text().toStdString(), "&Ok");
  EXPECT_FALSE(a.Image1->pixmap().isNull());
  a.Command1_Click();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(windows.Loaded<About>());

  // Without the data-date file the date reads unknown.
  std::filesystem::remove(folder + "UpDate.Dat");
  ShowAbout(windows);
  EXPECT_NE(Text(windows.Get<About>().Label2).find("Data last updated: unknown"), std::string::npos);
}

TEST_F(HelpTest, DealerNetworkOpensTheQuotePageAsOftenAsAskedUntilCancel) {
  ASSERT_TRUE(qv->cmdDealerNetwork->isEnabled());
  bool shown = false;
  prompt.Modal([&](ui::ModalWindow& w) {
    auto& d = dynamic_cast<frmDealerNetwork&>(w);
    shown = true;
    EXPECT_EQ(d.windowTitle().toStdString(), "Dealer Network Quotes");
    EXPECT_EQ(d.Label1->text().toStdString(), "Dealer Network Quotes");
    EXPECT_EQ(d.Text1->toPlainText().toStdString(),
              "No Cost or Obligation.\nMake Dealers Compete for Your Business.\nSave Time and Frustration by "
              "Shopping from Home.");
    EXPECT_EQ(d.Command1[0]->text().toStdString(), "Request &Quote...");
    EXPECT_EQ(d.Command1[1]->text().toStdString(), "&Cancel");
    d.Command1_Click(0);
    d.Command1_Click(0);
    d.Command1_Click(1);
    return d.result();
  });
  qv->cmdDealerNetwork_Click();
  EXPECT_TRUE(shown);
  std::vector<std::string> opened;
  for (const ui::PromptRecord& r : prompt.Asked())
    if (r.kind == Kind::External) opened.push_back(r.text);
  EXPECT_EQ(opened, std::vector<std::string>(2, "https://quotes.example.com/auto/quotes/q1.cfm?src=474"));
  EXPECT_FALSE(windows.Loaded<frmDealerNetwork>());
}

// No two visible controls of a helper window share an Alt letter (Qt otherwise only moves
// the focus between them at each press).
TEST_F(HelpTest, NoTwoCaptionsOfAHelperWindowShareAnAltLetter) {
  auto shown = [this](QWidget& w) {
    w.show();
    return ClashReport(&w);
  };
  const std::pair<const char*, std::function<std::string()>> windowsToWalk[] = {
      {"HelpViewer",
       [&] {
         qv->ShowHelp(1);
         return ClashReport(&Viewer());
       }},
      {"About", [&] { return shown(windows.Get<About>()); }},
      {"Update", [&] { return shown(windows.Get<Update>()); }},
      {"frmDealerNetwork",
       [&] {
         std::string clashes;
         prompt.Modal([&](ui::ModalWindow& mw) {
           auto& d = dynamic_cast<frmDealerNetwork&>(mw);
           clashes = ClashReport(&d);
           d.Command1_Click(1);
           return d.result();
         });
         qv->cmdDealerNetwork_Click();
         return clashes;
       }},
  };
  for (const auto& [name, clashes] : windowsToWalk) {
    SCOPED_TRACE(name);
    EXPECT_EQ(clashes(), "");
  }
}

}  // namespace
}  // namespace qv::test
