#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/game_exit.h"
#include "scene/sprite_harness.h"

namespace kovan::testing {
namespace {

// Where a character's face lies in its picture and in the face sheet.
struct FaceSpot {
  int character, pose;
  int x1, y1, w, h, sheetX;
  bool ownColumn;  // face 1 of the column is the sprite's own face
};

constexpr FaceSpot kFirstColumn{1, 1, 130, 90, 135, 120, 0, true};

// The sprite window with face n of the sheet painted over it (the sheet's
// black pixels let the window through).
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

// The keep patterns of the nine dissolve stages: one 8 x 8 tile each, a
// byte a row, the leftmost pixel in the high bit, 1 = the old face stays.
constexpr std::array<std::array<std::uint8_t, 8>, 9> kKeepTiles = {{
    {0x77, 0xFF, 0xDF, 0xFF, 0x77, 0xFF, 0xFD, 0xFF},
    {0x55, 0xFF, 0x5D, 0xFF, 0x55, 0xFF, 0xDD, 0xFF},
    {0x55, 0xBB, 0x55, 0xFF, 0x55, 0xFF, 0x55, 0xFF},
    {0x55, 0xAB, 0x55, 0xEE, 0x55, 0xBA, 0x55, 0xEE},
    {0x11, 0xAA, 0x44, 0xAA, 0x11, 0xAA, 0x54, 0xAA},
    {0x00, 0xAA, 0x04, 0xAA, 0x00, 0xAA, 0x44, 0xAA},
    {0x00, 0x22, 0x00, 0xAA, 0x00, 0x22, 0x00, 0xAA},
    {0x00, 0x02, 0x00, 0x88, 0x00, 0x20, 0x00, 0x88},
    {0x00, 0x00, 0x00, 0x08, 0x00, 0x00, 0x00, 0x88},
}};

bool Keeps(int stage, int x, int y) { return (kKeepTiles[stage][y % 8] >> (7 - x % 8)) & 1; }

TEST(FaceChange, PaintsTheFaceFromTheSheetInOneStepWhenSkipping) {
  SpriteHarness h;
  h.Doll(1, 1, "L");
  h.state.MsgMode = 0;
  const Surface before = h.form->Doll_Disp[0];
  const Surface expected = WithFace(before, h.Picture("60.dat"), kFirstColumn, 2);
  ASSERT_FALSE(SameSurface(before, expected));
  const std::uint32_t start = h.platform->Ticks();

  EXPECT_EQ(h.Face(1, 1, 2), 0);

  EXPECT_EQ(h.platform->Ticks(), start);
  EXPECT_TRUE(SameSurface(h.form->Doll_Disp[0], expected));
  // Only the window changes: the picture and the table stay.
  EXPECT_TRUE(SameSurface(h.form->Doll_Body[0], h.Picture("11.dat")));
  EXPECT_EQ(h.scene->ShownPose[0][0], 1);
  const auto faces = h.Events("face");
  ASSERT_EQ(faces.size(), 1u);
  EXPECT_NE(faces[0].find("\"char\":1,\"face\":2"), std::string::npos) << faces[0];
}

TEST(FaceChange, EachCharacterAndPoseTakesItsColumnOfTheSheet) {
  const std::vector<FaceSpot> spots = {
      kFirstColumn,
      {1, 3, 130, 90, 135, 120, 135, true},
      {3, 2, 120, 100, 140, 120, 270, true},
      {1, 5, 65, 75, 105, 85, 410, true},
      {1, 7, 65, 75, 105, 85, 515, true},
      {3, 6, 130, 90, 135, 120, 0, false},  // poses without a column take the first
      {7, 2, 130, 90, 135, 120, 0, false},
  };
  SpriteHarness h;
  h.state.MsgMode = 0;
  const Surface sheet = h.Picture("60.dat");
  for (const FaceSpot& spot : spots) {
    SCOPED_TRACE("sprite " + std::to_string(spot.character * 10 + spot.pose));
    h.Doll(spot.character, spot.pose, "L");
    const Surface& window = h.form->Doll_Disp[0];
    const Surface before = window;
    if (spot.ownColumn) {
      h.Face(spot.character, spot.pose, 1);
      EXPECT_TRUE(SameSurface(window, before));
    }
    h.Face(spot.character, spot.pose, 3);
    EXPECT_TRUE(SameSurface(window, WithFace(before, sheet, spot, 3)));
    EXPECT_FALSE(SameSurface(window, before));
    h.scene->EffectCode = "DH";
    h.Doll(spot.character, 0, "DH");
  }
}

// With any other message mode the new face dissolves in through nine
// stages of 50 ms, the mesh cells counted from the face's top-left corner.
TEST(FaceChange, DissolvesThroughTheMeshStages) {
  SpriteHarness h;
  h.Doll(1, 1, "C");
  h.state.MsgMode = 1;
  // A face that differs from the sprite in every pixel.
  const FaceSpot& spot = kFirstColumn;
  h.form->Face_Load.FillBox(0, spot.h, spot.w, 2 * spot.h, MakeRgb(10, 200, 30));
  h.form->Face_Mask.FillBox(0, spot.h, spot.w, 2 * spot.h, kBlack);
  const Surface before = h.form->Doll_Disp[2];
  const Surface after = WithFace(before, h.form->Face_Load, spot, 2);
  const std::uint32_t start = h.platform->Ticks();
  std::vector<Surface> stages(9);
  h.Watch([&](std::uint32_t now) {
    const std::uint32_t since = now - start;
    if (since % 50 == 0 && since >= 50 && since <= 450)
      stages[since / 50 - 1] = h.form->Doll_Disp[2];
  });

  EXPECT_EQ(h.Face(1, 1, 2), 0);

  EXPECT_EQ(h.platform->Ticks() - start, 450u);
  EXPECT_TRUE(SameSurface(h.form->Doll_Disp[2], after));
  for (int k = 0; k < 9; ++k) {
    SCOPED_TRACE("stage " + std::to_string(k));
    Surface expected = before;
    for (int y = 0; y < spot.h; ++y) {
      for (int x = 0; x < spot.w; ++x) {
        const int wx = spot.x1 + x, wy = spot.y1 + y;
        expected.SetPoint(wx, wy, Keeps(k, x, y) ? before.Point(wx, wy) : after.Point(wx, wy));
      }
    }
    EXPECT_TRUE(SameSurface(stages[k], expected));
  }
}

TEST(FaceChange, AFaceForACharacterNotOnScreenEndsTheGame) {
  SpriteHarness h;
  h.Doll(1, 1, "L");
  // Character 1 in another pose, and character 2, who isn't there at all.
  for (int code : {13, 21}) {
    bool ended = false;
    try {
      h.Face(code / 10, code % 10, 2);
    } catch (const GameExit& exit) {
      ended = true;
      EXPECT_EQ(exit.reason, "data");
      EXPECT_EQ(exit.exitCode, 1);
    }
    EXPECT_TRUE(ended) << code;
  }
  const auto boxes = h.Events("msgbox");
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_NE(boxes[0].find("\"0 doll but face change?\""), std::string::npos) << boxes[0];
  EXPECT_TRUE(h.Events("face").empty());
}

TEST(FaceChange, IgnoresFacesOfNoCharacterAndFacesBelowOne) {
  SpriteHarness h;
  h.Doll(1, 1, "L");
  const Surface before = h.form->Doll_Disp[0];
  EXPECT_EQ(h.Face(0, 1, 2), 0);
  EXPECT_EQ(h.Face(9, 1, 2), 0);
  EXPECT_EQ(h.Face(255, 1, 2), 0);
  EXPECT_EQ(h.Face(1, 1, 0), 0);
  EXPECT_TRUE(h.Events("msgbox").empty());
  EXPECT_TRUE(h.Events("face").empty());
  // A face past the end of the sheet has nothing to paint.
  EXPECT_EQ(h.Face(1, 1, 255), 0);
  EXPECT_TRUE(SameSurface(h.form->Doll_Disp[0], before));
}

}  // namespace
}  // namespace kovan::testing
