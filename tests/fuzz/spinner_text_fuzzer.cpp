// Fuzz target: what a user types into the spinners of the control panel.
// The panel is built once on the headless backend; each input picks a
// decimal separator and then, for any of the twelve numeric parameters,
// types text, presses Enter, selects all, deletes, tabs away or clicks into
// another spinner. After every action each spinner must hold a finite value
// whose text reads back as that value, and the value must be what the
// spinner's rules make of the keys pressed: text that reads as a number is
// taken as typed, unclamped; other text gives way to the value; Enter
// passes the number to the setter.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "hostapi/host_api.h"
#include "params/preset_format.h"
#include "platform/headless/headless_platform.h"
#include "refhost/refhost.h"
#include "ui/control_panel.h"
#include "ui/headless/headless_backend.h"
#include "ui/headless/headless_user.h"

namespace rillmark {
namespace {

constexpr char kSeparators[] = {'.', ',', '\'', '\xb7'};

struct Session {
  HeadlessPlatform platform;
  ui::headless::HeadlessUser user{platform};
  TForm1* panel = nullptr;
  std::vector<TGlideSpinner*> spinners;
};

Session& session() {
  static Session* s = [] {
    auto* s = new Session;
    refhost::reset();
    refhost::setRecording(false);
    refhost::bindInto(hostApi());
    hostApiLevel() = 430;
    ui::headless::install();
    setActivePlatform(&s->platform);
    s->panel = Form1 = new TForm1(reinterpret_cast<void*>(0x5150));
    s->panel->show();
    TForm1& p = *s->panel;
    s->spinners = {p.spinamp,        p.spinfreq,           p.spinvel,     p.spindecay, p.spintimedecay,
                   p.spinlat,        p.spinnoisescale,     p.spinnoisetimescale,       p.spinoctaves,
                   p.spinstart,      p.spinend,            p.spinstep};
    return s;
  }();
  return *s;
}

// Clicks into the spinner's edit box, choosing its tab first if it is not
// on view: the Wind tab holds three of the spinners, the others are on the
// Animation tab or below the tabs. A box that has the focus already is
// left as it is.
void focusSpinner(Session& s, const TGlideSpinner& spinner) {
  if (spinner.edit().focused()) return;
  const int page = spinner.parent() == s.panel->TabSheet3 ? 2 : 0;
  if (spinner.parent() != s.panel->Panel2 && s.panel->PageControl1->activePageIndex() != page) {
    const ui::Rect tab = s.panel->PageControl1->tabRect(page);
    s.user.click(*s.panel, {tab.x + tab.width / 2, tab.y + tab.height / 2});
  }
  s.user.click(spinner.edit());
}

// What the spinner's rules make of its edit box: the box's text and the
// parameter's value, followed key by key.
struct Expected {
  std::string text;
  float value;
  bool allSelected = false;
};

// Whether the next key replaces the whole text (the backend keeps a
// selection across focus changes, as an edit box does).
bool wholeTextSelected(const TGlideSpinner& spinner) {
  return static_cast<const ui::headless::HeadlessControlPeer*>(spinner.edit().peer())->allSelected();
}

std::optional<float> number(const std::string& text, char separator) {
  const auto parsed = parsePresetFloat(text, separator);
  if (!parsed || !std::isfinite(*parsed)) return std::nullopt;
  return parsed;
}

// A changed text that reads as a number is taken as typed; other text is
// replaced by the value.
void textChanged(Expected& e, const std::string& text, char separator) {
  if (const auto typed = number(text, separator)) {
    e.text = text;
    e.value = *typed;
  } else {
    e.text = formatPresetFloat(e.value, separator);
  }
}

void enterPressed(Expected& e, const NumericParameter& p, char separator) {
  const auto typed = number(e.text, separator);
  if (!typed) {
    e.text = formatPresetFloat(e.value, separator);
  } else if (*typed != e.value) {
    // The setter clamps and shows the value with three decimals, and that
    // text is read back at once.
    e.value = std::fmax(p.Min(), std::fmin(p.Max(), *typed));
    textChanged(e, formatSpinnerText(e.value, separator), separator);
  }
  e.allSelected = true;
}

void checkSpinner(const TGlideSpinner& s, char separator) {
  const NumericParameter& p = s.parameter();
  FUZZ_CHECK(std::isfinite(p.Value()));
  FUZZ_CHECK(p.IntValue() == roundHalfEven(p.Value()));
  const auto shown = parsePresetFloat(s.edit().text(), separator);
  FUZZ_CHECK(shown.has_value() && *shown == p.Value());
}

}  // namespace
}  // namespace rillmark

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace rillmark;
  Session& s = session();
  FuzzedDataProvider input(data, size);
  const char separator = input.PickValueInArray(kSeparators);
  s.platform.separator = separator;
  s.platform.messages.clear();
  // Every spinner starts at its start value, written with this separator,
  // and nothing selected, whatever the last input left.
  for (TGlideSpinner* spinner : s.spinners) {
    NumericParameter& p = spinner->parameter();
    if (p.Value() != p.DefaultVal() || spinner->edit().text() != formatSpinnerText(p.DefaultVal(), separator)) {
      p.setTypedValue(p.DefaultVal() + 1.0f);
      p.setTypedValue(p.DefaultVal());
    }
    static_cast<ui::headless::HeadlessControlPeer*>(spinner->edit().peer())->setAllSelected(false);
  }

  TGlideSpinner* current = s.spinners[input.ConsumeIntegralInRange<std::size_t>(0, s.spinners.size() - 1)];
  focusSpinner(s, *current);
  Expected expected{current->edit().text(), current->Value(), wholeTextSelected(*current)};

  while (input.remaining_bytes() > 0) {
    switch (input.ConsumeIntegralInRange(0, 5)) {
      case 0: {  // typing, key by key
        for (char c : input.ConsumeRandomLengthString(32)) {
          if (static_cast<unsigned char>(c) < ' ') continue;  // keys of their own below
          s.user.type(std::string(1, c));
          textChanged(expected, (expected.allSelected ? std::string() : expected.text) + c, separator);
          expected.allSelected = false;
        }
        break;
      }
      case 1:
        s.user.pressKey(ui::kKeyReturn);
        enterPressed(expected, current->parameter(), separator);
        break;
      case 2:
        s.user.selectAll();
        expected.allSelected = true;
        break;
      case 3:
        s.user.pressKey(ui::kKeyBack);
        if (expected.allSelected || !expected.text.empty()) {
          textChanged(expected, expected.allSelected ? "" : expected.text.substr(0, expected.text.size() - 1),
                      separator);
        }
        expected.allSelected = false;
        break;
      case 4:  // the focus leaves: the text, already taken, is read once more
        s.user.pressKey(ui::kKeyTab);
        focusSpinner(s, *current);
        expected.allSelected = wholeTextSelected(*current);
        break;
      default:  // another spinner
        current = s.spinners[input.ConsumeIntegralInRange<std::size_t>(0, s.spinners.size() - 1)];
        focusSpinner(s, *current);
        expected = {current->edit().text(), current->Value(), wholeTextSelected(*current)};
        break;
    }
    FUZZ_CHECK(current->edit().text() == expected.text);
    FUZZ_CHECK(current->Value() == expected.value);
    checkSpinner(*current, separator);
  }
  // Leaving a spinner changes no other.
  for (const TGlideSpinner* spinner : s.spinners) checkSpinner(*spinner, separator);
  // No key in a spinner is an error shown to the user.
  FUZZ_CHECK(s.platform.messages.empty());
  return 0;
}

