// The message window's fixed measures and the small helpers its parts share.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/surface.h"

namespace kovan::layout {

// The message text: "ＭＳ ゴシック" 12 pt, 30 characters a line, 4 lines a page.
constexpr const char* kFontName = "ＭＳ ゴシック";
constexpr double kMessagePoints = 12;
constexpr int kCharsPerLine = 30;
constexpr int kLinesPerPage = 4;
constexpr int kTextLeft = 30;
constexpr int kTagTop = 15;    // + LineNo * LinePitch
constexpr int kTextTop = 18;   // + LineNo * LinePitch
constexpr int kCellExtra = 5;  // cell width = font size in points + 5
constexpr std::uint32_t kCharDelayClickMs = 40;
constexpr std::uint32_t kCharDelayAutoMs = 60;
// Text is drawn at most this size: larger glyphs would not fit the window
// anyway, and a huge size must not take the memory of a huge picture.
constexpr double kMaxPoints = 200;

// Captions, centred on the picture.
constexpr double kCaptionPoints = 14;
constexpr int kCaptionCentre = 320;
constexpr int kCaptionSpacing = 20;
constexpr std::uint32_t kCaptionDelayMs = 60;
constexpr long kCaptionPauseSec = 2;
constexpr long kAutoPauseSec = 1;

// The window: its rim, the date tab on its top edge and the tab's label.
constexpr int kRim = 4;
constexpr int kTabWidth = 120;
constexpr int kTabHeight = 22;
constexpr int kTabRight = 85;  // the tab's left edge is WakuW - 85
constexpr int kTabLabelX = 24;
constexpr int kTabLabelY = 8;
constexpr double kTabLabelPoints = 11.25;

// Where the pieces lie in the skin texture.
constexpr int kTile = 16;
constexpr int kEdge = 8;
constexpr int kFillX = 24, kFillY = 24;
constexpr int kTabImageX = 48, kTabImageY = 26;
constexpr int kButtonX = 4, kButtonY = 148, kButtonStep = 50;
constexpr int kButtonWidth = 166, kButtonHeight = 38;
constexpr int kButtonLeft = 104, kButtonTop = 180;

// The wait marker and its blink.
constexpr const char* kMarker = "▼";
constexpr int kMarkerInset = 25;  // from the window's right and bottom edges
constexpr std::uint32_t kBlinkMs = 500;
constexpr std::uint32_t kKeysPollMs = 10;

// The option labels: rows 2 to 4 of the line grid, 2 pixels lower.
constexpr int kOptionLeft = 30;
constexpr int kOptionWidth = 200;

// The size in points the system reports for a font asked for at points:
// the nearest whole pixel size at 96 DPI, read back as points.
double ReadBackPoints(double points);
// A whole number nearest to v, halves to the even one.
int RoundHalfEven(double v);
// The characters (code points) of a UTF-8 text, one string each.
std::vector<std::string> SplitCharacters(std::string_view utf8);
// The text without leading and trailing blanks.
std::string TrimBlanks(std::string_view text);
// Puts a loaded picture into a surface of the window, keeping the
// surface's name, place and visibility.
void TakePicture(Surface& dst, Surface picture);

}  // namespace kovan::layout
