// The character pictures: sprites named by character and pose digit, and
// the sheet of close-up faces the game pastes over them.
#pragma once

#include <vector>

#include "figures.h"

namespace kovan::demo {

inline Look CharacterLook(int character) {
  switch (character) {
    case 3:
      return {MakeRgb(255, 236, 226), MakeRgb(242, 202, 190), MakeRgb(246, 214, 130),
              MakeRgb(204, 158, 84),  MakeRgb(255, 242, 194), MakeRgb(96, 156, 232),
              MakeRgb(30, 62, 140),   MakeRgb(122, 88, 62),   MakeRgb(84, 60, 50),
              MakeRgb(84, 118, 220)};
    case 7:
      return {MakeRgb(252, 230, 214), MakeRgb(236, 192, 176), MakeRgb(66, 62, 102),
              MakeRgb(40, 36, 70),    MakeRgb(118, 112, 158), MakeRgb(150, 100, 172),
              MakeRgb(70, 40, 92),    MakeRgb(46, 38, 62),    MakeRgb(38, 30, 50),
              MakeRgb(150, 100, 172)};
    default:
      return {MakeRgb(255, 232, 218), MakeRgb(240, 196, 182), MakeRgb(150, 92, 60),
              MakeRgb(104, 60, 42),   MakeRgb(198, 136, 94),  MakeRgb(192, 122, 70),
              MakeRgb(92, 50, 30),    MakeRgb(88, 52, 42),    MakeRgb(62, 34, 30),
              MakeRgb(232, 92, 112)};
  }
}

struct SpriteLayout {
  int code;  // character digit and pose digit: 11 is character 1 in pose 1
  int width;
  int height;
  Frame head;
  HairStyle hair;
  Outfit outfit;
  Arms arms;
};

inline const std::vector<SpriteLayout>& SpriteLayouts() {
  static const std::vector<SpriteLayout> kLayouts = {
      {11, 280, 420, {197, 150, 1.0}, HairStyle::kLong, Outfit::kSailor, Arms::kDown},
      {13, 280, 420, {197, 150, 1.0}, HairStyle::kLong, Outfit::kSailor, Arms::kHandToChest},
      {15, 200, 300, {117.5, 117, 0.72}, HairStyle::kLong, Outfit::kCardigan, Arms::kHandsFront},
      {17, 200, 300, {117.5, 117, 0.72}, HairStyle::kLong, Outfit::kCoat, Arms::kDown},
      {32, 280, 440, {186, 160, 1.0}, HairStyle::kTwinTails, Outfit::kDress, Arms::kHandsFront},
      {36, 260, 400, {140, 140, 0.95}, HairStyle::kTwinTails, Outfit::kSailor, Arms::kHandToChest},
      {72, 240, 380, {128, 130, 0.92}, HairStyle::kBob, Outfit::kSuit, Arms::kDown},
  };
  return kLayouts;
}

inline const SpriteLayout* FindSprite(int code) {
  for (const SpriteLayout& s : SpriteLayouts()) {
    if (s.code == code) return &s;
  }
  return nullptr;
}

inline Surface DrawSprite(const SpriteLayout& sprite, const Expression& e) {
  Surface s(sprite.width, sprite.height, kBlack);
  const int character = sprite.code / 10;
  const Figure fig{CharacterLook(character), sprite.hair, sprite.outfit, sprite.arms,
                   character == 7};
  DrawFigure(s, sprite.head, fig, e);
  return s;
}

// One column of the face sheet: the faces of one sprite, stacked.
struct FaceColumn {
  int sheetX;
  int width;
  int height;
  int count;
  int spriteCode;
  int faceX;  // the face rectangle inside the sprite
  int faceY;
};

inline const std::vector<FaceColumn>& FaceColumns() {
  static const std::vector<FaceColumn> kColumns = {
      {0, 135, 120, 7, 11, 130, 90},    {135, 135, 120, 7, 13, 130, 90},
      {270, 140, 120, 7, 32, 120, 100}, {410, 105, 85, 9, 15, 65, 75},
      {515, 105, 85, 9, 17, 65, 75},
  };
  return kColumns;
}

constexpr int kFaceSheetWidth = 620;
constexpr int kFaceSheetHeight = 840;

// Each face is the sprite's own face rectangle drawn with another
// expression, so it lines up with the hair and outline around it.
inline Surface DrawFaceSheet() {
  Surface sheet(kFaceSheetWidth, kFaceSheetHeight, kBlack);
  for (const FaceColumn& col : FaceColumns()) {
    const SpriteLayout& sprite = *FindSprite(col.spriteCode);
    for (int n = 0; n < col.count; ++n) {
      const Surface face = DrawSprite(sprite, SheetExpression(n));
      for (int y = 0; y < col.height; ++y) {
        for (int x = 0; x < col.width; ++x) {
          sheet.Row(n * col.height + y)[col.sheetX + x] = face.Row(col.faceY + y)[col.faceX + x];
        }
      }
    }
  }
  return sheet;
}

}  // namespace kovan::demo
