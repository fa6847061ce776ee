#include "reports/FileError.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "owner/Owner.h"
#include "platform/ui/Prompt.h"
#include "platform/ui/QtText.h"
#include "reports/ReportGen.h"

namespace qv {

FileError::FileError(Engine& engine, Owner& owner) : ui::QvDialog(owner.MainWidget()), eng(engine), owner(owner) {
  setObjectName("FileError");
  setWindowTitle("File Error");
  auto* top = new QVBoxLayout(this);
  Label1 = new QLabel(this);
  Label1->setObjectName("Label1");
  top->addWidget(Label1);
  Text1 = new QLineEdit(this);
  Text1->setObjectName("Text1");
  Text1->setMinimumWidth(360);
  top->addWidget(Text1);
  auto* buttons = new QHBoxLayout;
  const char* captions[3] = {"&OK", "&Cancel", "&Browse..."};
  for (int i = 0; i < 3; ++i) {
    Command1[i] = new QPushButton(captions[i], this);
    Command1[i]->setObjectName(QString("Command1_%1").arg(i));
    Command1[i]->setAutoDefault(i == 0);
    buttons->addWidget(Command1[i]);
    connect(Command1[i], &QPushButton::clicked, this, [this, i] { Command1_Click(i); });
  }
  Command1[0]->setDefault(true);
  top->addLayout(buttons);
}

void FileError::Command1_Click(int Index) {
  switch (Index) {
    case 0: {
      const std::string path = S(Text1->text());
      if (eng.cfg.ReportViewer == reports::kViewerWord) eng.cfg.WordPath = path;
      if (eng.cfg.ReportViewer == reports::kViewerWordPad) eng.cfg.WordPadPath = path;
      accept();
      owner.WriteConfigFile();
      break;
    }
    case 1:
      eng.DialogDone = -1;
      reject();
      break;
    case 2: {
      ui::FileDialogRequest req;
      req.title = "Open";
      req.filter = "Programs (*)|*";
      req.fileName = S(Text1->text());
      req.mustExist = true;
      const std::optional<std::string> chosen = ui::GetPrompt().OpenFile(req);
      if (!chosen) {
        Command1_Click(1);
        return;
      }
      Text1->setText(Q(*chosen));
      break;
    }
    default:
      break;
  }
}

}  // namespace qv
