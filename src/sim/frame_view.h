// What the frame loop reports while it works: the status line, message
// pumping, the statistics, and the select-water caption when the water is
// lost. The commands' RunView extends it, and the control panel, the
// headless panel and the demo implement that. Keeping the simulation
// behind this interface lets it run and be tested with no window.
#pragma once

#include <string_view>

namespace rillmark {

// The value labels of the information panel.
enum class StatisticLabel {
  labevents,
  labevsec,
  labverts,
  labvertsec,
  labframes,
  labtpf,
  labtime,
  labetime,
};

class FrameView {
 public:
  virtual ~FrameView() = default;

  // The status bar's text. The status bar is painted anew when messages
  // are next processed, at most about once per screen refresh.
  virtual void setStatusText(std::string_view text) = 0;

  // Handles every pending window message. Panel handlers (Stop among them)
  // may run inside this call.
  virtual void processMessages() = 0;

  virtual void showStatistic(StatisticLabel label, std::string_view text) = 0;
  virtual void repaintInfoPanel() = 0;

  // The caption of the select-water button.
  virtual void setSelectCaption(std::string_view caption) = 0;
};

}  // namespace rillmark
