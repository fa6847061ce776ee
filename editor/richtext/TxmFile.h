#pragma once
// The report editor's files: the ".txm" format (a version, the page record, then the
// document as RTF), the choice of format by file name, and the texts of the messages the
// editor's file commands show. Standard C++ only; the window side reads and writes the
// bytes (writing through platform/files/AtomicFile, so a failed save keeps the old file).
//
// ".txm" layout, little-endian signed integers:
//   0  4  version: 23 (written), 20 (older files, read only: no page record)
//   4 24  PageMarginL, PageMarginT, PageMarginR, PageMarginB, PageHeight, PageWidth (twips)
//  28  2  PaperSizeIndex, written as 0
//  30  -  the document as RTF (from byte 4 in a version-20 file)
#include <cstdint>
#include <string>
#include <string_view>

#include "editor/richtext/Document.h"

namespace qv::richtext {

constexpr int32_t kTxmVersion = 23;
constexpr int32_t kTxmOldVersion = 20;
constexpr size_t kTxmHeaderSize = 30;
constexpr size_t kTxmOldHeaderSize = 4;

// The page record of the editor, as the page dialog edits it and a ".txm" header holds it.
struct PageSettings {
  int32_t PageMarginL = 1440;
  int32_t PageMarginT = 1440;
  int32_t PageMarginR = 1440;
  int32_t PageMarginB = 1440;
  int32_t PageHeight = 16837;
  int32_t PageWidth = 11906;
  int16_t PaperSizeIndex = 0;
  friend bool operator==(const PageSettings&, const PageSettings&) = default;
};

// Both ways the page is brought within the page limits (LimitPage in Document.h).
PageSettings PageSettingsOf(const PageSetup& page);
PageSetup PageSetupOf(const PageSettings& settings);

// Format codes of the editor's load and save.
enum class FileFormat { Text = 1, Txm = 3, Html = 4, Rtf = 5 };

// The format of a file by the end of its upper-cased name: "TXM", "RTF", "HTM" or "HTML",
// "TXT". Any other name opens as plain text and saves in the ".txm" layout.
FileFormat FormatForOpening(std::string_view path);
FileFormat FormatForSaving(std::string_view path);

// The messages of the file commands. Each is shown with only an OK button; the title is
// the application's, except for InvalidImagePath ("Viewer", with the exclamation icon).
enum class FileMessage {
  CantOpen,          // "Can't open file: " & path
  WrongFileType,     // "Wrong file type: " & path
  CantLoad,          // "Can't load file: " & path
  CantSave,          // "Can't save file: " & path
  CantImport,        // "Can't import file: " & path
  InvalidImagePath,  // "Invalid image path: " & folder
};
std::string FileMessageText(FileMessage message, const std::string& path);
// The title of the message box; empty for the application's title.
std::string FileMessageTitle(FileMessage message);
bool FileMessageHasExclamation(FileMessage message);

// The result of reading a document file's bytes.
struct DocumentReadResult {
  bool ok = false;
  FileMessage failure = FileMessage::CantLoad;  // when !ok
  std::string detail;                           // why, in words (not shown to the user)
  std::string warning;                          // what was read with losses, in words (shown)
  int32_t version = 0;                          // of a ".txm" file
  PageSettings page;                            // of a ".txm" file, as read
  Document document;
};

// Reads the bytes of a ".txm" file. A version other than 20 or 23 (or a file shorter than
// its version) fails with WrongFileType; a version-23 file whose page record is cut short
// or holds sizes no page can have, or whose body is not a document, fails with CantLoad.
// A version-20 file gets an A4 page with one-inch margins. The page of the header is the
// document's page.
DocumentReadResult ReadTxm(std::string_view bytes);

// The whole ".txm" file of a document: version 23, the page record from the document's page
// with PaperSizeIndex 0, then the RTF.
std::string WriteTxm(const Document& doc);

// Reads the bytes of an RTF file; a text that is not RTF, or is too large or deeply nested,
// fails with CantLoad.
DocumentReadResult ReadRtfFile(std::string_view bytes);

// Which message a failed save of `path` shows: CantOpen when the file's folder does not
// exist or cannot be written to (the file could not be opened for writing), else CantSave.
FileMessage SaveFailureMessage(const std::string& path);

// The folder part of a path with its trailing separator ("\", "/" or ":"); the empty text
// for a bare file name. The editor looks for linked images there.
std::string ImageFolderOf(const std::string& path);

// A path given on the command line: one that begins and ends with a double quote loses
// both; any other is used as it stands.
std::string StripPathQuotes(const std::string& path);

}  // namespace qv::richtext
