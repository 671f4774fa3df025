#include "platform/font.h"

#include "platform/text_codec.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <unordered_map>
#include <vector>

namespace kovan {

namespace {

struct FontFile {
  std::string path;
  int index = 0;
  bool coversJapanese = false;
};

using PatternPtr = std::unique_ptr<FcPattern, decltype(&FcPatternDestroy)>;
using TtfFontPtr = std::unique_ptr<TTF_Font, decltype(&TTF_CloseFont)>;
using SdlSurfacePtr = std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)>;

std::string AsciiLower(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

// Asks fontconfig for its best font for the family (any font when empty),
// optionally requiring Japanese coverage.
std::optional<FontFile> MatchFont(const std::string& family, bool wantJapanese) {
  PatternPtr pattern(FcPatternCreate(), FcPatternDestroy);
  if (!pattern) return std::nullopt;
  if (!family.empty()) {
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  }
  if (wantJapanese) {
    std::unique_ptr<FcLangSet, decltype(&FcLangSetDestroy)> langs(FcLangSetCreate(),
                                                                  FcLangSetDestroy);
    FcLangSetAdd(langs.get(), reinterpret_cast<const FcChar8*>("ja"));
    FcPatternAddLangSet(pattern.get(), FC_LANG, langs.get());
  }
  FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
  if (!FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern)) return std::nullopt;
  FcDefaultSubstitute(pattern.get());
  FcResult result = FcResultNoMatch;
  PatternPtr match(FcFontMatch(nullptr, pattern.get(), &result), FcPatternDestroy);
  if (!match) return std::nullopt;

  FontFile file;
  FcChar8* path = nullptr;
  if (FcPatternGetString(match.get(), FC_FILE, 0, &path) != FcResultMatch || path == nullptr) {
    return std::nullopt;
  }
  file.path = reinterpret_cast<const char*>(path);
  FcPatternGetInteger(match.get(), FC_INDEX, 0, &file.index);
  FcLangSet* langs = nullptr;
  if (FcPatternGetLangSet(match.get(), FC_LANG, 0, &langs) == FcResultMatch) {
    file.coversJapanese =
        FcLangSetHasLang(langs, reinterpret_cast<const FcChar8*>("ja")) != FcLangDifferentLang;
  }
  return file;
}

// The Japanese Windows faces the game names, which no Linux system has by
// these names. They stand in for IPA faces of the same style.
std::optional<std::string> LinuxFaceFor(const std::string& family) {
  static constexpr const char* kGothicNames[] = {"ＭＳ ゴシック", "ms gothic", "ＭＳ Ｐゴシック",
                                                 "ms pgothic", "ms ui gothic"};
  static constexpr const char* kMinchoNames[] = {"ＭＳ 明朝", "ms mincho", "ＭＳ Ｐ明朝",
                                                 "ms pmincho"};
  const std::string lower = AsciiLower(family);
  for (const char* name : kGothicNames) {
    if (lower == name) return "IPAGothic";
  }
  for (const char* name : kMinchoNames) {
    if (lower == name) return "IPAMincho";
  }
  return std::nullopt;
}

// The font file for a family the game names: the family itself when it has
// Japanese glyphs, else a Japanese face.
std::optional<FontFile> ResolveFamily(const std::string& family) {
  std::optional<std::string> face = LinuxFaceFor(family);
  std::optional<FontFile> first;
  if (!face) {
    first = MatchFont(family, false);
    if (first && first->coversJapanese) return first;
  }
  for (const std::string& candidate :
       {face.value_or("IPAGothic"), std::string("IPAGothic"), std::string()}) {
    std::optional<FontFile> file = MatchFont(candidate, true);
    if (file && file->coversJapanese) return file;
    if (!first) first = file;
  }
  return first;  // no Japanese font installed: the best there is
}

class TtfFont final : public Font {
 public:
  TtfFont(TtfFontPtr font, int pixels, std::string path)
      : font_(std::move(font)), pixels_(pixels), path_(std::move(path)) {}

  int PixelSize() const override { return pixels_; }
  const std::string& FilePath() const override { return path_; }
  int TextHeight() const override { return TTF_FontHeight(font_.get()); }

  int TextWidth(const std::string& utf8) override {
    int w = 0, h = 0;
    if (utf8.empty() || TTF_SizeUTF8(font_.get(), utf8.c_str(), &w, &h) != 0) return 0;
    return w;
  }

  // Glyphs are drawn without smoothing, like the system's bitmap text: a
  // pixel is either the colour or left alone. Each character is rasterised
  // once and kept: a page of text reuses the same few hundred glyphs.
  void TextOut(Surface& dst, int x, int y, const std::string& utf8, Rgb c) override {
    if (utf8.empty() || dst.Empty()) return;
    long long pen = x;
    for (std::size_t i = 0; i < utf8.size();) {
      const std::size_t start = i;
      const char32_t ch = Utf8Next(utf8, i);
      const Glyph& g = GlyphFor(ch, utf8.substr(start, i - start));
      Draw(dst, pen + g.xOffset, y, g, c);
      pen += g.advance;
    }
  }

 private:
  struct Glyph {
    int w = 0, h = 0;
    int xOffset = 0;  // where the bitmap starts, from the pen position
    int advance = 0;
    std::vector<std::uint8_t> bits;  // 1 = the glyph's pixel
  };

  const Glyph& GlyphFor(char32_t ch, const std::string& text) {
    auto it = glyphs_.find(ch);
    if (it != glyphs_.end()) return it->second;
    Glyph g;
    int minX = 0, maxX = 0, minY = 0, maxY = 0, advance = 0;
    if (TTF_GlyphMetrics32(font_.get(), static_cast<Uint32>(ch), &minX, &maxX, &minY, &maxY,
                           &advance) == 0) {
      g.advance = advance;
      g.xOffset = std::min(0, minX);
    }
    SdlSurfacePtr rendered(
        TTF_RenderUTF8_Solid(font_.get(), text.c_str(), SDL_Color{255, 255, 255, 255}),
        SDL_FreeSurface);
    if (rendered && rendered->format->BytesPerPixel == 1 && SDL_LockSurface(rendered.get()) == 0) {
      g.w = rendered->w;
      g.h = rendered->h;
      g.bits.resize(static_cast<std::size_t>(g.w) * g.h);
      for (int gy = 0; gy < g.h; ++gy) {
        const auto* row = static_cast<const std::uint8_t*>(rendered->pixels) +
                          static_cast<std::ptrdiff_t>(gy) * rendered->pitch;
        for (int gx = 0; gx < g.w; ++gx) {
          g.bits[static_cast<std::size_t>(gy) * g.w + gx] = row[gx] != 0 ? 1 : 0;
        }
      }
      SDL_UnlockSurface(rendered.get());
      if (g.advance == 0) g.advance = g.w;
    }
    return glyphs_.emplace(ch, std::move(g)).first->second;
  }

  static void Draw(Surface& dst, long long x, long long y, const Glyph& g, Rgb c) {
    for (int gy = 0; gy < g.h; ++gy) {
      const long long ty = y + gy;
      if (ty < 0 || ty >= dst.Height()) continue;
      const std::uint8_t* row = g.bits.data() + static_cast<std::size_t>(gy) * g.w;
      Rgb* out = dst.Row(static_cast<int>(ty));
      for (int gx = 0; gx < g.w; ++gx) {
        const long long tx = x + gx;
        if (row[gx] != 0 && tx >= 0 && tx < dst.Width()) out[tx] = c;
      }
    }
  }

  TtfFontPtr font_;
  int pixels_;
  std::string path_;
  std::unordered_map<char32_t, Glyph> glyphs_;
};

}  // namespace

void LoadFontConfiguration() { (void)FcInit(); }

int PointsToPixels(double points) {
  if (!std::isfinite(points) || points <= 0) return 0;
  return static_cast<int>(std::lround(std::min(points, 10000.0) * 96.0 / 72.0));
}

Result<std::unique_ptr<Font>> Font::Open(const std::string& familyUtf8, double points) {
  using R = Result<std::unique_ptr<Font>>;
  const int pixels = PointsToPixels(points);
  if (pixels <= 0) return R::Error("font size out of range: " + std::to_string(points) + " pt");
  // The library is set up once for the process and left up: fonts may be
  // opened by any number of platforms over the program's life.
  if (TTF_WasInit() == 0 && TTF_Init() != 0) {
    return R::Error(std::string("cannot start the font library: ") + TTF_GetError());
  }
  const std::optional<FontFile> file = ResolveFamily(familyUtf8);
  if (!file) return R::Error("no font found for \"" + familyUtf8 + "\"");
  TtfFontPtr font(TTF_OpenFontIndex(file->path.c_str(), pixels, file->index), TTF_CloseFont);
  if (!font) {
    return R::Error("cannot open font " + file->path + ": " + TTF_GetError());
  }
  return std::unique_ptr<Font>(std::make_unique<TtfFont>(std::move(font), pixels, file->path));
}

}  // namespace kovan
