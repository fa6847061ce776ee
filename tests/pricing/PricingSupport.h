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

namespace qv::pricing::test {

class TempFolder {
 public:
  TempFolder() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "qv-pricing-XXXXXX").string();
    if (char* p = mkdtemp(tmpl.data())) path_ = p;
  }
  ~TempFolder() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  std::string Folder() const { return path_ + "/"; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

  void Write(const std::string& name, const std::string& content) const {
    std::ofstream out(File(name), std::ios::binary);
    out << content;
  }
  void Remove(const std::string& name) const { std::filesystem::remove(File(name)); }

  // Writes the guide of one class from source text (the statements of data-src/guide).
  void WriteGuide(const std::string& classLetter, const std::string& source) const {
    gen::GuideSource g;
    std::string error;
    ASSERT_TRUE(gen::ParseGuideSource(source, "fixture", g, error)) << error;
    ASSERT_TRUE(gen::WriteFiles(gen::BuildGuideFiles(g), path_, classLetter, error)) << error;
  }

 private:
  std::string path_;
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
