// Picture files made to cost a careless decoder dearly: headers that claim
// huge sizes over a few bytes of data, and a JPEG whose first frame-header
// byte is a decoy.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/pictures.h"

namespace kovan::testing {

using PictureBytes = std::vector<std::uint8_t>;

// A small real JPEG whose frame header claims w x h; libjpeg decodes it
// with the missing data filled in.
inline PictureBytes JpegClaiming(int w, int h) {
  PictureBytes jpeg = EncodeJpeg(Surface(8, 8, MakeRgb(90, 120, 150)), 80);
  for (std::size_t i = 0; i + 8 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
      jpeg[i + 5] = static_cast<std::uint8_t>(h >> 8);
      jpeg[i + 6] = static_cast<std::uint8_t>(h);
      jpeg[i + 7] = static_cast<std::uint8_t>(w >> 8);
      jpeg[i + 8] = static_cast<std::uint8_t>(w);
      break;
    }
  }
  return jpeg;
}

// A JPEG of 64370 x 42761 with a stray frame header of 115 x 14 before its
// real one, lacking the 0xFF that starts a marker: libjpeg skips it as
// garbage, a hand-written marker walk takes it for the frame.
inline PictureBytes JpegWithDecoyFrame() {
  PictureBytes jpeg = JpegClaiming(64370, 42761);
  const std::size_t app0End = 4 + ((jpeg[4] << 8) | jpeg[5]);  // SOI, then APP0
  const PictureBytes decoy = {0xC0, 0x00, 0x11, 0x08, 0x00, 0x0E, 0x00, 0x73, 0x03,
                              0x01, 0x22, 0x00, 0x02, 0x11, 0x01, 0x03, 0x11, 0x01};
  jpeg.insert(jpeg.begin() + static_cast<long>(app0End), decoy.begin(), decoy.end());
  return jpeg;
}

// The headers of a bottom-up bitmap of w x h at the given bits per pixel,
// with a black-and-white palette and no pixel data at all.
inline PictureBytes BmpHeaderClaiming(int bits, std::int32_t w, std::int32_t h) {
  PictureBytes b;
  auto put = [&b](std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  };
  const std::uint32_t palette = bits <= 8 ? (4u << bits) : 0;
  b.push_back('B');
  b.push_back('M');
  put(0, 4);
  put(0, 4);
  put(54 + palette, 4);
  put(40, 4);
  put(static_cast<std::uint32_t>(w), 4);
  put(static_cast<std::uint32_t>(h), 4);
  put(1, 2);
  put(static_cast<std::uint32_t>(bits), 2);
  for (int i = 0; i < 6; ++i) put(0, 4);
  for (std::uint32_t i = 0; i < palette; i += 4) put(i == 0 ? 0 : 0xFFFFFF, 4);
  return b;
}

// The file as the data folder stores it: its first two bytes scrambled.
inline PictureBytes Scrambled(PictureBytes picture) {
  picture[0] = 'J';
  picture[1] = 'F';
  return picture;
}

}  // namespace kovan::testing
