// The services the main window gives the windows it owns (the Owner interface): its page
// selector, views, lists, settings file, deal fields and labels, and the help.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

#include "platform/ui/QtText.h"
#include "worksheet/Help.h"
#include "worksheet/QV.h"

namespace qv {

int QV::PageSelectorCount() const { return Combo2->count(); }

std::string QV::PageSelectorText(int entry) const { return S(Combo2->itemText(entry)); }

void QV::SetPageSelectorEntry(int entry, const std::string& text) {
  if (entry < 0 || entry >= Combo2->count()) return;
  QSignalBlocker block(Combo2);
  Combo2->setItemText(entry, Q(text));
}

bool QV::ChoosePage(int page) {
  if (page < 1 || page > Combo2->count()) return false;
  {
    QSignalBlocker block(Combo2);
    Combo2->setCurrentIndex(page - 1);
  }
  Combo2_Click();
  return true;
}

void QV::StoreCurrentPage() {
  CommitFieldEdit();
  eng.SavePageItems();
  eng.SavePageFields();
}

void QV::LoadCurrentPage() {
  eng.LoadPageFields();
  eng.LoadPageItems();
  eng.ShowPageOptions();
  eng.RecalcPage();
}

void QV::RefillOptionList() { eng.ShowPageOptions(); }

void QV::ChooseTaxSet(const std::string& name) {
  const int found = Combo1->findText(Q(name), Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (Combo1->count() == 0) return;
  {
    QSignalBlocker block(Combo1);
    Combo1->setCurrentIndex(found >= 0 ? found : 0);
  }
  Combo1_Click();
}

std::string QV::DealFieldText(int index) const {
  if (index < 0 || index >= static_cast<int>(Text3.size()) || !Text3[index]) return {};
  return S(Text3[index]->text());
}

void QV::SetDealFieldText(int index, const std::string& text) {
  if (index < 0 || index >= static_cast<int>(Text3.size()) || !Text3[index]) return;
  Text3[index]->setText(Q(text));
}

std::string QV::MarginPercentText() const { return S(lblPercMargin->text()); }

std::string QV::CustomerNameText() const { return S(Label25->text()); }

void QV::ShowCustomerLabels() {
  Label25->setText(Q(eng.Label25Caption));
  lblCustID->setText(Q(eng.lblCustIDCaption));
}

void QV::ShowHelp(int16_t context) { qv::ShowHelp(windows_, context); }

}  // namespace qv
