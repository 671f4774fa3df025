#include "platform/sdl/sdl_platform.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "platform/desktop_link.h"
#include "platform/picture_scaler.h"
#include "platform/process_memory.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_window_platform.h"
#include "platform/signals.h"
#include "platform/system_facts.h"

namespace kovan {

namespace {

// The longest an idle wait sleeps in one go: a close asked for by a
// signal is seen within it.
constexpr std::uint32_t kLongestNapMs = 250;
constexpr std::uint32_t kTrimNapMs = 100;
constexpr int kBandRows = 48;  // rows composed and compared at a time
constexpr std::uint32_t kTrimEveryMs = 1000;

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
std::optional<KeyCode> NamedKey(SDL_Keycode sym) {
  switch (sym) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
      return KeyCode::kEnter;
    case SDLK_SPACE:
      return KeyCode::kSpace;
    case SDLK_ESCAPE:
      return KeyCode::kEscape;
    case SDLK_UP:
      return KeyCode::kUp;
    case SDLK_DOWN:
      return KeyCode::kDown;
    case SDLK_LEFT:
      return KeyCode::kLeft;
    case SDLK_RIGHT:
      return KeyCode::kRight;
    case SDLK_TAB:
      return KeyCode::kTab;
    case SDLK_BACKSPACE:
      return KeyCode::kBackspace;
    case SDLK_DELETE:
      return KeyCode::kDelete;
    case SDLK_HOME:
      return KeyCode::kHome;
    case SDLK_END:
      return KeyCode::kEnd;
    case SDLK_PAGEUP:
      return KeyCode::kPageUp;
    case SDLK_PAGEDOWN:
      return KeyCode::kPageDown;
    case SDLK_F11:
      return KeyCode::kF11;
    default:
      return std::nullopt;
  }
}

char32_t NamedChar(KeyCode code) {
  switch (code) {
    case KeyCode::kEnter:
      return U'\r';
    case KeyCode::kSpace:
      return U' ';
    case KeyCode::kEscape:
      return 0x1B;
    case KeyCode::kTab:
      return U'\t';
    default:
      return 0;
  }
}

}  // namespace

Status SdlPlatform::Init() {
  // The program installs its own SIGINT/SIGTERM handling.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  // Compositions longer than one event's 32 bytes arrive whole.
  SDL_SetHint(SDL_HINT_IME_SUPPORT_EXTENDED_TEXT, "1");
  // The window's framebuffer is the X server's shared memory, not a GPU
  // texture: the GL stack stays unloaded (the environment may still say
  // otherwise).
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  if (!subsystems_.Start(SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER)) {
    return Status::Error(SdlError("cannot start SDL video"));
  }
  start_ = SDL_GetTicks();
  scale_ = FittingScale(options_.scale);
  // High-DPI desktops give the drawable more pixels than the window has
  // points: the picture is rendered at the drawable's size.
  window_.reset(
      SDL_CreateWindow("", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, clientWidth_ * scale_,
                       clientHeight_ * scale_ + StripHeight(),
                       SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI));
  if (!window_) return Status::Error(SdlError("cannot create the window"));
  SDL_SetWindowMinimumSize(window_.get(), Stage::kWidth / 2, Stage::kHeight / 2 + kStripHeight);
  Result<std::unique_ptr<SdlPresenter>> presenter =
      CreateSdlPresenter(window_.get(), options_.renderer);
  if (!presenter) return Status::Error(presenter.error());
  presenter_ = std::move(presenter.value());
  // Cursors are a nicety: a system without them keeps its default.
  arrowCursor_.reset(SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW));
  waitCursor_.reset(SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_WAIT));
  ApplySize();
  // Text input runs only while a dialog's text box has the focus.
  SDL_StopTextInput();
  return Status();
}

void SdlPlatform::ApplySize() {
  SDL_SetWindowSize(window_.get(), clientWidth_ * scale_, clientHeight_ * scale_ + StripHeight());
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

// In full screen the border waits until the window leaves it.
void SdlPlatform::ToggleCaption() {
  captionOn_ = !captionOn_;
  if (!fullScreen_) SDL_SetWindowBordered(window_.get(), captionOn_ ? SDL_TRUE : SDL_FALSE);
  needRedraw_ = true;
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
  imeWanted_ = open;
  if (textForForm_) return;
  if (open) {
    SDL_StartTextInput();
  } else {
    SDL_StopTextInput();
  }
}

void SdlPlatform::SyncTextInput() {
  const std::optional<TextCaret> caret = shown_ ? FormTextCaret() : std::nullopt;
  if (caret && !textForForm_) {
    textForForm_ = true;
    SDL_StartTextInput();
  } else if (!caret && textForForm_) {
    textForForm_ = false;
    inputRect_.reset();
    SetImeOpen(imeWanted_);
  }
  if (!caret) return;
  // The candidate window goes just below the caret, in window points; the
  // desktop hears of it only when it moves (the caret, or the window).
  const Viewport view = CurrentViewport();
  const PicturePoint top = view.ToWindow(caret->x, caret->y);
  const PicturePoint bottom = view.ToWindow(caret->x + 1, caret->y + caret->h);
  const PixelRect rect{top.x, top.y, std::max(1, bottom.x - top.x), std::max(1, bottom.y - top.y)};
  if (rect == inputRect_) return;
  inputRect_ = rect;
  SDL_Rect at{rect.x, rect.y, rect.w, rect.h};
  SDL_SetTextInputRect(&at);
}

std::string SdlPlatform::ClipboardText() {
  char* text = SDL_GetClipboardText();
  if (text == nullptr) return "";
  std::string out = text;
  SDL_free(text);
  return out;
}

void SdlPlatform::SetClipboardText(const std::string& utf8) {
  (void)SDL_SetClipboardText(utf8.c_str());
}

Status SdlPlatform::OpenLink(const std::string& target) { return OpenWithDesktop(target); }

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
  SyncTextInput();
  Present();
}

// The idle path: the game calls DoEvents then sleeps. Nothing is composed
// or shown unless it changed, and then only the rectangles that did.
void SdlPlatform::Present() {
  if (shown_ && !boxOpen_ && FrameStale()) ShowFrame(nullptr, nullptr);
}

bool SdlPlatform::SomethingDue(std::uint32_t at) {
  if (pendingClose_ || CloseSignalPending()) return true;
  const std::optional<std::uint32_t> timer = NextTimerDue();
  if (timer && static_cast<std::int32_t>(*timer - at) <= 0) return true;
  SDL_PumpEvents();
  return SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT) == SDL_TRUE;
}

// Whole steps from the start, so the caller's loop sees the moments it
// would see sleeping one step at a time; in between, the thread sleeps in
// the window system's event wait until input or the next timer.
void SdlPlatform::WaitSteps(std::uint32_t stepMs) {
  if (stepMs == 0) return;
  const std::uint32_t start = Ticks();
  std::uint32_t boundary = start + stepMs;
  for (;;) {
    const std::uint32_t now = Ticks();
    // Woken late: the step under way ends on the next boundary.
    if (now > boundary) boundary += (now - boundary + stepMs - 1) / stepMs * stepMs;
    if (SomethingDue(boundary)) {
      if (now < boundary) SDL_Delay(boundary - now);
      return;
    }
    std::uint32_t nap = kLongestNapMs;
    if (const std::optional<std::uint32_t> timer = NextTimerDue()) {
      nap = std::clamp<std::uint32_t>(*timer - now, 1, kLongestNapMs);
    }
    // A long nap means the game waits for the player: what start-up and
    // the last scene left free in the heap goes back to the system.
    if (nap >= kTrimNapMs && now - lastTrim_ >= kTrimEveryMs) {
      ReturnFreeMemory();
      lastTrim_ = now;
    }
    (void)SDL_WaitEventTimeout(nullptr, static_cast<int>(nap));
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
      HandleText(e.text.text, e.text.timestamp);
      break;
    case SDL_TEXTEDITING:
      HandleEditing(e.edit.text, e.edit.start, e.edit.timestamp);
      break;
    case SDL_TEXTEDITING_EXT:
      HandleEditing(e.editExt.text != nullptr ? e.editExt.text : "", e.editExt.start,
                    e.editExt.timestamp);
      SDL_free(e.editExt.text);
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

// Mouse events come in window points: the strip's rows first (bar
// coordinates are points), then the scaled picture, whose pixels the game
// or an open dialog gets; the bars beside the picture take no clicks.
void SdlPlatform::HandleMouseDown(const SDL_MouseButtonEvent& b) {
  const MouseButton button =
      b.button == SDL_BUTTON_RIGHT ? MouseButton::kRight : MouseButton::kLeft;
  if (b.button != SDL_BUTTON_LEFT && b.button != SDL_BUTTON_RIGHT) return;
  if (b.y < StripHeight()) {
    // A modal dialog disables the menu bar; a modeless one loses its focus.
    DeactivateModeless();
    if (button == MouseButton::kLeft && !FormOpen()) menuBar_.Press(b.x, b.y);
    return;
  }
  const std::optional<PicturePoint> at = PictureAt(b.x, b.y);
  const PicturePoint point = at.value_or(PicturePoint{-1, -1});
  if (FormMouseDown(point.x, point.y, button)) return;
  if (sink() == nullptr || !at) return;
  sink()->OnMouseDown(button, point.x, point.y);
}

// A menu item answers when the button comes up over the enabled item it
// went down on.
void SdlPlatform::HandleMouseUp(const SDL_MouseButtonEvent& b) {
  if (b.button != SDL_BUTTON_LEFT) return;
  const PicturePoint at = PictureAt(b.x, b.y).value_or(PicturePoint{-1, -1});
  if (FormMouseUp(at.x, at.y)) return;
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
  const std::optional<PicturePoint> at = PictureAt(m.x, m.y);
  if (FormMouseMove(at ? at->x : -1, at ? at->y : -1)) return;
  if (sink() != nullptr && at) sink()->OnMouseMove(at->x, at->y);
}

void SdlPlatform::HandleKey(const SDL_KeyboardEvent& k) {
  const bool shift = (k.keysym.mod & KMOD_SHIFT) != 0;
  const bool ctrl = (k.keysym.mod & KMOD_CTRL) != 0;
  const bool formText = textForForm_ && SDL_IsTextInputActive();
  if (std::optional<KeyCode> code = NamedKey(k.keysym.sym)) {
    const Key key{.code = *code,
                  .ch = NamedChar(*code),
                  .alt = (k.keysym.mod & KMOD_ALT) != 0,
                  .shift = shift,
                  .ctrl = ctrl};
    // The screen keys act once per press, never again while held.
    const bool screenKey = key.code == KeyCode::kEscape || key.code == KeyCode::kF11 ||
                           (key.code == KeyCode::kEnter && key.alt);
    if (screenKey && k.repeat != 0) return;
    // Keys that build or commit a composition are the input method's.
    if (formText && imeGate_.Swallows(key, k.timestamp)) return;
    // A text box gets its spaces as text.
    if (formText && *code == KeyCode::kSpace) return;
    if (!FormKeyDown(key) && sink() != nullptr) sink()->OnKeyDown(key);
    return;
  }
  // Characters come as text while text input runs; without it, the
  // printable ASCII keys stand in. Ctrl with a letter is a command
  // (Ctrl+V pastes into a text box).
  const SDL_Keycode sym = k.keysym.sym;
  if (sym <= 0x20 || sym >= 0x7F) return;
  char32_t ch = static_cast<char32_t>(sym);
  if (ctrl) {
    if (ch >= U'a' && ch <= U'z') {
      (void)FormKeyDown(Key{.code = KeyCode::kChar, .ch = ch, .shift = shift, .ctrl = true});
    }
    return;
  }
  if (sink() == nullptr || FormOpen() || SDL_IsTextInputActive()) return;
  if ((k.keysym.mod & (KMOD_SHIFT | KMOD_CAPS)) != 0 && ch >= U'a' && ch <= U'z') {
    ch = ch - U'a' + U'A';
  }
  sink()->OnKeyDown(Key{KeyCode::kChar, ch});
}

void SdlPlatform::HandleText(const char* utf8, Uint32 timestamp) {
  if (textForForm_) {
    imeGate_.Committed(timestamp);
    (void)FormTextInput(utf8);
    return;
  }
  if (sink() == nullptr || FormOpen()) return;
  for (char32_t cp : CodePoints(utf8)) {
    if (cp == U' ') continue;  // Space came as its key already
    sink()->OnKeyDown(Key{KeyCode::kChar, cp});
  }
}

void SdlPlatform::HandleEditing(const char* utf8, int cursor, Uint32 timestamp) {
  if (!textForForm_) return;
  imeGate_.Editing(utf8[0] != '\0', timestamp);
  (void)FormTextEditing(utf8, cursor);
}

const Surface* SdlPlatform::StripToShow(const Viewport& view, bool whole) {
  if (view.Strip().h <= 0) return nullptr;
  // The strip is drawn a window point per pixel, as wide as the window.
  int width = 0;
  SDL_GetWindowSize(window_.get(), &width, nullptr);
  width = std::max(width, 1);
  const bool fresh = menuPixels_.Width() != width;
  if (!whole && !fresh && !menuBar_.Dirty()) return nullptr;
  menuBar_.Draw(menuPixels_, width);
  menuBar_.ClearDirty();
  return &menuPixels_;
}

// The next picture is composed a band of rows at a time and each band
// compared with the same rows of the picture on screen before it replaces
// them, so one picture-sized store serves as both. Open forms draw over
// the whole picture: it is then composed whole first.
std::vector<PixelRect> SdlPlatform::ComposeShown(const Surface* overlay, const SDL_Rect* at) {
  constexpr int kW = Stage::kWidth;
  constexpr int kH = Stage::kHeight;
  if (shownPicture_.Width() != kW || shownPicture_.Height() != kH) shownPicture_.Resize(kW, kH);
  Surface& whole = withForms_;
  if (!stage().Forms().empty()) {
    stage().Compose(whole);
  } else if (!whole.Empty()) {
    whole.Resize(0, 0);
  }
  std::vector<PixelRect> changed;
  for (int top = 0; top < kH; top += kBandRows) {
    const int rows = std::min(kBandRows, kH - top);
    if (band_.Height() != rows) {
      band_.Resize(kW, rows);
      shownBand_.Resize(kW, rows);
    }
    if (whole.Empty()) {
      stage().ComposeBand(band_, top);
    } else {
      BitBlt(band_, 0, 0, kW, rows, whole, 0, top, RasterOp::kSrcCopy);
    }
    if (overlay != nullptr && at != nullptr) {
      BitBlt(band_, at->x, at->y - top, overlay->Width(), overlay->Height(), *overlay, 0, 0,
             RasterOp::kSrcCopy);
    }
    BitBlt(shownBand_, 0, 0, kW, rows, shownPicture_, 0, top, RasterOp::kSrcCopy);
    for (PixelRect r : ChangedRects(shownBand_, band_)) {
      r.y += top;
      // A stripe that goes on from the band above grows instead.
      auto above = std::find_if(changed.begin(), changed.end(), [&](const PixelRect& q) {
        return q.x == r.x && q.w == r.w && q.y + q.h == r.y;
      });
      if (above != changed.end()) {
        above->h += r.h;
      } else {
        changed.push_back(r);
      }
    }
    BitBlt(shownPicture_, 0, top, kW, rows, band_, 0, 0, RasterOp::kSrcCopy);
  }
  return changed;
}

// The strip across the top, the picture scaled into the rest (black bars
// beside it), the box scaled with the picture.
void SdlPlatform::ShowFrame(const Surface* overlay, const SDL_Rect* at) {
  const Viewport view = CurrentViewport();
  const bool whole = needRedraw_ || !shownView_ || shownView_->Picture() != view.Picture() ||
                     shownView_->Strip() != view.Strip();
  std::vector<PixelRect> changed = ComposeShown(overlay, at);
  stage().ClearDirty();
  const PresentFrame frame{
      .view = view,
      .picture = &shownPicture_,
      .changed = whole ? std::vector<PixelRect>{} : std::move(changed),
      .strip = StripToShow(view, whole),
      .whole = whole,
      .smooth = view.Smooth(options_.filter)};
  if (frame.whole || !frame.changed.empty() || frame.strip != nullptr) presenter_->Show(frame);
  shownView_ = view;
  needRedraw_ = false;
}

Result<std::unique_ptr<Platform>> CreateSdlPlatform(const SdlOptions& options) {
  auto platform = std::make_unique<SdlPlatform>(options);
  platform->UseAudio(CreateSdlAudio(options.soundFont));
  if (Status started = platform->Init(); !started) {
    return Result<std::unique_ptr<Platform>>::Error(started.error());
  }
  return std::unique_ptr<Platform>(std::move(platform));
}

}  // namespace kovan
