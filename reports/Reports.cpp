#include "reports/Reports.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "owner/Owner.h"
#include "owner/SharedState.h"
#include "platform/files/AtomicFile.h"
#include "platform/files/FolderLookup.h"
#include "platform/ui/Prompt.h"
#include "platform/ui/QtText.h"
#include "reports/ReportGen.h"

namespace qv {

namespace {

constexpr const char* kViewers[3] = {reports::kViewerEditor, reports::kViewerWord, reports::kViewerWordPad};

// The smallest template a word processor and the editor both open: one empty paragraph.
constexpr const char* kEmptyTemplate = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}}\\f0\\fs24\\par\n}\n";

}  // namespace

Reports::Reports(Engine& engine, Owner& owner) : ui::QvDialog(owner.MainWidget()), eng(engine), owner(owner) {
  setObjectName("Reports");
  setWindowTitle("Configure Reports");
  setAttribute(Qt::WA_DeleteOnClose);
  auto* top = new QVBoxLayout(this);

  auto* report = new QGroupBox("Report", this);
  auto* reportRow = new QHBoxLayout(report);
  // Each Alt letter of the window opens one thing, so "Loan", "Cash", "Browse..." and
  // "Create New Report" take letters that OK, Cancel and Lease/Buy leave free.
  const char* kinds[4] = {"&Lease", "Lo&an", "Ca&sh", "Lease/&Buy"};
  for (int i = 0; i < 4; ++i) {
    Option1[i] = new QRadioButton(kinds[i], report);
    Option1[i]->setObjectName(QString("Option1_%1").arg(i));
    reportRow->addWidget(Option1[i]);
    connect(Option1[i], &QRadioButton::clicked, this, [this, i] { Option1_Click(i); });
  }
  top->addWidget(report);

  auto* fileName = new QGroupBox("Report File Name", this);
  auto* fileRow = new QVBoxLayout(fileName);
  TextStack = new QStackedWidget(fileName);
  for (int i = 0; i < 4; ++i) {
    Text1[i] = new QLineEdit(TextStack);
    Text1[i]->setObjectName(QString("Text1_%1").arg(i));
    Text1[i]->setMinimumWidth(380);
    TextStack->addWidget(Text1[i]);
  }
  fileRow->addWidget(TextStack);
  top->addWidget(fileName);

  auto* viewer = new QGroupBox("Default Editor", this);
  auto* viewerRow = new QVBoxLayout(viewer);
  // The word processors of this platform: LibreOffice Writer and the desktop's RTF program.
  const char* viewers[3] = {"Quorvant Report Editor", "LibreOffice &Writer", "&Desktop RTF Program"};
  for (int i = 0; i < 3; ++i) {
    Option2[i] = new QRadioButton(viewers[i], viewer);
    Option2[i]->setObjectName(QString("Option2_%1").arg(i));
    viewerRow->addWidget(Option2[i]);
    connect(Option2[i], &QRadioButton::clicked, this, [this, i] { Option2_Click(i); });
  }
  top->addWidget(viewer);

  // A row of buttons of one control array, each running the array's click with its index.
  auto buttonRow = [this, top](auto& buttons, std::initializer_list<const char*> captions, const char* name,
                               void (Reports::*click)(int), bool right) {
    auto* row = new QHBoxLayout;
    if (right) row->addStretch();
    int i = 0;
    for (const char* caption : captions) {
      buttons[i] = new QPushButton(caption, this);
      buttons[i]->setObjectName(QString("%1_%2").arg(name).arg(i));
      buttons[i]->setAutoDefault(false);
      row->addWidget(buttons[i]);
      connect(buttons[i], &QPushButton::clicked, this, [this, click, i] { (this->*click)(i); });
      ++i;
    }
    top->addLayout(row);
  };
  buttonRow(Command1, {"&View Report", "&Edit Report File", "B&rowse...", "Create &New Report"}, "Command1",
            &Reports::Command1_Click, false);
  buttonRow(Command2, {"&OK", "&Cancel"}, "Command2", &Reports::Command2_Click, true);
  Form_Load();
}

void Reports::Form_Load() {
  for (int i = 0; i < 4; ++i) Text1[i]->setText(Q(*reports::TemplatePathSetting(eng.cfg, i)));
  const int view = owner.SelectedView();
  if (view >= 1 && view <= 4) {
    Option1[view - 1]->setChecked(true);
    Option1_Click(view - 1);
  }
  SharedState& shared = owner.Shared();
  shared.PageListBusy = true;
  for (int i = 0; i < 3; ++i)
    if (eng.cfg.ReportViewer == kViewers[i]) {
      Option2[i]->setChecked(true);
      Option2_Click(i);
    }
  shared.PageListBusy = false;
}

int Reports::ChosenKind() const {
  for (int i = 0; i < 4; ++i)
    if (Option1[i]->isChecked()) return i;
  return -1;
}

void Reports::Option1_Click(int Index) { TextStack->setCurrentIndex(Index); }

void Reports::Option2_Click(int Index) {
  if (owner.Shared().PageListBusy) return;
  std::string* path = Index == 1 ? &eng.cfg.WordPath : Index == 2 ? &eng.cfg.WordPadPath : nullptr;
  if (!path) return;
  const char* question = Index == 1 ? "Enter the complete path to soffice (LibreOffice); empty: soffice on PATH"
                                    : "Enter the complete path to the program for RTF files; empty: xdg-open";
  const std::optional<std::string> answer = ui::GetPrompt().InputBox(question, std::nullopt, *path);
  if (answer && !answer->empty()) *path = *answer;
}

void Reports::ViewerFromButtons() {
  for (int i = 0; i < 3; ++i)
    if (Option2[i]->isChecked()) eng.cfg.ReportViewer = kViewers[i];
}

void Reports::Command1_Click(int Index) {
  const int k = ChosenKind();
  switch (Index) {
    case 0:  // View
      ViewerFromButtons();
      if (k < 0) return;
      *reports::TemplatePathSetting(eng.cfg, k) = S(Text1[k]->text());
      owner.GenerateReport(static_cast<int16_t>(k));
      break;
    case 1:  // Edit
      ViewerFromButtons();
      if (k < 0) return;
      owner.OpenReportInEditor(S(Text1[k]->text()), ".RTF");
      break;
    case 2: {  // Browse
      if (k < 0) return;
      ui::FileDialogRequest req;
      req.title = "Open";
      req.filter = "Rich Text Format (*.rtf)|*.rtf";
      req.fileName = S(Text1[k]->text());
      req.mustExist = true;
      const std::optional<std::string> chosen = ui::GetPrompt().OpenFile(req);
      if (chosen) Text1[k]->setText(Q(*chosen));
      break;
    }
    case 3:
      CreateReport();
      break;
    default:
      break;
  }
}

void Reports::CreateReport() {
  const std::optional<std::string> answer =
      ui::GetPrompt().InputBox("Enter File Name of New Report File (eight characters max):");
  if (!answer || answer->empty()) return;
  std::string folder, name, ext;
  reports::SplitFilePath(*answer, folder, name, ext);
  // The name becomes a file of the program folder: it must be a plain file name.
  const bool usable = !name.empty() && name.find_first_of("\"*?<>|:") == std::string::npos &&
                      name.find_first_not_of(' ') != std::string::npos;
  if (!usable) {
    ui::GetPrompt().MsgBox("\"" + *answer + "\" cannot be the name of a report file.", ui::Buttons::OK,
                           ui::Icon::Exclamation);
    return;
  }
  const std::string path = eng.AppFolder + name + ".rtf";
  if (files::FileExistsNoCase(path)) {
    ui::GetPrompt().MsgBox("The report file " + files::ResolveNoCase(path) +
                               " exists already. Choose another name, or edit it with Edit Report File.",
                           ui::Buttons::OK, ui::Icon::Exclamation);
    return;
  }
  std::string error;
  if (!files::WriteFileAtomic(path, kEmptyTemplate, &error)) {
    ui::GetPrompt().MsgBox(error, ui::Buttons::OK, ui::Icon::Exclamation);
    return;
  }
  ViewerFromButtons();
  owner.OpenReportInEditor(path, ".RTF");
}

void Reports::Command2_Click(int Index) {
  if (Index == 0) {
    for (int i = 0; i < 4; ++i) *reports::TemplatePathSetting(eng.cfg, i) = S(Text1[i]->text());
    ViewerFromButtons();
    owner.WriteConfigFile();
    owner.BuildCustomReportMenu();
  }
  close();
}

}  // namespace qv
