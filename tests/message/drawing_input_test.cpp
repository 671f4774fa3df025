// The player's input reaches the game while a message or a caption is
// still being drawn, as in every other wait: closing the window ends the
// game at once, and skipping chosen mid-line finishes the line at once.
#include <gtest/gtest.h>

#include "message_harness.h"

namespace kovan::testing {
namespace {

struct Interruption {
  const char* name;
  const char* script;
  bool caption;             // drawn as a caption rather than in the window
  std::uint32_t handledAt;  // game time when the input took effect
};

void PrintTo(const Interruption& c, std::ostream* out) { *out << c.name; }

class InputWhileDrawing : public ::testing::TestWithParam<Interruption> {};

// Characters come every 40 ms (60 ms in a caption), and the script's wait
// starts at the first event delivery (0 for a message, after the first
// character of a caption): the close is handled at the next character,
// long before the 30 characters are all drawn (1200 or 1800 ms).
TEST_P(InputWhileDrawing, ClosingEndsTheGameMidLine) {
  const Interruption& c = GetParam();
  MessageHarness h(c.script);
  h.state.MsgMode = 3;
  if (c.caption) {
    h.state.CaptionX = 1;
    h.state.CaptionY = 100;
  }
  EXPECT_THROW(h.Say(Chars(30)), std::runtime_error);
  EXPECT_EQ(h.platform->Ticks(), c.handledAt);
  EXPECT_FALSE(h.form->MsgBusy);
}

INSTANTIATE_TEST_SUITE_P(
    Closes, InputWhileDrawing,
    ::testing::Values(Interruption{"Message", "wait 100\nquit\n", false, 120},
                      Interruption{"Caption", "wait 100\nquit\n", true, 180}),
    [](const ::testing::TestParamInfo<Interruption>& info) { return std::string(info.param.name); });

// Skipping chosen 300 ms into a line of 30 characters takes effect at the
// next character: the rest of the line appears at once, each character in
// the cell it would have had, and no wait follows.
TEST(InputWhileDrawing, SkipChosenMidLineFinishesTheLineAtOnce) {
  MessageHarness skipped("wait 300\nmenu speedup\n");
  skipped.EnableSkipItem();
  skipped.state.MsgMode = 3;
  skipped.Say(Chars(30));
  EXPECT_EQ(skipped.platform->Ticks(), 320u);
  EXPECT_EQ(skipped.state.MsgMode, 0);
  EXPECT_TRUE(skipped.Events("wait").empty());

  MessageHarness whole("until keys\nkey Enter\n");
  whole.state.MsgMode = 3;
  whole.Say(Chars(30));
  EXPECT_EQ(whole.Fields("wait", "t"), (std::vector<long long>{1200}));
  EXPECT_TRUE(skipped.form->Waku[0].Pixels() == whole.form->Waku[0].Pixels());
}

}  // namespace
}  // namespace kovan::testing
