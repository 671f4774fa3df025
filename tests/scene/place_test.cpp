#include "platform/files.h"
#include "platform/pictures.h"
#include "scene/scene_harness.h"

namespace kovan::testing {
namespace {

constexpr int kW = 640;
constexpr int kH = 480;

// Pixels of the screen that differ from the same place of a picture (black
// where the picture doesn't reach).
int DiffersFrom(const Surface& screen, const Surface& picture) {
  int n = 0;
  for (int y = 0; y < kH; ++y) {
    for (int x = 0; x < kW; ++x) n += screen.Point(x, y) == picture.Point(x, y) ? 0 : 1;
  }
  return n;
}

Surface Picture(const DataFiles& data, const std::string& name) {
  Result<Surface> picture = data.LoadPicture(name);
  EXPECT_TRUE(picture.ok()) << (picture.ok() ? "" : picture.error());
  return picture.ok() ? std::move(picture.value()) : Surface();
}

// A scene with a message on screen, the marker blinking and every row of
// the sprite table taken.
void FillTheScene(SceneHarness& h) {
  Paint(h.form->Pic_Main, OldPixel);
  h.form->Waku[0].shown = true;
  h.form->Waku[3].shown = true;
  h.form->Blinker.shown = true;
  h.form->LastSpeaker = 3;
  h.state.LineNo = 2;
  for (auto& row : h.scene->ShownPose) row.fill(1);
  h.form->SlotUsed.fill(true);
}

// A character window in a slot, drawn in one colour with a black frame.
void StandInSlot(SceneHarness& h, int slot, int x, int y, int w, int height, Rgb colour) {
  MainForm& f = *h.form;
  Surface& doll = f.Doll_Disp[slot];
  doll.Resize(w, height);
  doll.FillBox(2, 2, w - 2, height - 2, colour);
  doll.left = f.SlotX[slot] = static_cast<std::int16_t>(x);
  doll.top = f.SlotY[slot] = static_cast<std::int16_t>(y);
  f.SlotW[slot] = static_cast<std::int16_t>(w);
  f.SlotH[slot] = static_cast<std::int16_t>(height);
  doll.shown = true;
}

TEST(PlaceChange, ShowsThePlaceWithTheLinesCodeAndClearsTheScene) {
  SceneHarness h;
  FillTheScene(h);
  h.state.PlaceNo = 11;
  h.state.LineText = "MSから始まる台詞";
  h.platform.clock = 700;
  EXPECT_EQ(h.scene->PlaceChange(), 2);

  // Place 11 is the tall picture: its top screenful shows.
  const Surface expected = Picture(h.data, "p11.dat");
  EXPECT_EQ(h.form->Place_Load.Height(), 960);
  EXPECT_EQ(DiffersFrom(h.form->Pic_Main, expected), 0);
  EXPECT_EQ(CountPixels(h.form->Pic_Back, kBlack), kW * kH);

  const std::vector<std::string> events = h.Events("place");
  ASSERT_EQ(events.size(), 1u);
  EXPECT_NE(events[0].find("\"effect\":\"MS\""), std::string::npos) << events[0];
  EXPECT_EQ(SceneHarness::Field(events[0], "no"), 11);
  EXPECT_EQ(SceneHarness::Field(events[0], "t"), 700);
  EXPECT_EQ(SceneHarness::Field(events[0], "ms"), 810);

  EXPECT_FALSE(h.form->Waku[0].shown);
  EXPECT_FALSE(h.form->Waku[3].shown);
  EXPECT_FALSE(h.form->Blinker.shown);
  EXPECT_EQ(h.form->LastSpeaker, -1);
  EXPECT_EQ(h.state.LineNo, 0);
  for (int c = 0; c < 7; ++c) {
    for (int s = 0; s < 3; ++s) EXPECT_EQ(h.scene->ShownPose[c][s], 0) << c << "," << s;
  }
  for (int s = 0; s < 3; ++s) EXPECT_EQ(h.scene->ShownPose[7][s], 1) << "row 7 stays";
  for (bool used : h.form->SlotUsed) EXPECT_FALSE(used);
}

TEST(PlaceChange, TheCodeIsTheTextsFirstTwoCharacters) {
  SceneHarness h;
  const std::pair<const char*, const char*> cases[] = {{"D", "D"}, {"", ""}, {"あいう", "あい"}};
  for (const auto& [text, code] : cases) {
    h.state.PlaceNo = static_cast<std::int16_t>(h.state.PlaceNo + 1);
    h.state.LineText = text;
    h.scene->PlaceChange();
    EXPECT_EQ(h.scene->EffectCode, code);
  }
  const std::vector<std::string> events = h.Events("place");
  ASSERT_EQ(events.size(), 3u);
  EXPECT_NE(events[2].find("\"effect\":\"あい\""), std::string::npos) << events[2];
}

TEST(PlaceChange, CharactersLeaveWithTheOldPicture) {
  SceneHarness h;
  Paint(h.form->Pic_Main, OldPixel);
  StandInSlot(h, 0, 40, 100, 100, 200, MakeRgb(250, 0, 0));
  StandInSlot(h, 1, 350, 80, 120, 250, MakeRgb(0, 250, 0));
  Surface before;
  h.platform.stage().Compose(before);
  const Surface place = Picture(h.data, "p5.dat");

  // What the player sees at every refresh: the old scene with both
  // characters until the blinds have reached a column, the place after.
  int refresh = 0;
  int wrong = 0;
  bool dollShownInTransition = false;
  h.platform.onPresent = [&] {
    Surface seen;
    h.platform.stage().Compose(seen);
    const int frame = refresh++ - 2;  // two refreshes fold the characters in
    if (frame >= 0) {
      dollShownInTransition |= h.form->Doll_Disp[0].shown || h.form->Doll_Disp[1].shown;
    }
    for (int y = 0; y < kH; ++y) {
      for (int x = 0; x < kW; ++x) {
        const Rgb want = x % 50 <= frame ? place.Point(x, y) : before.Point(x, y);
        wrong += seen.Point(x, y) == want ? 0 : 1;
      }
    }
  };
  h.state.PlaceNo = 5;
  h.state.LineText = "DI";
  h.platform.clock = 1000;
  h.platform.drawMs = 4;
  h.scene->PlaceChange();

  EXPECT_EQ(refresh, 2 + 50);
  EXPECT_EQ(wrong, 0);
  EXPECT_FALSE(dollShownInTransition);
  EXPECT_FALSE(h.form->Doll_Disp[0].shown);
  EXPECT_FALSE(h.form->Doll_Disp[1].shown);
  const std::vector<std::string> events = h.Events("place");
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(SceneHarness::Field(events[0], "t"), 1008);  // after the folds
  EXPECT_EQ(SceneHarness::Field(events[0], "ms"), 500);
}

TEST(PlaceChange, APictureThatCannotBeShownIsReportedAndChangesNothing) {
  TempDir dir;
  CopyDemoData(dir.path());
  ASSERT_TRUE(WriteFileBytes(dir.path() + "p3.dat", {'J', 'F', 'x', 'y'}).ok());
  SceneHarness h(dir.path());
  FillTheScene(h);
  StandInSlot(h, 2, 130, 60, 90, 90, MakeRgb(0, 0, 250));
  h.state.LineText = "MS";

  for (int placeNo : {3, 15, -2}) {
    h.state.PlaceNo = static_cast<std::int16_t>(placeNo);
    EXPECT_EQ(h.scene->PlaceChange(), 2);
  }
  ASSERT_EQ(h.platform.boxes.size(), 3u);
  EXPECT_NE(h.platform.boxes[0].find("p3.dat"), std::string::npos) << h.platform.boxes[0];
  EXPECT_EQ(h.platform.boxes[0].rfind(BrokenFileMessage(kErrBadFormat), 0), 0u);
  EXPECT_EQ(h.platform.boxes[1], MissingFileMessage(dir.path() + "p15"));
  EXPECT_EQ(h.platform.boxes[2], MissingFileMessage(dir.path() + "p-2"));

  Surface old(kW, kH);
  Paint(old, OldPixel);
  EXPECT_EQ(DiffersFrom(h.form->Pic_Main, old), 0);
  EXPECT_TRUE(h.form->Doll_Disp[2].shown);
  EXPECT_TRUE(h.form->Waku[0].shown);
  EXPECT_TRUE(h.form->Blinker.shown);
  EXPECT_EQ(h.form->LastSpeaker, 3);
  EXPECT_EQ(h.state.LineNo, 2);
  EXPECT_EQ(h.scene->ShownPose[0][0], 1);
  EXPECT_TRUE(h.form->SlotUsed[2]);
  EXPECT_TRUE(h.Events("place").empty());
  EXPECT_EQ(h.platform.clock, 0u);

  // The story goes on: the next place comes in as usual.
  h.state.PlaceNo = 4;
  h.scene->PlaceChange();
  EXPECT_EQ(DiffersFrom(h.form->Pic_Main, Picture(h.data, "p4.dat")), 0);
  EXPECT_FALSE(h.form->Doll_Disp[2].shown);
}

TEST(PlaceChange, ASmallerPictureLeavesBlackBelowIt) {
  TempDir dir;
  CopyDemoData(dir.path());
  // Places beyond the fourteen of the data folder are plain files.
  Surface small(kW, 345);
  Paint(small, NewPixel);
  ASSERT_TRUE(WriteFileBytes(dir.path() + "p20.dat", EncodeBmp24(small)).ok());
  SceneHarness h(dir.path());
  h.state.PlaceNo = 2;
  h.state.LineText = "BC";
  h.scene->PlaceChange();  // a full screen first
  h.state.PlaceNo = 20;
  h.state.LineText = "VB";
  h.scene->PlaceChange();
  EXPECT_EQ(h.form->Place_Load.Height(), 345);
  // Below the picture: black, not the place before.
  EXPECT_EQ(DiffersFrom(h.form->Pic_Main, small), 0);
}

}  // namespace
}  // namespace kovan::testing
