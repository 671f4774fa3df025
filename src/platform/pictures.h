// Decoding and encoding picture files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/result.h"
#include "platform/surface.h"

namespace kovan {

// Decodes a Windows bitmap (1, 4, 8, 24 or 32 bits, top-down or bottom-up,
// RLE8) or a JPEG (baseline, progressive, greyscale) from memory. The kind is
// told by the content, not the name. A file that can't be decoded, or whose
// sides are not 1..kMaxSurfaceSide, is an error naming the reason; it never
// crashes. A cut-off JPEG may still decode, its missing part filled in.
[[nodiscard]] Result<Surface> DecodePicture(const std::vector<std::uint8_t>& bytes);
// Reads and decodes the file at path; the error names the path.
[[nodiscard]] Result<Surface> LoadPicture(const std::string& path);

// Encoders for the demo data, screenshots and tests. A surface without
// pixels encodes to nothing.
std::vector<std::uint8_t> EncodeBmp24(const Surface& s);
// quality 1..100; progressive and greyscale select the JPEG variants.
std::vector<std::uint8_t> EncodeJpeg(const Surface& s, int quality, bool progressive = false,
                                     bool greyscale = false);
[[nodiscard]] Status SavePng(const Surface& s, const std::string& path);

}  // namespace kovan
