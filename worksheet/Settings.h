#pragma once
// The settings file "Quorvant.Cfg" in the program folder: thirteen records of quoted,
// comma-separated values (default rates, report viewer, tax-setting name, a spare text,
// word-processor paths, the four report templates, the admin factor, a tax option and the
// update-reminder flag). Read once at start-up, rewritten whole by WriteConfigFile.
//
// Standard C++ only; failures are handed back as texts, and WriteConfigFile reports through
// the prompt seam.
#include <string>
#include <vector>

namespace qv {

class Engine;

inline constexpr const char* kSettingsFileName = "Quorvant.Cfg";

// A failure met while reading a program file at start-up, in the runtime's numbering
// (53 file not found, 62 input past end of file, 13 type mismatch).
struct StartupError {
  int number = 0;
  std::string description;
};
// "Error " + the number with its leading blank + ".  " + the description
// (for example Error  53.  File not found: Quorvant.Cfg).
std::string StartupErrorText(const StartupError& e);

// Reads "Quorvant.Cfg" from eng.AppFolder into eng.cfg, eng.tax.TaxSetName and
// eng.tax.ExclTradeFromLocal, value by value in file order. A missing file gives one error;
// a value that cannot be read as a number gives one error and the value stays as it was;
// the first read past the end of the file gives one error and reading stops there. The
// template paths read as empty (or not read at all) become AppFolder + "Lease.rtf",
// "Loan.rtf", "Cash.rtf", "LVB.rtf".
std::vector<StartupError> ReadConfigFile(Engine& eng);

// The file text of the current settings: thirteen lines, each ended by CR LF.
std::string BuildConfigText(const Engine& eng);

// Rewrites "Quorvant.Cfg" through a temporary file; on failure the old file stays whole
// and `error` names the file.
bool WriteConfigFileQuiet(const Engine& eng, std::string& error);

// Rewrites "Quorvant.Cfg"; a failure is shown in a message box and the program goes on.
// Returns whether the file was written.
bool WriteConfigFile(const Engine& eng);

}  // namespace qv
