#include "worksheet/Update.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "engine/Engine.h"
#include "owner/Owner.h"
#include "platform/ui/Window.h"
#include "worksheet/Help.h"
#include "worksheet/Settings.h"

namespace qv {

Update::Update(Engine& engine, Owner& theOwner) : QDialog(nullptr), eng(engine), owner(theOwner) {
  setObjectName("Update");
  setWindowTitle("Update Available");
  setAttribute(Qt::WA_DeleteOnClose);
  auto* v = new QVBoxLayout(this);
  Label1 = new QLabel(
      "A newer version of Quorvant Pro is now available with more current pricing, residual, and incentive "
      "data. Click below for information on how to obtain an update. ",
      this);
  Label1->setWordWrap(true);
  Label1->setMinimumWidth(360);
  v->addWidget(Label1);
  Check1 = new QCheckBox("Do not show this message again.", this);
  v->addWidget(Check1);
  auto* row = new QHBoxLayout();
  Command1[0] = new QPushButton("How to Obtain an Update", this);
  Command1[1] = new QPushButton("Close", this);
  Command1[1]->setDefault(true);
  row->addStretch(1);
  row->addWidget(Command1[0]);
  row->addWidget(Command1[1]);
  v->addLayout(row);
  connect(Command1[0], &QPushButton::clicked, this, [this] { Command1_Click(0); });
  connect(Command1[1], &QPushButton::clicked, this, [this] { Command1_Click(1); });
}

Update::~Update() { Form_Unload(); }

void Update::Command1_Click(int Index) {
  if (Index == 0) {
    // The help topic on obtaining updates; the notice stays open.
    owner.ShowHelp(114);
    return;
  }
  close();
}

void Update::Form_Unload() {
  if (unloaded_) return;
  unloaded_ = true;
  if (Check1->isChecked()) {
    eng.cfg.NoUpdateReminder = -1;
    WriteConfigFile(eng);
  }
}

void Update::closeEvent(QCloseEvent* e) {
  Form_Unload();
  e->accept();
}

}  // namespace qv
