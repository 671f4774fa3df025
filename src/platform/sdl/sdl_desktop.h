// What the desktop around the window can do. Kept apart from the rest of
// the backend: the X11 headers it needs define names (Status, Display ...)
// that clash with ours.
#pragma once

struct SDL_Window;

namespace kovan {

// Whether something on the desktop (a Wayland compositor, an X window
// manager that announces itself) carries out the window's full-screen
// requests.
bool DesktopDoesFullScreen(SDL_Window* window);

}  // namespace kovan
