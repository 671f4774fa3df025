// Picture files made to cost a careless decoder dearly: headers that claim
// huge sizes over a few bytes of data, and a JPEG whose first frame-header
// byte is a decoy.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/pictures.h"

namespace kovan::testing {

using PictureBytes = std::vector<std::uint8_t>;

// A small real JPEG whose frame header claims w x h; libjpeg decodes it
// with the missing data filled in.
inline PictureBytes JpegClaiming(int w, int h) {
  PictureBytes jpeg = EncodeJpeg(Surface(8, 8, MakeRgb(90, 120, 150)), 80);
  std::size_t i = 0;
  while (!(jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0)) ++i;
  const std::uint8_t size[] = {std::uint8_t(h >> 8), std::uint8_t(h), std::uint8_t(w >> 8),
                               std::uint8_t(w)};
  std::copy(size, size + 4, jpeg.begin() + static_cast<long>(i) + 5);
  return jpeg;
}

// A JPEG of 64370 x 42761 with a frame header of 115 x 14 before its real
// one, lacking the 0xFF that starts a marker: libjpeg skips it as garbage,
// a hand-written marker walk takes it for the frame.
inline PictureBytes JpegWithDecoyFrame() {
  PictureBytes jpeg = JpegClaiming(64370, 42761);
  const long app0End = 4 + ((jpeg[4] << 8) | jpeg[5]);
  const PictureBytes decoy = {0xC0, 0, 0x11, 8, 0, 0x0E, 0, 0x73, 3, 1, 0x22, 0, 2, 0x11, 1, 3, 0x11, 1};
  jpeg.insert(jpeg.begin() + app0End, decoy.begin(), decoy.end());
  return jpeg;
}

// The headers of a bitmap of w x h at the given bits per pixel, with a
// two-colour palette and no pixel data at all.
inline PictureBytes BmpHeaderClaiming(int bits, std::int32_t w, std::int32_t h) {
  PictureBytes b = {'B', 'M'};
  const auto put = [&b](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  for (std::uint32_t v : {0u, 0u, 62u, 40u, std::uint32_t(w), std::uint32_t(h),
                          1u | std::uint32_t(bits) << 16, 0u, 0u, 0u, 0u, 2u, 0u, 0u, 0xFFFFFFu}) {
    put(v);
  }
  return b;
}

// The file as the data folder stores it: its first two bytes scrambled.
inline PictureBytes Scrambled(PictureBytes picture) {
  picture[0] = 'J';
  picture[1] = 'F';
  return picture;
}

}  // namespace kovan::testing
