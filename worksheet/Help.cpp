// The help viewer and the help topics by context number.
#include "worksheet/Help.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QStyle>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include "engine/Engine.h"
#include "owner/WindowSet.h"
#include "platform/files/FolderLookup.h"
#include "platform/ui/Prompt.h"
#include "platform/ui/Window.h"

namespace qv {

namespace {

struct Topic {
  int16_t context;
  const char* file;
};

constexpr Topic kTopics[] = {
    {0, "using-help.html"},   {1, "contents.html"},   {2, "using-quorvant.html"}, {3, "overview.html"},
    {4, "price-guide.html"},  {7, "gathering.html"},  {8, "worksheet.html"},      {18, "entering.html"},
    {113, "support.html"},    {114, "updates.html"},
};

QString Escape(const QString& s) { return s.toHtmlEscaped(); }

}  // namespace

std::string HelpTopicFile(int16_t HelpContext) {
  for (const Topic& t : kTopics)
    if (t.context == HelpContext) return t.file;
  return {};
}

std::vector<int16_t> HelpContexts() {
  std::vector<int16_t> all;
  for (const Topic& t : kTopics) all.push_back(t.context);
  return all;
}

std::string HelpFolder(const std::string& appFolder) {
  std::string folder = appFolder;
  if (folder.empty()) folder = QCoreApplication::applicationDirPath().toStdString();
  folder = files::NormalizeSeparators(folder);
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder + "help/";
}

void ShowHelp(WindowSet& windows, int16_t HelpContext) {
  HelpViewer& v = windows.Get<HelpViewer>();
  v.ShowTopic(HelpContext);
  v.setWindowState(v.windowState() & ~Qt::WindowMinimized);
  v.show();
  v.raise();
  v.activateWindow();
}

HelpViewer::HelpViewer(Engine& engine, Owner& owner) : QWidget(nullptr, Qt::Window), eng(engine) {
  setObjectName("HelpViewer");
  setAttribute(Qt::WA_DeleteOnClose);
  auto* v = new QVBoxLayout(this);
  v->setContentsMargins(4, 4, 4, 4);
  v->setSpacing(4);
  auto* bar = new QHBoxLayout();
  bar->setSpacing(2);
  auto tool = [this, bar](const char* text, QStyle::StandardPixmap icon) {
    auto* b = new QToolButton(this);
    b->setText(QString::fromUtf8(text));
    b->setIcon(style()->standardIcon(icon));
    b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    b->setAutoRaise(true);
    bar->addWidget(b);
    return b;
  };
  cmdContents = tool("&Contents", QStyle::SP_DirHomeIcon);
  cmdBack = tool("&Back", QStyle::SP_ArrowBack);
  cmdForward = tool("&Forward", QStyle::SP_ArrowForward);
  bar->addStretch(1);
  v->addLayout(bar);

  Browser = new QTextBrowser(this);
  Browser->setObjectName("Browser");
  // Links are followed here: topic pages in the viewer, web addresses outside.
  Browser->setOpenLinks(false);
  Browser->setOpenExternalLinks(false);
  v->addWidget(Browser, 1);

  cmdBack->setEnabled(false);
  cmdForward->setEnabled(false);
  connect(cmdContents, &QToolButton::clicked, this, [this] { ShowTopic(1); });
  connect(cmdBack, &QToolButton::clicked, Browser, &QTextBrowser::backward);
  connect(cmdForward, &QToolButton::clicked, Browser, &QTextBrowser::forward);
  connect(Browser, &QTextBrowser::backwardAvailable, cmdBack, &QToolButton::setEnabled);
  connect(Browser, &QTextBrowser::forwardAvailable, cmdForward, &QToolButton::setEnabled);
  connect(Browser, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) { FollowLink(url); });
  connect(Browser, &QTextBrowser::sourceChanged, this, [this](const QUrl&) { UpdateCaption(); });
  resize(640, 560);
  UpdateCaption();
}

void HelpViewer::ShowTopic(int16_t HelpContext) {
  context_ = HelpContext;
  const std::string file = HelpTopicFile(HelpContext);
  const QString folder = QString::fromStdString(HelpFolder(eng.AppFolder));
  const QString path = QString::fromStdString(files::ResolveNoCase(HelpFolder(eng.AppFolder) + file));
  if (!file.empty() && QFileInfo(path).isFile()) {
    Browser->setSource(QUrl::fromLocalFile(path));
  } else {
    // The help reports a missing topic itself, as a page with the way back to the contents.
    const QString missing = file.empty()
                                ? QString("There is no help topic for context number %1.").arg(HelpContext)
                                : QString("The help topic file %1 cannot be found.").arg(Escape(path));
    Browser->setHtml("<html><head><title>Topic not found</title></head><body><h2>Topic not found</h2><p>" +
                     missing + "</p><p><a href=\"" + QUrl::fromLocalFile(folder + kTopics[1].file).toString() +
                     "\">Help Contents</a></p></body></html>");
  }
  UpdateCaption();
}

QString HelpViewer::TopicTitle() const { return Browser->documentTitle(); }

void HelpViewer::FollowLink(const QUrl& url) {
  if (url.scheme() == "http" || url.scheme() == "https" || url.scheme() == "mailto") {
    ui::GetPrompt().OpenExternal(url.toString().toStdString());
    return;
  }
  if (url.isRelative() || url.isLocalFile()) {
    const QUrl target = Browser->source().isValid() && url.isRelative() ? Browser->source().resolved(url) : url;
    if (target.isLocalFile() && !QFileInfo(target.toLocalFile()).isFile() && !target.fileName().isEmpty()) {
      Browser->setHtml("<html><head><title>Topic not found</title></head><body><h2>Topic not found</h2><p>"
                       "The help topic file " +
                       Escape(target.toLocalFile()) + " cannot be found.</p></body></html>");
      UpdateCaption();
      return;
    }
    Browser->setSource(target);
  }
}

void HelpViewer::UpdateCaption() {
  const QString title = TopicTitle();
  setWindowTitle(title.isEmpty() ? QString("Quorvant Help") : "Quorvant Help - " + title);
}

}  // namespace qv
