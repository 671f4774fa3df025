// The message window's layers: the frame, fill and date tab built once from
// the skin texture, and the window composed anew over the scene whenever it
// opens.
#include <algorithm>

#include "message/message_layout.h"
#include "message/messages.h"

namespace kovan {

namespace {

using namespace layout;

void Copy(Surface& dst, int x, int y, int w, int h, const Surface& src, int xs, int ys) {
  BitBlt(dst, x, y, w, h, src, xs, ys, RasterOp::kSrcCopy);
}

// The frame: edge tiles repeated along each side (the surface clips the
// last one), then the four corners over them.
void DrawFrame(Surface& frame, const Surface& texture, int w, int h) {
  for (int x = 0; x < w; x += kTile) {
    Copy(frame, x, 0, kTile, kEdge, texture, kTile, 0);
    Copy(frame, x, h - kEdge, kTile, kEdge, texture, kTile, 2 * kTile + kEdge);
  }
  for (int y = 0; y < h; y += kTile) {
    Copy(frame, 0, y, kEdge, kTile, texture, 0, kTile);
    Copy(frame, w - kEdge, y, kEdge, kTile, texture, 2 * kTile + kEdge, kTile);
  }
  Copy(frame, 0, 0, kTile, kTile, texture, 0, 0);
  Copy(frame, w - kTile, 0, kTile, kTile, texture, 2 * kTile, 0);
  Copy(frame, 0, h - kTile, kTile, kTile, texture, 0, 2 * kTile);
  Copy(frame, w - kTile, h - kTile, kTile, kTile, texture, 2 * kTile, 2 * kTile);
}

void Layer(Surface& s, Rgb back, int left, int top, int w, int h) {
  s.left = left;
  s.top = top;
  s.SetBackColor(back);
  s.Resize(w, h);
}

}  // namespace

void Messages::WakuBuild() {
  MainForm& f = form_;
  const int w = f.WakuW, h = f.WakuH;
  Layer(f.Waku[1], kBlack, f.WakuX, f.WakuY, w, h);
  f.Waku[1].FillBox(kRim, kRim, w - kRim, h - kRim, f.Texture.Point(kFillX, kFillY));
  Layer(f.Waku[2], kBlack, f.WakuX, f.WakuY, w, h);
  DrawFrame(f.Waku[2], f.Texture, w, h);

  const int tabLeft = f.WakuW - kTabRight;
  const int tabTop = f.WakuY - kTabHeight;
  Layer(f.Waku[3], kBlack, tabLeft, tabTop, kTabWidth, kTabHeight);
  Layer(f.Waku[4], kBlack, tabLeft, tabTop, kTabWidth, kTabHeight);
  Copy(f.Waku[4], 0, 0, kTabWidth, kTabHeight, f.Texture, kTabImageX, kTabImageY);
  // The tab image's black pixels are transparent: white in its mask.
  Layer(f.Waku[5], kWhite, tabLeft, tabTop, kTabWidth, kTabHeight);
  f.Waku[5].SetForeColor(kBlack);
  MakeMask(f.Waku[5], f.Waku[4], 0, 0, kTabWidth, kTabHeight);

  Copy(f.Waku[0], 0, 0, w, h, f.Pic_Main, f.WakuX, f.WakuY);
  Copy(f.Waku[6], 0, 0, w, h, f.Waku[0], 0, 0);
  Refresh();
}

void Messages::WakuOpen() {
  MainForm& f = form_;
  const int w = f.WakuW, h = f.WakuH;
  Copy(f.Waku[0], 0, 0, w, h, f.Waku[2], 0, 0);
  ComposeBackdrop();
  BlendArea(f.Waku[0], kRim, kRim, w - 2 * kRim, h - 2 * kRim, f.Waku[1], kRim, kRim,
            state_.WakuDensity);
  f.Waku[0].shown = true;
  Refresh();

  ComposeDateTab();
  SetLabelCaption(f.Dtime_label, state_.DateText, kTabLabelPoints);
  Copy(f.Waku[6], 0, 0, w, h, f.Waku[0], 0, 0);
  f.LastSpeaker = -1;
  // A window the player hid and the game opened again takes clicks again.
  if (f.WakuHidden) {
    f.WakuHidden = false;
    SetMenuEnabled(menu::kOptMenu, true);
    f.UpdateMenu();
  }
}

// What lies behind the inner area: the scene, and over it the strip of each
// character box on screen (later slots over earlier ones).
void Messages::ComposeBackdrop() {
  MainForm& f = form_;
  const int innerW = f.WakuW - 2 * kRim, innerH = f.WakuH - 2 * kRim;
  Copy(f.Waku[0], kRim, kRim, innerW, innerH, f.Pic_Main, f.WakuX + kRim, f.WakuY + kRim);
  for (int i = 0; i < 3; ++i) {
    if (!f.SlotUsed[i]) continue;
    Copy(f.Waku[0], f.SlotX[i] - f.WakuX + kRim, kRim, f.SlotW[i] - 2 * kRim, innerH,
         f.Doll_Disp[i], kRim, f.WakuY - f.SlotY[i] + kRim);
  }
}

// The tab: the scene behind it, the part of every character box it
// overlaps, then the tab image with its black pixels keyed out.
void Messages::ComposeDateTab() {
  MainForm& f = form_;
  Surface& tab = f.Waku[3];
  Copy(tab, 0, 0, kTabWidth, kTabHeight, f.Pic_Main, tab.left, tab.top);
  for (int i = 0; i < 3; ++i) {
    if (!f.SlotUsed[i]) continue;
    const int x0 = std::max<int>(tab.left, f.SlotX[i]);
    const int y0 = std::max<int>(tab.top, f.SlotY[i]);
    const int x1 = std::min(tab.left + kTabWidth, f.SlotX[i] + f.SlotW[i]);
    const int y1 = std::min(tab.top + kTabHeight, f.SlotY[i] + f.SlotH[i]);
    if (x0 >= x1 || y0 >= y1) continue;
    Copy(tab, x0 - tab.left, y0 - tab.top, x1 - x0, y1 - y0, f.Doll_Disp[i], x0 - f.SlotX[i],
         y0 - f.SlotY[i]);
  }
  BitBlt(tab, 0, 0, kTabWidth, kTabHeight, f.Waku[5], 0, 0, RasterOp::kSrcAnd);
  BitBlt(tab, 0, 0, kTabWidth, kTabHeight, f.Waku[4], 0, 0, RasterOp::kSrcInvert);
  Refresh();
}

void Messages::WakuClear() {
  Copy(form_.Waku[0], 0, 0, form_.WakuW, form_.WakuH, form_.Waku[6], 0, 0);
  Refresh();
  state_.LineNo = 0;
  form_.LastSpeaker = 0;
}

void Messages::HideWindow() {
  form_.Waku[0].shown = false;
  form_.Waku[3].shown = false;
  platform_.stage().Invalidate();
}

void Messages::SetDate(const std::string& text) {
  state_.DateText = text;
  SetLabelCaption(form_.Dtime_label, text, kTabLabelPoints);
}

void Messages::Refresh() {
  platform_.stage().Invalidate();
  platform_.Present();
}

}  // namespace kovan
