#include "platform/font.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/message_panel.h"

namespace kovan {
namespace {

constexpr Rgb kInk = 0xFF2040;
constexpr Rgb kPaper = 0x102030;

TEST(PointsToPixels, RoundsAt96Dpi) {
  EXPECT_EQ(PointsToPixels(12), 16);
  EXPECT_EQ(PointsToPixels(11.25), 15);
  EXPECT_EQ(PointsToPixels(9), 12);
  EXPECT_EQ(PointsToPixels(10.5), 14);
  EXPECT_EQ(PointsToPixels(0.375), 1);  // 0.5 px rounds up
  EXPECT_EQ(PointsToPixels(0), 0);
  EXPECT_EQ(PointsToPixels(-12), 0);
  EXPECT_EQ(PointsToPixels(std::numeric_limits<double>::quiet_NaN()), 0);
  EXPECT_GT(PointsToPixels(1e300), 0);  // clamped, not overflowed
}

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

int InkCount(const Surface& s) {
  int n = 0;
  for (Rgb p : s.Pixels()) n += p == kInk;
  return n;
}

TEST(Font, GameFamily_OpensAJapaneseFaceAtThePixelSize) {
  auto font = OpenOrFail("ＭＳ ゴシック", 12);
  ASSERT_TRUE(font);
  EXPECT_EQ(font->PixelSize(), 16);
  EXPECT_GE(font->TextHeight(), 16);
  EXPECT_LE(font->TextHeight(), 18);
  EXPECT_FALSE(font->FilePath().empty());
  // Half-width kana take half the room of full-width ones.
  EXPECT_EQ(font->TextWidth("ﾌ"), 8);
  EXPECT_EQ(font->TextWidth("ﾌｧｲﾙ") * 2, font->TextWidth("ファイル"));
  EXPECT_EQ(font->TextWidth(""), 0);
  auto small = OpenOrFail("ＭＳ ゴシック", 9);
  ASSERT_TRUE(small);
  EXPECT_EQ(small->PixelSize(), 12);
  EXPECT_FALSE(Font::Open("ＭＳ ゴシック", 0).ok());
}

// A glyph missing from the font draws as the same empty box every time; a
// real one differs from it.
TEST(Font, JapaneseAndSymbols_DrawRealGlyphs) {
  for (const char* family : {"ＭＳ ゴシック", "MS Gothic", "ＭＳ 明朝", "No Such Family"}) {
    auto font = OpenOrFail(family, 12);
    ASSERT_TRUE(font);
    const Surface missing = Render(*font, "\xEE\x80\x80");  // a private-use code point
    for (const char* ch : {"▼", "終", "了", "し", "か", "？", "ﾌ", "ｧ", "ﾙ", "実"}) {
      const Surface glyph = Render(*font, ch);
      EXPECT_GT(InkCount(glyph), 3) << family << " " << ch;
      EXPECT_NE(glyph.Pixels(), missing.Pixels()) << family << " " << ch;
    }
  }
}

TEST(Font, TextOut_WritesOnlyGlyphPixelsInTheColour) {
  auto font = OpenOrFail("ＭＳ ゴシック", 12);
  ASSERT_TRUE(font);
  const std::string text = "終了しますか？ﾌｧｲﾙ";
  const Surface s = Render(*font, text);
  int ink = 0;
  for (int y = 0; y < s.Height(); ++y) {
    for (int x = 0; x < s.Width(); ++x) {
      const Rgb p = s.Point(x, y);
      ASSERT_TRUE(p == kInk || p == kPaper) << "smoothed pixel at " << x << "," << y;
      if (p == kInk) {
        ++ink;
        EXPECT_TRUE(x >= 2 && y >= 2) << "ink above or left of the origin";
      }
    }
  }
  EXPECT_GT(ink, 150);
}

TEST(Font, TextOut_ClipsAtTheSurfaceEdges) {
  auto font = OpenOrFail("ＭＳ ゴシック", 12);
  ASSERT_TRUE(font);
  const Surface whole = Render(*font, "■■");
  // The same text shifted partly off each edge shows the matching part.
  for (auto [dx, dy] : {std::pair{-9, -7}, std::pair{20, 11}, std::pair{-40, 0}}) {
    Surface s(whole.Width(), whole.Height(), kPaper);
    font->TextOut(s, 2 + dx, 2 + dy, "■■", kInk);
    for (int y = 0; y < s.Height(); ++y) {
      for (int x = 0; x < s.Width(); ++x) {
        const bool inside = x - dx >= 0 && y - dy >= 0 && x - dx < s.Width() && y - dy < s.Height();
        const Rgb expected = inside ? whole.Point(x - dx, y - dy) : kPaper;
        ASSERT_EQ(s.Point(x, y), expected) << dx << "," << dy << " at " << x << "," << y;
      }
    }
  }
  Surface empty;
  font->TextOut(empty, 0, 0, "x", kInk);
  Surface tiny(2, 2, kPaper);
  font->TextOut(tiny, 2147483000, -2147483000, "x", kInk);
  font->TextOut(tiny, 0, 0, "", kInk);
  font->TextOut(tiny, 0, 0, "\xff\xfe bad", kInk);
  EXPECT_EQ(InkCount(tiny), 0);
}

// --- the message box panel ------------------------------------------------------

TEST(MessagePanel, WrapText_BreaksAtNewlinesAndWidth) {
  const auto tenEach = [](const std::string& s) {
    int n = 0;
    for (unsigned char c : s) n += (c & 0xC0) != 0x80;
    return n * 10;
  };
  EXPECT_EQ(WrapText("ab\r\ncd\n\nef", 100, tenEach),
            (std::vector<std::string>{"ab", "cd", "", "ef"}));
  EXPECT_EQ(WrapText("実行に必要なﾌｧｲﾙ", 35, tenEach),
            (std::vector<std::string>{"実行に", "必要な", "ﾌｧｲ", "ﾙ"}));
  EXPECT_EQ(WrapText("xy", 5, tenEach), (std::vector<std::string>{"x", "y"}));
  EXPECT_EQ(WrapText("", 5, tenEach), (std::vector<std::string>{""}));
  EXPECT_EQ(WrapText("a\xe7", 100, tenEach), (std::vector<std::string>{"a\xe7"}));
}

TEST(MessagePanel, Buttons_AnswerByMouseAndKeyboard) {
  MessagePanel yesNo(nullptr, "kovan", "終了しますか？", MsgBoxButtons::kYesNo, true);
  const auto& rects = yesNo.ButtonRects();
  ASSERT_EQ(rects.size(), 2u);
  EXPECT_LT(rects[0].x + rects[0].w, rects[1].x);
  EXPECT_LE(std::abs(rects[0].x - (yesNo.Width() - rects[1].x - rects[1].w)), 1);  // centred
  EXPECT_LE(rects[1].y + rects[1].h, yesNo.Height());
  const auto centre = [](const MessagePanel::Rect& r) {
    return std::pair{r.x + r.w / 2, r.y + r.h / 2};
  };
  auto [yesX, yesY] = centre(rects[0]);
  auto [noX, noY] = centre(rects[1]);

  yesNo.MouseDown(yesX, yesY);
  EXPECT_EQ(yesNo.MouseUp(noX, noY), std::nullopt);  // released elsewhere
  yesNo.MouseDown(noX, noY);
  EXPECT_EQ(yesNo.MouseUp(noX, noY), MsgBoxAnswer::kNo);
  EXPECT_EQ(yesNo.MouseUp(yesX, yesY), std::nullopt);  // no press before it

  using K = MessagePanel::PanelKey;
  MessagePanel keys(nullptr, "", "x", MsgBoxButtons::kYesNo, false);
  EXPECT_EQ(keys.KeyDown(K::kEnter), MsgBoxAnswer::kYes);
  EXPECT_EQ(keys.KeyDown(K::kTab), std::nullopt);
  EXPECT_EQ(keys.KeyDown(K::kSpace), MsgBoxAnswer::kNo);
  EXPECT_EQ(keys.KeyDown(K::kRight), std::nullopt);
  EXPECT_EQ(keys.KeyDown(K::kEnter), MsgBoxAnswer::kYes);
  EXPECT_EQ(keys.KeyDown(K::kLeft), std::nullopt);
  EXPECT_EQ(keys.KeyDown(K::kEnter), MsgBoxAnswer::kNo);
  EXPECT_EQ(keys.KeyDown(K::kEscape), MsgBoxAnswer::kNo);
  EXPECT_EQ(keys.KeyDown(K::kYes), MsgBoxAnswer::kYes);

  MessagePanel ok(nullptr, "", "x", MsgBoxButtons::kOk, false);
  EXPECT_EQ(ok.KeyDown(K::kNo), std::nullopt);
  EXPECT_EQ(ok.KeyDown(K::kTab), std::nullopt);
  EXPECT_EQ(ok.KeyDown(K::kEscape), MsgBoxAnswer::kOk);
  EXPECT_EQ(ok.KeyDown(K::kEnter), MsgBoxAnswer::kOk);
  EXPECT_EQ(ok.DefaultAnswer(), MsgBoxAnswer::kOk);
}

TEST(MessagePanel, Draw_PutsTheTextInsideTheBox) {
  auto font = Font::Open("ＭＳ ゴシック", 9);
  ASSERT_TRUE(font.ok()) << font.error();
  const std::string text = "実行に必要なﾌｧｲﾙがありません. file/tmp/x\n2行目";
  MessagePanel panel(font->get(), "kovan", text, MsgBoxButtons::kOk, true);
  ASSERT_EQ(panel.Lines().size(), 2u);
  EXPECT_GE(panel.Width(), (*font)->TextWidth(panel.Lines()[0]) + 24);
  Surface out;
  panel.Draw(out);
  ASSERT_EQ(out.Width(), panel.Width());
  ASSERT_EQ(out.Height(), panel.Height());
  int ink = 0;
  const int textBottom = panel.ButtonRects()[0].y;
  for (int y = MessagePanel::kCaptionHeight + 3; y < textBottom; ++y) {
    for (int x = 3; x < out.Width() - 3; ++x) ink += out.Point(x, y) == kBlack;
  }
  EXPECT_GT(ink, 200);
}

}  // namespace
}  // namespace kovan
