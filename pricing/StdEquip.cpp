// The standard-equipment window.
#include "pricing/StdEquip.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/ui/Prompt.h"
#include "platform/ui/QtText.h"
#include "pricing/GuideFiles.h"
#include "pricing/OptionGuide.h"
#include "pricing/PriceGuide.h"

namespace qv {

StdEquip::StdEquip(Engine& engine, Owner& theOwner)
    : ui::QvDialog(theOwner.MainWidget()), eng(engine), owner(theOwner) {
  setObjectName("StdEquip");
  Build();
  Form_Load();
}

void StdEquip::Build() {
  setWindowTitle("Standard Equipment");
  auto* top = new QVBoxLayout(this);
  Label1 = new QLabel(this);
  Label1->setObjectName("Label1");
  Label1->setTextFormat(Qt::PlainText);
  QFont bold = Label1->font();
  bold.setBold(true);
  Label1->setFont(bold);
  top->addWidget(Label1);
  Text1 = new QPlainTextEdit(this);
  Text1->setObjectName("Text1");
  Text1->setReadOnly(true);
  top->addWidget(Text1, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  Command1[1] = new QPushButton("&Close", this);
  Command1[1]->setAutoDefault(false);
  buttons->addWidget(Command1[1]);
  top->addLayout(buttons);
  connect(Command1[1], &QPushButton::clicked, this, [this] { Command1_Click(1); });
  resize(560, 420);
}

void StdEquip::Form_Load() {
  // The option window's vehicle label, made from the page's vehicle text as it makes it.
  Label1->setText(Q(pricing::OptionWindowLabel(eng.page.CarName)));
  const pricing::PriceGuide guide(eng.AppFolder, eng.page.CT);
  std::string error;
  const std::optional<std::string> line = guide.GetMajorSELine(eng.page.MfgNum, &error);
  // CR LF breaks; the text box shows each as a new line.
  std::string text = line ? pricing::StdEquipText(*line) : std::string();
  std::string shown;
  shown.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    shown += text[i];
  }
  Text1->setPlainText(Q(pricing::GuideText(shown)));
  if (!error.empty()) ui::GetPrompt().MsgBox(error, ui::Buttons::OK, ui::Icon::Exclamation);
}

void StdEquip::Command1_Click(int Index) {
  if (Index == 1) close();
}

}  // namespace qv
