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
#include "tests/support/TempFolder.h"

namespace qv::testing_support {

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
