#include <algorithm>
#include <string>

#include "platform/files.h"
#include "scene/sprite_harness.h"

namespace kovan::testing {
namespace {

constexpr Rgb kOutline = MakeRgb(0, 0, 1);

// The wipe of a 280-pixel-wide sprite: 71 frames of 5 ms.
constexpr std::uint32_t kWipe280Ms = 71 * 5;

std::string Str(const std::string& key, const std::string& value) {
  return "\"" + key + "\":\"" + value + "\"";
}

// Only pure black lets the scene through: the (0,0,1) outlines are drawn.
TEST(DollChange, ShowsTheSpriteOnTheBottomEdgeOfItsSlotOverTheScene) {
  SpriteHarness h;
  h.messages->WakuOpen();
  const Surface scene = h.form->Pic_Main;
  const Surface picture = h.Picture("13.dat");
  ASSERT_EQ(picture.Height(), 420);
  ASSERT_GT(std::count(picture.Pixels().begin(), picture.Pixels().end(), kOutline), 0);

  EXPECT_EQ(h.Doll(1, 3, "R"), 2);

  const Surface& window = h.form->Doll_Disp[1];
  EXPECT_TRUE(window.shown);
  EXPECT_EQ(window.left, 350);
  EXPECT_EQ(window.top + window.Height() - 1, 479);
  EXPECT_TRUE(SameSurface(window, OverScene(picture, scene, 350, 60)));
  EXPECT_EQ(h.scene->ShownPose[0][1], 3);
  EXPECT_TRUE(h.form->SlotUsed[1]);
  // A sprite on the right or in the centre closes the message window.
  EXPECT_FALSE(h.form->Waku[0].shown);
  EXPECT_FALSE(h.form->Waku[3].shown);
  Surface shown;
  h.platform->stage().Compose(shown);
  EXPECT_TRUE(SameArea(shown, 350, 60, window, 0, 0, 280, 420));
  const auto events = h.Events("sprite");
  ASSERT_EQ(events.size(), 1u);
  EXPECT_NE(events[0].find("\"char\":1,\"pose\":3,\"slot\":1"), std::string::npos) << events[0];

  // One on the left leaves it open.
  h.messages->WakuOpen();
  h.Doll(3, 2, "L");
  EXPECT_EQ(h.form->Doll_Disp[0].left, 40);
  EXPECT_TRUE(h.form->Waku[0].shown);
}

TEST(DollChange, TheSameCharacterPoseAndSlotAgainRedrawsNothing) {
  SpriteHarness h;
  h.Doll(1, 3, "R");
  Surface& window = h.form->Doll_Disp[1];
  window.SetPoint(100, 100, MakeRgb(1, 2, 3));  // would go with any redraw
  const std::uint32_t before = h.platform->Ticks();

  EXPECT_EQ(h.Doll(1, 3, "R"), 2);

  EXPECT_EQ(window.Point(100, 100), MakeRgb(1, 2, 3));
  EXPECT_EQ(h.platform->Ticks(), before);
  EXPECT_EQ(h.Events("sprite").size(), 1u);
  EXPECT_TRUE(h.Events("erase").empty());

  // Another pose in the same slot replaces the sprite.
  h.scene->EffectCode = "DH";
  EXPECT_EQ(h.Doll(1, 1, "R"), 2);
  EXPECT_EQ(h.scene->ShownPose[0][1], 1);
  EXPECT_TRUE(SameSurface(h.form->Doll_Body[1], h.Picture("11.dat")));
  EXPECT_EQ(h.Events("erase").size(), 1u);
  EXPECT_EQ(h.Events("sprite").size(), 2u);
}

TEST(DollChange, MovingACharacterWipesTheOldSlotThenShowsTheNewOne) {
  SpriteHarness h;
  h.Doll(1, 1, "L");
  const Surface shownBefore = h.form->Doll_Disp[0];
  const Surface& saved = h.form->Doll_Back[0];
  h.scene->EffectCode = "VB";  // left by an earlier place change

  // Part way through the wipe the strips of the saved background have come
  // in from the left up to column 81 and from the right down to column 200;
  // the middle is still the sprite.
  const std::uint32_t start = h.platform->Ticks();
  Surface midWipe;
  h.Watch([&](std::uint32_t now) {
    if (now == start + 100) midWipe = h.form->Doll_Disp[0];
  });
  EXPECT_EQ(h.Doll(1, 1, "C"), 2);

  ASSERT_EQ(midWipe.Width(), 280);
  for (int x = 0; x < 280; ++x) {
    const bool wiped = (x < 82 || x >= 200) && x % 4 < 2;
    EXPECT_TRUE(SameArea(midWipe, x, 0, wiped ? saved : shownBefore, x, 0, 1, 420))
        << "column " << x;
  }
  EXPECT_NE(shownBefore.Pixels(), saved.Pixels());

  EXPECT_FALSE(h.form->Doll_Disp[0].shown);
  EXPECT_FALSE(h.form->SlotUsed[0]);
  EXPECT_EQ(h.scene->ShownPose[0][0], 0);
  EXPECT_TRUE(h.form->Doll_Disp[2].shown);
  EXPECT_EQ(h.form->Doll_Disp[2].left, 130);
  EXPECT_TRUE(h.form->SlotUsed[2]);
  EXPECT_EQ(h.scene->ShownPose[0][2], 1);

  const auto erased = h.Events("erase");
  ASSERT_EQ(erased.size(), 1u);
  EXPECT_NE(erased[0].find("\"char\":1,\"slot\":0," + Str("wipe", "VB")), std::string::npos);
  const auto erasedAt = h.Fields("erase", "t");
  const auto shownAt = h.Fields("sprite", "t");
  ASSERT_EQ(shownAt.size(), 2u);
  EXPECT_EQ(shownAt[1] - erasedAt[0], kWipe280Ms);
}

TEST(DollChange, ARemovalLineNamesTheWipeInItsText) {
  SpriteHarness h;
  h.Doll(1, 1, "L");
  h.Doll(3, 2, "R");

  std::uint32_t before = h.platform->Ticks();
  EXPECT_EQ(h.Doll(1, 0, "DH"), 2);
  EXPECT_EQ(h.platform->Ticks(), before);  // gone at once
  EXPECT_FALSE(h.form->Doll_Disp[0].shown);
  EXPECT_FALSE(h.form->SlotUsed[0]);
  EXPECT_EQ(h.scene->ShownPose[0][0], 0);
  EXPECT_EQ(h.scene->EffectCode, "DH");

  before = h.platform->Ticks();
  EXPECT_EQ(h.Doll(3, 0, "VB slowly"), 2);
  EXPECT_EQ(h.platform->Ticks() - before, kWipe280Ms);
  EXPECT_FALSE(h.form->Doll_Disp[1].shown);
  EXPECT_EQ(h.scene->ShownPose[2][1], 0);

  const auto erased = h.Events("erase");
  ASSERT_EQ(erased.size(), 2u);
  EXPECT_NE(erased[0].find("\"char\":1,\"slot\":0," + Str("wipe", "DH")), std::string::npos);
  EXPECT_NE(erased[1].find("\"char\":3,\"slot\":1," + Str("wipe", "VB slowly")), std::string::npos);

  // Removing a character that isn't there changes nothing but the code.
  before = h.platform->Ticks();
  EXPECT_EQ(h.Doll(3, 0, "HB"), 2);
  EXPECT_EQ(h.platform->Ticks(), before);
  EXPECT_EQ(h.Events("erase").size(), 2u);
  EXPECT_EQ(h.scene->EffectCode, "HB");
}

// The wipe takes 5 ms for every fourth column: half the width, rounded
// half to even, in steps of 2.
TEST(DollChange, TheWipeLastsAFrameForEveryFourColumns) {
  struct Case {
    int width;
    std::uint32_t frames;
  };
  TempDir dir;
  CopyDemoData(dir.path());
  for (const Case& c : {Case{283, 72}, Case{281, 71}, Case{280, 71}, Case{3, 2}, Case{1, 1}}) {
    SCOPED_TRACE("width " + std::to_string(c.width));
    ASSERT_TRUE(
        WriteFileBytes(dir.path() + "11.dat", EncodeBmp24(Surface(c.width, 50, kWhite))).ok());
    SpriteHarness h(dir.path());
    h.Doll(1, 1, "L");
    ASSERT_EQ(h.form->SlotW[0], c.width);
    const std::uint32_t before = h.platform->Ticks();
    h.Doll(1, 0, "VB");
    EXPECT_EQ(h.platform->Ticks() - before, c.frames * 5);
  }
}

TEST(DollChange, IgnoresLinesThatNameNoSlotOrNoCharacter) {
  SpriteHarness h;
  h.scene->EffectCode = "VB";
  for (const char* text : {"l", "LR", "", " L", "Left"}) {
    EXPECT_EQ(h.Doll(1, 1, text), 2) << text;
  }
  for (int character : {0, 9, 255}) {
    EXPECT_EQ(h.Doll(character, 1, "L"), 2) << character;
    EXPECT_EQ(h.Doll(character, 0, "DH"), 2) << character;
  }
  EXPECT_EQ(h.scene->EffectCode, "VB");
  EXPECT_TRUE(h.Events("sprite").empty());
  for (const Surface& window : h.form->Doll_Disp) EXPECT_FALSE(window.shown);
  for (bool used : h.form->SlotUsed) EXPECT_FALSE(used);
  for (const auto& row : h.scene->ShownPose) {
    for (std::int16_t pose : row) EXPECT_EQ(pose, 0);
  }
}

TEST(DollChange, ASpriteThatCannotBeLoadedLeavesTheSceneAsItWas) {
  TempDir dir;
  CopyDemoData(dir.path());
  SpriteHarness h(dir.path());
  h.Doll(1, 1, "L");
  const Surface before = h.form->Doll_Disp[0];
  ASSERT_TRUE(WriteFileBytes(dir.path() + "13.dat", {'J', 'F', 1, 2, 3, 4}).ok());
  ASSERT_TRUE(RemoveFile(dir.path() + "15.dat").ok());
  h.scene->EffectCode = "VB";

  EXPECT_EQ(h.Doll(1, 3, "L"), 2);  // broken
  EXPECT_EQ(h.Doll(1, 5, "R"), 2);  // missing

  const auto boxes = h.Events("msgbox");
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_NE(boxes[0].find("(321)"), std::string::npos) << boxes[0];
  EXPECT_NE(boxes[0].find("13.dat"), std::string::npos) << boxes[0];
  EXPECT_NE(boxes[1].find(MissingFileMessage(dir.path() + "15")), std::string::npos) << boxes[1];
  EXPECT_EQ(h.scene->ShownPose[0][0], 1);
  EXPECT_EQ(h.scene->ShownPose[0][1], 0);
  EXPECT_TRUE(h.form->SlotUsed[0]);
  EXPECT_FALSE(h.form->SlotUsed[1]);
  EXPECT_TRUE(h.form->Doll_Disp[0].shown);
  EXPECT_TRUE(SameSurface(h.form->Doll_Disp[0], before));
  EXPECT_TRUE(h.Events("erase").empty());

  // The story goes on.
  EXPECT_EQ(h.Doll(1, 7, "R"), 2);
  EXPECT_TRUE(h.form->Doll_Disp[1].shown);
  EXPECT_EQ(h.scene->ShownPose[0][1], 7);
  EXPECT_FALSE(h.form->Doll_Disp[0].shown);
}

// Three characters over a place, the message window open: the centre
// window lies over its neighbours, each shows the place (not the other
// sprites) through its transparent pixels, and the message window lies over
// them all.
TEST(DollChange, ThreeSpritesStackUnderTheMessageWindow) {
  SpriteHarness h(DemoDataDir(), "until keys\nkey Enter\n");
  const Surface place = h.Picture("p1.dat");
  BitBlt(h.form->Pic_Main, 0, 0, 640, 480, place, 0, 0, RasterOp::kSrcCopy);
  const Surface scene = h.form->Pic_Main;
  h.Doll(1, 1, "L");
  h.Doll(7, 2, "R");
  MaybeShot(*h.platform, "sprites_left_right.png");
  h.Doll(3, 2, "C");
  h.Say("三人がそろった。", 2, "【 Ａ 】");

  const MainForm& f = *h.form;
  EXPECT_TRUE(SameSurface(f.Doll_Disp[2], OverScene(h.Picture("32.dat"), scene, 130, 40)));
  EXPECT_TRUE(SameSurface(f.Doll_Disp[1], OverScene(h.Picture("72.dat"), scene, 350, 100)));
  Surface shown;
  h.platform->stage().Compose(shown);
  // Left alone, left under centre, centre over right, the window over all.
  EXPECT_EQ(shown.Point(60, 300), f.Doll_Disp[0].Point(20, 300 - f.SlotY[0]));
  EXPECT_EQ(shown.Point(200, 300), f.Doll_Disp[2].Point(70, 260));
  EXPECT_EQ(shown.Point(380, 300), f.Doll_Disp[2].Point(250, 260));
  EXPECT_EQ(shown.Point(560, 300), f.Doll_Disp[1].Point(210, 200));
  EXPECT_TRUE(SameArea(shown, 35, 360, f.Waku[0], 0, 0, 100, 108));
  MaybeShot(*h.platform, "sprites_over_place.png");
}

}  // namespace
}  // namespace kovan::testing
