#include "soak_state.h"

#include <cstdio>
#include <memory>

#include "host_harness.h"

namespace rillmark::testhost::soak {

namespace {

constexpr std::size_t kRecentActions = 50;

void printRecent() {
  std::printf("seed %u; the last %zu actions, oldest first:\n", state.seed, state.recent.size());
  for (const auto& a : state.recent) std::printf("  %s\n", a.c_str());
  std::fflush(stdout);
}

}  // namespace

State state;

void fail(const std::string& what) {
  std::lock_guard<std::mutex> lock(state.mutex);
  if (state.failed.exchange(true)) return;
  std::printf("SOAK FAILED: %s\n", what.c_str());
  printRecent();
  ++failures;
  state.stop = true;
}

void logAction(const std::string& kind, const std::string& detail) {
  std::lock_guard<std::mutex> lock(state.mutex);
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%7.2f s ", (GetTickCount() - state.startTick) / 1000.0);
  state.recent.push_back(stamp + kind + (detail.empty() ? "" : ": " + detail));
  if (state.recent.size() > kRecentActions) state.recent.pop_front();
  ++state.perKind[kind];
  ++state.actions;
  if (state.verbose) {
    std::printf("action %s\n", state.recent.back().c_str());
    std::fflush(stdout);
  }
}

LONG WINAPI onCrash(EXCEPTION_POINTERS* info) {
  // The lock may be held by the thread that crashed; the log is read anyway.
  const bool locked = state.mutex.try_lock();
  std::printf("SOAK FAILED: crash, exception 0x%08lX at %p\n",
              static_cast<unsigned long>(info->ExceptionRecord->ExceptionCode), info->ExceptionRecord->ExceptionAddress);
  printRecent();
  if (locked) state.mutex.unlock();
  return EXCEPTION_EXECUTE_HANDLER;
}

void onHostThread(const std::string& kind, std::function<void()> work) {
  auto done = std::make_shared<std::atomic<bool>>(false);
  {
    std::lock_guard<std::mutex> lock(state.mutex);
    state.hostQueue.emplace_back(kind, [work = std::move(work), done] {
      work();
      *done = true;
    });
  }
  // The timer runs inside a dialog's modal loop too, so only a hung host
  // keeps this waiting; the probe reports that.
  for (int i = 0; i < 600 && !*done && !state.failed; ++i) Sleep(50);
  if (!*done && !state.failed) fail("the host's timer did not run '" + kind + "' within 30 s");
}

std::string utf8(const std::wstring& w) {
  if (w.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), out.data(), n, nullptr, nullptr);
  return out;
}

}  // namespace rillmark::testhost::soak
