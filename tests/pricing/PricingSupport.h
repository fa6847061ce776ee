#pragma once
// Shared pieces of the pricing tests: a scratch program folder, writing raw files into it,
// and small guides written from source text by the same writer the build uses.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/ui/ScriptedPrompt.h"
#include "pricing/gen/GuideSource.h"
#include "tests/support/TempFolder.h"

namespace qv::pricing::test {

class TempFolder : public testing_support::TempFolder {
 public:
  TempFolder() : testing_support::TempFolder("qv-pricing") {}

  // Writes the guide of one class from source text (the statements of data-src/guide).
  void WriteGuide(const std::string& classLetter, const std::string& source) const {
    gen::GuideSource g;
    std::string error;
    ASSERT_TRUE(gen::ParseGuideSource(source, "fixture", g, error)) << error;
    ASSERT_TRUE(gen::WriteFiles(gen::BuildGuideFiles(g), Path(), classLetter, error)) << error;
  }
};

// The bytes of an offset index holding these records.
inline std::string IndexBytes(std::initializer_list<int32_t> records) {
  std::string s;
  for (int32_t r : records) {
    const uint32_t u = static_cast<uint32_t>(r);
    for (int b = 0; b < 4; ++b) s += static_cast<char>((u >> (8 * b)) & 0xFF);
  }
  return s;
}

// A scripted prompt installed for the test; an unexpected question fails it.
struct StrictPrompt {
  ui::ScriptedPrompt prompt;
  ui::ScopedPrompt scope{prompt};
  StrictPrompt() {
    prompt.SetFailureHandler([](const std::string& what) { ADD_FAILURE() << "unexpected prompt: " << what; });
  }
};

// The program folder of the build, where the sample guide is generated.
inline std::string AppFolder() { return QV_TEST_APP_FOLDER; }

}  // namespace qv::pricing::test
