#include <array>
#include <cstdint>
#include <string>

#include "engine/game_exit.h"
#include "platform/files.h"
#include "scene/sprite_harness.h"

namespace kovan::testing {
namespace {

// The opening's game time before the scroll: each logo fades in for 2 s,
// then 2 s and 3 s of pause, then nine dissolve stages of 200 ms.
constexpr std::uint32_t kLogosMs = 2000 + 2000 + 2000 + 3000;
constexpr std::uint32_t kDissolveStageMs = 200;
constexpr std::uint32_t kBeforeScrollMs = kLogosMs + 9 * kDissolveStageMs;
constexpr std::uint32_t kScrollFrameMs = 50;

// An opening picture of the given height whose neighbouring rows differ.
void WriteOpeningPicture(const std::string& dir, int height) {
  Surface picture(640, height);
  for (int y = 0; y < height; ++y) {
    const Rgb row = y % 2 == 0 ? MakeRgb(240, 40 + y % 150, 20) : MakeRgb(20, 60, 250 - y % 150);
    picture.FillBox(0, y, 640, y + 1, row);
  }
  ASSERT_TRUE(WriteFileBytes(dir + "p11.dat", EncodeJpeg(picture, 95)).ok());
}

std::uint32_t PlayOpening(SpriteHarness& h) {
  const std::uint32_t start = h.platform->Ticks();
  h.scene->OpeningDisp();
  return h.platform->Ticks() - start;
}

// The scroll goes 2 rows a frame from the bottom screenful while the top
// row is in the picture: an odd range ends one row below the top, a
// picture no taller than the screen scrolls one frame or none.
TEST(OpeningDisp, ScrollsFromTheBottomScreenfulUpToTheTop) {
  struct Case {
    int height;
    int frames;
    int lastRow;
  };
  for (const Case& c : {Case{960, 241, 0}, Case{961, 241, 1}, Case{962, 242, 0}, Case{480, 1, 0},
                        Case{400, 0, -1}}) {
    SCOPED_TRACE("height " + std::to_string(c.height));
    TempDir dir;
    CopyDemoData(dir.path());
    WriteOpeningPicture(dir.path(), c.height);
    SpriteHarness h(dir.path());

    EXPECT_EQ(PlayOpening(h), kBeforeScrollMs + c.frames * kScrollFrameMs);

    const Surface& picture = h.form->Place_Load;
    ASSERT_EQ(picture.Height(), c.height);
    if (c.lastRow < 0) continue;
    ASSERT_NE(picture.Point(5, 0), picture.Point(5, 1));
    EXPECT_TRUE(SameArea(h.form->Pic_Main, 0, 0, picture, 0, c.lastRow, 640, 480));
  }
}

// Clicks, Enter and Space don't shorten it.
TEST(OpeningDisp, TheWholeOpeningPlaysWhateverThePlayerDoes) {
  SpriteHarness h(DemoDataDir(),
                  "wait 500\nclick 320 240\nkey Enter\nwait 3000\nclick 100 100\nkey Space\n"
                  "wait 6000\nclick 300 300\nrclick 300 300\nkey Enter\nwait 3000\n"
                  "click 10 10\nkey Space\n");
  EXPECT_EQ(PlayOpening(h), kBeforeScrollMs + 241 * kScrollFrameMs);
  EXPECT_TRUE(h.form->Pic_Main.shown);
  EXPECT_TRUE(SameArea(h.form->Pic_Main, 0, 0, h.form->Place_Load, 0, 0, 640, 480));
}

// Stage k keeps the screen before the dissolve where keep tile k is white
// and shows the picture's bottom screenful elsewhere; the tiles follow the
// screen's grid.
TEST(OpeningDisp, DissolvesIntoTheBottomScreenful) {
  constexpr std::array<std::uint8_t, 8> kFirstKeep = {0x77, 0xFF, 0xDF, 0xFF,
                                                      0x77, 0xFF, 0xFD, 0xFF};
  constexpr std::array<std::uint8_t, 8> kLastKeep = {0x00, 0x00, 0x00, 0x08,
                                                     0x00, 0x00, 0x00, 0x88};
  SpriteHarness h;
  Surface logos, first, last;
  h.Watch([&](std::uint32_t now) {
    if (now == 3000) MaybeShot(*h.platform, "opening_logo.png");
    if (now == kLogosMs - 100) logos = h.form->Pic_Main;  // the last pause's last round
    if (now == kLogosMs + kDissolveStageMs) first = h.form->Pic_Main;
    if (now == kLogosMs + 5 * kDissolveStageMs) MaybeShot(*h.platform, "opening_dissolve.png");
    if (now == kBeforeScrollMs) last = h.form->Pic_Main;
    if (now == kBeforeScrollMs + 120 * kScrollFrameMs) {
      MaybeShot(*h.platform, "opening_scroll.png");
    }
  });
  PlayOpening(h);

  ASSERT_EQ(logos.Width(), 640);
  // The second logo, centred on white.
  EXPECT_EQ(logos.Point(10, 10), kWhite);
  EXPECT_NE(logos.Point(320, 240), kWhite);
  const Surface& picture = h.form->Place_Load;
  const int range = picture.Height() - 480;
  for (const auto& [keep, screen] : {std::pair{kFirstKeep, &first}, std::pair{kLastKeep, &last}}) {
    ASSERT_EQ(screen->Width(), 640);
    int wrong = 0;
    for (int y = 0; y < 480; ++y) {
      for (int x = 0; x < 640; ++x) {
        const bool old = (keep[y % 8] >> (7 - x % 8)) & 1;
        const Rgb expected = old ? logos.Point(x, y) : picture.Point(x, range + y);
        wrong += screen->Point(x, y) == expected ? 0 : 1;
      }
    }
    EXPECT_EQ(wrong, 0);
  }
}

TEST(OpeningDisp, AnOpeningPictureThatCannotBeLoadedEndsTheGame) {
  for (const char* broken : {"P98", "p11"}) {
    SCOPED_TRACE(broken);
    TempDir dir;
    CopyDemoData(dir.path());
    const bool missing = std::string(broken) == "P98";
    if (missing) {
      ASSERT_TRUE(RemoveFile(dir.path() + "P98.dat").ok());
    } else {
      ASSERT_TRUE(WriteFileBytes(dir.path() + "p11.dat", {0xFF, 0xD8, 0xFF, 0x00}).ok());
    }
    SpriteHarness h(dir.path());
    bool ended = false;
    try {
      PlayOpening(h);
    } catch (const GameExit& exit) {
      ended = true;
      EXPECT_EQ(exit.reason, "data");
      EXPECT_EQ(exit.exitCode, 1);
    }
    EXPECT_TRUE(ended);
    const auto boxes = h.Events("msgbox");
    ASSERT_EQ(boxes.size(), 1u);
    const std::string expected = missing ? MissingFileMessage(dir.path() + "P98") : "p11.dat";
    EXPECT_NE(boxes[0].find(expected), std::string::npos) << boxes[0];
  }
}

}  // namespace
}  // namespace kovan::testing
