// The Alt letters of a window's captions, for the tests that check that no two visible
// controls or menu titles of a window share one (Qt then only moves the focus between them
// at each press, and a menu title's letter no longer opens its menu at the first press).
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QMenuBar>
#include <QTabBar>
#include <QWidget>

#include <map>
#include <string>
#include <vector>

namespace qv::test {

// The Alt letter of a caption ("&File" F, "&&" none), upper case; 0 for none.
inline char AltLetter(const QString& text) {
  const QKeySequence k = QKeySequence::mnemonic(text);
  if (k.isEmpty()) return 0;
  const int key = k[0].key();
  return key >= Qt::Key_A && key <= Qt::Key_Z ? static_cast<char>('A' + (key - Qt::Key_A))
         : key >= Qt::Key_0 && key <= Qt::Key_9 ? static_cast<char>('0' + (key - Qt::Key_0))
                                                 : '?';
}

// Every caption of `window` that takes an Alt letter and is shown: the menu titles of its
// menu bar, its visible buttons, tabs, group boxes and labels with a buddy. Letter to the
// captions that use it.
inline std::map<char, std::vector<std::string>> AltLetters(QWidget* window) {
  std::map<char, std::vector<std::string>> used;
  auto add = [&](const QString& text) {
    if (char c = AltLetter(text)) used[c].push_back(text.toStdString());
  };
  auto shown = [window](const QWidget* w) { return w->isVisibleTo(window) && w->window() == window; };
  for (QMenuBar* bar : window->findChildren<QMenuBar*>())
    if (shown(bar))
      for (QAction* a : bar->actions())
        if (a->isVisible()) add(a->text());
  for (QAbstractButton* b : window->findChildren<QAbstractButton*>())
    if (shown(b)) add(b->text());
  for (QGroupBox* g : window->findChildren<QGroupBox*>())
    if (shown(g)) add(g->title());
  for (QLabel* l : window->findChildren<QLabel*>())
    if (shown(l) && l->buddy()) add(l->text());
  for (QTabBar* t : window->findChildren<QTabBar*>())
    if (shown(t))
      for (int i = 0; i < t->count(); ++i)
        if (t->isTabVisible(i)) add(t->tabText(i));
  return used;
}

inline std::string All(QWidget* window) {
  std::string out;
  for (const auto& [letter, captions] : AltLetters(window)) {
    out += std::string(1, letter) + ":";
    for (const std::string& c : captions) out += " \"" + c + "\"";
    out += "\n";
  }
  return out;
}

inline std::string Clashes(QWidget* window) {
  std::string out;
  for (const auto& [letter, captions] : AltLetters(window)) {
    if (captions.size() < 2) continue;
    out += std::string(1, letter) + ":";
    for (const std::string& c : captions) out += " \"" + c + "\"";
    out += "; ";
  }
  return out;
}

// The clashes of `window` once pending events have run, followed by all its letters when
// there are any (empty when none clash).
inline std::string ClashReport(QWidget* window) {
  QApplication::processEvents();
  std::string clashes = Clashes(window);
  if (!clashes.empty()) clashes += "\n" + All(window);
  return clashes;
}

}  // namespace qv::test
