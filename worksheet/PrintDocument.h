#pragma once
// The report editor's print command as the toolbar's report button uses it: prints the
// active document of the report editor after its print dialog, with the pages and copies
// chosen there.
namespace qv {

// Until the report editor exists there is no document to print, and this does nothing.
void PrintDocument();

}  // namespace qv
