#include "platform/sdl/sdl_platform.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_window_platform.h"
#include "platform/signals.h"
#include "platform/system_facts.h"

namespace kovan {

namespace {

constexpr Uint8 kStripGrey[3] = {0xD4, 0xD0, 0xC8};

// The code points of a UTF-8 text; a malformed byte is skipped.
std::vector<char32_t> CodePoints(const char* utf8) {
  std::vector<char32_t> out;
  const auto* p = reinterpret_cast<const unsigned char*>(utf8);
  while (*p != 0) {
    const unsigned char lead = *p;
    const int n = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (n == 0) {
      ++p;
      continue;
    }
    char32_t cp = n == 1 ? lead : lead & (0x7F >> n);
    int k = 1;
    for (; k < n && (p[k] & 0xC0) == 0x80; ++k) cp = (cp << 6) | (p[k] & 0x3F);
    if (k == n) out.push_back(cp);
    p += k;
  }
  return out;
}

// The keys that arrive by name rather than as text.
std::optional<Key> NamedKey(SDL_Keycode sym) {
  switch (sym) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
      return Key{KeyCode::kEnter, U'\r'};
    case SDLK_SPACE:
      return Key{KeyCode::kSpace, U' '};
    case SDLK_ESCAPE:
      return Key{KeyCode::kEscape, 0x1B};
    case SDLK_UP:
      return Key{KeyCode::kUp, 0};
    case SDLK_DOWN:
      return Key{KeyCode::kDown, 0};
    case SDLK_LEFT:
      return Key{KeyCode::kLeft, 0};
    case SDLK_RIGHT:
      return Key{KeyCode::kRight, 0};
    case SDLK_TAB:
      return Key{KeyCode::kTab, U'\t'};
    default:
      return std::nullopt;
  }
}

}  // namespace

Status SdlPlatform::Init() {
  // The program installs its own SIGINT/SIGTERM handling.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  if (!subsystems_.Start(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER)) {
    return Status::Error(SdlError("cannot start SDL video"));
  }
  start_ = SDL_GetTicks();
  window_.reset(SDL_CreateWindow("", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, clientWidth_,
                                 clientHeight_ + StripHeight(),
                                 SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE));
  if (!window_) return Status::Error(SdlError("cannot create the window"));
  renderer_.reset(SDL_CreateRenderer(window_.get(), -1, 0));
  if (!renderer_) return Status::Error(SdlError("cannot create the renderer"));
  picture_.reset(SDL_CreateTexture(renderer_.get(), SDL_PIXELFORMAT_RGB888,
                                   SDL_TEXTUREACCESS_STREAMING, Stage::kWidth, Stage::kHeight));
  if (!picture_) return Status::Error(SdlError("cannot create the picture texture"));
  // Cursors are a nicety: a system without them keeps its default.
  arrowCursor_.reset(SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW));
  waitCursor_.reset(SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_WAIT));
  ApplySize();
  return Status();
}

void SdlPlatform::ApplySize() {
  const int h = clientHeight_ + StripHeight();
  SDL_RenderSetLogicalSize(renderer_.get(), clientWidth_, h);
  SDL_SetWindowSize(window_.get(), clientWidth_, h);
  needRedraw_ = true;
}

void SdlPlatform::SetClientSize(int w, int h) {
  clientWidth_ = std::clamp(w, 1, 16384);
  clientHeight_ = std::clamp(h, 1, 16384);
  ApplySize();
}

void SdlPlatform::CentreWindow() {
  SDL_SetWindowPosition(window_.get(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
}

void SdlPlatform::ShowWindow(bool shown) {
  shown_ = shown;
  if (shown) {
    SDL_ShowWindow(window_.get());
    needRedraw_ = true;
  } else {
    SDL_HideWindow(window_.get());
  }
}

void SdlPlatform::SetCaption(const std::string& utf8) {
  caption_ = utf8;
  SDL_SetWindowTitle(window_.get(), utf8.c_str());
}

void SdlPlatform::SetWaitCursor(bool wait) {
  SDL_Cursor* cursor = wait ? waitCursor_.get() : arrowCursor_.get();
  if (cursor != nullptr) SDL_SetCursor(cursor);
}

void SdlPlatform::ToggleCaption() {
  captionOn_ = !captionOn_;
  SDL_SetWindowBordered(window_.get(), captionOn_ ? SDL_TRUE : SDL_FALSE);
  ApplySize();
}

DisplayInfo SdlPlatform::Display() {
  SDL_DisplayMode mode{};
  if (SDL_GetDesktopDisplayMode(0, &mode) != 0) return DisplayInfo{};
  // A 32-bit pixel with 24 colour bits is what the system reports as 32.
  const int bytes = SDL_BYTESPERPIXEL(mode.format);
  const int depth = bytes >= 3 ? bytes * 8 : static_cast<int>(SDL_BITSPERPIXEL(mode.format));
  return DisplayInfo{mode.w, mode.h, depth};
}

SystemFacts SdlPlatform::Facts() { return ReadSystemFacts(); }

void SdlPlatform::SetImeOpen(bool open) {
  if (open) {
    SDL_StartTextInput();
  } else {
    SDL_StopTextInput();
  }
}

void SdlPlatform::DoEvents() {
  bool close = pendingClose_;
  pendingClose_ = false;
  // While a box is open (a timer handler may pump from inside it) input
  // stays with the box.
  if (!boxOpen_) {
    SDL_Event e;
    while (SDL_PollEvent(&e)) close = HandleEvent(e) || close;
  }
  if (CloseSignalPending()) {
    ClearCloseSignal();
    close = true;
  }
  if (close && sink() != nullptr) sink()->OnClose();
  FireTimers();
  Present();
}

// The idle path: the game calls DoEvents then sleeps, a hundred times a
// second. Nothing is composed, uploaded or rendered unless it changed.
void SdlPlatform::Present() {
  if (shown_ && !boxOpen_ && FrameStale()) {
    UpdatePicture();
    RenderFrame(nullptr, nullptr);
  }
}

void SdlPlatform::SetMenu(const std::vector<MenuItem>& items) {
  if (SameMenu(items, Menu())) return;
  Platform::SetMenu(items);
  menuBar_.SetFont(UiFont());
  menuBar_.SetItems(items);
}

bool SdlPlatform::HandleEvent(const SDL_Event& e) {
  const Uint32 mainId = SDL_GetWindowID(window_.get());
  switch (e.type) {
    case SDL_QUIT:
      return true;
    case SDL_WINDOWEVENT:
      if (e.window.windowID != mainId) break;
      if (e.window.event == SDL_WINDOWEVENT_CLOSE) return true;
      if (e.window.event == SDL_WINDOWEVENT_EXPOSED ||
          e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
        needRedraw_ = true;
      }
      if (e.window.event == SDL_WINDOWEVENT_LEAVE) menuBar_.Leave();
      break;
    case SDL_MOUSEBUTTONDOWN:
      if (e.button.windowID == mainId) HandleMouseDown(e.button);
      break;
    case SDL_MOUSEBUTTONUP:
      if (e.button.windowID == mainId) HandleMouseUp(e.button);
      break;
    case SDL_MOUSEMOTION:
      if (e.motion.windowID == mainId) HandleMouseMotion(e.motion);
      break;
    case SDL_KEYDOWN:
      HandleKey(e.key);
      break;
    case SDL_TEXTINPUT:
      HandleText(e.text.text);
      break;
    case SDL_MOUSEWHEEL:
      if (e.wheel.windowID == mainId && e.wheel.y != 0 && sink() != nullptr && !FormOpen()) {
        const int steps = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
        sink()->OnWheel(steps);
      }
      break;
    default:
      break;
  }
  return false;
}

// The renderer has already turned window pixels into logical ones: the
// strip's rows first, then the picture's.
void SdlPlatform::HandleMouseDown(const SDL_MouseButtonEvent& b) {
  // An open dialog disables the menu bar and the picture.
  if (b.y < StripHeight()) {
    if (b.button == SDL_BUTTON_LEFT && !FormOpen()) menuBar_.Press(b.x, b.y);
    return;
  }
  const int x = b.x, y = b.y - StripHeight();
  if (FormOpen()) {
    if (b.button == SDL_BUTTON_LEFT) FormMouseDown(x, y);
    return;
  }
  if (sink() == nullptr || x < 0 || y < 0 || x >= clientWidth_ || y >= clientHeight_) return;
  if (b.button == SDL_BUTTON_LEFT) sink()->OnMouseDown(MouseButton::kLeft, x, y);
  if (b.button == SDL_BUTTON_RIGHT) sink()->OnMouseDown(MouseButton::kRight, x, y);
}

// A menu item answers when the button comes up over the enabled item it
// went down on.
void SdlPlatform::HandleMouseUp(const SDL_MouseButtonEvent& b) {
  if (b.button != SDL_BUTTON_LEFT) return;
  if (FormMouseUp(b.x, b.y - StripHeight())) return;
  const int barY = b.y < StripHeight() ? b.y : -1;
  const std::optional<std::string> item = menuBar_.Release(b.x, barY);
  if (item && sink() != nullptr) sink()->OnMenu(*item);
}

void SdlPlatform::HandleMouseMotion(const SDL_MouseMotionEvent& m) {
  if (m.y < StripHeight()) {
    // A dialog disables the bar: no item lights up under the pointer.
    if (!FormOpen()) menuBar_.Hover(m.x, m.y);
    return;
  }
  menuBar_.Leave();
  const int x = m.x, y = m.y - StripHeight();
  if (FormMouseMove(x, y)) return;
  if (sink() != nullptr && x >= 0 && x < clientWidth_ && y < clientHeight_) {
    sink()->OnMouseMove(x, y);
  }
}

void SdlPlatform::HandleKey(const SDL_KeyboardEvent& k) {
  if (std::optional<Key> named = NamedKey(k.keysym.sym)) {
    if (!FormKeyDown(*named) && sink() != nullptr) sink()->OnKeyDown(*named);
    return;
  }
  if (sink() == nullptr || FormOpen()) return;
  // Characters come as text while text input runs; without it, the
  // printable ASCII keys stand in.
  const SDL_Keycode sym = k.keysym.sym;
  if (SDL_IsTextInputActive() || sym <= 0x20 || sym >= 0x7F) return;
  char32_t ch = static_cast<char32_t>(sym);
  if ((k.keysym.mod & (KMOD_SHIFT | KMOD_CAPS)) != 0 && ch >= U'a' && ch <= U'z') {
    ch = ch - U'a' + U'A';
  }
  sink()->OnKeyDown(Key{KeyCode::kChar, ch});
}

void SdlPlatform::HandleText(const char* utf8) {
  if (sink() == nullptr || FormOpen()) return;
  for (char32_t cp : CodePoints(utf8)) {
    if (cp == U' ') continue;  // Space came as its key already
    sink()->OnKeyDown(Key{KeyCode::kChar, cp});
  }
}

void SdlPlatform::UpdatePicture() {
  if (!stage().Dirty()) return;
  stage().Compose(composed_);
  SDL_UpdateTexture(picture_.get(), nullptr, composed_.Pixels().data(),
                    Stage::kWidth * static_cast<int>(sizeof(Rgb)));
  stage().ClearDirty();
}

// The strip's texture follows the window's width; its pixels are drawn
// again only when the bar's look changed. Without a texture (a window wider
// than the renderer allows) the bare strip shows.
void SdlPlatform::UpdateMenuStrip() {
  bool fresh = false;
  if (menuStripWidth_ != clientWidth_) {
    menuStrip_.reset(SDL_CreateTexture(renderer_.get(), SDL_PIXELFORMAT_RGB888,
                                       SDL_TEXTUREACCESS_STREAMING, clientWidth_, kStripHeight));
    menuStripWidth_ = clientWidth_;
    fresh = true;
  }
  if (menuStrip_ && (fresh || menuBar_.Dirty())) {
    menuBar_.Draw(menuPixels_, clientWidth_);
    SDL_UpdateTexture(menuStrip_.get(), nullptr, menuPixels_.Pixels().data(),
                      menuPixels_.Width() * static_cast<int>(sizeof(Rgb)));
  }
  menuBar_.ClearDirty();
}

void SdlPlatform::RenderFrame(SDL_Texture* overlay, const SDL_Rect* at) {
  SDL_Renderer* r = renderer_.get();
  SDL_SetRenderDrawColor(r, 0, 0, 0, 255);
  SDL_RenderClear(r);
  if (StripHeight() > 0) {
    const SDL_Rect strip{0, 0, clientWidth_, StripHeight()};
    UpdateMenuStrip();
    if (menuStrip_) {
      SDL_RenderCopy(r, menuStrip_.get(), nullptr, &strip);
    } else {
      SDL_SetRenderDrawColor(r, kStripGrey[0], kStripGrey[1], kStripGrey[2], 255);
      SDL_RenderFillRect(r, &strip);
    }
  }
  const SDL_Rect picture{0, StripHeight(), Stage::kWidth, Stage::kHeight};
  SDL_RenderCopy(r, picture_.get(), nullptr, &picture);
  if (overlay != nullptr) SDL_RenderCopy(r, overlay, nullptr, at);
  SDL_RenderPresent(r);
  needRedraw_ = false;
}

Result<std::unique_ptr<Platform>> CreateSdlPlatform(const std::string& soundFont) {
  auto platform = std::make_unique<SdlPlatform>();
  platform->UseAudio(CreateSdlAudio(soundFont));
  if (Status started = platform->Init(); !started) {
    return Result<std::unique_ptr<Platform>>::Error(started.error());
  }
  return std::unique_ptr<Platform>(std::move(platform));
}

}  // namespace kovan
