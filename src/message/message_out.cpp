// Message text output: pages of four lines of 30 characters in the window,
// drawn whole or one character at a time, and centred captions on the scene.
#include <algorithm>
#include <climits>
#include <cstdint>

#include "message/message_layout.h"
#include "message/messages.h"

namespace kovan {

namespace {

using namespace layout;

// Lowers the busy flag if a handler unwinds through the message (a game
// being loaded), so later messages are not refused.
class BusyGuard {
 public:
  explicit BusyGuard(bool& busy) : busy_(busy) {}
  ~BusyGuard() {
    if (armed_) busy_ = false;
  }
  BusyGuard(const BusyGuard&) = delete;
  BusyGuard& operator=(const BusyGuard&) = delete;
  void Release() { armed_ = false; }

 private:
  bool& busy_;
  bool armed_ = true;
};

std::vector<int> RgbList(Rgb c) { return {RedOf(c), GreenOf(c), BlueOf(c)}; }

// Text far off the surface draws nothing; keeps coordinates in range.
int ClampCoordinate(long long v) {
  constexpr long long kFar = 1LL << 24;
  return static_cast<int>(std::clamp(v, -kFar, kFar));
}

}  // namespace

void Messages::MessageOut(const std::string& tag, const std::string& text, Rgb colour) {
  if (form_.MsgBusy) return;
  form_.MsgBusy = true;
  ShowSkipState();
  BusyGuard busy(form_.MsgBusy);
  if (state_.CaptionX != 0) {
    CaptionOut(text);
    busy.Release();
    return;
  }
  if (!form_.Waku[0].shown) WakuOpen();
  if (state_.DateTabOn) {
    form_.Waku[3].shown = true;
    platform_.stage().Invalidate();
  }
  platform_.DoEvents();
  if (state_.SpeakerNo != form_.LastSpeaker) StartPage(tag, colour);
  DrawMessageText(tag, text, colour);
  form_.MsgBusy = false;
  busy.Release();
  form_.HoverArmed = true;
  NextLine();
  if (state_.MsgMode != 0 && state_.ClickMode) Keys();
  MessageEnd();
}

// A new speaker starts a new page; its top line always goes to the tag,
// even an empty one.
void Messages::StartPage(const std::string& tag, Rgb colour) {
  WakuClear();
  form_.LastSpeaker = state_.SpeakerNo;
  if (!tag.empty()) {
    if (Font* font = FontAt(kMessagePoints)) {
      font->TextOut(form_.Waku[0], kTextLeft, state_.LineNo * form_.LinePitch + kTagTop, tag,
                    colour);
    }
    Refresh();
  }
  NextLine();
}

void Messages::DrawMessageText(const std::string& tag, const std::string& text, Rgb colour) {
  const std::int16_t enlarged = state_.NextFontSize;
  int cell = form_.LinePitch;
  Font* font = FontAt(kMessagePoints);
  if (enlarged != 0) {
    cell = RoundHalfEven(ReadBackPoints(enlarged) + kCellExtra);
    if (Font* big = FontAt(enlarged)) font = big;
  }
  const std::vector<std::string> chars = SplitCharacters(text);
  platform_.trace().Event(platform_.Ticks(), "message",
                          {{"tag", tag},
                           {"text", text},
                           {"rgb", RgbList(colour)},
                           {"lineNo", static_cast<int>(state_.LineNo)}});
  for (std::size_t first = 0; first == 0 || first < chars.size(); first += kCharsPerLine) {
    if (first > 0) NextLine();
    DrawLine(font, chars, first, std::min<std::size_t>(first + kCharsPerLine, chars.size()), cell,
             colour);
  }
  if (enlarged != 0) {
    // Back to the standard size; an enlarged message takes one more line.
    if (ReadBackPoints(kMessagePoints) < enlarged) NextLine();
    state_.NextFontSize = 0;
  }
}

void Messages::DrawLine(Font* font, const std::vector<std::string>& chars, std::size_t first,
                        std::size_t last, int cell, Rgb colour) {
  Surface& page = form_.Waku[0];
  const int y = state_.LineNo * form_.LinePitch + kTextTop;
  if (state_.MsgMode != 3) {
    std::string line;
    for (std::size_t i = first; i < last; ++i) line += chars[i];
    if (font != nullptr) font->TextOut(page, kTextLeft, y, line, colour);
    Refresh();
    return;
  }
  const auto drawAt = [&](std::size_t i) {
    const long long x = kTextLeft + static_cast<long long>(i - first) * cell;
    if (font != nullptr) font->TextOut(page, ClampCoordinate(x), y, chars[i], colour);
  };
  const std::uint32_t delay = state_.ClickMode ? kCharDelayClickMs : kCharDelayAutoMs;
  for (std::size_t i = first; i < last; ++i) {
    drawAt(i);
    Refresh();
    // The player's input and the menu run between the characters, as in
    // every other wait.
    platform_.Sleep(delay);
    platform_.DoEvents();
    if (state_.MsgMode != 3) {
      // Skipping began (or the mode changed) mid-line: the rest of the
      // line appears at once, each character in its own cell.
      for (std::size_t k = i + 1; k < last; ++k) drawAt(k);
      Refresh();
      return;
    }
  }
}

void Messages::MessageEnd() {
  if (!state_.ClickMode) {
    state_.DateTabOn = true;
    WaitSec(kAutoPauseSec);
  }
  // Four lines or more: a message that began low on the page never leaves
  // the next one below the window.
  if (state_.LineNo >= kLinesPerPage) {
    state_.LineNo = 0;
    WakuClear();
  }
}

// The caption: the window hidden, the text centred on the scene one
// character at a time, then a pause; no wait for the player and no page
// end.
void Messages::CaptionOut(const std::string& text) {
  HideWindow();
  const std::string caption = TrimBlanks(text);
  const std::vector<std::string> chars = SplitCharacters(caption);
  const long long startX =
      kCaptionCentre - (static_cast<long long>(chars.size()) - 1) * kCaptionSpacing / 2;
  state_.CaptionX = static_cast<std::int16_t>(std::clamp<long long>(startX, INT16_MIN, INT16_MAX));
  platform_.trace().Event(platform_.Ticks(), "caption",
                          {{"text", caption},
                           {"x", static_cast<std::int64_t>(startX)},
                           {"y", static_cast<int>(state_.CaptionY)}});
  Font* font = FontAt(kCaptionPoints);
  for (std::size_t i = 0; i < chars.size(); ++i) {
    const long long x = startX + static_cast<long long>(i) * kCaptionSpacing;
    if (font != nullptr) {
      font->TextOut(form_.Pic_Main, ClampCoordinate(x), state_.CaptionY, chars[i], kWhite);
    }
    Refresh();
    platform_.Sleep(kCaptionDelayMs);
    platform_.DoEvents();
  }
  WaitSec(kCaptionPauseSec);
  form_.MsgBusy = false;
  form_.HoverArmed = true;
  NextLine();
  state_.CaptionX = 0;
}

void Messages::NextLine() {
  if (state_.LineNo < INT16_MAX) ++state_.LineNo;
}

void Messages::WaitSec(long n) {
  if (n < 1) return;
  const long long rounds = std::min<long long>(n, INT32_MAX) * 10;
  for (long long i = 0; i < rounds; ++i) {
    platform_.DoEvents();
    platform_.Sleep(100);
  }
}

}  // namespace kovan
