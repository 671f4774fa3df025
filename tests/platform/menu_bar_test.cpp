#include "platform/menu_bar.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "pixels.h"

#if defined(KOVAN_SDL_TESTS)
#include <SDL2/SDL.h>

#include "platform/sdl/sdl_platform.h"
#endif
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace kovan {
namespace {

// Ten pixels per byte: easy widths to check by hand.
int TenPerByte(const std::string& s) { return static_cast<int>(s.size()) * 10; }

MenuItem Item(const std::string& name, const std::string& caption, bool enabled = true,
              bool visible = true) {
  return MenuItem{name, caption, enabled, visible};
}

using Rects = std::vector<MenuRect>;

// Only a visible item is under a point (a disabled one is still there);
// only an enabled, visible one answers a click.
TEST(MenuBarLayout, ItemAtAndLiveItem) {
  const std::vector<MenuItem> items = {Item("a", "ab"), Item("h", "hh", true, false),
                                       Item("off", "cd", false)};
  const Rects rects = LayoutMenuBar(items, TenPerByte);
  const int right = rects[0].w;  // where "a" ends and "off" begins
  const std::pair<std::pair<int, int>, int> points[] = {
      {{0, 0}, 0},       {{right - 1, kMenuBarHeight - 1}, 0}, {{right, 10}, 2},
      {{right + rects[2].w, 10}, -1}, {{5, kMenuBarHeight}, -1}, {{-1, 10}, -1}};
  for (const auto& [at, index] : points) {
    EXPECT_EQ(MenuItemAt(items, rects, at.first, at.second), index) << at.first;
  }
  EXPECT_EQ(MenuItemAt(items, Rects{}, 5, 5), -1);
  EXPECT_EQ(LiveMenuItem(items, "a"), &items[0]);
  for (const char* name : {"off", "h", "gone", ""}) EXPECT_EQ(LiveMenuItem(items, name), nullptr);
}

// --- pointer, press and release ------------------------------------------------------

// A bar without a font: "a" and "b" sit at known places.
struct TwoItemBar {
  TwoItemBar() {
    bar.SetItems({Item("a", "aa"), Item("b", "bb")});
    bar.ClearDirty();
  }
  int MidA() const { return bar.Rects()[0].x + bar.Rects()[0].w / 2; }
  int MidB() const { return bar.Rects()[1].x + bar.Rects()[1].w / 2; }
  MenuBar bar;
};

// A click answers on release over the enabled item it was pressed on, as
// the items are when the button comes up.
TEST(MenuBarPointer, ClickAnswersOnlyOnReleaseOverThePressedEnabledItem) {
  TwoItemBar t;
  MenuBar& bar = t.bar;
  bar.Press(t.MidA(), 10);
  EXPECT_EQ(bar.Sunken(), 0);
  EXPECT_EQ(bar.Release(t.MidA(), 10), std::optional<std::string>("a"));
  EXPECT_EQ(bar.Sunken(), -1);
  const auto clickWith = [&](int releaseX, int releaseY, std::vector<MenuItem> meanwhile) {
    bar.SetItems({Item("a", "aa"), Item("b", "bb")});
    bar.Press(t.MidA(), 10);
    if (!meanwhile.empty()) bar.SetItems(meanwhile);
    return bar.Release(releaseX, releaseY);
  };
  EXPECT_EQ(clickWith(t.MidB(), 10, {}), std::nullopt);   // dragged to the other item
  EXPECT_EQ(clickWith(t.MidA(), -1, {}), std::nullopt);   // or off the bar
  EXPECT_EQ(clickWith(t.MidA(), 10, {Item("a", "aa", false), Item("b", "bb")}), std::nullopt);
  EXPECT_EQ(clickWith(t.MidA(), 10, {Item("z", "aa"), Item("b", "bb")}), std::nullopt);
  EXPECT_EQ(clickWith(t.MidA(), 10, {Item("a", "aa")}), std::optional<std::string>("a"));
  EXPECT_EQ(clickWith(t.MidA(), 10, {Item("a", "aa"), Item("b", "bb", false)}),
            std::optional<std::string>("a"));
  EXPECT_EQ(bar.Release(t.MidB(), 10), std::nullopt);  // no press before it
  bar.SetItems({Item("a", "aa", false), Item("b", "bb")});
  bar.Press(t.MidA(), 10);  // a disabled item takes no press
  EXPECT_EQ(bar.Sunken(), -1);
  EXPECT_EQ(bar.Release(t.MidA(), 10), std::nullopt);
  bar.Press(5000, 10);  // beside the items
  EXPECT_EQ(bar.Release(5000, 10), std::nullopt);
}

// The number of pixels of colour c inside r.
int CountColour(const Surface& s, const MenuRect& r, Rgb c) {
  Surface area(r.w, r.h);
  BitBlt(area, 0, 0, r.w, r.h, s, r.x, r.y, RasterOp::kSrcCopy);
  return testing::CountPixels(area, c);
}

TEST(MenuBarDraw, CaptionsInkedGreyedAndHighlighted) {
  Result<std::unique_ptr<Font>> font = Font::Open("ＭＳ ゴシック", 9);
  ASSERT_TRUE(font.ok()) << font.error();
  MenuBar bar;
  bar.SetFont(font->get());
  bar.SetItems({Item("end", "終了"), Item("hid", "隠し", true, false),
                Item("save", "セーブ", false), Item("far", "ずっと右")});
  const Rects& r = bar.Rects();
  EXPECT_EQ(r[0].w, (*font)->TextWidth("終了") + 2 * kMenuItemPadding);
  EXPECT_EQ(r[2].x, r[0].w);
  Surface strip;
  bar.Draw(strip, r[3].x + 4);  // the last item is cut off at the edge
  ASSERT_EQ(std::vector<int>({strip.Width(), strip.Height()}),
            std::vector<int>({r[3].x + 4, kMenuBarHeight}));
  const Rgb face = strip.Point(0, 0);
  EXPECT_GT(CountColour(strip, r[0], kBlack), 20);
  EXPECT_EQ(CountColour(strip, r[0], 0x808080), 0);
  EXPECT_EQ(CountColour(strip, r[2], kBlack), 0);  // greyed
  EXPECT_GT(CountColour(strip, r[2], 0x808080), 20);
  EXPECT_GT(CountColour(strip, r[2], kWhite), 20);
  // The caption fits the strip's height with a row to spare above and below.
  const MenuRect top{0, 0, strip.Width(), 1}, bottom{0, kMenuBarHeight - 1, strip.Width(), 1};
  EXPECT_EQ(CountColour(strip, top, face) + CountColour(strip, bottom, face), 2 * strip.Width());

  // The highlighted item gets a raised edge; pressed, a sunken one.
  const int right = r[0].x + r[0].w - 1;
  bar.Hover(r[0].x + 3, 10);
  bar.Draw(strip, strip.Width());
  EXPECT_EQ(std::vector<Rgb>({strip.Point(r[0].x, 1), strip.Point(right, kMenuBarHeight - 2),
                              strip.Point(r[2].x, 1)}),
            std::vector<Rgb>({kWhite, 0x808080, face}));
  bar.Press(r[0].x + 3, 10);
  bar.Draw(strip, strip.Width());
  EXPECT_EQ(std::vector<Rgb>({strip.Point(r[0].x, 1), strip.Point(right, kMenuBarHeight - 2)}),
            std::vector<Rgb>({0x808080, kWhite}));
}

#if defined(KOVAN_SDL_TESTS)
// --- in the SDL window ---------------------------------------------------------------
// These need a display (an X server or xvfb-run). Input is pushed onto SDL's
// queue as the window system would deliver it, in window coordinates: the
// strip's rows first, then the picture's.

// The clicks and menu choices that reached the game; pointer motion from
// the window system is left out.
class ClickSink : public InputSink {
 public:
  void OnMouseDown(MouseButton, int x, int y) override {
    events.push_back("click " + std::to_string(x) + " " + std::to_string(y));
  }
  void OnMenu(const std::string& item) override { events.push_back("menu " + item); }
  std::vector<std::string> events;
};

class SdlWindowTest : public ::testing::Test {
 protected:
  static constexpr const char* kCaption = "kovan menu bar test";

  void SetUp() override {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no display";
#if defined(__SANITIZE_ADDRESS__)
    // The display's client libraries keep allocations for the life of the
    // process; they are not ours to free.
    __lsan_disable();
#endif
    Result<std::unique_ptr<Platform>> created = CreateSdlPlatform();
    ASSERT_TRUE(created.ok()) << created.error();
    platform_ = std::move(created.value());
    platform_->SetInputSink(&sink_);
    platform_->SetCaption(kCaption);
    picture_.shown = true;
    platform_->stage().Add(&picture_);
    platform_->ShowWindow(true);
    platform_->DoEvents();
    sink_.events.clear();
    for (Uint32 id = 1; id < 1000 && windowId_ == 0; ++id) {
      SDL_Window* w = SDL_GetWindowFromID(id);
      if (w != nullptr && std::string(SDL_GetWindowTitle(w)) == kCaption) windowId_ = id;
    }
    ASSERT_NE(windowId_, 0u);
  }
  void TearDown() override {
    if (platform_) platform_->stage().Remove(&picture_);
  }

  void Push(Uint32 type, int x, int y) {
    SDL_Event e{};
    e.button = SDL_MouseButtonEvent{type, 0, windowId_, 0, SDL_BUTTON_LEFT,
                                    Uint8(type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED),
                                    1, 0, x, y};
    ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
  }
  // A left click at a window point, then one pass of events.
  std::vector<std::string> ClickAt(int x, int y) {
    sink_.events.clear();
    Push(SDL_MOUSEBUTTONDOWN, x, y);
    Push(SDL_MOUSEBUTTONUP, x, y);
    platform_->DoEvents();
    return sink_.events;
  }

  std::unique_ptr<Platform> platform_;
  ClickSink sink_;
  Surface picture_{Stage::kWidth, Stage::kHeight, 0x336699};
  Uint32 windowId_ = 0;
};

using Strings = std::vector<std::string>;

TEST_F(SdlWindowTest, MenuClick_ReachesTheGameOnlyOnALiveItem) {
  // No items: the strip is there, and a click on it reaches nothing.
  EXPECT_EQ(ClickAt(3, 10), Strings{});

  platform_->SetMenu({MenuItem{"hid", "隠し", true, false}, MenuItem{"quit", "終了"},
                      MenuItem{"opt", "設定", false}});
  Result<std::unique_ptr<Font>> font = Font::Open("ＭＳ ゴシック", 9);
  ASSERT_TRUE(font.ok()) << font.error();
  const std::vector<MenuRect> rects =
      LayoutMenuBar(platform_->Menu(), [&](const std::string& s) { return (*font)->TextWidth(s); });
  const int quitX = rects[1].x + rects[1].w / 2, optX = rects[2].x + rects[2].w / 2;
  EXPECT_EQ(ClickAt(quitX, 10), Strings{"menu quit"});
  EXPECT_EQ(ClickAt(optX, 10), Strings{});
  // The picture's top row is the picture's, not the strip's.
  EXPECT_EQ(ClickAt(quitX, kMenuBarHeight), Strings{"click " + std::to_string(quitX) + " 0"});
  platform_->SetMenu({MenuItem{"quit", "終了"}});
  EXPECT_EQ(ClickAt(3, 10), Strings{"menu quit"});
}

// Lets the window system catch up (a window manager answers a while later,
// a bare X server at once) until the window is as wide as expected.
WindowPlacement Settle(Platform& p, int width) {
  const std::uint32_t start = p.Ticks();
  while (p.Placement().width != width && p.Ticks() - start < 2000) {
    p.DoEvents();
    p.Sleep(10);
  }
  return p.Placement();
}

TEST_F(SdlWindowTest, FullScreen_CoversTheDisplayAndComesBackCentred) {
  const DisplayInfo d = platform_->Display();
  ASSERT_TRUE(platform_->SetFullScreen(true).ok());
  const WindowPlacement full = Settle(*platform_, d.width);
  EXPECT_TRUE(full.fullScreen && !full.caption && !full.menuStrip);
  EXPECT_EQ((std::vector<int>{full.x, full.y, full.height}), (std::vector<int>{0, 0, d.height}));
  // The picture fills the screen's height or width with its aspect kept;
  // the screen's centre is the picture's, and the bars take no clicks.
  EXPECT_TRUE(full.pictureWidth == d.width || full.pictureHeight == d.height);
  EXPECT_EQ(full.pictureWidth * 3, full.pictureHeight * 4);
  EXPECT_EQ(ClickAt(d.width / 2, d.height / 2), Strings{"click 320 240"});
  EXPECT_EQ(ClickAt(0, 0), Strings{});

  ASSERT_TRUE(platform_->SetFullScreen(false).ok());
  platform_->SetClientSize(640, 480);
  platform_->CentreWindow();
  const WindowPlacement back = Settle(*platform_, 640);
  EXPECT_TRUE(!back.fullScreen && back.caption && back.menuStrip);
  EXPECT_EQ((std::vector<int>{back.pictureWidth, back.pictureHeight, back.x, back.y}),
            (std::vector<int>{640, 480, (d.width - 640) / 2, (d.height - back.height) / 2}));
  EXPECT_EQ(ClickAt(10, kMenuBarHeight + 10), Strings{"click 10 10"});
}

// What the window's framebuffer holds below the strip, read back as colours.
std::vector<Rgb> ShownPicture(Uint32 windowId) {
  SDL_Surface* s = SDL_GetWindowSurface(SDL_GetWindowFromID(windowId));
  std::vector<Rgb> out;
  if (s == nullptr || s->format->BytesPerPixel != 4) return out;
  for (int y = kMenuBarHeight; y < kMenuBarHeight + Stage::kHeight && y < s->h; ++y) {
    const auto* row = reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(s->pixels) +
                                                      static_cast<std::ptrdiff_t>(y) * s->pitch);
    for (int x = 0; x < Stage::kWidth && x < s->w; ++x) {
      Uint8 r = 0, g = 0, b = 0;
      SDL_GetRGB(row[x], s->format, &r, &g, &b);
      out.push_back(MakeRgb(r, g, b));
    }
  }
  return out;
}

// Small changes go out as their own rectangles; the window must still hold
// exactly the picture after each.
TEST_F(SdlWindowTest, Framebuffer_HoldsThePictureAfterEachSmallChange) {
  for (int i = 0; i < 5; ++i) {
    picture_.FillBox(40 * i, 30 * i, 40 * i + 9, 30 * i + 17, MakeRgb(50 * i, 255 - i, 7 * i));
    platform_->stage().Invalidate();
    platform_->Present();
    EXPECT_EQ(ShownPicture(windowId_), picture_.Pixels()) << "after change " << i;
  }
}

// A wait for input sleeps through empty steps: it ends on a timer or on
// input, not before.
TEST_F(SdlWindowTest, WaitSteps_EndsOnTheNextTimerOrOnInput) {
  bool fired = false;
  const int timer = platform_->AddTimer(45, [&] { fired = true; });
  std::uint32_t start = platform_->Ticks();
  while (!fired) {
    platform_->WaitSteps(10);
    platform_->DoEvents();
  }
  EXPECT_GE(platform_->Ticks() - start, 45u);
  platform_->EnableTimer(timer, false);
  start = platform_->Ticks();
  Push(SDL_MOUSEBUTTONDOWN, 100, kMenuBarHeight + 50);
  platform_->WaitSteps(10);
  EXPECT_LT(platform_->Ticks() - start, 200u);
  platform_->DoEvents();
  EXPECT_EQ(sink_.events, Strings{"click 100 50"});
}
#endif

}  // namespace
}  // namespace kovan
