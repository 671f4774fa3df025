#include "platform/font.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "pixels.h"
#include "platform/message_panel.h"
#include "platform/text_codec.h"

namespace kovan {
namespace {

constexpr Rgb kInk = 0xFF2040;
constexpr Rgb kPaper = 0x102030;

std::unique_ptr<Font> OpenOrFail(const std::string& family, double points) {
  Result<std::unique_ptr<Font>> font = Font::Open(family, points);
  EXPECT_TRUE(font.ok()) << font.error();
  return font ? std::move(font.value()) : nullptr;
}

// The text drawn alone on paper, at (2, 2).
Surface Render(Font& font, const std::string& text) {
  Surface s(font.TextWidth(text) + 4, font.TextHeight() + 4, kPaper);
  font.TextOut(s, 2, 2, text, kInk);
  return s;
}

// Any family the game names opens a Japanese face at the pixel size. A
// glyph missing from the font draws as the same empty box every time; a
// real one differs from it. Glyphs are drawn without smoothing, from the
// origin right and down.
TEST(Font, EveryFamilyOpensAJapaneseFaceThatDrawsRealGlyphs) {
  EXPECT_FALSE(Font::Open("ＭＳ ゴシック", 0).ok());
  for (const char* family : {"ＭＳ ゴシック", "MS Gothic", "ＭＳ 明朝", "No Such Family"}) {
    auto font = OpenOrFail(family, 12);
    ASSERT_TRUE(font);
    EXPECT_EQ(font->PixelSize(), 16);
    EXPECT_TRUE(font->TextHeight() >= 16 && font->TextHeight() <= 18) << font->TextHeight();
    // Half-width kana take half the room of full-width ones.
    EXPECT_EQ(font->TextWidth("ﾌ"), 8) << family;
    EXPECT_EQ(font->TextWidth("ﾌｧｲﾙ") * 2, font->TextWidth("ファイル")) << family;
    const Surface missing = Render(*font, "\xEE\x80\x80");  // a private-use code point
    for (const char* ch : {"▼", "終", "か", "？", "ﾌ", "ｧ"}) {
      const Surface glyph = Render(*font, ch);
      EXPECT_GT(testing::CountPixels(glyph, kInk), 3) << family << " " << ch;
      EXPECT_NE(glyph.Pixels(), missing.Pixels()) << family << " " << ch;
    }
    const Surface s = Render(*font, "終了しますか？ﾌｧｲﾙ");
    EXPECT_TRUE(testing::Matches(s, [&](int x, int y) {
      return s.Point(x, y) == kInk && x >= 2 && y >= 2 ? kInk : kPaper;
    })) << family;
    EXPECT_GT(testing::CountPixels(s, kInk), 150) << family;
  }
}

// The same text shifted partly off each edge shows the matching part, and
// nothing of it lands elsewhere on the surface.
TEST(Font, TextOut_ClipsAtTheSurfaceEdges) {
  auto font = OpenOrFail("ＭＳ ゴシック", 12);
  ASSERT_TRUE(font);
  const Surface whole = Render(*font, "■■");
  for (auto [dx, dy] : {std::pair{-9, -7}, {20, 11}, {-40, 0}, {9, 0}, {0, 5}}) {
    Surface s(whole.Width(), whole.Height(), kPaper);
    font->TextOut(s, 2 + dx, 2 + dy, "■■", kInk);
    EXPECT_TRUE(testing::Matches(s, [&](int x, int y) {
      const bool inside = x - dx >= 0 && y - dy >= 0 && x - dx < s.Width() && y - dy < s.Height();
      return inside ? whole.Point(x - dx, y - dy) : kPaper;
    })) << dx << "," << dy;
  }
  Surface empty;
  font->TextOut(empty, 0, 0, "x", kInk);
  Surface tiny(2, 2, kPaper);
  font->TextOut(tiny, 2147483000, -2147483000, "x", kInk);
  font->TextOut(tiny, 0, 0, "\xff\xfe bad", kInk);
  EXPECT_EQ(testing::CountPixels(tiny, kInk), 0);
}

TEST(MessagePanel, Buttons_AnswerByMouseAndKeyboard) {
  MessagePanel yesNo(nullptr, "kovan", "終了しますか？", MsgBoxButtons::kYesNo, true);
  const auto& rects = yesNo.ButtonRects();
  ASSERT_EQ(rects.size(), 2u);
  EXPECT_LE(std::abs(rects[0].x - (yesNo.Width() - rects[1].x - rects[1].w)), 1);  // centred
  const int yesX = rects[0].x + 5, noX = rects[1].x + 5, y = rects[0].y + 5;
  yesNo.MouseDown(yesX, y);
  EXPECT_EQ(yesNo.MouseUp(noX, y), std::nullopt);  // released elsewhere
  yesNo.MouseDown(noX, y);
  EXPECT_EQ(yesNo.MouseUp(noX, y), MsgBoxAnswer::kNo);
  EXPECT_EQ(yesNo.MouseUp(yesX, y), std::nullopt);  // no press before it

  using K = MessagePanel::PanelKey;
  MessagePanel keys(nullptr, "", "x", MsgBoxButtons::kYesNo, false);
  const std::pair<K, std::optional<MsgBoxAnswer>> presses[] = {
      {K::kEnter, MsgBoxAnswer::kYes}, {K::kTab, std::nullopt},  {K::kSpace, MsgBoxAnswer::kNo},
      {K::kRight, std::nullopt},       {K::kEnter, MsgBoxAnswer::kYes}, {K::kLeft, std::nullopt},
      {K::kEnter, MsgBoxAnswer::kNo},  {K::kEscape, MsgBoxAnswer::kNo}, {K::kYes, MsgBoxAnswer::kYes}};
  for (const auto& [key, answer] : presses) EXPECT_EQ(keys.KeyDown(key), answer);
  MessagePanel ok(nullptr, "", "x", MsgBoxButtons::kOk, false);
  EXPECT_EQ(ok.KeyDown(K::kNo), std::nullopt);
  EXPECT_EQ(ok.KeyDown(K::kEscape), MsgBoxAnswer::kOk);

  // The text breaks at its newlines and where the next character would not fit.
  const auto tenEach = [](const std::string& s) { return 10 * static_cast<int>(Utf8Length(s)); };
  using Lines = std::vector<std::string>;
  EXPECT_EQ(WrapText("ab\r\ncd\n\nef", 100, tenEach), (Lines{"ab", "cd", "", "ef"}));
  EXPECT_EQ(WrapText("実行に必要なﾌｧｲﾙ", 35, tenEach), (Lines{"実行に", "必要な", "ﾌｧｲ", "ﾙ"}));
  EXPECT_EQ(WrapText("xy", 5, tenEach), (Lines{"x", "y"}));
  EXPECT_EQ(WrapText("", 5, tenEach), (Lines{""}));
}

}  // namespace
}  // namespace kovan
