#pragma once
// The settings file "Quorvant.Cfg" in the program folder (its text: engine/SettingsFile.h).
// Read once at start-up, rewritten whole by WriteConfigFile.
//
// Standard C++ only; failures are handed back as texts, and WriteConfigFile reports through
// the prompt seam.
#include <string>
#include <vector>

#include "engine/SettingsFile.h"

namespace qv {

// Reads "Quorvant.Cfg" from eng.AppFolder into eng.cfg, eng.tax.TaxSetName and
// eng.tax.ExclTradeFromLocal, value by value in file order. A missing file gives one error;
// a value that cannot be read as a number gives one error and the value stays as it was;
// the first read past the end of the file gives one error and reading stops there. The
// template paths read as empty (or not read at all) become AppFolder + "Lease.rtf",
// "Loan.rtf", "Cash.rtf", "LVB.rtf".
std::vector<StartupError> ReadConfigFile(Engine& eng);

// Rewrites "Quorvant.Cfg" through a temporary file; on failure the old file stays whole
// and `error` names the file.
bool WriteConfigFileQuiet(const Engine& eng, std::string& error);

// Rewrites "Quorvant.Cfg"; a failure is shown in a message box and the program goes on.
// Returns whether the file was written.
bool WriteConfigFile(const Engine& eng);

}  // namespace qv
