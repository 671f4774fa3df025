#include "platform/menu_bar.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <sstream>

#include "platform/headless/headless_platform.h"

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

// --- layout and hit test -----------------------------------------------------------

TEST(MenuBarLayout, VisibleItemsSitSideBySideAndHiddenOnesTakeNoRoom) {
  const std::vector<MenuItem> items = {Item("a", "ab"), Item("h", "hidden", true, false),
                                       Item("b", ""), Item("c", "xyz", false)};
  const Rects rects = LayoutMenuBar(items, TenPerByte);
  const int p = kMenuItemPadding, h = kMenuBarHeight;
  EXPECT_EQ(rects, (Rects{{0, 0, 20 + 2 * p, h},
                          {20 + 2 * p, 0, 0, 0},
                          {20 + 2 * p, 0, 2 * p, h},
                          {20 + 4 * p, 0, 30 + 2 * p, h}}));
}

TEST(MenuBarLayout, OddMeasuresNeitherShrinkNorOverflow) {
  std::vector<MenuItem> items(3, Item("x", "x"));
  const Rects negative = LayoutMenuBar(items, [](const std::string&) { return -50; });
  EXPECT_EQ(negative[1], (MenuRect{2 * kMenuItemPadding, 0, 2 * kMenuItemPadding, kMenuBarHeight}));

  items.assign(100000, Item("x", "x"));
  const Rects huge =
      LayoutMenuBar(items, [](const std::string&) { return std::numeric_limits<int>::max(); });
  for (const MenuRect& r : huge) {
    ASSERT_GE(r.x, 0);
    ASSERT_GT(r.w, 0);
    ASSERT_GT(r.x + r.w, r.x);
  }
  EXPECT_TRUE(LayoutMenuBar({}, TenPerByte).empty());
}

TEST(MenuBarLayout, ItemAt_FindsTheVisibleItemUnderThePoint) {
  const std::vector<MenuItem> items = {Item("a", "ab"), Item("h", "hh", true, false),
                                       Item("off", "cd", false)};
  const Rects rects = LayoutMenuBar(items, TenPerByte);
  const int right = rects[0].w;  // where "a" ends and "off" begins
  EXPECT_EQ(MenuItemAt(items, rects, 0, 0), 0);
  EXPECT_EQ(MenuItemAt(items, rects, right - 1, kMenuBarHeight - 1), 0);
  EXPECT_EQ(MenuItemAt(items, rects, right, 10), 2);  // disabled items are still there
  EXPECT_EQ(MenuItemAt(items, rects, right + rects[2].w, 10), -1);
  EXPECT_EQ(MenuItemAt(items, rects, 5, kMenuBarHeight), -1);
  EXPECT_EQ(MenuItemAt(items, rects, -1, 10), -1);
  EXPECT_EQ(MenuItemAt(items, rects, 5, -1), -1);
  // Rectangles that don't match the items hit nothing beyond their count.
  EXPECT_EQ(MenuItemAt(items, Rects{}, 5, 5), -1);
}

TEST(MenuBarLayout, LiveItem_IsTheNamedItemOnlyWhenEnabledAndVisible) {
  const std::vector<MenuItem> items = {Item("on", "1"), Item("off", "2", false),
                                       Item("hid", "3", true, false), Item("on", "dup", false)};
  ASSERT_NE(LiveMenuItem(items, "on"), nullptr);
  EXPECT_EQ(LiveMenuItem(items, "on")->caption, "1");
  EXPECT_EQ(LiveMenuItem(items, "off"), nullptr);
  EXPECT_EQ(LiveMenuItem(items, "hid"), nullptr);
  EXPECT_EQ(LiveMenuItem(items, "gone"), nullptr);
  EXPECT_EQ(LiveMenuItem(items, ""), nullptr);
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

TEST(MenuBarPointer, ClickAnswersOnlyOnReleaseOverThePressedEnabledItem) {
  TwoItemBar t;
  MenuBar& bar = t.bar;
  bar.Press(t.MidA(), 10);
  EXPECT_EQ(bar.Sunken(), 0);
  EXPECT_EQ(bar.Release(t.MidA(), 10), std::optional<std::string>("a"));
  EXPECT_EQ(bar.Sunken(), -1);

  // Dragged off to the other item, or off the bar: no click.
  bar.Press(t.MidA(), 10);
  EXPECT_EQ(bar.Release(t.MidB(), 10), std::nullopt);
  bar.Press(t.MidA(), 10);
  EXPECT_EQ(bar.Release(t.MidA(), -1), std::nullopt);
  // A release with no press before it does nothing.
  EXPECT_EQ(bar.Release(t.MidB(), 10), std::nullopt);
  // Pressed beside the items.
  bar.Press(5000, 10);
  EXPECT_EQ(bar.Release(5000, 10), std::nullopt);
}

TEST(MenuBarPointer, MenuChangesDuringAPressDecideTheClick) {
  TwoItemBar t;
  MenuBar& bar = t.bar;
  // The pressed item is disabled before the release.
  bar.Press(t.MidA(), 10);
  ASSERT_TRUE(bar.SetItems({Item("a", "aa", false), Item("b", "bb")}));
  EXPECT_EQ(bar.Release(t.MidA(), 10), std::nullopt);

  // A disabled item takes no press; enabled again it does.
  bar.Press(t.MidA(), 10);
  EXPECT_EQ(bar.Sunken(), -1);
  EXPECT_EQ(bar.Release(t.MidA(), 10), std::nullopt);
  bar.SetItems({Item("a", "aa"), Item("b", "bb")});

  // Another item takes the pressed one's place: the press is forgotten.
  bar.Press(t.MidA(), 10);
  bar.SetItems({Item("z", "aa"), Item("b", "bb")});
  EXPECT_EQ(bar.Release(t.MidA(), 10), std::nullopt);

  // A change elsewhere keeps the press.
  bar.SetItems({Item("a", "aa"), Item("b", "bb")});
  bar.Press(t.MidA(), 10);
  bar.SetItems({Item("a", "aa"), Item("b", "bb", false)});
  EXPECT_EQ(bar.Release(t.MidA(), 10), std::optional<std::string>("a"));

  // The pressed item's index no longer exists.
  bar.SetItems({Item("q", "q"), Item("a", "aa")});
  bar.Press(t.bar.Rects()[1].x + 1, 10);
  bar.SetItems({Item("q", "q")});
  EXPECT_EQ(bar.Release(t.bar.Rects()[0].x + 1, 10), std::nullopt);
}

TEST(MenuBarPointer, LookChangesMarkTheBarDirtyAndOthersDoNot) {
  TwoItemBar t;
  MenuBar& bar = t.bar;
  EXPECT_FALSE(bar.SetItems({Item("a", "aa"), Item("b", "bb")}));  // the same items
  EXPECT_FALSE(bar.Dirty());

  bar.Hover(t.MidA(), 10);
  EXPECT_EQ(bar.Highlighted(), 0);
  EXPECT_TRUE(bar.Dirty());
  bar.ClearDirty();
  bar.Hover(t.MidA() + 1, 11);  // still over "a"
  EXPECT_FALSE(bar.Dirty());
  bar.Hover(t.MidB(), 10);
  EXPECT_EQ(bar.Highlighted(), 1);
  EXPECT_TRUE(bar.Dirty());
  bar.ClearDirty();
  bar.Leave();
  EXPECT_EQ(bar.Highlighted(), -1);
  EXPECT_TRUE(bar.Dirty());
  bar.ClearDirty();
  bar.Leave();
  EXPECT_FALSE(bar.Dirty());

  // A disabled item shows no highlight, so moving onto it changes nothing.
  bar.SetItems({Item("a", "aa"), Item("b", "bb", false)});
  bar.ClearDirty();
  bar.Hover(t.MidB(), 10);
  EXPECT_EQ(bar.Highlighted(), -1);
  EXPECT_FALSE(bar.Dirty());

  // The pointer stays put while the items move under it.
  bar.Hover(t.MidA(), 10);
  bar.SetItems({Item("a", "aa", true, false), Item("b", "bb")});
  EXPECT_EQ(bar.Highlighted(), 1);  // "b" slid under the pointer
  EXPECT_TRUE(bar.Dirty());
}

// --- drawing -----------------------------------------------------------------------

int CountColour(const Surface& s, const MenuRect& r, Rgb c) {
  int n = 0;
  for (int y = r.y; y < r.y + r.h; ++y) {
    for (int x = r.x; x < r.x + r.w; ++x) n += s.Point(x, y) == c;
  }
  return n;
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
  ASSERT_EQ(strip.Width(), r[3].x + 4);
  ASSERT_EQ(strip.Height(), kMenuBarHeight);
  const Rgb face = strip.Point(0, 0);
  EXPECT_GT(CountColour(strip, r[0], kBlack), 20);
  EXPECT_EQ(CountColour(strip, r[0], 0x808080), 0);
  EXPECT_EQ(CountColour(strip, r[2], kBlack), 0);  // greyed
  EXPECT_GT(CountColour(strip, r[2], 0x808080), 20);
  EXPECT_GT(CountColour(strip, r[2], kWhite), 20);
  // The caption fits the strip's height with a row to spare above and below.
  for (int x = 0; x < strip.Width(); ++x) {
    ASSERT_EQ(strip.Point(x, 0), face) << x;
    ASSERT_EQ(strip.Point(x, kMenuBarHeight - 1), face) << x;
  }

  // The highlighted item gets a raised edge; pressed, a sunken one.
  bar.Hover(r[0].x + 3, 10);
  bar.Draw(strip, strip.Width());
  EXPECT_EQ(strip.Point(r[0].x, 1), kWhite);
  EXPECT_EQ(strip.Point(r[0].x + r[0].w - 1, kMenuBarHeight - 2), 0x808080u);
  EXPECT_EQ(strip.Point(r[2].x, 1), face);
  bar.Press(r[0].x + 3, 10);
  bar.Draw(strip, strip.Width());
  EXPECT_EQ(strip.Point(r[0].x, 1), 0x808080u);
  EXPECT_EQ(strip.Point(r[0].x + r[0].w - 1, kMenuBarHeight - 2), kWhite);
}

TEST(MenuBarDraw, WithoutAFontTheBarStillWorks) {
  MenuBar bar;
  bar.SetItems({Item("a", "ab"), Item("k", "カナ")});
  // Half-width and full-width characters of the 12-pixel face.
  EXPECT_EQ(bar.Rects()[0].w, 12 + 2 * kMenuItemPadding);
  EXPECT_EQ(bar.Rects()[1].w, 24 + 2 * kMenuItemPadding);
  Surface strip;
  bar.Draw(strip, 0);
  EXPECT_TRUE(strip.Empty());
  bar.Draw(strip, 640);
  EXPECT_EQ(strip.Width(), 640);
  EXPECT_EQ(bar.Release(3, 3), std::nullopt);
  bar.Press(3, 3);
  EXPECT_EQ(bar.Release(3, 3), std::optional<std::string>("a"));
}

// --- the headless script's `menu` -------------------------------------------------

// Menu choices and closes with the game time they arrived at.
class TimedSink : public InputSink {
 public:
  explicit TimedSink(Platform& p) : p_(p) { p.SetInputSink(this); }
  void OnMenu(const std::string& item) override { Add("menu " + item); }
  void OnClose() override { Add("close"); }
  std::vector<std::string> events;

 private:
  void Add(const std::string& what) { events.push_back(std::to_string(p_.Ticks()) + " " + what); }
  Platform& p_;
};

std::unique_ptr<Platform> Headless(const std::string& script) {
  HeadlessOptions options;
  options.inputScript = script;
  Result<std::unique_ptr<Platform>> p = CreateHeadlessPlatform(options);
  EXPECT_TRUE(p.ok()) << p.error();
  return p ? std::move(p.value()) : nullptr;
}

using Events = std::vector<std::string>;

TEST(HeadlessMenu, ReachesTheGameOnlyThroughALiveItem) {
  auto p = Headless(
      "menu prog_end\nmenu prog_save\nmenu opt_menu\nmenu nothing\n"
      "wait 10\nmenu prog_save\n");
  TimedSink sink(*p);
  std::ostringstream trace;
  p->trace().SetStream(&trace);
  p->SetMenu({MenuItem{"prog_end", "終了"}, MenuItem{"prog_save", "セーブ", false},
              MenuItem{"opt_menu", "設定", true, false}});
  p->SetGameState("keys");
  p->DoEvents();
  EXPECT_EQ(sink.events, (Events{"0 menu prog_end"}));
  // Dropped items are no input: the next DoEvents goes on past all three.
  p->SetGameState("keys");
  p->DoEvents();
  EXPECT_EQ(trace.str(),
            "{\"t\":0,\"ev\":\"menu\",\"item\":\"prog_save\",\"op\":\"ignored\"}\n"
            "{\"t\":0,\"ev\":\"menu\",\"item\":\"opt_menu\",\"op\":\"ignored\"}\n"
            "{\"t\":0,\"ev\":\"menu\",\"item\":\"nothing\",\"op\":\"ignored\"}\n");
  // The item is enabled by the time the script gets to it again.
  p->SetMenu({MenuItem{"prog_save", "セーブ"}});
  p->Sleep(10);
  p->DoEvents();
  EXPECT_EQ(sink.events, (Events{"0 menu prog_end", "10 menu prog_save"}));

  // Nor do they end the game's wait: the script is used up while the game
  // still waits, so it closes.
  auto q = Headless("menu prog_end\n");
  TimedSink sinkQ(*q);
  q->SetGameState("idle");
  q->DoEvents();
  EXPECT_EQ(sinkQ.events, (Events{"0 close"}));
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
    e.type = type;
    e.button.windowID = windowId_;
    e.button.button = SDL_BUTTON_LEFT;
    e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.button.x = x;
    e.button.y = y;
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

TEST_F(SdlWindowTest, Present_ShowsTheStageAndLeavesInputForDoEvents) {
  Push(SDL_MOUSEBUTTONDOWN, 100, kMenuBarHeight + 50);
  picture_.SetBackColor(0x996633);
  platform_->stage().Invalidate();
  platform_->Present();
  EXPECT_FALSE(platform_->stage().Dirty());
  EXPECT_TRUE(sink_.events.empty());
  platform_->DoEvents();
  EXPECT_EQ(sink_.events, Strings{"click 100 50"});
}

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
  EXPECT_EQ(ClickAt(quitX, kMenuBarHeight), Strings{"click " + std::to_string(quitX) + " 0"});

  // Pressed on one item, released on the other.
  sink_.events.clear();
  Push(SDL_MOUSEBUTTONDOWN, quitX, 10);
  Push(SDL_MOUSEBUTTONUP, rects[1].x + rects[1].w, 10);
  platform_->DoEvents();
  EXPECT_EQ(sink_.events, Strings{});

  platform_->SetMenu({MenuItem{"quit", "終了", false}});
  EXPECT_EQ(ClickAt(3, 10), Strings{});
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
