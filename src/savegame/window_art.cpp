#include "savegame/window_art.h"

#include <array>
#include <string_view>

namespace kovan {

namespace {

// One character a pixel: '.' the background (or see-through), the others
// the colours below.
Rgb PatternColour(char c, Rgb background) {
  switch (c) {
    case '#': return MakeRgb(32, 32, 96);     // outline
    case 'b': return MakeRgb(64, 96, 192);    // cover
    case 'w': return MakeRgb(250, 250, 244);  // paper
    case 'l': return MakeRgb(150, 170, 210);  // ruled line
    case 'r': return MakeRgb(220, 40, 40);    // bookmark, cross
    case 'g': return MakeRgb(40, 150, 60);    // arrow
    case 'k': return MakeRgb(16, 16, 16);     // dark detail
    default: return background;
  }
}

template <std::size_t N>
Surface FromPattern(const std::array<std::string_view, N>& rows, Rgb background) {
  Surface s(static_cast<int>(rows[0].size()), static_cast<int>(N), background);
  for (std::size_t y = 0; y < N; ++y) {
    for (std::size_t x = 0; x < rows[y].size(); ++x) {
      s.SetPoint(static_cast<int>(x), static_cast<int>(y), PatternColour(rows[y][x], background));
    }
  }
  return s;
}

// 32 x 32; the plain and the selected icon share the outline.
constexpr std::array<std::string_view, 32> kClosedBook = {
    "................................", "................................",
    "................................", "......###################.......",
    ".....#bbbbbbbbbbbbbbbbbbb#......", ".....#bbbbbbbbbbbbbbbbbbbw#.....",
    ".....#bbbbbbbbbbbbbbbbbbbw#.....", ".....#bb##############bbbw#.....",
    ".....#bb#wwwwwwwwwwww#bbbw#.....", ".....#bb#wllllllllllw#bbbw#.....",
    ".....#bb#wwwwwwwwwwww#bbbw#.....", ".....#bb#wllllllllllw#bbbw#.....",
    ".....#bb##############bbbw#.....", ".....#bbbbbbbbbbbbbbbbbbbw#.....",
    ".....#bbbbbbbbbbbbbbbbbbbw#.....", ".....#bbbbbbbbbbbbbbbbbbbw#.....",
    ".....#bbbbbbbbbbbbbbbbbbbw#.....", ".....#bbbbbbbbbbbbbbbbbbbw#.....",
    ".....#bbbbbbbbbbbbbbbbbbbw#.....", ".....#bbbbbbbbbbbbbbbbbbbw#.....",
    ".....#bbbbbbbbbbbbbbbbbbbw#.....", ".....#bbbbbbbbbbbbbbbbbbbw#.....",
    ".....#bbbbbbbbbbbbbbbbbbbw#.....", ".....#bbbbbbbbbbbbbbbbbbbw#.....",
    ".....#bbbbbbbbbbbbbbbbbbbw#.....", ".....#bbbbbbbbbbbbbbbbbbbw#.....",
    ".....#bbbbbbbbbbbbbbbbbbbw#.....", "......####################......",
    "................................", "................................",
    "................................", "................................",
};

constexpr std::array<std::string_view, 32> kOpenBook = {
    "................................", "....................rr..........",
    "....................rr..........", "..###########..#####rr#####.....",
    ".#wwwwwwwwwww#.#wwwwrrwwwww#....", ".#wllllllllll##wwwwwrrwllll#....",
    ".#wwwwwwwwwwww#wwwwwrrwwwww#....", ".#wlllllllllll#wllllrrlllll#....",
    ".#wwwwwwwwwwww#wwwwwrrwwwww#....", ".#wlllllllllll#wllllrrlllll#....",
    ".#wwwwwwwwwwww#wwwwwrrwwwww#....", ".#wlllllllllll#wllllrrlllll#....",
    ".#wwwwwwwwwwww#wwwwwrrwwwww#....", ".#wlllllllllll#wllllrrlllll#....",
    ".#wwwwwwwwwwww#wwwwwrrwwwww#....", ".#wlllllllllll#wllllrrlllll#....",
    ".#wwwwwwwwwwww#wwwwwr.rwwww#....", ".#wlllllllllll#wllllllllll#.....",
    ".#wwwwwwwwwwww#wwwwwwwwwwww#....", ".#wlllllllllll#wlllllllllll#....",
    ".#wwwwwwwwwwww#wwwwwwwwwwww#....", ".#wlllllllllll#wlllllllllll#....",
    ".#wwwwwwwwwwww#wwwwwwwwwwww#....", ".#wwwwwwwwwwww#wwwwwwwwwwww#....",
    ".#bbbbbbbbbbbb#bbbbbbbbbbbb#....", "..############.############.....",
    "................................", "................................",
    "................................", "................................",
    "................................", "................................",
};

constexpr std::array<std::array<std::string_view, 16>, 4> kButtons = {{
    // close: a cross
    {"................", "..rr........rr..", "..rrr......rrr..", "...rrr....rrr...",
     "....rrr..rrr....", ".....rrrrrr.....", "......rrrr......", "......rrrr......",
     ".....rrrrrr.....", "....rrr..rrr....", "...rrr....rrr...", "..rrr......rrr..",
     "..rr........rr..", "................", "................", "................"},
    // delete: a page with a cross
    {"..#########.....", "..#wwwwwww##....", "..#wwwwwww#w#...", "..#wwwwwww####..",
     "..#wrrwwwrrww#..", "..#wwrrwrrwww#..", "..#wwwrrrwwww#..", "..#wwwrrrwwww#..",
     "..#wwrrwrrwww#..", "..#wrrwwwrrww#..", "..#wwwwwwwwww#..", "..#wwwwwwwwww#..",
     "..############..", "................", "................", "................"},
    // load: an arrow out of a book
    {".......gg.......", "......gggg......", ".....gggggg.....", "....gggggggg....",
     ".......gg.......", ".......gg.......", "..###########...", "..#bbbbbbbbbb#..",
     "..#bwwwwwwwwb#..", "..#bwllllllwb#..", "..#bwwwwwwwwb#..", "..#bbbbbbbbbb#..",
     "..############..", "................", "................", "................"},
    // save: an arrow into a book
    {".......gg.......", ".......gg.......", "....gggggggg....", ".....gggggg.....",
     "......gggg......", ".......gg.......", "..###########...", "..#bbbbbbbbbb#..",
     "..#bwwwwwwwwb#..", "..#bwllllllwb#..", "..#bwwwwwwwwb#..", "..#bbbbbbbbbb#..",
     "..############..", "................", "................", "................"},
}};

}  // namespace

Surface SlotIcon(Rgb background, bool selected) {
  return FromPattern(selected ? kOpenBook : kClosedBook, background);
}

Surface ButtonPicture(int index) {
  if (index < 0 || index >= static_cast<int>(kButtons.size())) return Surface();
  return FromPattern(kButtons[static_cast<std::size_t>(index)], kBlack);
}

}  // namespace kovan
