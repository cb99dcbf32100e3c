// Preset files as the soak sees them: reading and writing them behind the
// plug-in's back, telling a complete preset from a partial one, and a
// watcher that reads a preset over and over while the plug-in saves or
// loads it, so that a half-written file is caught while it exists, not
// only after the save.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>

namespace rillmark::testhost::soak {

bool readFile(const std::wstring& path, std::string& out);
bool writeFile(const std::wstring& path, const std::string& content);
std::size_t lineCount(const std::string& text);

// `lines` lines, each ended by CR LF, none empty, the last (the choice) a
// number: what a save that finished writes.
bool isCompletePreset(const std::string& text, std::size_t lines);

// True when a save left its temporary file in `folder`.
bool leftoverTemporaries(const std::wstring& folder);

class PresetWatcher {
 public:
  // Every read of `path` must find the file as it was (`before`, or no
  // file when it had none) or, when `newAllowed`, a complete preset of
  // `lines` lines. A read the plug-in's open file refuses is tried again.
  PresetWatcher(std::wstring path, bool existed, std::string before, bool newAllowed, std::size_t lines);
  ~PresetWatcher();
  PresetWatcher(const PresetWatcher&) = delete;
  PresetWatcher& operator=(const PresetWatcher&) = delete;

  // Stops reading: what the first bad read found, or empty.
  std::string finish();
  long long reads() const { return reads_; }

 private:
  void run();
  std::string judge(bool exists, const std::string& content) const;

  const std::wstring path_;
  const bool existed_;
  const std::string before_;
  const bool newAllowed_;
  const std::size_t lines_;
  std::atomic<bool> stop_{false};
  std::atomic<long long> reads_{0};
  std::string problem_;
  std::thread thread_;
};

}  // namespace rillmark::testhost::soak
