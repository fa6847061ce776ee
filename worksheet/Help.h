#pragma once
// The program's help: topic pages written for Quorvant in plain HTML, shipped in the folder
// "help" of the program folder (data/help/ in the sources), one page per help context
// number that a window asks for. ShowHelp opens them in the help viewer, a single-instance
// window with Contents, Back and Forward; links between topics stay in the viewer, web
// addresses open in the desktop's browser.
//
// Context numbers in use:
//   0 how to use the help            7 gathering information
//   1 contents                       8 manipulating the worksheet
//   2 using Quorvant                18 entering information
//   3 overview                     113 technical support
//   4 the price guide              114 obtaining updates
#include <QWidget>

#include <cstdint>
#include <string>
#include <vector>

class QTextBrowser;
class QToolButton;
class QUrl;

namespace qv {

class Engine;
class Owner;
class WindowSet;

// Opens the help viewer (modeless, brought to the front) at the topic of the context
// number; 0 shows how to use the help. A context without a topic page shows a page that
// says so, with a link to the contents.
void ShowHelp(WindowSet& windows, int16_t HelpContext);

// The file name of a context's topic page inside the help folder ("" when none).
std::string HelpTopicFile(int16_t HelpContext);
// Every context number that has a topic page.
std::vector<int16_t> HelpContexts();
// The help folder: the program folder (or the executable's folder when none is set) + "help/".
std::string HelpFolder(const std::string& appFolder);

class HelpViewer : public QWidget {
  Q_OBJECT

 public:
  HelpViewer(Engine& engine, Owner& owner);

  QTextBrowser* Browser = nullptr;
  QToolButton* cmdContents = nullptr;
  QToolButton* cmdBack = nullptr;
  QToolButton* cmdForward = nullptr;

  // Shows the topic of a context number.
  void ShowTopic(int16_t HelpContext);
  // The context whose topic was shown last by ShowTopic (-1 before the first).
  int Context() const { return context_; }
  // The title of the page shown (its <title>).
  QString TopicTitle() const;
  // Follows a link of a page: topic pages open in the viewer, web addresses and mail
  // links in the desktop's programs.
  void FollowLink(const QUrl& url);

 private:
  void UpdateCaption();
  Engine& eng;
  int context_ = -1;
};

}  // namespace qv
