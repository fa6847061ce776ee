#pragma once
// Report generation and hand-off: a template is chosen by report kind, merged with the
// current page, written beside the template as folder & name & ".QVR", and shown by the
// configured viewer:
//   "QVEdit"  the built-in report editor (a new document window captioned with the report's
//             path in upper case; Save writes the file back)
//   "WinWord" the word processor: LibreOffice Writer ("soffice --writer <file>", soffice
//             found on PATH) unless WordPath names another program
//   "WordPad" the desktop's program for RTF ("xdg-open <file>") unless WordPadPath names one
// Any other viewer shows nothing. Programs are started with an argument list, never through
// a shell (platform/ui/ProgramStart.h). A program that cannot be started opens the window
// FileError, which asks for its path; OK tries again with the new path, Cancel gives up.
//
// Report kinds: 0 lease, 1 loan, 2 cash, 3 lease / buy (the four configured templates),
// 4 the rebate report "RovOzevi.rtf" (merged, and shown in the editor whatever the viewer), 5 a template picked
// in a file dialog, 6 CustomTemplatePath, 7 "Compare.rtf", 8 "Tables.rtf", 9 "pmtcalc.rtf",
// 10 "cashreqd.rtf" (all in the program folder).
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/Engine.h"
#include "reports/ReportContext.h"

namespace qv {
class Owner;
namespace editor {
class ReportEditor;
}
}  // namespace qv

namespace qv::reports {

inline constexpr const char* kViewerEditor = "QVEdit";
inline constexpr const char* kViewerWord = "WinWord";
inline constexpr const char* kViewerWordPad = "WordPad";

// Splits a path into folder (through the last "/" or "\", kept), name (up to the first ".")
// and ext (after that "." without the dot; ".QVX" with the dot when the name has none).
// Without a separator, `folder` keeps what it held.
void SplitFilePath(const std::string& path, std::string& folder, std::string& name, std::string& ext);

// The captions of the custom-report menu for the "*.rtf" files `entries` (names without
// folder, in list order) of the program folder: every entry except the four configured
// templates and "Tables.rtf", "Compare.RTF", "StdEquip.RTF" (compared as full paths without
// regard to case), captioned with the name up to its first "." with the first character in
// upper case and the rest in lower case.
std::vector<std::string> CustomReportCaptions(const std::string& appFolder, const std::vector<std::string>& entries,
                                              const ProgramSettings& cfg);

// The program and arguments that show `file` in the word processor of `viewer` ("WinWord"
// or "WordPad"); an empty program for any other viewer.
struct ProgramCall {
  std::string program;
  std::vector<std::string> args;
};
ProgramCall ViewerCall(const std::string& viewer, const ProgramSettings& cfg, const std::string& file);

// The template path setting of report kinds 0 to 3 (lease, loan, cash, lease / buy);
// nullptr for the other kinds.
std::string* TemplatePathSetting(ProgramSettings& cfg, int kind);

// What generation and hand-off need: the engine (page, settings, program folder), the main
// window's services (settings file, window set, shared state), the program's report editor
// and the windows' report sources.
struct ReportDesk {
  Engine& eng;
  Owner& owner;
  editor::ReportEditor& editor;
  ReportSources sources;
  std::optional<Date> today;  // the "Date" field; unset: today
};

// Merges the template of `kind` and hands the report to the viewer. The caller has stored
// and recalculated the current page. Returns the path of the report file written, or nullopt when no report was made (a message was shown,
// or a file dialog cancelled). Faults mended against the old program: the template is only
// read (a missing one gives "Can't open file: " and its path, nothing is created); the
// report is written whole through a temporary file, and a failed write names the file.
std::optional<std::string> GenerateReport(ReportDesk& desk, int16_t kind);

// Opens an existing file, unmerged, in the viewer: folder & name (of `path`) & `ext`, found
// without regard to case. False when it was not shown.
bool OpenReportInEditor(ReportDesk& desk, const std::string& path, const std::string& ext);

// Shows `file` in the configured viewer (the hand-off step of both procedures above).
bool HandOff(ReportDesk& desk, const std::string& file);

// Prints the report just generated through the editor's print dialog: the editor's active
// document when it is that report, otherwise the report opened in the editor first.
void PrintReport(editor::ReportEditor& editor, const std::string& file);

}  // namespace qv::reports
