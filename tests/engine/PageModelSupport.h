#pragma once
// Shared pieces of the page-model tests: a scratch folder used as the program folder, a
// recording engine host, and a scripted prompt that fails the test on any question.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "engine/Engine.h"
#include "platform/ui/ScriptedPrompt.h"

namespace qv::testing_support {

// A fresh, empty folder that is removed again at the end of the test.
class TempFolder {
 public:
  TempFolder() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "qv-pagemodel-XXXXXX").string();
    if (char* p = mkdtemp(tmpl.data())) path_ = p;
  }
  ~TempFolder() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  // The folder with a trailing "/", as AppFolder holds it.
  std::string Folder() const { return path_ + "/"; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Records what the engine asks of the window side.
struct RecordingHost : EngineHost {
  int resultsShown = 0;
  int optionListShown = 0;
  int resBaseShown = 0;
  std::string selectorText;
  bool selectorSet = false;
  std::function<void()> onResBase;

  void ShowPageResults() override { ++resultsShown; }
  void ShowResBase() override {
    ++resBaseShown;
    if (onResBase) onResBase();
  }
  void SetPageSelectorText(const std::string& text) override {
    selectorText = text;
    selectorSet = true;
  }
  void OptionListShown() override { ++optionListShown; }
};

// A scripted prompt installed for the test; any question it was not scripted for fails it.
struct StrictPrompt {
  ui::ScriptedPrompt prompt;
  ui::ScopedPrompt scope{prompt};
  StrictPrompt() {
    prompt.SetFailureHandler([](const std::string& what) { ADD_FAILURE() << "unexpected prompt: " << what; });
  }
};

}  // namespace qv::testing_support
