// The settings file "Quorvant.Cfg": the bytes are read as its text. Property: the text
// written from what was read reads back to the same values, so writing it again gives the
// same text.
#include <cstdint>
#include <string>

#include "engine/SettingsFile.h"
#include "tests/fuzz/FuzzSupport.h"

using namespace qv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ProgramSettings cfg;
  TaxSetting tax;
  (void)ParseConfigText(fuzz::Bytes(data, size), cfg, tax);
  const std::string written = BuildConfigText(cfg, tax);
  ProgramSettings cfg2;
  TaxSetting tax2;
  if (!ParseConfigText(written, cfg2, tax2).empty()) fuzz::FuzzFailure("the written settings give errors when read");
  if (BuildConfigText(cfg2, tax2) != written) fuzz::FuzzFailure("the written settings read back different");
  return 0;
}
