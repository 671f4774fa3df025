// The start-up layout and the window's pixels: the skin, the blend of the
// scene with the fill colour, characters behind the window and the tab.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "message_harness.h"

namespace kovan::testing {
namespace {

TEST(LayoutInit, PlacesLabelsButtonsFacesAndMenus) {
  MessageHarness h;
  const MainForm& f = *h.form;
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(std::vector<int>(
                  {f.SelTxt[i].left, f.SelTxt[i].top, f.SelTxt[i].Width(), f.SelTxt[i].Height()}),
              std::vector<int>({30, 36 + 17 * i, 200, 17}));
  }
  EXPECT_EQ(std::vector<int>({f.Blinker.left, f.Blinker.top}), std::vector<int>({551, 83}));
  EXPECT_FALSE(f.Blinker.Empty());
  for (int i = 0; i < 4; ++i) {
    const Surface& button = f.Smenu[i];
    EXPECT_EQ(std::vector<int>({button.left, button.top, button.Width(), button.Height()}),
              std::vector<int>({104, 180 + 50 * i, 166, 38}));
    EXPECT_EQ(button.Point(80, 20), f.Texture.Point(84, 168 + 50 * i));
  }
  for (const MenuItem& item : h.platform->Menu()) {
    EXPECT_EQ(item.enabled, item.name == menu::kProgEnd) << item.name;
  }

  ASSERT_TRUE(h.messages->FaceInit(DataFiles(DemoDataDir(), false)).ok());
  ASSERT_EQ(f.Face_Mask.Width() * f.Face_Mask.Height(), 620 * 840);
  for (int i = 0; i < 620 * 840; i += 97) {
    ASSERT_EQ(f.Face_Mask.Pixels()[i], f.Face_Load.Pixels()[i] == kBlack ? kWhite : kBlack);
  }
  EXPECT_EQ(f.FaceTable[2].w, 140);
  EXPECT_EQ(f.FaceTable[4].h, 85);
}

TEST(LayoutInit, MissingSkinOrFacesEndTheGameAnEmptySkinDoesNot) {
  MessageHarness h;
  TempDir dir;
  DataFiles data(dir.path(), false);
  Status st = h.messages->LayoutInit(data);
  ASSERT_FALSE(st.ok());
  EXPECT_EQ(st.error(), MissingFileMessage(dir.path() + "61"));
  st = h.messages->FaceInit(data);
  ASSERT_FALSE(st.ok());
  EXPECT_EQ(st.error(), MissingFileMessage(dir.path() + "60"));

  std::ofstream(dir.path() + "61.dat", std::ios::binary) << "not a picture";
  EXPECT_FALSE(h.messages->LayoutInit(data).ok());

  std::ofstream(dir.path() + "61.dat", std::ios::binary | std::ios::trunc).close();
  ASSERT_TRUE(h.messages->LayoutInit(data).ok());
  h.messages->WakuBuild();
  h.state.MsgMode = 0;
  h.Say("空の皮");  // a window cut from nothing still works
  EXPECT_EQ(h.form->Waku[1].Point(10, 10), kBlack);
  EXPECT_EQ(h.state.LineNo, 2);
}

// The window's inner area (inside the 4-pixel rim), as it lies on the scene.
Surface Inner(const Surface& s, int x, int y) {
  Surface out(568, 100);
  BitBlt(out, 0, 0, 568, 100, s, x, y, RasterOp::kSrcCopy);
  return out;
}

class Density : public ::testing::TestWithParam<float> {};

TEST_P(Density, BlendsTheSceneWithTheFillInsideTheFrameRim) {
  MessageHarness h;
  h.state.WakuDensity = GetParam();
  h.messages->WakuOpen();
  const MainForm& f = *h.form;
  const Surface scene = Inner(f.Pic_Main, 39, 364);
  Surface expected = scene;
  if (GetParam() == 1.0f) expected.FillBox(0, 0, 568, 100, f.Texture.Point(24, 24));
  if (GetParam() == 0.6f) BlendArea(expected, 0, 0, 568, 100, Inner(f.Waku[1], 4, 4), 0, 0, 0.6f);
  EXPECT_EQ(Inner(f.Waku[0], 4, 4).Pixels(), expected.Pixels());
  for (int x = 0; x < 576; x += 5) {
    ASSERT_EQ(f.Waku[0].Point(x, 1), f.Waku[2].Point(x, 1)) << x;
    ASSERT_EQ(f.Waku[0].Point(x, 106), f.Waku[2].Point(x, 106)) << x;
  }
  EXPECT_EQ(f.Waku[6].Pixels(), f.Waku[0].Pixels());
  EXPECT_EQ(f.LastSpeaker, -1);
}

INSTANTIATE_TEST_SUITE_P(Values, Density, ::testing::Values(0.0f, 0.6f, 1.0f, 1.5f, -0.5f));

TEST(WakuOpen, CharactersShowThroughTheWindowAndTheTab) {
  constexpr Rgb kCoat = MakeRgb(200, 30, 60);
  MessageHarness h;
  MainForm& f = *h.form;
  h.state.WakuDensity = 0;
  h.messages->WakuOpen();
  const Rgb tabCorner = f.Waku[3].Point(0, 0);  // keyed out: the scene behind
  EXPECT_EQ(tabCorner, f.Pic_Main.Point(491, 338));

  f.SlotUsed[1] = true;
  f.SlotX[1] = 350;
  f.SlotY[1] = 0;
  f.SlotW[1] = 200;
  f.SlotH[1] = 480;
  f.Doll_Disp[1].Resize(200, 480);
  f.Doll_Disp[1].SetBackColor(kCoat);
  f.Doll_Disp[1].FillBox(0, 360, 200, 364, kWhite);  // behind the rim only
  h.messages->WakuOpen();
  EXPECT_EQ(f.Waku[0].Point(354 - 35, 4), kCoat);
  EXPECT_EQ(f.Waku[0].Point(354 - 35, 50), kCoat);
  EXPECT_EQ(f.Waku[0].Point(545 - 35, 50), kCoat);
  EXPECT_EQ(f.Waku[0].Point(353 - 35, 50), f.Pic_Main.Point(353, 410));
  EXPECT_EQ(f.Waku[0].Point(546 - 35, 50), f.Pic_Main.Point(546, 410));
  EXPECT_EQ(f.Waku[3].Point(0, 0), kCoat);
  EXPECT_EQ(f.Waku[3].Point(119, 0), f.Pic_Main.Point(610, 338));

  // A clear brings back the page as opened, whatever changed since.
  const std::vector<Rgb> opened = f.Waku[0].Pixels();
  h.state.MsgMode = 0;
  h.Say("人物の前で");
  f.Doll_Disp[1].SetBackColor(kWhite);
  h.messages->WakuClear();
  EXPECT_EQ(f.Waku[0].Pixels(), opened);
}

TEST(WakuOpen, DateLabelShowsTheDate) {
  MessageHarness h;
  h.state.DateText = "4月1日";
  h.messages->WakuOpen();
  const Surface& label = h.form->Dtime_label;
  EXPECT_EQ(label.container, &h.form->Waku[3]);
  EXPECT_EQ(label.left, 24);
  EXPECT_EQ(label.top, 8);
  ASSERT_FALSE(label.Empty());
  EXPECT_NE(std::find(label.Pixels().begin(), label.Pixels().end(), kWhite), label.Pixels().end());
  h.messages->SetDate("");
  EXPECT_TRUE(h.form->Dtime_label.Empty());
}

}  // namespace
}  // namespace kovan::testing
