// The demo's stand-in for the control panel: it keeps what the panel would
// show (status line, statistics, button captions) and prints it on request.
#pragma once

#include <cstdio>
#include <map>
#include <string>
#include <string_view>

#include "scene/setup_view.h"
#include "sim/run_view.h"

namespace demo {

class ConsolePanel : public rillmark::RunView, public rillmark::SetupView {
 public:
  void setStatusText(std::string_view text) override { status_ = text; }
  void repaintStatus() override {}
  void processMessages() override {}
  void showStatistic(rillmark::StatisticLabel label, std::string_view text) override {
    statistics_[label] = std::string(text);
  }
  void repaintInfoPanel() override {}
  void setSelectCaption(std::string_view caption) override { selectCaption_ = caption; }
  void enableContinueAndStop() override {}
  void enableStartAndEffectors() override {}
  int currentEffectorItem() override { return -1; }

  const std::string& status() const { return status_; }
  const std::string& selectCaption() const { return selectCaption_; }

  // The information panel, caption by caption.
  void printStatistics() const {
    using rillmark::StatisticLabel;
    const std::pair<StatisticLabel, const char*> rows[] = {
        {StatisticLabel::labevents, "Total Events:"}, {StatisticLabel::labevsec, "Events/sec:"},
        {StatisticLabel::labverts, "Proc. Verts:"},   {StatisticLabel::labvertsec, "Verts/Sec:"},
        {StatisticLabel::labframes, "Frames:"},       {StatisticLabel::labtpf, "Time/Frame:"},
        {StatisticLabel::labtime, "Tot. Time:"},      {StatisticLabel::labetime, "Time Left:"},
    };
    for (const auto& [label, caption] : rows) {
      const auto found = statistics_.find(label);
      std::printf("  %-13s %s\n", caption, found == statistics_.end() ? "" : found->second.c_str());
    }
  }

 private:
  std::string status_;
  std::string selectCaption_;
  std::map<rillmark::StatisticLabel, std::string> statistics_;
};

}  // namespace demo
