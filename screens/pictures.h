#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "game/platform.h"

namespace tandemhoop {

// Picture numbers of the sprite sheet, so drawing code reads like the drawing tables:
// DrawMaskedSprite(Picture8, Picture9, x - 33, y).
namespace form2 {
enum : int {
  Picture1 = 1,
  Picture2,
  Picture3,
  Picture4,
  Picture5,
  Picture6,
  Picture7,
  Picture8,
  Picture9,
  Picture10,
  Picture11,
  Picture12,
  Picture13,
  Picture14,
  Picture15,
  Picture16,
  Picture17,
  Picture18,
  Picture19,
  Picture20,
  Picture21,
  Picture22,
  Picture23,
  Picture24,
  Picture25,
  Picture26,
  Picture27,
  Picture28,
  Picture29,
  Picture30,
  Picture31,
  Picture32,
  Picture33,
  Picture34,
  Picture35,
  Picture36,
  Picture37,
  Picture38,
  Picture39,
  Picture40,
  Picture41,
  Picture42,
  Picture43,
  Picture44,
  Picture45,
  Picture46,
  Picture47,
  Picture48,
  Picture49,
  Picture50,
  Picture51,
  Picture52,
  Picture53,
  Picture54,
  Picture55,
  Picture56,
  Picture57,
  Picture58,
  Picture59,
  Picture60,
  Picture61,
  Picture62,
  Picture63,
  Picture64,
  Picture65,
  Picture66,
  Picture67,
  Picture68,
  Picture69,
  Picture70,
  Picture71,
  Picture72,
  Picture73,
  Picture74,
  Picture75,
  Picture76,
  Picture77,
  Picture78
};
inline constexpr int kPictureCount = 78;
}  // namespace form2

namespace form3 {
enum : int { Picture1 = 1 };  // the court, 821 x 662
}
namespace form4 {
enum : int { Picture1 = 1, Picture2 = 2 };  // the 1P and 2P badges
// The portraits on the selection screen are the front-face masks of the sprite sheet, shown as
// they are; the screen's controls carry the same numbers.
inline constexpr int kPortraits[4] = {form2::Picture26, form2::Picture34, form2::Picture42,
                                      form2::Picture50};
}  // namespace form4
namespace form5 {
enum : int { Picture1 = 1 };  // the title art, 640 x 490
}

struct PictureSize {
  int width = 0;
  int height = 0;
};

// What a picture is, for the generator, the tests and the holders that load them.
enum class PictureKind : std::uint8_t {
  Mask,   // white outside the figure, black on the shirt, the image's colours elsewhere
  Image,  // black outside the figure
  Patch,  // opaque shirt-number patch
  Full,   // opaque full picture (court, title, badge)
};

struct PictureEntry {
  PictureRef ref;
  PictureSize size;
  PictureKind kind;
  const char* what;  // what the picture shows, in a few words
};

// A masked sprite: one mask and one or two images of its size. Body poses have a separate image
// per side (player2Image != 0) and a black shirt area in the mask.
struct SpriteEntry {
  int mask;
  int player1Image;
  int player2Image;  // 0 when both sides share player1Image
  bool body;
};

// Every picture the game has, in holder and number order. The sizes are fixed: the drawing
// offsets of the controllers are measured against them.
std::span<const PictureEntry> Pictures();
std::span<const SpriteEntry> MaskedSprites();

// The size of a picture; {0, 0} for a picture the game does not have.
PictureSize SizeOf(PictureRef ref);
// The size of a sprite-sheet picture; {0, 0} outside 1..78. Cheap: a table look-up.
PictureSize SpriteSize(int picture);

// Where the art of a picture lives below assets/, e.g. "form2/Picture12.png"; "" if unknown.
std::string AssetPath(PictureRef ref);

// The application icon: a basketball hoop with its pole.
inline constexpr const char* kIconAsset = "icon.png";
inline constexpr PictureSize kIconSize{32, 32};

}  // namespace tandemhoop
