// Decoding and encoding picture files.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/result.h"
#include "platform/surface.h"

namespace kovan {

// The largest picture side the game takes. Its pictures are at most the
// 640 x 480 screen; the bound keeps a hostile file from costing gigabytes
// before it is refused.
constexpr int kMaxPictureSide = 4096;

// Decodes a Windows bitmap (1, 4, 8, 24 or 32 bits, top-down or bottom-up,
// RLE8) or a JPEG (baseline, progressive, greyscale) from memory. The kind is
// told by the content, not the name. The size is read with the decoders' own
// header readers before a pixel is decoded; a side outside
// 1..kMaxPictureSide, or a file that can't be decoded, is an error naming
// the reason; it never crashes. A cut-off JPEG may still decode, its missing
// part filled in. A smaller maxSide bounds the sides further. The file's
// bytes are let go as soon as the decoder has read them.
[[nodiscard]] Result<Surface> DecodePicture(std::vector<std::uint8_t> bytes,
                                            int maxSide = kMaxPictureSide);
// The kind a picture file holds by its content, leaving out its first two
// bytes (which a scrambled file doesn't keep): what follows a JPEG's or a
// bitmap's signature. Nothing when the rest is neither.
enum class PictureKind { kBmp, kJpeg };
std::optional<PictureKind> PictureKindAfterSignature(const std::vector<std::uint8_t>& bytes);
const char* PictureKindName(PictureKind kind);
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
