// The page selector Combo2 (choose a page, rename it by typing or with F2 and the overlay
// box Text1), the tax-setting list Combo1, and the view tabs TabStrip1.
#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTabBar>

#include "engine/Engine.h"
#include "platform/ui/Prompt.h"
#include "platform/ui/Window.h"
#include "worksheet/QV.h"

namespace qv {

void QV::Combo2_Click() {
  if (Shared().PageListBusy) return;
  eng.SavePageFields();
  eng.SavePageItems();
  int page = Combo2->currentIndex() + 1;
  if (page <= 0) page = 1;
  eng.CurrentPage = static_cast<int16_t>(page);
  eng.LoadPageFields();
  eng.LoadPageItems();
  eng.ShowPageOptions();
  eng.RecalcPage();
  // A deal field that keeps the focus has its own text remembered by the redisplay.
  QWidget* f = focusWidget();
  if (Text3Index(f) < 0 && f != Text5[0]) Shared().GotFocusText = Combo2->currentText().toStdString();
}

void QV::Combo2_GotFocus() { Shared().GotFocusText = Combo2->currentText().toStdString(); }

void QV::Combo2_KeyPress(int& KeyAscii) {
  if (KeyAscii != 13) return;
  // Taken: Enter would otherwise pick the entry whose text matches and load that page.
  KeyAscii = 0;
  Text3[0]->setFocus(Qt::TabFocusReason);
}

void QV::Combo2_KeyUp(int KeyCode, int Shift) {
  if (KeyCode != 113) return;
  Text1->setText(Combo2->currentText());
  Text1->setGeometry(Combo2->geometry());
  Text1->show();
  Text1->raise();
  Text1->setFocus(Qt::OtherFocusReason);
  Text1->selectAll();
  RenameCancelled = false;
}

void QV::Combo2_LostFocus() {
  ui::ReentryGuard guard(inCombo2LostFocus_);
  if (!guard.Entered()) return;
  const std::string text = Combo2->currentText().toStdString();
  if (text == eng.page.CarName) return;
  eng.page.CarName = text;
  eng.WorksheetModified = -1;
  // The current page is the one being renamed (several pages may carry the same name).
  const int i = eng.CurrentPage - 1;
  if (i >= 0 && i < Combo2->count()) {
    QSignalBlocker block(Combo2);
    Combo2->setItemText(i, QString::fromStdString(text));
    Shared().PageListBusy = true;
    Combo2->setCurrentIndex(i);
    Shared().PageListBusy = false;
    Combo2->setEditText(QString::fromStdString(text));
  }
}

void QV::Text1_KeyPress(int& KeyAscii) {
  if (KeyAscii != 27) return;
  RenameCancelled = true;
  Text1->hide();
  Combo2->setFocus(Qt::OtherFocusReason);
}

void QV::Text1_LostFocus() {
  ui::ReentryGuard guard(inText1LostFocus_);
  if (!guard.Entered()) return;
  // Only a shown rename box holds a name to take.
  const bool shown = Text1->isVisibleTo(this);
  Text1->hide();
  if (!shown || RenameCancelled) return;
  const std::string text = Text1->text().toStdString();
  eng.WorksheetModified = -1;
  eng.page.CarName = text;
  const int i = eng.CurrentPage - 1;
  QSignalBlocker block(Combo2);
  if (i >= 0 && i < Combo2->count()) Combo2->setItemText(i, QString::fromStdString(text));
  Combo2->setEditText(QString::fromStdString(text));
}

void QV::Combo1_Click() {
  eng.tax.TaxSetName = Combo1->currentText().toStdString();
  std::string error, notice;
  if (!eng.LoadTaxSet(&error, &notice)) ui::GetPrompt().MsgBox(error, ui::Buttons::OK, ui::Icon::Exclamation);
  ShowTaxSetNotice(notice);
  eng.RecalcPage();
}

void QV::ShowTaxSetNotice(const std::string& notice) {
  if (notice.empty() || notice == taxSetNoticeShown_) return;
  taxSetNoticeShown_ = notice;
  ui::GetPrompt().MsgBox(notice, ui::Buttons::OK, ui::Icon::Exclamation);
}

int QV::SelectedTab() const { return TabStrip1->currentIndex() + 1; }

void QV::SelectTab(int tab) {
  {
    QSignalBlocker block(TabStrip1);
    TabStrip1->setCurrentIndex(tab - 1);
  }
  TabStrip1_Click();
}

void QV::TabStrip1_Click() {
  CommitFieldEdit();
  const int t = SelectedTab();
  if (t < 1 || t > 4) return;
  viewStack->setCurrentIndex(t - 1);
  // A slide-out panel that is out goes back when the view changes.
  if (Picture3->isVisibleTo(this)) Picture3->hide();
  if (Picture5->isVisibleTo(this)) Picture5->hide();
  cashBoxStack->setCurrentIndex(t == 1 ? 0 : (t <= 3 ? 1 : 2));
  ui::GetPrompt().DoEvents();
  eng.RecalcPage();
}

void QV::SetCombo2Text(const std::string& text) {
  QSignalBlocker block(Combo2);
  Combo2->setEditText(QString::fromStdString(text));
}

}  // namespace qv
