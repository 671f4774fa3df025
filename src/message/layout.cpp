// Start-up layout: every surface's place, the message font, the skin
// texture with the title buttons cut from it, and the face sheet.
#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

#include "message/message_layout.h"
#include "message/messages.h"
#include "platform/files.h"
#include "platform/font.h"
#include "platform/text_codec.h"

namespace kovan {

namespace layout {

double ReadBackPoints(double points) { return PointsToPixels(points) * 72.0 / 96.0; }

int RoundHalfEven(double v) {
  if (!std::isfinite(v)) return 0;
  return static_cast<int>(std::nearbyint(std::clamp(v, -1e9, 1e9)));
}

std::vector<std::string> SplitCharacters(std::string_view utf8) {
  std::vector<std::string> chars;
  while (!utf8.empty()) {
    std::string one = Utf8Left(utf8, 1);
    if (one.empty()) break;  // cannot happen for a non-empty text; never loop forever
    utf8.remove_prefix(one.size());
    chars.push_back(std::move(one));
  }
  return chars;
}

std::string TrimBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(' ');
  return std::string(text.substr(first, last - first + 1));
}

void TakePicture(Surface& dst, Surface picture) {
  picture.name = std::move(dst.name);
  picture.left = dst.left;
  picture.top = dst.top;
  picture.shown = dst.shown;
  picture.zOrder = dst.zOrder;
  picture.container = dst.container;
  picture.keyBlack = dst.keyBlack;
  dst = std::move(picture);
}

}  // namespace layout

namespace {

using namespace layout;

void Place(Surface& s, int left, int top, int width, int height) {
  s.left = left;
  s.top = top;
  if (s.Width() != width || s.Height() != height) s.Resize(width, height);
}

// Loads a picture the game cannot start without. A missing file and a file
// that is no picture are the player's messages.
Status LoadRequired(const DataFiles& data, const std::string& number, Surface& dst,
                    bool emptyAllowed) {
  const std::string name = number + ".dat";
  const std::optional<std::uint64_t> length = FileLength(data.PathOf(name));
  if (!length) return Status::Error(MissingFileMessage(data.DataPath() + number));
  if (*length == 0 && emptyAllowed) {
    TakePicture(dst, Surface());
    return {};
  }
  Result<Surface> picture = data.LoadPicture(name);
  if (!picture) return Status::Error(BrokenFileMessage(kErrBadFormat, picture.error()));
  TakePicture(dst, std::move(picture.value()));
  return {};
}

constexpr FaceRow kFaceRows[] = {
    {130, 90, 265, 210, 0, 0, 0},  {130, 90, 265, 210, 0, 0, 135}, {120, 100, 260, 220, 0, 0, 270},
    {65, 75, 170, 160, 0, 0, 410}, {65, 75, 170, 160, 0, 0, 515},
};

}  // namespace

Status Messages::LayoutInit(const DataFiles& data) {
  form_.WakuX = 35;
  form_.WakuY = 360;
  form_.WakuW = 576;
  form_.WakuH = 108;
  form_.PosX = {40, 350, 130};
  PlaceSurfaces();
  if (Status st = LoadTexture(data); !st) return st;
  CutTitleButtons();
  return {};
}

void Messages::MenuInit() {
  platform_.CentreWindow();
  for (const char* item :
       {menu::kProgLoad, menu::kProgSave, menu::kSpeedup, menu::kOptMenu, menu::kVvrr}) {
    SetMenuEnabled(item, false);
  }
  form_.UpdateMenu();
}

void Messages::PlaceSurfaces() {
  MainForm& f = form_;
  Place(f.Pic_Main, 0, 0, 640, 480);
  Place(f.Pic_Back, 0, 0, 640, 480);
  Place(f.Form_Back, 0, 0, 0, 0);
  Place(f.Place_Back, 0, 0, 640, 480);
  Place(f.Place_Load, 0, 0, 640, 345);
  Place(f.Wall_Back, 0, 0, 640, 135);
  Place(f.Mesh2, 0, 0, 32, 32);
  Place(f.Waku[0], f.WakuX, f.WakuY, f.WakuW, f.WakuH);
  Place(f.Waku[6], f.WakuX, f.WakuY, f.WakuW, f.WakuH);

  // The message font: the pitch is the size the system gives, plus 5.
  f.LinePitch =
      static_cast<std::int16_t>(RoundHalfEven(ReadBackPoints(kMessagePoints) + kCellExtra));
  SetLabelCaption(f.Blinker, kMarker, kMessagePoints);
  f.Blinker.left = f.WakuW - kMarkerInset;
  f.Blinker.top = f.WakuH - kMarkerInset;
  f.Blinker.shown = false;
  for (int i = 0; i < 3; ++i) {
    Surface& option = f.SelTxt[i];
    option.SetBackColor(kBlack);
    Place(option, kOptionLeft, f.LinePitch * (i + 2) + 2, kOptionWidth, f.LinePitch);
    option.shown = false;
  }
  f.Dtime_label.left = kTabLabelX;
  f.Dtime_label.top = kTabLabelY;
  f.Dtime_label.shown = true;  // shows whenever its tab does
  SetLabelCaption(f.Dtime_label, state_.DateText, kTabLabelPoints);
  platform_.stage().Invalidate();
}

// "61.dat" may be empty: the window is then cut from an empty picture.
Status Messages::LoadTexture(const DataFiles& data) {
  return LoadRequired(data, "61", form_.Texture, true);
}

void Messages::CutTitleButtons() {
  for (int i = 0; i < 4; ++i) {
    Surface& button = form_.Smenu[i];
    Place(button, kButtonLeft, kButtonTop + kButtonStep * i, kButtonWidth, kButtonHeight);
    BitBlt(button, 0, 0, kButtonWidth, kButtonHeight, form_.Texture, kButtonX,
           kButtonY + kButtonStep * i, RasterOp::kSrcCopy);
  }
  platform_.stage().Invalidate();
}

Status Messages::FaceInit(const DataFiles& data) {
  if (Status st = LoadRequired(data, "60", form_.Face_Load, false); !st) return st;
  for (std::size_t i = 0; i < std::size(kFaceRows); ++i) {
    FaceRow row = kFaceRows[i];
    row.w = static_cast<std::int16_t>(row.x2 - row.x1);
    row.h = static_cast<std::int16_t>(row.y2 - row.y1);
    form_.FaceTable[i] = row;
  }
  return {};
}

Font* Messages::FontAt(double points) {
  const int pixels = PointsToPixels(std::min(points, kMaxPoints));
  if (pixels <= 0) return nullptr;
  auto it = fonts_.find(pixels);
  if (it == fonts_.end()) {
    Result<std::unique_ptr<Font>> font = Font::Open(kFontName, std::min(points, kMaxPoints));
    it = fonts_.emplace(pixels, font ? std::move(font.value()) : nullptr).first;
  }
  return it->second.get();
}

void Messages::SetLabelCaption(Surface& label, const std::string& caption, double points) {
  Font* font = caption.empty() ? nullptr : FontAt(points);
  label.SetBackColor(kBlack);
  if (font == nullptr) {
    label.Resize(0, 0);
  } else {
    label.Resize(font->TextWidth(caption), font->TextHeight());
    font->TextOut(label, 0, 0, caption, kWhite);
  }
  platform_.stage().Invalidate();
}

}  // namespace kovan
