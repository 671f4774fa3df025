#include <algorithm>

#include "platform/sdl/sdl_window_platform.h"
#include "platform/signals.h"

namespace kovan {

namespace {

// The face and size of the system's message box and menu text.
constexpr const char* kUiFamily = "ＭＳ ゴシック";
constexpr double kUiPoints = 9.0;

std::optional<MessagePanel::PanelKey> PanelKeyOf(SDL_Keycode sym) {
  using K = MessagePanel::PanelKey;
  switch (sym) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
      return K::kEnter;
    case SDLK_SPACE:
      return K::kSpace;
    case SDLK_ESCAPE:
      return K::kEscape;
    case SDLK_TAB:
      return K::kTab;
    case SDLK_LEFT:
      return K::kLeft;
    case SDLK_RIGHT:
      return K::kRight;
    case SDLK_y:
      return K::kYes;
    case SDLK_n:
      return K::kNo;
    default:
      return std::nullopt;
  }
}

const char* AnswerName(MsgBoxAnswer a) {
  return a == MsgBoxAnswer::kOk ? "ok" : a == MsgBoxAnswer::kYes ? "yes" : "no";
}

}  // namespace

// Where the box shows: over the picture in the main window, or in a small
// window of its own while the main window is hidden (an error at start-up).
struct SdlPlatform::BoxView {
  SdlWindowPtr ownWindow;
  SdlRendererPtr ownRenderer;
  SdlTexturePtr texture;
  Uint32 windowId = 0;
  SDL_Rect at{};  // the panel, in picture pixels (its own window's, when it has one)
  Surface pixels;
  bool dirty = true;
};

Font* SdlPlatform::UiFont() {
  if (!uiFontTried_) {
    uiFontTried_ = true;
    Result<std::unique_ptr<Font>> font = Font::Open(kUiFamily, kUiPoints);
    if (font) uiFont_ = std::move(font.value());
  }
  return uiFont_.get();
}

Status SdlPlatform::OpenBoxView(BoxView& view, const MessagePanel& panel) {
  SDL_Renderer* renderer = renderer_.get();
  view.at = SDL_Rect{0, 0, panel.Width(), panel.Height()};
  if (shown_) {
    view.windowId = SDL_GetWindowID(window_.get());
    view.at.x = std::max(0, (Stage::kWidth - panel.Width()) / 2);
    view.at.y = std::max(0, (Stage::kHeight - panel.Height()) / 2);
  } else {
    view.ownWindow.reset(SDL_CreateWindow(caption_.c_str(), SDL_WINDOWPOS_CENTERED,
                                          SDL_WINDOWPOS_CENTERED, panel.Width(), panel.Height(),
                                          0));
    if (!view.ownWindow) return Status::Error(SdlError("cannot create the message box"));
    view.ownRenderer.reset(SDL_CreateRenderer(view.ownWindow.get(), -1, 0));
    if (!view.ownRenderer) return Status::Error(SdlError("cannot draw the message box"));
    renderer = view.ownRenderer.get();
    view.windowId = SDL_GetWindowID(view.ownWindow.get());
    SDL_RaiseWindow(view.ownWindow.get());
  }
  view.texture.reset(SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB888,
                                       SDL_TEXTUREACCESS_STREAMING, panel.Width(), panel.Height()));
  if (!view.texture) return Status::Error(SdlError("cannot create the message box texture"));
  return Status();
}

void SdlPlatform::DrawBox(BoxView& view, const MessagePanel& panel) {
  const bool behindChanged = !view.ownWindow && FrameStale();
  if (!view.dirty && !behindChanged) return;
  if (view.dirty) {
    panel.Draw(view.pixels);
    SDL_UpdateTexture(view.texture.get(), nullptr, view.pixels.Pixels().data(),
                      view.pixels.Width() * static_cast<int>(sizeof(Rgb)));
  }
  if (view.ownWindow) {
    SDL_Renderer* r = view.ownRenderer.get();
    SDL_RenderClear(r);
    SDL_RenderCopy(r, view.texture.get(), nullptr, nullptr);
    SDL_RenderPresent(r);
    needRedraw_ = false;
  } else {
    UpdatePicture();
    RenderFrame(view.texture.get(), &view.at);
  }
  view.dirty = false;
}

std::optional<MsgBoxAnswer> SdlPlatform::HandleBoxEvent(const SDL_Event& e, BoxView& view,
                                                        MessagePanel& panel) {
  const Uint32 mainId = SDL_GetWindowID(window_.get());
  // A point in the panel's coordinates; off the picture is off the panel.
  const auto onPanel = [&](int x, int y) {
    if (view.ownWindow) return PicturePoint{x - view.at.x, y - view.at.y};
    const std::optional<PicturePoint> p = PictureAt(x, y);
    return p ? PicturePoint{p->x - view.at.x, p->y - view.at.y} : PicturePoint{-1, -1};
  };
  switch (e.type) {
    case SDL_QUIT:
      pendingClose_ = true;
      return panel.DefaultAnswer();
    case SDL_WINDOWEVENT:
      if (e.window.event == SDL_WINDOWEVENT_CLOSE) {
        // Closing the main window answers the box, then closes the game.
        if (e.window.windowID == mainId) pendingClose_ = true;
        return panel.DefaultAnswer();
      }
      view.dirty = true;
      break;
    case SDL_MOUSEBUTTONDOWN:
      if (e.button.windowID == view.windowId && e.button.button == SDL_BUTTON_LEFT) {
        const PicturePoint p = onPanel(e.button.x, e.button.y);
        panel.MouseDown(p.x, p.y);
        view.dirty = true;
      }
      break;
    case SDL_MOUSEBUTTONUP:
      if (e.button.button == SDL_BUTTON_LEFT) {
        view.dirty = true;
        const PicturePoint p = onPanel(e.button.x, e.button.y);
        return panel.MouseUp(p.x, p.y);
      }
      break;
    case SDL_KEYDOWN:
      // Alt+Enter is the full-screen chord, not the box's Enter.
      if ((e.key.keysym.mod & KMOD_ALT) != 0) break;
      if (auto key = PanelKeyOf(e.key.keysym.sym)) {
        view.dirty = true;
        return panel.KeyDown(*key);
      }
      break;
    default:
      break;
  }
  return std::nullopt;
}

// Modal: the box takes all input until answered; timers keep running and
// the picture keeps updating behind it.
MsgBoxAnswer SdlPlatform::MessageBox(const std::string& utf8Text, MsgBoxButtons buttons) {
  const std::uint32_t opened = Ticks();
  MessagePanel panel(UiFont(), caption_, utf8Text, buttons, shown_);
  BoxView view;
  std::optional<MsgBoxAnswer> answer;
  if (Status ready = OpenBoxView(view, panel); !ready) {
    answer = panel.DefaultAnswer();  // nowhere to show it: as if dismissed
  }
  const bool wasOpen = boxOpen_;
  boxOpen_ = true;
  while (!answer) {
    DrawBox(view, panel);
    SDL_Event e;
    if (SDL_WaitEventTimeout(&e, 10) != 0) {
      do {
        answer = HandleBoxEvent(e, view, panel);
      } while (!answer && SDL_PollEvent(&e));
    }
    if (!answer && CloseSignalPending()) {
      ClearCloseSignal();
      pendingClose_ = true;
      answer = panel.DefaultAnswer();
    }
    if (!answer) FireTimers();
  }
  boxOpen_ = wasOpen;
  needRedraw_ = true;
  trace().Event(opened, "msgbox",
                {{"text", utf8Text},
                 {"buttons", buttons == MsgBoxButtons::kOk ? "ok" : "yesno"},
                 {"answer", AnswerName(*answer)}});
  return *answer;
}

}  // namespace kovan
