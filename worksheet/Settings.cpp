#include "worksheet/Settings.h"

#include "engine/Engine.h"
#include "platform/files/AtomicFile.h"
#include "platform/files/FolderLookup.h"
#include "platform/ui/Prompt.h"

namespace qv {

std::vector<StartupError> ReadConfigFile(Engine& eng) {
  std::vector<StartupError> errors;
  ProgramSettings& c = eng.cfg;
  std::string content, why;
  switch (files::ReadFileIfAny(files::ResolveNoCase(eng.AppFolder + kSettingsFileName), content, kMaxSettingsFileBytes,
                               &why)) {
    case files::ReadResult::Missing:
      errors.push_back({53, "File not found: " + std::string(kSettingsFileName)});
      break;
    case files::ReadResult::Unreadable:
    case files::ReadResult::TooLarge:
      // There, but a folder, a device or far larger than any settings file: said so.
      errors.push_back({75, "Path/File access error: " + std::string(kSettingsFileName) + ": " + why});
      break;
    case files::ReadResult::Read:
    errors = ParseConfigText(content, c, eng.tax);
      break;
  }
  if (c.LeaseTemplatePath.empty()) c.LeaseTemplatePath = eng.AppFolder + "Lease.rtf";
  if (c.LoanTemplatePath.empty()) c.LoanTemplatePath = eng.AppFolder + "Loan.rtf";
  if (c.CashTemplatePath.empty()) c.CashTemplatePath = eng.AppFolder + "Cash.rtf";
  if (c.LVBTemplatePath.empty()) c.LVBTemplatePath = eng.AppFolder + "LVB.rtf";
  return errors;
}

bool WriteConfigFileQuiet(const Engine& eng, std::string& error) {
  return files::WriteFileAtomic(files::ResolveNoCase(eng.AppFolder + kSettingsFileName), BuildConfigText(eng),
                                &error);
}

bool WriteConfigFile(const Engine& eng) {
  std::string error;
  if (WriteConfigFileQuiet(eng, error)) return true;
  ui::GetPrompt().MsgBox("The settings could not be saved.\r\n" + error, ui::Buttons::OK, ui::Icon::Exclamation);
  return false;
}

}  // namespace qv
