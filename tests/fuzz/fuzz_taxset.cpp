// The tax-settings file "Taxset.txt": the bytes are the file; the setting named on its
// second line is loaded, saved back into the file and loaded again. Properties: the save
// keeps the other lines, and the setting reads back as it was saved.
#include <cstdint>
#include <string>

#include "engine/Engine.h"
#include "engine/Runtime.h"
#include "tests/fuzz/FuzzSupport.h"

using namespace qv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool installed = (fuzz::SilentPrompt::Install(), true);
  (void)installed;
  static fuzz::TempFolder folder;
  const std::string content = fuzz::Bytes(data, size);
  folder.Write("Taxset.txt", content);

  Engine eng;
  eng.AppFolder = folder.Path();
  const std::vector<std::string> lines = SplitLines(content);
  eng.tax.TaxSetName = lines.size() > 1 ? lines[1].substr(0, lines[1].find(',')) : "Home";
  if (!eng.LoadTaxSet()) return 0;
  const TaxSetting loaded = eng.tax;
  const PageItems flags = eng.items;
  if (!eng.SaveTaxSet()) return 0;  // an odd name (a folder in the way) may refuse the write
  eng.tax = TaxSetting{};
  eng.tax.TaxSetName = loaded.TaxSetName;
  if (!eng.LoadTaxSet()) fuzz::FuzzFailure("the saved tax settings cannot be read");
  // The line written from the loaded setting reads back to the same line.
  Engine first;
  first.tax = loaded;
  first.items = flags;
  if (eng.BuildTaxSetLine() != first.BuildTaxSetLine()) fuzz::FuzzFailure("the saved tax setting reads back different");
  return 0;
}
