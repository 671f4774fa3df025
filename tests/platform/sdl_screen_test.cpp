// The real window in full screen and back, and where its clicks land. Runs
// only in a test binary that links the SDL backend, on a display (an X
// server or xvfb-run; with or without a window manager).
#if defined(KOVAN_SDL_TESTS)
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "platform/sdl/sdl_platform.h"
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace kovan {
namespace {

class ClickSink : public InputSink {
 public:
  void OnMouseDown(MouseButton, int x, int y) override {
    clicks.push_back(std::to_string(x) + "," + std::to_string(y));
  }
  std::vector<std::string> clicks;
};

// The newest window is the one the platform just made.
Uint32 NewestWindowId() {
  for (Uint32 id = 1000; id > 0; --id) {
    if (SDL_GetWindowFromID(id) != nullptr) return id;
  }
  return 0;
}

void Click(Uint32 window, int x, int y) {
  SDL_Event e{};
  e.type = SDL_MOUSEBUTTONDOWN;
  e.button.windowID = window;
  e.button.button = SDL_BUTTON_LEFT;
  e.button.state = SDL_PRESSED;
  e.button.x = x;
  e.button.y = y;
  SDL_PushEvent(&e);
}

// Lets the window system catch up (a window manager answers a while later)
// until the placement is what the test waits for, or two seconds pass.
WindowPlacement Settle(Platform& p, const std::function<bool(const WindowPlacement&)>& done) {
  const std::uint32_t start = p.Ticks();
  WindowPlacement now = p.Placement();
  while (!done(now) && p.Ticks() - start < 2000) {
    p.DoEvents();
    p.Sleep(10);
    now = p.Placement();
  }
  return now;
}

TEST(SdlScreen, FullScreenCoversTheDisplayAndComesBackCentred) {
  if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no display";
#if defined(__SANITIZE_ADDRESS__)
  __lsan_disable();  // the display's client libraries keep their allocations
#endif
  auto created = CreateSdlPlatform();
  ASSERT_TRUE(created.ok()) << created.error();
  Platform& p = **created;
  ClickSink sink;
  p.SetInputSink(&sink);
  p.SetClientSize(640, 480);
  p.ShowWindow(true);
  p.CentreWindow();
  p.DoEvents();
  const Uint32 window = NewestWindowId();
  const DisplayInfo d = p.Display();

  ASSERT_TRUE(p.SetFullScreen(true).ok());
  const WindowPlacement full =
      Settle(p, [&](const WindowPlacement& w) { return w.width == d.width && w.x == 0; });
  EXPECT_TRUE(full.fullScreen);
  EXPECT_FALSE(full.caption);
  EXPECT_FALSE(full.menuStrip);
  EXPECT_EQ(full.y, 0);
  EXPECT_EQ(full.height, d.height);
  // The picture fills the screen's height or width, its aspect kept.
  EXPECT_TRUE(full.pictureWidth == d.width || full.pictureHeight == d.height);
  EXPECT_EQ(full.pictureWidth * 3, full.pictureHeight * 4);
  // The screen's centre is the picture's; the bars take no clicks.
  Click(window, d.width / 2, d.height / 2);
  Click(window, 0, 0);
  p.DoEvents();
  EXPECT_EQ(sink.clicks, std::vector<std::string>{"320,240"});

  ASSERT_TRUE(p.SetFullScreen(false).ok());
  p.SetClientSize(640, 480);
  p.CentreWindow();
  const WindowPlacement back =
      Settle(p, [&](const WindowPlacement& w) { return w.width == 640 && w.x > 0; });
  EXPECT_FALSE(back.fullScreen);
  EXPECT_TRUE(back.caption);
  EXPECT_TRUE(back.menuStrip);
  EXPECT_EQ(back.width, 640);
  EXPECT_EQ(back.pictureWidth, 640);
  EXPECT_EQ(back.pictureHeight, 480);
  EXPECT_EQ(back.x, (d.width - back.width) / 2);
  EXPECT_EQ(back.y, (d.height - back.height) / 2);
  // Below the menu strip, window points are picture pixels again.
  sink.clicks.clear();
  Click(window, 10, back.height - 480 + 10);
  p.DoEvents();
  EXPECT_EQ(sink.clicks, std::vector<std::string>{"10,10"});
  p.SetInputSink(nullptr);
}

}  // namespace
}  // namespace kovan
#endif
