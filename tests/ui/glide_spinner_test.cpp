#include "ui/glide_spinner.h"

#include <gtest/gtest.h>

#include "support/panel_fixture.h"
#include "ui/pictures.h"

namespace rillmark {
namespace {

using testing::PanelFixture;
using ui::Point;

TEST(SpinnerText, ShowsAtMostThreeDecimalsWithoutTrailingZeros) {
  const struct {
    float value;
    char separator;
    const char* text;
  } cases[] = {
      {0.06f, '.', "0.06"}, {50.0f, '.', "50"},      {0.0004f, '.', "0"},         {-0.0004f, '.', "0"},
      {0.1234f, '.', "0.123"}, {1.5f, ',', "1,5"},  {1000000.0f, '.', "1000000"}, {0.0f, '.', "0"},
  };
  for (const auto& c : cases) EXPECT_EQ(formatSpinnerText(c.value, c.separator), c.text) << c.value;
}

class GlideSpinner : public PanelFixture {
 protected:
  // A point of the spinner's arrow area, in the form's client area:
  // dx pixels left of its right edge.
  Point arrow(const TGlideSpinner* s, int dx) const {
    const Point origin = s->originInForm();
    return {origin.x + s->width() - dx, origin.y + 8};
  }
  void typeInto(const TGlideSpinner* s, const std::string& text) {
    click(&s->edit());
    user.selectAll();
    user.type(text);
  }
  const ui::headless::HeadlessControlPeer& peerOf(const ui::Control* c) const {
    return *static_cast<ui::headless::HeadlessControlPeer*>(c->peer());
  }
};

TEST_F(GlideSpinner, TypedNumbersAreTakenUnclampedAndEnterKeepsThem) {
  typeInto(panel->spinamp, "500");
  EXPECT_EQ(panel->Params.amplitude.Value(), 500.0f) << "each change of the text is read at once";
  user.pressKey(ui::kKeyReturn);
  EXPECT_EQ(panel->Params.amplitude.Value(), 500.0f) << "the setter finds the value equal: no clamping";
  EXPECT_EQ(panel->spinamp->edit().text(), "500");

  // Dragging afterwards goes through the setter, which clamps.
  for (int direction : {+1, -1}) {
    panel->Params.amplitude.setTypedValue(500.0f);
    user.press(*panel, arrow(panel->spinamp, 10));
    user.moveBy(direction * 42, 0);
    user.release();
    EXPECT_EQ(panel->Params.amplitude.Value(), 100.0f) << direction;
  }
}

// The box keeps what the user types, key by key: a trailing separator or a
// fourth decimal is not tidied away under the user's fingers.
TEST_F(GlideSpinner, TypedTextStaysAsTyped) {
  const struct {
    TGlideSpinner* TForm1::*spinner;
    const char* typed;
    float value;
  } cases[] = {
      {&TForm1::spinamp, "0.12345", 0.12345f},
      {&TForm1::spinlat, "7.", 7.0f},
      {&TForm1::spinvel, "123456789", 123456789.0f},
  };
  for (const auto& c : cases) {
    typeInto(panel->*c.spinner, c.typed);
    EXPECT_EQ((panel->*c.spinner)->edit().text(), c.typed);
    EXPECT_EQ((panel->*c.spinner)->Value(), c.value) << c.typed;
  }
}

TEST_F(GlideSpinner, TextThatIsNoNumberGivesWayToTheValue) {
  typeInto(panel->spinlat, "7");
  EXPECT_EQ(panel->Params.lifeSpan.Value(), 7.0f);
  user.selectAll();
  user.pressKey(ui::kKeyBack);
  EXPECT_EQ(panel->Params.lifeSpan.Value(), 7.0f) << "deleting the whole text leaves the value";
  EXPECT_EQ(panel->spinlat->edit().text(), "7");
  user.type("x");
  EXPECT_EQ(panel->spinlat->edit().text(), "7") << "a letter is refused at once";

  // The separator is the locale's: a comma locale reads "0,25".
  platform.separator = ',';
  typeInto(panel->spindecay, "0,25");
  EXPECT_EQ(panel->Params.decay.Value(), 0.25f);
  // Leaving the edit box reads it once more; an equal value changes nothing.
  user.pressKey(ui::kKeyTab);
  EXPECT_FALSE(panel->spindecay->edit().focused());
  EXPECT_EQ(panel->Params.decay.Value(), 0.25f);
}

TEST_F(GlideSpinner, RightClickRestoresTheDefault) {
  panel->Params.step.setValue(5.0f);
  panel->Params.timeScale.setValue(3.0f);
  // On the caption: the edit box is a control of its own.
  user.click(*panel, arrow(panel->spinstep, 60), ui::MouseButton::Right);
  // On the Wind tab, which has to be chosen first.
  user.click(*panel, {panel->PageControl1->tabRect(2).x + 5, 10});
  user.click(*panel, arrow(panel->spinnoisetimescale, 100), ui::MouseButton::Right);
  EXPECT_EQ(panel->Params.step.Value(), 2.0f);
  EXPECT_EQ(panel->Params.timeScale.Value(), 0.0f);
}

TEST_F(GlideSpinner, AClickOnAnArrowHalfStepsByTheIncrement) {
  const struct {
    TGlideSpinner* TForm1::*spinner;
    int dx;  // from the right edge
    float expected;
  } cases[] = {
      {&TForm1::spinlat, 3, 51.0f},   // right half: up
      {&TForm1::spinlat, 12, 50.0f},  // left half: down again
      {&TForm1::spinstart, 12, 0.0f},  // clamped at Min
      {&TForm1::spinstep, 6, 3.0f},   // Width - 6 is the right half already
  };
  for (const auto& c : cases) {
    TGlideSpinner* s = panel->*c.spinner;
    user.click(*panel, arrow(s, c.dx));
    EXPECT_EQ(s->Value(), c.expected) << s->name() << " at width - " << c.dx;
  }
  // Left of the arrow area a click starts nothing.
  user.click(*panel, arrow(panel->spinlat, 16));
  EXPECT_EQ(panel->spinlat->Value(), 50.0f);
}

TEST_F(GlideSpinner, DragStepsGrowWithSpeedWhileThePointerIsParked) {
  TGlideSpinner* s = panel->spinvel;
  const Point press = arrow(s, 10);
  user.press(*panel, press);
  const ScreenPoint parked = platform.cursor;
  EXPECT_FALSE(platform.cursorVisible());
  EXPECT_TRUE(s->dragging());
  EXPECT_STREQ(peerOf(s).lastPaint().back().picture, pictures::SpinArrowsPressed.resourceName);

  user.moveBy(42, 0);  // n = 2: six increments
  EXPECT_FLOAT_EQ(s->Value(), 0.75f + 6 * 0.01f);
  EXPECT_EQ(platform.cursor, parked) << "the pointer is put back after each step";
  user.moveBy(-21, 0);  // within Sens: nothing
  EXPECT_FLOAT_EQ(s->Value(), 0.81f);
  user.moveBy(-44, 0);  // 65 to the left of the press point: n = 3 down
  EXPECT_FLOAT_EQ(s->Value(), 0.81f - 19 * 0.01f);
  user.release();
  EXPECT_FLOAT_EQ(s->Value(), 0.62f) << "a moved press is no click";
  EXPECT_TRUE(platform.cursorVisible());
  EXPECT_EQ(platform.cursor, parked);
  EXPECT_FALSE(s->dragging());
  EXPECT_STREQ(peerOf(s).lastPaint().back().picture, pictures::SpinArrows.resourceName);

  // A slow drag: one increment for every Sens + 1 pixels.
  user.press(*panel, press);
  for (int i = 0; i < 3; ++i) user.moveBy(22, 0);
  user.release();
  EXPECT_FLOAT_EQ(s->Value(), 0.65f);

  // Moves within Sens change nothing, and the release does not step.
  user.press(*panel, press);
  user.moveBy(21, 0);
  user.moveBy(-21, 0);
  user.release();
  EXPECT_FLOAT_EQ(s->Value(), 0.65f);
}

TEST_F(GlideSpinner, HeightIsAlways17) {
  panel->spinamp->setBounds({54, 13, 112, 40});
  EXPECT_EQ(panel->spinamp->height(), 17);
}

}  // namespace
}  // namespace rillmark
