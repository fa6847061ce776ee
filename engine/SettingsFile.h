#pragma once
// The text of the settings file "Quorvant.Cfg": thirteen records of quoted, comma-separated
// values (default rates, report viewer, tax-setting name, a spare text, word-processor
// paths, the four report templates, the admin factor, a tax option and the
// update-reminder flag). Reading the file and writing it are the window side's
// (worksheet/Settings.h); the text is read and built here, in standard C++.
#include <string>
#include <vector>

#include "engine/Engine.h"

namespace qv {

inline constexpr const char* kSettingsFileName = "Quorvant.Cfg";
// The largest settings file read: a real one is a few hundred bytes.
inline constexpr unsigned long kMaxSettingsFileBytes = 1ul << 20;

// A failure met while reading a program file at start-up, in the runtime's numbering
// (53 file not found, 62 input past end of file, 13 type mismatch), or number 0 for a
// message of its own (values of the settings file replaced by their defaults).
struct StartupError {
  int number = 0;
  std::string description;
  bool operator==(const StartupError&) const = default;
};
// "Error " + the number with its leading blank + ".  " + the description
// (for example Error  53.  File not found: Quorvant.Cfg); number 0 gives the description.
std::string StartupErrorText(const StartupError& e);

// The message for values of a program file that were not read: the file's name and the
// lines ("Quorvant.Cfg, line 1: a value that is not a number, or is out of range, was
// replaced by its default.").
std::string ValuesReplacedText(const std::string& file, const std::vector<int>& lines);

// Reads the values of a settings text into cfg, tax.TaxSetName and tax.ExclTradeFromLocal,
// value by value in file order. A value that is not a number, or is one no deal can have
// (not finite, $100,000,000 or more in size), stays as it was; all of them together give
// one message that names the lines. The first read past the end of the text gives one
// error and reading stops there.
std::vector<StartupError> ParseConfigText(const std::string& content, ProgramSettings& cfg, TaxSetting& tax);

// The file text of the current settings: thirteen lines, each ended by CR LF.
std::string BuildConfigText(const ProgramSettings& cfg, const TaxSetting& tax);
inline std::string BuildConfigText(const Engine& eng) { return BuildConfigText(eng.cfg, eng.tax); }

}  // namespace qv
