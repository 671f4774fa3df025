// The player's input reaches the game while a message or a caption is
// still being drawn, as in every other wait: closing the window ends the
// game at once, and skipping chosen mid-line finishes the line at once.
#include <gtest/gtest.h>

#include "message_harness.h"

namespace kovan::testing {
namespace {

// Characters come every 40 ms (60 ms in a caption), and the script's wait
// starts at the first event delivery (0 for a message, after the first
// character of a caption): the close is handled at the next character,
// long before the 30 characters are all drawn (1200 or 1800 ms).
TEST(InputWhileDrawing, ClosingEndsTheGameMidLine) {
  for (const bool caption : {false, true}) {
    MessageHarness h("wait 100\nquit\n");
    h.state.MsgMode = 3;
    h.state.CaptionX = caption ? 1 : 0;
    h.state.CaptionY = 100;
    EXPECT_THROW(h.Say(Chars(30)), std::runtime_error);
    EXPECT_EQ(h.platform->Ticks(), caption ? 180u : 120u);
    EXPECT_FALSE(h.form->MsgBusy);
  }
}

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
