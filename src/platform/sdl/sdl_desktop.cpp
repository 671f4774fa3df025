#include "platform/sdl/sdl_desktop.h"

#include <SDL.h>
#include <SDL_syswm.h>

namespace kovan {

// An X server on its own (a bare session, a virtual server) has nobody to
// act on a full-screen request: the window would stay as it is while SDL
// believes it covers the screen. Window managers that know full screen
// announce themselves on the root window.
bool DesktopDoesFullScreen(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (SDL_GetWindowWMInfo(window, &info) != SDL_TRUE) return true;
#if defined(SDL_VIDEO_DRIVER_X11)
  if (info.subsystem == SDL_SYSWM_X11) {
    Display* display = info.info.x11.display;
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None) return false;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const int read = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False,
                                        XA_WINDOW, &type, &format, &count, &after, &data);
    if (data != nullptr) XFree(data);
    return read == Success && type == XA_WINDOW && count == 1;
  }
#endif
  return true;
}

}  // namespace kovan
