// The characters in their three slots and their faces, as the player sees
// them: the pictures of the demo data over a patterned scene.
#include <gtest/gtest.h>

#include <string>

#include "engine/game_exit.h"
#include "platform/files.h"
#include "pixels.h"
#include "test_game.h"

namespace kovan::testing {
namespace {

// The wipe of a 280-pixel-wide sprite: 71 frames of 5 ms.
constexpr std::uint32_t kWipe280Ms = 71 * 5;

class SpriteGame : public TestGame {
 public:
  explicit SpriteGame(const GameSetup& setup = {}) : TestGame(setup) {
    BitBlt(form().Pic_Main, 0, 0, 640, 480, Pattern(640, 480, 1), 0, 0, RasterOp::kSrcCopy);
    form().Pic_Main.shown = true;
  }
  // A line whose sprite field is character and pose and whose text is text.
  int Doll(int character, int pose, const std::string& text) {
    state().DollNo = static_cast<std::uint8_t>(character);
    state().DollPose = static_cast<std::uint8_t>(pose);
    state().LineText = text;
    return scene().DollChange();
  }
  // A line with a face field for a character in a pose.
  int Face(int character, int pose, int face) {
    state().DollNo = static_cast<std::uint8_t>(character);
    state().DollPose = static_cast<std::uint8_t>(pose);
    state().FaceNo = static_cast<std::uint8_t>(face);
    return scene().FaceChange();
  }
};

// A sprite over a scene as the player should see it: the picture, and the
// scene wherever the picture is pure black.
Surface OverScene(const Surface& picture, const Surface& scene, int left, int top) {
  Surface out = picture;
  for (int y = 0; y < picture.Height(); ++y) {
    for (int x = 0; x < picture.Width(); ++x) {
      if (picture.Point(x, y) == kBlack) out.SetPoint(x, y, scene.Point(left + x, top + y));
    }
  }
  return out;
}

// Only pure black lets the scene through: the (0,0,1) outlines are drawn.
// A sprite stands on the bottom edge of its slot; one on the right or in
// the centre closes the message window.
TEST(DollChange, ShowsTheSpriteOnTheBottomEdgeOfItsSlotOverTheScene) {
  SpriteGame g;
  g.messages().WakuOpen();
  const Surface scene = g.form().Pic_Main;
  EXPECT_EQ(g.Doll(1, 3, "R"), 2);
  const Surface& window = g.form().Doll_Disp[1];
  EXPECT_EQ(std::vector<int>({window.left, window.top}), std::vector<int>({350, 60}));
  EXPECT_TRUE(SameSurface(window, OverScene(g.Picture("13.dat"), scene, 350, 60)));
  EXPECT_TRUE(SameArea(g.Screen(), 350, 60, window, 0, 0, 280, 420));
  EXPECT_EQ(g.scene().ShownPose[0][1], 3);
  EXPECT_FALSE(g.form().Waku[0].shown);
  EXPECT_NE(g.Trace().find("\"char\":1,\"pose\":3,\"slot\":1"), std::string::npos);

  g.messages().WakuOpen();
  g.Doll(3, 2, "L");
  EXPECT_EQ(g.form().Doll_Disp[0].left, 40);
  EXPECT_TRUE(g.form().Waku[0].shown);
  g.Doll(7, 2, "C");
  EXPECT_EQ(g.form().Doll_Disp[2].left, 130);
  EXPECT_FALSE(g.form().Waku[0].shown);
}

// Part way through the wipe the strips of the saved background have come
// in from the left up to column 81 and from the right down to column 200;
// the middle is still the sprite.
TEST(DollChange, MovingACharacterWipesTheOldSlotThenShowsTheNewOne) {
  SpriteGame g;
  g.Doll(1, 1, "L");
  const Surface shownBefore = g.form().Doll_Disp[0];
  const Surface& saved = g.form().Doll_Back[0];
  g.scene().EffectCode = "VB";  // left by an earlier place change
  const std::uint32_t start = g.platform().Ticks();
  Surface midWipe;
  g.Watch([&](std::uint32_t now) {
    if (now == start + 100) midWipe = g.form().Doll_Disp[0];
  });
  EXPECT_EQ(g.Doll(1, 1, "C"), 2);
  EXPECT_TRUE(Matches(midWipe, [&](int x, int y) {
    const bool wiped = (x < 82 || x >= 200) && x % 4 < 2;
    return (wiped ? saved : shownBefore).Point(x, y);
  }));
  EXPECT_FALSE(g.form().Doll_Disp[0].shown || g.form().SlotUsed[0]);
  EXPECT_EQ(g.scene().ShownPose[0][0], 0);
  EXPECT_TRUE(g.form().Doll_Disp[2].shown && g.form().SlotUsed[2]);
  EXPECT_EQ(g.scene().ShownPose[0][2], 1);
  EXPECT_EQ(g.Strings("erase", "wipe"), (std::vector<std::string>{"VB"}));
  EXPECT_EQ(g.Numbers("sprite", "t")[1] - g.Numbers("erase", "t")[0], kWipe280Ms);
}

// A removal line's text names the wipe ("DH": none); removing a character
// who isn't there changes nothing but the code.
TEST(DollChange, ARemovalLineNamesTheWipeInItsText) {
  SpriteGame g;
  g.Doll(1, 1, "L");
  g.Doll(3, 2, "R");
  for (const auto& [character, text, ms] : {std::tuple{1, "DH", 0u}, {3, "VB slowly", kWipe280Ms}}) {
    const std::uint32_t before = g.platform().Ticks();
    EXPECT_EQ(g.Doll(character, 0, text), 2);
    EXPECT_EQ(g.platform().Ticks() - before, ms) << text;
  }
  EXPECT_FALSE(g.form().Doll_Disp[0].shown || g.form().SlotUsed[0] || g.form().Doll_Disp[1].shown);
  EXPECT_EQ(g.scene().ShownPose[2][1], 0);
  EXPECT_EQ(g.Doll(3, 0, "HB"), 2);
  EXPECT_EQ(g.scene().EffectCode, "HB");
  EXPECT_EQ(g.Strings("erase", "wipe"), (std::vector<std::string>{"DH", "VB slowly"}));
  EXPECT_EQ(g.Numbers("erase", "slot"), (std::vector<std::int64_t>{0, 1}));
}

// A frame of 5 ms for every fourth column: half the width, rounded half to
// even, in steps of 2.
TEST(DollChange, TheWipeLastsAFrameForEveryFourColumns) {
  const struct {
    int pose, width;
    std::uint32_t frames;
  } cases[] = {{1, 283, 72}, {3, 281, 71}, {5, 3, 2}, {7, 1, 1}};
  SpriteGame g({.prepare = [&](const std::string& dir) {
    for (const auto& c : cases) {
      const std::string name = dir + "1" + std::to_string(c.pose) + ".dat";
      ASSERT_TRUE(WriteFileBytes(name, EncodeBmp24(Surface(c.width, 50, kWhite))).ok());
    }
  }});
  for (const auto& c : cases) {
    g.Doll(1, c.pose, "L");
    ASSERT_EQ(g.form().SlotW[0], c.width);
    const std::uint32_t before = g.platform().Ticks();
    g.Doll(1, 0, "VB");
    EXPECT_EQ(g.platform().Ticks() - before, c.frames * 5) << "width " << c.width;
  }
}

// The picture is read before anything changes: a broken or missing one is
// reported, the scene stays, and the story goes on.
TEST(DollChange, ASpriteThatCannotBeLoadedLeavesTheSceneAsItWas) {
  SpriteGame g;
  g.Doll(1, 1, "L");
  const Surface before = g.form().Doll_Disp[0];
  ASSERT_TRUE(WriteFileBytes(g.dir() + "13.dat", {'J', 'F', 1, 2, 3, 4}).ok());
  ASSERT_TRUE(RemoveFile(g.dir() + "15.dat").ok());
  EXPECT_EQ(g.Doll(1, 3, "L"), 2);
  EXPECT_EQ(g.Doll(1, 5, "R"), 2);
  const auto boxes = g.Strings("msgbox", "text");
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].rfind("実行に必要なﾌｧｲﾙが異常です.(321)\\n" + g.dir() + "13.dat", 0), 0u);
  EXPECT_EQ(boxes[1], MissingFileMessage(g.dir() + "15"));
  EXPECT_TRUE(SameSurface(g.form().Doll_Disp[0], before));
  EXPECT_EQ(g.form().SlotUsed, (std::array<bool, 3>{true, false, false}));
  EXPECT_TRUE(g.Events("erase").empty());
}

// Three characters over a place, the message window open: the centre
// window lies over its neighbours, each shows the place (not the other
// sprites) through its transparent pixels, and the message window lies
// over them all.
TEST(DollChange, ThreeSpritesStackUnderTheMessageWindow) {
  SpriteGame g({.input = "until keys\nkey Enter\n"});
  BitBlt(g.form().Pic_Main, 0, 0, 640, 480, g.Picture("p1.dat"), 0, 0, RasterOp::kSrcCopy);
  const Surface scene = g.form().Pic_Main;
  g.Doll(1, 1, "L");
  g.Doll(7, 2, "R");
  g.Doll(3, 2, "C");
  g.Say("三人がそろった。", 2, "【 Ａ 】");
  const MainForm& f = g.form();
  EXPECT_TRUE(SameSurface(f.Doll_Disp[2], OverScene(g.Picture("32.dat"), scene, 130, 40)));
  const Surface shown = g.Screen();
  MaybeShot(shown, "sprites_over_place.png");
  EXPECT_EQ(shown.Point(60, 300), f.Doll_Disp[0].Point(20, 300 - f.SlotY[0]));
  EXPECT_EQ(shown.Point(200, 300), f.Doll_Disp[2].Point(70, 260));
  EXPECT_EQ(shown.Point(380, 300), f.Doll_Disp[2].Point(250, 260));
  EXPECT_EQ(shown.Point(560, 300), f.Doll_Disp[1].Point(210, 200));
  EXPECT_TRUE(SameArea(shown, 35, 360, f.Waku[0], 0, 0, 100, 108));
}

// Where a face lies in its character's picture and in the face sheet.
struct FaceSpot {
  int character, pose;
  int x1, y1, w, h, sheetX;
};

// The window with face n of the sheet painted over it (the sheet's black
// pixels let the window through).
Surface WithFace(const Surface& window, const Surface& sheet, const FaceSpot& spot, int n) {
  Surface out = window;
  for (int y = 0; y < spot.h; ++y) {
    for (int x = 0; x < spot.w; ++x) {
      const Rgb face = sheet.Point(spot.sheetX + x, (n - 1) * spot.h + y);
      if (face != kBlack) out.SetPoint(spot.x1 + x, spot.y1 + y, face);
    }
  }
  return out;
}

// Skipping, the face changes in one step; poses without a column of their
// own take the first.
TEST(FaceChange, EachCharacterAndPoseTakesItsColumnOfTheSheet) {
  const FaceSpot spots[] = {
      {1, 1, 130, 90, 135, 120, 0},   {1, 3, 130, 90, 135, 120, 135},
      {3, 2, 120, 100, 140, 120, 270}, {1, 5, 65, 75, 105, 85, 410},
      {1, 7, 65, 75, 105, 85, 515},   {7, 2, 130, 90, 135, 120, 0},
  };
  SpriteGame g({.msgMode = 0});
  const Surface sheet = g.Picture("60.dat");
  for (const FaceSpot& spot : spots) {
    SCOPED_TRACE("sprite " + std::to_string(spot.character * 10 + spot.pose));
    g.Doll(spot.character, spot.pose, "L");
    const Surface before = g.form().Doll_Disp[0];
    const std::uint32_t start = g.platform().Ticks();
    EXPECT_EQ(g.Face(spot.character, spot.pose, 3), 0);
    EXPECT_EQ(g.platform().Ticks(), start);
    EXPECT_TRUE(SameSurface(g.form().Doll_Disp[0], WithFace(before, sheet, spot, 3)));
    EXPECT_FALSE(SameSurface(g.form().Doll_Disp[0], before));
    g.Doll(spot.character, 0, "DH");
  }
  EXPECT_EQ(g.Numbers("face", "face"), std::vector<std::int64_t>(std::size(spots), 3));
}

// In any other mode the face dissolves in through nine stages of 50 ms,
// the mesh cells counted from the face's top-left corner.
TEST(FaceChange, DissolvesThroughTheMeshStages) {
  SpriteGame g({.msgMode = 1});
  g.Doll(1, 1, "C");
  const FaceSpot spot{1, 1, 130, 90, 135, 120, 0};
  // A face that differs from the sprite in every pixel.
  g.form().Face_Load.FillBox(0, spot.h, spot.w, 2 * spot.h, MakeRgb(10, 200, 30));
  const Surface before = g.form().Doll_Disp[2];
  const Surface after = WithFace(before, g.form().Face_Load, spot, 2);
  const std::uint32_t start = g.platform().Ticks();
  std::vector<Surface> stages;
  g.Watch([&](std::uint32_t now) {
    if (now > start && (now - start) % 50 == 0) stages.push_back(g.form().Doll_Disp[2]);
  });
  EXPECT_EQ(g.Face(1, 1, 2), 0);
  EXPECT_EQ(g.platform().Ticks() - start, 450u);
  ASSERT_EQ(stages.size(), 9u);
  for (int k = 0; k < 9; ++k) {
    EXPECT_TRUE(Matches(stages[k], [&](int x, int y) {
      const bool face = x >= spot.x1 && y >= spot.y1 && x < spot.x1 + spot.w && y < spot.y1 + spot.h;
      const bool keep = !face || MeshKeeps(k, x - spot.x1, y - spot.y1);
      return (keep ? before : after).Point(x, y);
    })) << "stage " << k;
  }
  EXPECT_TRUE(SameSurface(g.form().Doll_Disp[2], after));
}

// A face for a character not on screen in that pose ends the game; a face
// of no character or below 1 is no face, and one past the sheet paints
// nothing.
TEST(FaceChange, LinesNamingNoFaceOnScreen) {
  SpriteGame g;
  g.Doll(1, 1, "L");
  const Surface before = g.form().Doll_Disp[0];
  for (const auto& [character, pose, face] :
       {std::tuple{0, 1, 2}, {9, 1, 2}, {1, 1, 0}, {1, 1, 255}}) {
    EXPECT_EQ(g.Face(character, pose, face), 0);
  }
  EXPECT_TRUE(SameSurface(g.form().Doll_Disp[0], before));
  EXPECT_TRUE(g.Events("msgbox").empty());
  for (const auto& [character, pose] : {std::pair{1, 3}, {2, 1}}) {
    EXPECT_THROW(g.Face(character, pose, 2), GameExit);
  }
  EXPECT_EQ(g.Strings("msgbox", "text"),
            std::vector<std::string>(2, "0 doll but face change?"));
}

}  // namespace
}  // namespace kovan::testing
