// What the soak's threads share (one soak per process): the seed, the log
// of recent actions, the tallies the report prints, the host's event queue
// and the flags that stop the soak. Also the two ways an invariant breaks:
// fail() and the crash filter, both of which print the seed and the last
// actions.
#pragma once

#include <windows.h>

#include <atomic>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <utility>

namespace rillmark::testhost::soak {

struct State {
  unsigned seed = 0;
  bool verbose = false;  // every action printed as it is done
  std::mutex mutex;
  std::deque<std::string> recent;
  std::map<std::string, long long> perKind;
  // Work for the host's UI thread, done by its main view's timer.
  std::deque<std::pair<std::string, std::function<void()>>> hostQueue;
  std::atomic<bool> stop{false};
  std::atomic<bool> userDone{false};
  std::atomic<bool> failed{false};
  std::atomic<HWND> panel{nullptr};
  std::atomic<int> dialogsOpen{0};
  std::atomic<long long> dialogsSeen{0};
  // Until this tick a probe may go unanswered: Wine under Xvfb, with no
  // window manager, blocks the thread that hides a top-level window while
  // it waits for the X server to confirm (a second or two).
  std::atomic<DWORD> hidingUntil{0};
  std::atomic<long long> actions{0}, runs{0}, filesWritten{0}, messageBoxes{0}, probes{0}, sceneChecks{0};
  std::atomic<long long> presetReads{0};  // reads of a preset file while it was being saved or loaded
  // Dialog answers typed with the keyboard, and those whose edit did not
  // end up holding the typed text (they are cancelled instead).
  std::atomic<long long> typedAnswers{0}, typingMissed{0};
  std::atomic<long long> fileNamesGiven{0};  // file dialogs ended with a typed name and Enter
  std::string lastFigures;
  DWORD startTick = 0;
};

extern State state;

void fail(const std::string& what);
void logAction(const std::string& kind, const std::string& detail = "");
LONG WINAPI onCrash(EXCEPTION_POINTERS* info);

// Has the host's UI thread run `work` (from its timer) and waits for it.
void onHostThread(const std::string& kind, std::function<void()> work);

// A window that hides makes the next probes wait for Wine (see hidingUntil).
inline void windowHides() { state.hidingUntil = GetTickCount() + 4000; }

std::string utf8(const std::wstring& w);

}  // namespace rillmark::testhost::soak
