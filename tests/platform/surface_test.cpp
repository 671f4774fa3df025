#include "platform/surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "pixels.h"
#include "platform/process_memory.h"

namespace kovan {
namespace {

using testing::Pattern;

bool Inside(const Surface& s, int x, int y) {
  return x >= 0 && y >= 0 && x < s.Width() && y < s.Height();
}

// Pixel by pixel, with the clip rule spelled out.
void ReferenceBlt(Surface& dst, int x, int y, int w, int h, const Surface& src, int xs, int ys,
                  RasterOp op) {
  const Surface before = src;  // src may be dst
  for (int j = 0; j < h; ++j) {
    for (int i = 0; i < w; ++i) {
      if (!Inside(dst, x + i, y + j) || !Inside(before, xs + i, ys + j)) continue;
      const Rgb d = dst.Point(x + i, y + j), s = before.Point(xs + i, ys + j);
      dst.SetPoint(x + i, y + j,
                   op == RasterOp::kSrcCopy ? s : op == RasterOp::kSrcAnd ? d & s : d ^ s);
    }
  }
}

std::uint8_t BlendByte(int a, int b, float alpha) {
  // Each product rounded to float before the sum, even where the compiler
  // would fuse a multiply-add.
  volatile float fromB = static_cast<float>(b) * alpha;
  volatile float fromA = static_cast<float>(a) * (1.0f - alpha);
  const float v = fromB + fromA;
  return static_cast<std::uint8_t>(std::clamp(std::nearbyint(v), 0.0f, 255.0f));
}

// The blend of one area done the plain way, per channel and pixel. Where
// the source is missing, the destination stands in for it.
void ReferenceBlend(Surface& dst, int x, int y, int w, int h, const Surface& src, int xs, int ys,
                    float alpha) {
  const Surface before = dst;
  for (int j = 0; j < h; ++j) {
    for (int i = 0; i < w; ++i) {
      if (!Inside(dst, x + i, y + j)) continue;
      const Rgb a = before.Point(x + i, y + j);
      const Rgb b = Inside(src, xs + i, ys + j) ? src.Point(xs + i, ys + j) : a;
      dst.SetPoint(x + i, y + j,
                   MakeRgb(BlendByte(RedOf(a), RedOf(b), alpha),
                           BlendByte(GreenOf(a), GreenOf(b), alpha),
                           BlendByte(BlueOf(a), BlueOf(b), alpha)));
    }
  }
}

TEST(Surface, ResizeClearsToBackColourAndDrawingClips) {
  Surface s(3, 2, 0x123456);
  s.SetPoint(3, 0, kWhite);  // outside: ignored
  EXPECT_EQ(s.Point(3, 0), kBlack);
  s.Resize(5, 4);
  EXPECT_EQ(s.Pixels(), std::vector<Rgb>(20, 0x123456));
  s.Resize(-4, 7);
  EXPECT_TRUE(s.Empty() && s.Pixels().empty());
  s.Resize(kMaxSurfaceSide + 1, 1);
  EXPECT_EQ(s.Width(), kMaxSurfaceSide);

  Surface box(4, 3);
  box.FillBox(-2, 1, 2, 10, kWhite);
  box.FillBox(4, 0, 3, 1, kWhite);  // reversed: nothing
  EXPECT_EQ(testing::CountPixels(box, kWhite), 4);
  EXPECT_EQ(box.Point(1, 2), kWhite);

  // An unknown op, an empty source and huge coordinates draw nothing.
  Surface dst = Pattern(4, 4, 5);
  const Surface before = dst;
  BitBlt(dst, 0, 0, 4, 4, Pattern(4, 4, 6), 0, 0, static_cast<RasterOp>(0x00EE0086));
  BitBlt(dst, 0, 0, 4, 4, Surface(), 0, 0, RasterOp::kSrcCopy);
  BitBlt(dst, std::numeric_limits<int>::min(), 0, std::numeric_limits<int>::max(), 4,
         Pattern(4, 4, 6), 0, 0, RasterOp::kSrcCopy);
  EXPECT_EQ(dst.Pixels(), before.Pixels());
}

// A surface only sized or cleared keeps no store, whatever reads it or
// draws from it; drawing on it makes one, and clearing it gives that back
// to the system at once.
TEST(Surface, StoreComesWhenDrawnOnAndGoesWhenCleared) {
  KeepLargeBlocksApart();
  Surface plain(640, 480, 0x336699);
  Surface same = plain;
  (void)same.Pixels();  // the same pixels, with a store
  for (RasterOp op : {RasterOp::kSrcCopy, RasterOp::kSrcAnd, RasterOp::kSrcInvert}) {
    Surface a = Pattern(8, 8, 1), b = a;
    BitBlt(a, -2, 3, 9, 9, plain, 630, 470, op);
    BitBlt(b, -2, 3, 9, 9, same, 630, 470, op);
    EXPECT_EQ(a.Pixels(), b.Pixels());
  }
  Surface blended = Pattern(8, 8, 2), reference = blended;
  BlendArea(blended, 0, 0, 8, 8, plain, 635, 1, 0.25f);
  BlendArea(reference, 0, 0, 8, 8, same, 635, 1, 0.25f);
  EXPECT_EQ(blended.Pixels(), reference.Pixels());
  EXPECT_EQ(plain.Point(639, 479), 0x336699u);
  EXPECT_TRUE(plain.Plain());
  plain.SetPoint(0, 0, kWhite);
  plain.SetBackColor(kBlack);
  EXPECT_TRUE(plain.Plain());
}

#if defined(__GLIBC__) && !defined(__SANITIZE_ADDRESS__)
// In a fresh process, as the game starts: a picture's store is a mapping of
// its own, gone the moment the picture is cleared. (Left to itself the C
// library would serve such blocks from the heap once a larger one had come
// and gone.)
TEST(ProcessMemory, PictureStoresGoBackToTheSystemWhenCleared) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        KeepLargeBlocksApart();
        {
          std::vector<char> larger(4 << 20, 1);
          volatile char seen = larger[larger.size() / 2];
          (void)seen;
        }
        const std::size_t mapped = mallinfo2().hblkhd;
        Surface picture(640, 480);
        picture.SetPoint(0, 0, kWhite);
        const bool held = mallinfo2().hblkhd >= mapped + 640 * 480 * sizeof(Rgb);
        picture.SetBackColor(kBlack);
        std::exit(held && mallinfo2().hblkhd == mapped ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}
#endif

TEST(BitBlt, MatchesReferenceForEveryOpAndClip) {
  const Surface src = Pattern(9, 7, 1);
  const int offsets[] = {-12, -3, -1, 0, 2, 5, 8, 11};
  const int sizes[] = {-1, 0, 1, 4, 10, 30};
  for (RasterOp op : {RasterOp::kSrcCopy, RasterOp::kSrcAnd, RasterOp::kSrcInvert}) {
    for (int x : offsets) {
      for (int xs : offsets) {
        for (int w : sizes) {
          // y and ys sweep along with x and xs so all sides get clipped.
          const int y = -x / 2, ys = xs / 2 - 1, h = w == 30 ? 3 : w;
          Surface got = Pattern(8, 6, 2);
          Surface want = got;
          BitBlt(got, x, y, w, h, src, xs, ys, op);
          ReferenceBlt(want, x, y, w, h, src, xs, ys, op);
          ASSERT_EQ(got.Pixels(), want.Pixels())
              << "op " << static_cast<std::uint32_t>(op) << " x " << x << " y " << y << " w " << w
              << " h " << h << " xs " << xs << " ys " << ys;
        }
      }
    }
  }
}

TEST(BitBlt, SameSurfaceOverlapReadsOldPixels) {
  for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {2, 3}, {-3, -2}}) {
    for (RasterOp op : {RasterOp::kSrcCopy, RasterOp::kSrcInvert}) {
      Surface got = Pattern(10, 8, 3);
      Surface want = got;
      BitBlt(got, 2 + dx, 2 + dy, 6, 5, got, 2, 2, op);
      ReferenceBlt(want, 2 + dx, 2 + dy, 6, 5, want, 2, 2, op);
      EXPECT_EQ(got.Pixels(), want.Pixels()) << dx << "," << dy;
    }
  }
}

// The sprite technique the game draws with: AND a mask whose background
// (white) is where the sprite is exactly black, then XOR the sprite. The
// mask takes the area at (x, y) into its origin, clipped, also in place.
TEST(MakeMask, BlackKeyIsTransparentThroughAndThenXor) {
  Surface sprite(3, 1);
  sprite.SetPoint(1, 0, 0x000001);  // nearly black, still opaque
  sprite.SetPoint(2, 0, 0xFF8040);
  Surface mask(3, 1);
  mask.SetBackColor(kWhite);
  mask.SetForeColor(kBlack);
  MakeMask(mask, sprite, 0, 0, 3, 1);
  Surface scene(3, 1, 0x336699);
  BitBlt(scene, 0, 0, 3, 1, mask, 0, 0, RasterOp::kSrcAnd);
  BitBlt(scene, 0, 0, 3, 1, sprite, 0, 0, RasterOp::kSrcInvert);
  EXPECT_EQ(scene.Pixels(), (std::vector<Rgb>{0x336699, 0x000001, 0xFF8040}));

  Surface self(4, 4, kBlack);
  self.SetForeColor(kWhite);
  self.SetPoint(0, 0, 0x0A0A0A);
  MakeMask(self, self, -1, -1, 4, 4);  // each pixel read before it is written
  EXPECT_EQ(self.Point(1, 1), kWhite);
  EXPECT_EQ(testing::CountPixels(self, kWhite), 1);
  EXPECT_EQ(self.Point(0, 0), 0x0A0A0Au) << "outside the clipped area";
}

TEST(Pixels, BottomRowFirstRoundTrip) {
  Surface s(2, 3);
  s.SetPoint(0, 0, 0x000001);
  s.SetPoint(1, 2, 0xABCDEF);
  std::vector<std::uint32_t> px;
  EXPECT_EQ(GetPixels(s, px), 6);
  EXPECT_EQ(px, (std::vector<std::uint32_t>{0, 0xABCDEF, 0, 0, 1, 0, 0}));

  const Surface original = Pattern(7, 5, 11);
  ASSERT_EQ(GetPixels(original, px), 35);
  px[0] |= 0xFF000000;  // the reserved byte is dropped
  Surface copy(7, 5);
  EXPECT_EQ(SetPixels(copy, px), 0);
  EXPECT_EQ(copy.Pixels(), original.Pixels());
  px.resize(34);
  EXPECT_EQ(SetPixels(copy, px), -1);
  Surface empty;
  EXPECT_EQ(SetPixels(empty, px), -1);
  EXPECT_EQ(GetPixels(empty, px), -1);
  EXPECT_EQ(px.size(), 34u) << "left alone";
}

// Every (dst, src) byte pair through the whole path, against the plain
// single-precision expression: red and green each cover all 65536 pairs.
TEST(Blend, AllBytePairsMatchSinglePrecisionFormula) {
  Surface dst(256, 256), src(256, 256);
  for (int i = 0; i < 256; ++i) {
    for (int j = 0; j < 256; ++j) {
      dst.SetPoint(i, j, MakeRgb(j, i, (i + j) & 0xFF));
      src.SetPoint(i, j, MakeRgb(i, j, (i * 7 + j) & 0xFF));
    }
  }
  for (float alpha : {0.001f, 0.1f, 1.0f / 3.0f, 0.5f, 0.7f, 0.987654f, 0.999f}) {
    Surface got = dst, want = dst;
    BlendArea(got, 0, 0, 256, 256, src, 0, 0, alpha);
    ReferenceBlend(want, 0, 0, 256, 256, src, 0, 0, alpha);
    EXPECT_TRUE(testing::SameSurface(got, want)) << "alpha " << alpha;
  }
}

TEST(Blend, AreasMatchReferenceWhereverTheyLie) {
  const Surface src = Pattern(320, 40, 31);
  const Surface original = Pattern(330, 45, 32);
  struct Case {
    int x, y, w, h, xs, ys;
  };
  for (const Case& c : {Case{7, 3, 301, 33, 11, 5},      // odd width: rows padded
                        Case{-5, -4, 14, 11, 0, 0},      // dst area off the left and top
                        Case{3, 2, 14, 11, 310, 32},     // src area off the right and bottom
                        Case{320, 40, 14, 11, -8, 35}}) {  // both
    Surface got = original, want = original;
    Blender blender;
    blender.Open(c.w, c.h);
    for (float alpha : {0.2f, 0.5f, 0.8f}) {  // a fade: one work set, several steps
      blender.Step(got, c.x, c.y, c.w, c.h, src, c.xs, c.ys, alpha);
      ReferenceBlend(want, c.x, c.y, c.w, c.h, src, c.xs, c.ys, alpha);
    }
    EXPECT_EQ(got.Pixels(), want.Pixels()) << c.x << "," << c.y << " from " << c.xs << "," << c.ys;
  }
}

}  // namespace
}  // namespace kovan
