#pragma once
// What the fuzz targets share: a prompt that answers every question at once without a word,
// a temporary folder for readers that take a path, and the report of a failed property.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/ui/Prompt.h"

namespace qv::fuzz {

// Answers Cancel (No to a Yes/No question) and cancels every dialog, as a user who
// declines everything; installed once for the life of the fuzzer.
class SilentPrompt : public ui::Prompt {
 public:
  ui::Answer MsgBox(const std::string&, ui::Buttons b, ui::Icon, const ui::Title&) override {
    return b == ui::Buttons::YesNo ? ui::Answer::No : ui::Answer::Cancel;
  }
  std::optional<std::string> InputBox(const std::string&, const ui::Title&, const std::string&) override {
    return std::nullopt;
  }
  std::optional<std::string> OpenFile(const ui::FileDialogRequest&) override { return std::nullopt; }
  std::optional<std::string> SaveFile(const ui::FileDialogRequest&) override { return std::nullopt; }
  std::optional<ui::PrintTarget> PrintDialog(const ui::PrintRequest&) override { return std::nullopt; }
  bool PageSetupDialog() override { return false; }
  std::optional<uint32_t> ColorDialog(uint32_t) override { return std::nullopt; }
  std::optional<ui::FontChoice> FontDialog(const ui::FontChoice&) override { return std::nullopt; }
  int ShowModal(ui::ModalWindow&) override { return 0; }
  void DoEvents() override {}
  void SetBusy(bool) override {}
  bool OpenExternal(const std::string&) override { return false; }

  static void Install() {
    static SilentPrompt prompt;
    ui::SetPrompt(&prompt);
  }
};

// A folder of its own for files a reader takes by path, removed at exit: in memory
// (/dev/shm) where there is such a place, since each run writes and syncs its files.
class TempFolder {
 public:
  TempFolder() {
    std::error_code ec;
    const std::filesystem::path base =
        std::filesystem::is_directory("/dev/shm", ec) ? std::filesystem::path("/dev/shm")
                                                      : std::filesystem::temp_directory_path();
    std::string tmpl = (base / "qv-fuzz-XXXXXX").string();
    path_ = ::mkdtemp(tmpl.data());
    path_ += "/";
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::string& Path() const { return path_; }
  void Write(const std::string& name, const std::string& content) const {
    std::ofstream(path_ + name, std::ios::binary | std::ios::trunc) << content;
  }

 private:
  std::string path_;
};

// A property of the reader failed: say which and stop, so that the fuzzer keeps the input.
[[noreturn]] inline void FuzzFailure(const char* what) {
  std::fprintf(stderr, "property failed: %s\n", what);
  std::abort();
}

inline std::string Bytes(const uint8_t* data, size_t size) { return std::string(reinterpret_cast<const char*>(data), size); }

// Takes numbers, flags and texts from the front of the fuzz input, for targets that drive a
// sequence of operations. Past the end every value reads as its smallest.
class ByteReader {
 public:
  ByteReader(const uint8_t* data, size_t size) : p_(data), end_(data + size) {}
  size_t Remaining() const { return static_cast<size_t>(end_ - p_); }

  // A whole number in lo..hi.
  int64_t Int(int64_t lo, int64_t hi) {
    const uint64_t span = static_cast<uint64_t>(hi) - static_cast<uint64_t>(lo);
    uint64_t v = 0;
    for (uint64_t seen = 0; seen < span && p_ < end_; seen = (seen << 8) | 0xFF) v = (v << 8) | *p_++;
    if (span != UINT64_MAX) v %= span + 1;
    return static_cast<int64_t>(static_cast<uint64_t>(lo) + v);
  }
  int IntIn(int lo, int hi) { return static_cast<int>(Int(lo, hi)); }
  int Int32() { return IntIn(INT32_MIN, INT32_MAX); }
  bool Bool() { return Int(0, 1) == 1; }
  // Any double, NaN and infinity included (eight bytes taken as they are).
  double AnyDouble() {
    uint64_t bits = static_cast<uint64_t>(Int(INT64_MIN, INT64_MAX));
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
  }
  // A text of up to maxLength bytes: its length first, then its bytes.
  std::string Text(size_t maxLength) {
    size_t n = static_cast<size_t>(Int(0, static_cast<int64_t>(maxLength)));
    n = std::min(n, Remaining());
    std::string s(reinterpret_cast<const char*>(p_), n);
    p_ += n;
    return s;
  }
  std::string Rest() {
    std::string s(reinterpret_cast<const char*>(p_), Remaining());
    p_ = end_;
    return s;
  }

 private:
  const uint8_t* p_;
  const uint8_t* end_;
};

}  // namespace qv::fuzz
