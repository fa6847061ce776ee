// The worksheet file and the page load that follows it: the bytes are read as a workbook
// file; one the open path takes (five worksheet sheets, no more pages than a worksheet
// holds, only values a deal can have) is loaded as the open path loads it, page 1 and then the next pages are shown
// and recalculated, and the worksheet is stored and written again. Property: what is
// written reads back the same.
#include <cstdint>
#include <string>

#include "engine/Engine.h"
#include "engine/PageStore.h"
#include "engine/QuietHost.h"
#include "engine/Runtime.h"
#include "tests/fuzz/FuzzSupport.h"

using namespace qv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool installed = (fuzz::SilentPrompt::Install(), true);
  (void)installed;

  grid::Workbook wb;
  std::string why;
  if (!wb.FromJson(fuzz::Bytes(data, size), why, WorksheetReadLimits())) return 0;
  if (!Engine::IsWorksheetWorkbook(wb, why) || !FitsWorksheet(wb, why) || !HoldsDealValues(wb, why)) return 0;

  Engine eng;
  QuietHost host(eng);
  eng.host = &host;
  eng.WKS = std::move(wb);
  eng.CurrentPage = 1;
  eng.LoadPage();
  eng.WKS.SetSheet(1);
  eng.PageCount = ToInt16(eng.WKS.MaxRow());
  // Page Up through the next pages, as far as three.
  for (int step = 0; step < 3 && eng.CurrentPage < eng.PageCount; ++step) eng.PageUpDown(33);

  eng.StorePage();
  const std::string text = eng.WKS.ToJson();
  grid::Workbook back;
  if (!back.FromJson(text, why, WorksheetReadLimits())) fuzz::FuzzFailure("the saved worksheet is refused by the reader");
  if (!back.SameContent(eng.WKS)) fuzz::FuzzFailure("the saved worksheet reads back different");
  if (!Engine::IsWorksheetWorkbook(back, why) || !FitsWorksheet(back, why))
    fuzz::FuzzFailure("the saved worksheet is no longer one the open path takes");
  return 0;
}
