// The one way tests make and compare pixels: patterns whose neighbouring
// pixels all differ (so a pixel copied from the wrong place shows), and
// comparisons that say how many pixels differ and where the first one is.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>

#include "platform/pictures.h"
#include "platform/surface.h"

namespace kovan::testing {

// A w x h picture of scattered colours, never pure black; each seed gives
// another one.
inline Surface Pattern(int w, int h, std::uint32_t seed) {
  Surface s(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const std::uint32_t v = (static_cast<std::uint32_t>(y * w + x) + seed * 7919u) * 2654435761u;
      const Rgb c = (v ^ (v >> 13)) & 0xFFFFFF;
      s.SetPoint(x, y, c == kBlack ? 1 : c);
    }
  }
  return s;
}

// The mesh dissolves' keep patterns, stage 0 to 8: one 8 x 8 tile each, a
// byte a row, the leftmost pixel in the high bit. Where a stage's tile has
// a 1 the old picture stays; each stage keeps less than the one before.
inline bool MeshKeeps(int stage, int x, int y) {
  static constexpr std::uint8_t kTiles[9][8] = {
      {0x77, 0xFF, 0xDF, 0xFF, 0x77, 0xFF, 0xFD, 0xFF},
      {0x55, 0xFF, 0x5D, 0xFF, 0x55, 0xFF, 0xDD, 0xFF},
      {0x55, 0xBB, 0x55, 0xFF, 0x55, 0xFF, 0x55, 0xFF},
      {0x55, 0xAB, 0x55, 0xEE, 0x55, 0xBA, 0x55, 0xEE},
      {0x11, 0xAA, 0x44, 0xAA, 0x11, 0xAA, 0x54, 0xAA},
      {0x00, 0xAA, 0x04, 0xAA, 0x00, 0xAA, 0x44, 0xAA},
      {0x00, 0x22, 0x00, 0xAA, 0x00, 0x22, 0x00, 0xAA},
      {0x00, 0x02, 0x00, 0x88, 0x00, 0x20, 0x00, 0x88},
      {0x00, 0x00, 0x00, 0x08, 0x00, 0x00, 0x00, 0x88},
  };
  return (kTiles[stage][y % 8] >> (7 - x % 8)) & 1;
}

inline int CountPixels(const Surface& s, Rgb c) {
  int n = 0;
  for (Rgb p : s.Pixels()) n += p == c ? 1 : 0;
  return n;
}

// Whether every pixel of s is what expected(x, y) says.
inline ::testing::AssertionResult Matches(const Surface& s,
                                          const std::function<Rgb(int, int)>& expected) {
  int differ = 0;
  std::string first;
  for (int y = 0; y < s.Height(); ++y) {
    for (int x = 0; x < s.Width(); ++x) {
      if (s.Point(x, y) == expected(x, y)) continue;
      if (differ++ == 0) first = "(" + std::to_string(x) + "," + std::to_string(y) + ")";
    }
  }
  if (differ == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << differ << " pixels differ, the first at " << first;
}

// Whether the w x h areas of a at (ax, ay) and b at (bx, by) are equal.
inline ::testing::AssertionResult SameArea(const Surface& a, int ax, int ay, const Surface& b,
                                           int bx, int by, int w, int h) {
  Surface area(w, h);
  BitBlt(area, 0, 0, w, h, a, ax, ay, RasterOp::kSrcCopy);
  return Matches(area, [&](int x, int y) { return b.Point(bx + x, by + y); });
}

inline ::testing::AssertionResult SameSurface(const Surface& a, const Surface& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) {
    return ::testing::AssertionFailure()
           << a.Width() << "x" << a.Height() << " against " << b.Width() << "x" << b.Height();
  }
  return SameArea(a, 0, 0, b, 0, 0, a.Width(), a.Height());
}

// Saves a picture as a PNG when KOVAN_SHOTS names a folder, to look at.
inline void MaybeShot(const Surface& picture, const std::string& name) {
  const char* dir = std::getenv("KOVAN_SHOTS");
  if (dir == nullptr || *dir == '\0') return;
  const Status saved = SavePng(picture, std::string(dir) + "/" + name);
  EXPECT_TRUE(saved.ok()) << (saved.ok() ? "" : saved.error());
}

}  // namespace kovan::testing
