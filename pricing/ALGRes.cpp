// The residual lookup window.
#include "pricing/ALGRes.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

#include "owner/SharedState.h"
#include "platform/ui/Prompt.h"
#include "platform/ui/QtText.h"
#include "pricing/GuideFiles.h"

namespace qv {

namespace {

constexpr int kAllowedMilesField = 8;
// The longest texts of the lists in characters: an option line (ten blanks, code, blank,
// description, 27 blanks, two values of 7 with a blank between) and a maker name.
constexpr int kLongestLine = 10 + 6 + 1 + 27 + 27 + 7 + 1 + 7;
constexpr int kLongestMaker = 17;

// The width a list needs to show lines of `chars` characters of its fixed font whole,
// with its frame and a vertical scroll bar.
int ListWidthFor(const QListWidget* list, int chars) {
  const int text = list->fontMetrics().horizontalAdvance(QString(chars, QLatin1Char('W')));
  return text + 2 * list->frameWidth() + list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list) + 8;
}

}  // namespace

ALGRes::ALGRes(Engine& engine, Owner& theOwner) : ui::QvDialog(theOwner.MainWidget()), eng(engine), owner(theOwner) {
  setObjectName("ALGRes");
  Build();
  Form_Load();
}

void ALGRes::Build() {
  auto* top = new QVBoxLayout(this);
  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);

  auto* lists = new QHBoxLayout;
  lstMfg = new QListWidget(this);
  lstMfg->setObjectName("lstMfg");
  lstMfg->setFont(fixed);
  lstMfg->setFixedWidth(ListWidthFor(lstMfg, kLongestMaker));
  lists->addWidget(lstMfg);
  lstModel = new QListWidget(this);
  lstModel->setObjectName("lstModel");
  lstModel->setFont(fixed);
  lstModel->setMinimumWidth(ListWidthFor(lstModel, kLongestLine));
  lists->addWidget(lstModel, 1);
  top->addLayout(lists, 1);

  auto* bottom = new QHBoxLayout;
  auto* miles = new QGridLayout;
  Option1[0] = new QRadioButton("12,000 Miles", this);
  Option1[1] = new QRadioButton("15,000 Miles", this);
  for (int i = 0; i < 2; ++i) {
    Option1[i]->setObjectName(QString("Option1_%1").arg(i));
    miles->addWidget(Option1[i], i, 0);
    miles->addWidget(new QLabel("Per Year", this), i, 1);
    connect(Option1[i], &QRadioButton::clicked, this, [this, i] { Option1_Click(i); });
  }
  Option1[1]->setChecked(true);
  bottom->addLayout(miles);

  auto* res = new QVBoxLayout;
  Label1 = new QLabel(this);
  Label1->setObjectName("Label1");
  res->addWidget(Label1);
  lstResValues = new QListWidget(this);
  lstResValues->setObjectName("lstResValues");
  lstResValues->setFont(fixed);
  lstResValues->setFixedHeight(QFontMetrics(fixed).height() * 4 + 16);
  res->addWidget(lstResValues);
  bottom->addLayout(res, 1);
  top->addLayout(bottom);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  const char* captions[3] = {"&Use Residual", "&Cancel", "&Add"};
  for (int i : {2, 0, 1}) {
    cmdbutUse[i] = new QPushButton(captions[i], this);
    cmdbutUse[i]->setObjectName(QString("cmdbutUse_%1").arg(i));
    cmdbutUse[i]->setAutoDefault(false);
    buttons->addWidget(cmdbutUse[i]);
    connect(cmdbutUse[i], &QPushButton::clicked, this, [this, i] { cmdbutUse_Click(i); });
  }
  cmdbutUse[2]->setVisible(false);
  top->addLayout(buttons);

  connect(lstMfg, &QListWidget::currentRowChanged, this, [this] { lstMfg_Click(); });
  connect(lstModel, &QListWidget::currentRowChanged, this, [this] { lstModel_Click(); });
  for (QListWidget* l : {lstMfg, lstModel}) l->installEventFilter(this);
  // At its default size the lists show their longest lines whole.
  resize(std::max(820, minimumSizeHint().width()), 520);
}

void ALGRes::ShowError(const std::string& message) {
  ui::GetPrompt().MsgBox(message, ui::Buttons::OK, ui::Icon::Exclamation);
}

// ---------------------------------------------------------------------------------------
// Procedures

void ALGRes::Form_Load() {
  std::string error;
  lookup_.Load(eng.AppFolder, owner.Shared().ModelYear, error);
  {
    QSignalBlocker block(lstMfg);
    lstMfg->clear();
    // Each item gets its data before it goes into the list: data given to an item already in
    // the list makes the list update its rows, which made the fill quadratic.
    const std::vector<pricing::ResidualIndexItem>& items = lookup_.Index().items;
    for (const pricing::ResidualIndexItem& item : items) {
      auto* it = new QListWidgetItem(Q(pricing::GuideText(item.name)));
      it->setData(Qt::UserRole, static_cast<qlonglong>(item.firstRecord));
      lstMfg->addItem(it);
    }
    lstMfg->setCurrentRow(-1);
  }
  setWindowTitle(Q(lookup_.Caption()));
  if (!error.empty()) ShowError(error);
}

void ALGRes::UpdateModel() {
  std::string error;
  lookup_.UpdateModel(lstMfg->currentRow(), error);
  {
    QSignalBlocker block(lstModel);
    lstModel->clear();
    for (const std::string& t : lookup_.LineTexts()) lstModel->addItem(Q(pricing::GuideText(t)));
    lstModel->setCurrentRow(-1);
  }
  UpdateRes();
  if (!error.empty()) ShowError(error);
}

void ALGRes::UpdateRes() {
  lstResValues->clear();
  const pricing::ResidualLookup::ResView v = lookup_.UpdateRes(lstModel->currentRow());
  if (!v.showsResidual) {
    // A line without residual data: no lock button that could do nothing.
    cmdbutUse[2]->setVisible(false);
    return;
  }
  Label1->setText(Q(v.label1));
  cmdbutUse[2]->setVisible(v.button2Visible);
  if (v.button2Visible) cmdbutUse[2]->setText(Q(v.button2Caption));
  for (const std::string& l : v.lines) lstResValues->addItem(Q(l));
}

std::string ALGRes::FindModelHeader() const { return lookup_.FindModelHeader(lstModel->currentRow()); }

// ---------------------------------------------------------------------------------------
// Handlers

void ALGRes::cmdbutUse_Click(int Index) {
  switch (Index) {
    case 0: {
      std::string milesText;
      if (!lookup_.UseResidual(eng, lstModel->currentRow(), lstResValues->currentRow(), &milesText)) return;
      owner.SetDealFieldText(kAllowedMilesField, milesText);
      // The page changed: a later exit asks to save it.
      eng.WorksheetModified = -1;
      close();
      return;
    }
    case 1:
      close();
      return;
    case 2: {
      const int sel = lstModel->currentRow();
      if (!lookup_.ToggleLock(sel)) return;
      if (QListWidgetItem* it = lstModel->item(sel)) it->setText(Q(pricing::GuideText(lookup_.LineText(sel))));
      UpdateRes();
      lstModel->setFocus();
      return;
    }
    default:
      return;
  }
}

void ALGRes::lstMfg_Click() { UpdateModel(); }

void ALGRes::lstMfg_KeyUp(int KeyCode, int Shift) {
  if (KeyCode == 38 || KeyCode == 40) UpdateModel();
  else if (KeyCode == 13) lstModel->setFocus();
}

void ALGRes::lstModel_Click() { UpdateRes(); }

void ALGRes::lstModel_KeyUp(int KeyCode, int Shift) {
  if (KeyCode == 38 || KeyCode == 40) lstModel_Click();
  else if (KeyCode == 13) cmdbutUse[0]->setFocus();
}

void ALGRes::lstModel_KeyPress(int& KeyAscii) {
  if (KeyAscii == 13) lstResValues->setFocus();
}

void ALGRes::Option1_Click(int Index) {
  lookup_.SetMiles12000(Option1[0]->isChecked());
  UpdateRes();
}

bool ALGRes::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lstMfg || watched == lstModel) {
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
      auto* k = static_cast<QKeyEvent*>(event);
      const int code = k->key() == Qt::Key_Up ? 38 : k->key() == Qt::Key_Down ? 40 : VbKeyCode(k->key());
      if (event->type() == QEvent::KeyRelease && !k->isAutoRepeat()) {
        if (watched == lstMfg) lstMfg_KeyUp(code, static_cast<int>(k->modifiers()));
        else lstModel_KeyUp(code, static_cast<int>(k->modifiers()));
      } else if (event->type() == QEvent::KeyPress && watched == lstModel && code == 13) {
        int ascii = 13;
        lstModel_KeyPress(ascii);
        return true;
      } else if (event->type() == QEvent::KeyPress && code == 13) {
        return true;  // Enter acts on its release
      }
    }
  }
  return ui::QvDialog::eventFilter(watched, event);
}

}  // namespace qv
