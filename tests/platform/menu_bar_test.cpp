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

// --- pointer, press and release ------------------------------------------------------

// A bar without a font: "a" and "b" sit at known places.
struct TwoItemBar {
  TwoItemBar() {
    bar.SetItems({MenuItem{"a", "aa"}, MenuItem{"b", "bb"}});
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
    bar.SetItems({MenuItem{"a", "aa"}, MenuItem{"b", "bb"}});
    bar.Press(t.MidA(), 10);
    if (!meanwhile.empty()) bar.SetItems(meanwhile);
    return bar.Release(releaseX, releaseY);
  };
  EXPECT_EQ(clickWith(t.MidB(), 10, {}), std::nullopt);   // dragged to the other item
  EXPECT_EQ(clickWith(t.MidA(), -1, {}), std::nullopt);   // or off the bar
  EXPECT_EQ(clickWith(t.MidA(), 10, {MenuItem{"a", "aa", false}, MenuItem{"b", "bb"}}), std::nullopt);
  EXPECT_EQ(clickWith(t.MidA(), 10, {MenuItem{"z", "aa"}, MenuItem{"b", "bb"}}), std::nullopt);
  EXPECT_EQ(clickWith(t.MidA(), 10, {MenuItem{"a", "aa"}}), std::optional<std::string>("a"));
  EXPECT_EQ(clickWith(t.MidA(), 10, {MenuItem{"a", "aa"}, MenuItem{"b", "bb", false}}),
            std::optional<std::string>("a"));
  EXPECT_EQ(bar.Release(t.MidB(), 10), std::nullopt);  // no press before it
  bar.SetItems({MenuItem{"a", "aa", false}, MenuItem{"b", "bb"}});
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
  bar.SetItems({MenuItem{"end", "終了"}, MenuItem{"hid", "隠し", true, false},
                MenuItem{"save", "セーブ", false}, MenuItem{"far", "ずっと右"}});
  const std::vector<MenuRect>& r = bar.Rects();
  EXPECT_EQ(r[2].x, r[0].w);  // the hidden item takes no room
  Surface strip;
  bar.Draw(strip, r[3].x + 4);  // the last item is cut off at the edge
  ASSERT_EQ(std::vector<int>({strip.Width(), strip.Height()}),
            std::vector<int>({r[3].x + 4, kMenuBarHeight}));
  EXPECT_GT(CountColour(strip, r[0], kBlack), 20);
  EXPECT_EQ(CountColour(strip, r[2], kBlack), 0);  // greyed
  EXPECT_GT(CountColour(strip, r[2], 0x808080), 20);
  // The highlighted item changes its look; the others keep theirs.
  const Surface plain = strip;
  bar.Hover(r[0].x + 3, 10);
  bar.Draw(strip, strip.Width());
  EXPECT_FALSE(testing::SameArea(strip, r[0].x, 0, plain, r[0].x, 0, r[0].w, kMenuBarHeight));
  EXPECT_TRUE(testing::SameArea(strip, r[2].x, 0, plain, r[2].x, 0, r[2].w, kMenuBarHeight));
}

#if defined(KOVAN_SDL_TESTS)
// --- in the SDL window ---------------------------------------------------------------
// This needs a display (an X server or xvfb-run). Input is pushed onto SDL's
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

using Strings = std::vector<std::string>;

// The real window, showing a picture, its input going to a sink.
struct OpenWindow {
  std::unique_ptr<Platform> platform;
  Uint32 id = 0;  // SDL's id of the window; 0 when it didn't open
};

OpenWindow Open(Surface& picture, ClickSink& sink) {
#if defined(__SANITIZE_ADDRESS__)
  // The display's client libraries keep allocations for the life of the
  // process; they are not ours to free.
  __lsan_disable();
#endif
  static constexpr const char* kCaption = "kovan menu bar test";
  OpenWindow w;
  Result<std::unique_ptr<Platform>> created = CreateSdlPlatform();
  EXPECT_TRUE(created.ok()) << created.error();
  if (!created.ok()) return w;
  w.platform = std::move(created.value());
  w.platform->SetInputSink(&sink);
  w.platform->SetCaption(kCaption);
  picture.shown = true;
  w.platform->stage().Add(&picture);
  w.platform->ShowWindow(true);
  w.platform->DoEvents();
  for (Uint32 id = 1; id < 1000 && w.id == 0; ++id) {
    SDL_Window* win = SDL_GetWindowFromID(id);
    if (win != nullptr && std::string(SDL_GetWindowTitle(win)) == kCaption) w.id = id;
  }
  return w;
}

// A left button event at a window point, queued for the next pass.
void PushButton(Uint32 windowId, Uint32 type, int x, int y) {
  SDL_Event e{};
  e.button = SDL_MouseButtonEvent{type, 0, windowId, 0, SDL_BUTTON_LEFT,
                                  Uint8(type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED),
                                  1, 0, x, y};
  EXPECT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
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

// Clicks reach the game only on a live item; the framebuffer holds exactly
// the picture; a wait sleeps until a timer or input.
TEST(SdlWindowTest, RealWindow_ClicksPictureAndWaits) {
  if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no display";
  Surface picture(Stage::kWidth, Stage::kHeight, 0x336699);
  ClickSink sink;
  OpenWindow w = Open(picture, sink);
  ASSERT_NE(w.id, 0u);
  Platform& p = *w.platform;
  // A left click at a window point, then one pass of events.
  const auto clickAt = [&](int x, int y) {
    sink.events.clear();
    for (Uint32 type : {SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP}) PushButton(w.id, type, x, y);
    p.DoEvents();
    return sink.events;
  };
  // No items: the strip is there, and a click on it reaches nothing.
  EXPECT_EQ(clickAt(3, 10), Strings{});

  p.SetMenu({MenuItem{"hid", "隠し", true, false}, MenuItem{"quit", "終了"},
              MenuItem{"opt", "設定", false}});
  Result<std::unique_ptr<Font>> font = Font::Open("ＭＳ ゴシック", 9);
  ASSERT_TRUE(font.ok()) << font.error();
  const std::vector<MenuRect> rects =
      LayoutMenuBar(p.Menu(), [&](const std::string& s) { return (*font)->TextWidth(s); });
  const int quitX = rects[1].x + rects[1].w / 2, optX = rects[2].x + rects[2].w / 2;
  EXPECT_EQ(clickAt(quitX, 10), Strings{"menu quit"});
  EXPECT_EQ(clickAt(optX, 10), Strings{});
  // The picture's top row is the picture's, not the strip's.
  EXPECT_EQ(clickAt(quitX, kMenuBarHeight), Strings{"click " + std::to_string(quitX) + " 0"});
  p.SetMenu({MenuItem{"quit", "終了"}});
  EXPECT_EQ(clickAt(3, 10), Strings{"menu quit"});

  // Small changes go out as their own rectangles; the window must still
  // hold exactly the picture after each.
  for (int i = 0; i < 5; ++i) {
    picture.FillBox(40 * i, 30 * i, 40 * i + 9, 30 * i + 17, MakeRgb(50 * i, 255 - i, 7 * i));
    p.stage().Invalidate();
    p.Present();
    EXPECT_EQ(ShownPicture(w.id), picture.Pixels()) << "after change " << i;
  }
  // A wait for input sleeps through empty steps: it ends on a timer or on
  // input, not before.
  bool fired = false;
  const int timer = p.AddTimer(45, [&] { fired = true; });
  std::uint32_t start = p.Ticks();
  while (!fired) {
    p.WaitSteps(10);
    p.DoEvents();
  }
  EXPECT_GE(p.Ticks() - start, 45u);
  p.EnableTimer(timer, false);
  start = p.Ticks();
  sink.events.clear();
  PushButton(w.id, SDL_MOUSEBUTTONDOWN, 100, kMenuBarHeight + 50);
  p.WaitSteps(10);
  EXPECT_LT(p.Ticks() - start, 200u);
  p.DoEvents();
  EXPECT_EQ(sink.events, Strings{"click 100 50"});
}

#endif

}  // namespace
}  // namespace kovan
