// A RunView and SetupView, and a Platform, for tests: they record what a run shows and let
// a test act at a chosen message pump (a Stop click arriving mid-frame).
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "commands/run_view.h"
#include "commands/setup_view.h"
#include "platform/headless/headless_platform.h"
#include "sim/message_schedule.h"

namespace rillmark::testing {

class RecordingRunView : public RunView, public SetupView {
 public:
  void setStatusText(std::string_view text) override { statusTexts.emplace_back(text); }
  void processMessages() override {
    ++pumps;
    if (onPump) onPump(pumps);
  }
  void showStatistic(StatisticLabel label, std::string_view text) override {
    statistics[label] = std::string(text);
    statisticOrder.push_back(label);
  }
  void repaintInfoPanel() override { ++infoRepaints; }
  void setSelectCaption(std::string_view caption) override { selectCaption = std::string(caption); }
  void enableContinueAndStop() override { continueAndStopEnabled = true; }
  void enableStartAndEffectors() override { startAndEffectorsEnabled = true; }
  int currentEffectorItem() override { return currentItem; }

  std::vector<std::string> statusTexts;
  int pumps = 0;
  // Called at every message pump with its number, counted from 1.
  std::function<void(int pump)> onPump;
  std::map<StatisticLabel, std::string> statistics;
  std::vector<StatisticLabel> statisticOrder;
  int infoRepaints = 0;
  std::string selectCaption;
  bool continueAndStopEnabled = false;
  bool startAndEffectorsEnabled = false;
  int currentItem = -1;
};

// The headless platform with a clock that moves only as a test says.
class FakePlatform : public HeadlessPlatform {
 public:
  std::uint32_t tickCount() override {
    const std::uint32_t now = ticks;
    ticks += ticksPerReading;
    return now;
  }

  std::uint32_t ticks = 0;
  std::uint32_t ticksPerReading = 0;

  // The clock of the message schedule. By default each reading is a whole
  // interval later than the last, so messages are due at every chance a
  // run has to process them, and a test can act at any of them.
  std::uint64_t monotonicMicroseconds() override { return micros += microsPerReading; }
  std::uint64_t micros = 0;
  std::uint64_t microsPerReading = kMessageIntervalMicroseconds;
};

}  // namespace rillmark::testing
