// The soak's user: a thread that chooses actions with the seed and does
// them by real input on the panel (clicks, drags, typing, keys, the file
// and Select by Name dialogs through their planned answers), and asks the
// host for its events. It also brings the scene and the panel to one state
// for the two resource measurements.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "soak_resources.h"

namespace rillmark::testhost::soak {

class PresetWatcher;

class User {
 public:
  User(unsigned seed, int seconds, HWND view, const std::wstring& folder)
      : rng_(seed), seconds_(seconds), view_(view), folder_(folder) {}

  void run();

  // Taken at the baseline and at the end; `measured` says which exist.
  Measurement measurements[2];
  bool measured[2] = {false, false};

 private:
  unsigned roll(unsigned n) { return n == 0 ? 0 : static_cast<unsigned>(rng_() % n); }
  bool chance(unsigned percent) { return roll(100) < percent; }

  // ----- the panel and its controls
  void refresh();
  HWND control(const std::string& name);
  bool panelOpen();
  bool enabled(const std::string& name);
  POINT pointIn(HWND w);
  void clickAtPoint(POINT p, bool right = false);
  bool clickNamed(const std::string& name);
  bool clickTab(int index);
  bool reveal(const std::string& name, int tab);
  bool clickCloseBox(HWND window);
  std::string visibleSpinner();
  void typeIntoSpinner(const std::string& spinner, const std::wstring& text, WORD finalKey);
  void settle();
  void stopRun();

  // ----- the measurements
  void primeEveryKind();
  void comparableState();
  void measure(int index);

  // ----- actions
  void act();
  void oneOf(std::initializer_list<std::function<void()>> fs);
  void clickAny();
  void tabChange();
  void drag();
  void rightClick();
  void typing();
  void keys();
  void runAction(unsigned kind);
  void rollUp();
  void statusDoubleClick();
  void info();
  void about();
  void presets();
  void clickWatching(const std::string& button, const std::wstring& name, PresetWatcher&& watcher);
  void save(bool cancel, const std::wstring& name);
  void load(bool cancel, const std::wstring& name, const std::string& kind);
  void loadBadFile();
  void selectByName(const std::wstring& text, bool cancel);
  void closePanel();
  void reopenPanel();
  void hostAct();
  std::wstring freshName();
  std::wstring randomTyping();

  std::mt19937 rng_;
  int seconds_;
  HWND view_;
  std::wstring folder_;
  HWND panel_ = nullptr;
  std::map<std::string, HWND> controls_;
  std::vector<std::string> spinners_;
  std::vector<std::wstring> written_;
  int serial_ = 0;
};

}  // namespace rillmark::testhost::soak
