// Every picture of the program by resource id: board textures, piece
// strips, markers, river texts, language flags and the small pictures of the
// dialogs. The images are drawn at build time by the make_artwork tool and
// compiled into Qt resources: bitmaps as ":/bitmaps/<id>", the program's
// icons as ":/icons/<id>". The table below is the single list of what exists
// and of its exact size; the build reads the ids from it too, so keep one
// entry per line in the form written here.
//
// This header is free of Qt so that any part of the program can name a
// picture.
#pragma once

#include <cstddef>

namespace artwork {

enum class ArtworkKind : int {
  kTexture,    // board texture tiled under the grid; variant = board style
  kPieces,     // 7 x 2 piece strip, pure black transparent; variant = piece set
  kMarker,     // one-cell sprite, pure black transparent; variant = kMarker...
  kRiver,      // one-cell sprite of the river texts, pure black transparent
  kFlag,       // language chooser flag; variant = kFlag...
  kAbout,      // the about box picture
  kSwatch,     // the frame's small palette bitmap
  kSortArrow,  // list header sort arrow, black on white; variant = kArrow...
  kIcon,       // program icon with an alpha channel
  // Toolbar button picture with an alpha channel; variant = its own id.
  kToolButton,
};

struct ArtworkEntry {
  int id;
  int width;
  int height;
  int columns;  // sprite cells across (1 for single pictures)
  int rows;     // sprite cells down
  ArtworkKind kind;
  int variant;  // meaning depends on the kind, see ArtworkKind
};

// Variants of the markers.
inline constexpr int kMarkerEndSetup = 1;     // green disc with a check mark
inline constexpr int kMarkerCancelSetup = 2;  // red no-entry disc
inline constexpr int kMarkerEmptyBoard = 3;   // small board with two kings
inline constexpr int kMarkerRedToMove = 4;    // red side-to-move disc
inline constexpr int kMarkerBlackToMove = 5;  // blue side-to-move disc
inline constexpr int kMarkerIronPawn = 6;     // iron ring around a pawn

// Variants of the flags: the chooser buttons are Français, English, Español,
// Chinese and German, each with its flag beside it.
inline constexpr int kFlagFrance = 1;
inline constexpr int kFlagUnitedKingdom = 2;
inline constexpr int kFlagSpain = 3;
inline constexpr int kFlagChina = 4;
inline constexpr int kFlagGermany = 5;

inline constexpr int kArrowUp = 1;
inline constexpr int kArrowDown = 2;

// Board textures by board style (styles 0..5 are plain colours).
inline constexpr int kBitmapOakWood = 135;       // style 6
inline constexpr int kBitmapDeepOcean = 137;     // style 7
inline constexpr int kBitmapGreeny = 162;        // style 8
inline constexpr int kBitmapRosePaper = 140;     // style 9
inline constexpr int kBitmapTekWood = 146;       // style 10
inline constexpr int kBitmapRedMarble = 147;     // style 11
inline constexpr int kBitmapMerisierWood = 158;  // style 12
inline constexpr int kBitmapSteel = 159;         // style 13
inline constexpr int kBitmapNervyWood = 160;     // style 14
inline constexpr int kBitmapGreenMarble = 161;   // style 15
inline constexpr int kBitmapGreenLeather = 139;  // style 16
inline constexpr int kBitmapWalnutWood = 193;    // style 17
inline constexpr int kBitmapGreyStone = 194;     // style 18
inline constexpr int kBitmapParchment = 195;     // style 19
inline constexpr int kBitmapMapleWood = 196;     // style 20
inline constexpr int kBitmapCork = 197;          // style 21

// Piece strips: 28-pixel cells (small board), 36 (medium), big board.
inline constexpr int kBitmapPiecesBasicSmall = 190;  // also set 4 on the small board
inline constexpr int kBitmapPiecesBasicMedium = 191;
inline constexpr int kBitmapPiecesBasicBig = 192;  // 48-pixel cells
inline constexpr int kBitmapPiecesOldPemmetSmall = 202;
inline constexpr int kBitmapPiecesOldPemmetMedium = 113;
inline constexpr int kBitmapPiecesOldPemmetBig = 114;
inline constexpr int kBitmapPiecesSepaSmall = 176;
inline constexpr int kBitmapPiecesSepaMedium = 155;
inline constexpr int kBitmapPiecesSepaBig = 156;
inline constexpr int kBitmapPiecesSimpleMedium = 144;
inline constexpr int kBitmapPiecesSimpleBig = 145;
inline constexpr int kBitmapPiecesPrint = 205;  // 108-pixel cells for printing

// Markers: the setup palette buttons (54 pixels on the big board, 36 on the
// others), the side-to-move discs and the iron-pawn marker.
inline constexpr int kBitmapEndSetupBig = 149;
inline constexpr int kBitmapEndSetupSmall = 152;
inline constexpr int kBitmapCancelSetupBig = 150;
inline constexpr int kBitmapCancelSetupSmall = 151;
inline constexpr int kBitmapEmptyBoardBig = 165;
inline constexpr int kBitmapEmptyBoardSmall = 166;
inline constexpr int kBitmapRedToMove = 154;
inline constexpr int kBitmapBlackToMove = 153;
inline constexpr int kBitmapIronPawn = 179;

// River texts: big board, other boards.
inline constexpr int kBitmapRiverBig = 138;
inline constexpr int kBitmapRiverSmall = 203;

// Language chooser flags.
inline constexpr int kBitmapFlagFrance = 182;
inline constexpr int kBitmapFlagUnitedKingdom = 183;
inline constexpr int kBitmapFlagSpain = 184;
inline constexpr int kBitmapFlagChina = 185;
inline constexpr int kBitmapFlagGermany = 186;

inline constexpr int kBitmapAbout = 110;
inline constexpr int kBitmapPaletteSwatch = 111;
inline constexpr int kBitmapSortUp = 148;
inline constexpr int kBitmapSortDown = 174;

// Toolbar button pictures (res/toolbars.cpp): the game toolbar's, then the
// design toolbar's.
inline constexpr int kBitmapToolNewGame = 401;       // board with a sparkle
inline constexpr int kBitmapToolLoadGame = 402;      // open folder
inline constexpr int kBitmapToolSaveGame = 403;      // floppy disk
inline constexpr int kBitmapToolTakeBackAll = 404;   // bar and two left triangles
inline constexpr int kBitmapToolTakeBackOne = 405;   // left triangle
inline constexpr int kBitmapToolReplayOne = 406;     // right triangle
inline constexpr int kBitmapToolReplayAll = 407;     // two right triangles and bar
inline constexpr int kBitmapToolAutomove = 408;      // green triangle and a clock
inline constexpr int kBitmapToolPlayNow = 409;       // monitor with a go triangle
inline constexpr int kBitmapToolStopThinking = 410;  // stop sign
inline constexpr int kBitmapToolHint = 411;          // light bulb
inline constexpr int kBitmapToolNextBestMove = 412;  // fork: struck move, new move
inline constexpr int kBitmapToolNoComputer = 413;    // two players
inline constexpr int kBitmapToolOptions = 414;       // gears
inline constexpr int kBitmapToolTiming = 415;        // stopwatch
inline constexpr int kBitmapToolRotate = 416;        // two arrows turning
inline constexpr int kBitmapToolMirror = 417;        // triangles about an axis
inline constexpr int kBitmapToolPieces = 418;        // red king
inline constexpr int kBitmapToolBoardStyle = 419;    // two board patches
inline constexpr int kBitmapToolLanguages = 420;     // flag on a pole
inline constexpr int kBitmapToolBoardSize = 421;     // magnifier
inline constexpr int kBitmapToolSetup = 422;         // board and pencil

inline constexpr int kIconSmall = 31234;  // 32 x 32
inline constexpr int kIconLarge = 31235;  // 48 x 48

// clang-format off
inline constexpr ArtworkEntry kArtwork[] = {
  {135, 160, 120, 1, 1, ArtworkKind::kTexture, 6},    // Oak wood
  {137, 64, 64, 1, 1, ArtworkKind::kTexture, 7},      // Deep ocean
  {162, 74, 124, 1, 1, ArtworkKind::kTexture, 8},     // Greeny
  {140, 161, 120, 1, 1, ArtworkKind::kTexture, 9},    // Rose paper
  {146, 96, 96, 1, 1, ArtworkKind::kTexture, 10},     // Tek wood
  {147, 38, 38, 1, 1, ArtworkKind::kTexture, 11},     // Red marble
  {158, 160, 120, 1, 1, ArtworkKind::kTexture, 12},   // Merisier wood
  {159, 161, 120, 1, 1, ArtworkKind::kTexture, 13},   // Steel
  {160, 96, 96, 1, 1, ArtworkKind::kTexture, 14},     // Nervy wood
  {161, 160, 120, 1, 1, ArtworkKind::kTexture, 15},   // Green marble
  {139, 128, 128, 1, 1, ArtworkKind::kTexture, 16},   // Green leather
  {193, 128, 128, 1, 1, ArtworkKind::kTexture, 17},   // walnut wood
  {194, 64, 64, 1, 1, ArtworkKind::kTexture, 18},     // grey stone
  {195, 150, 150, 1, 1, ArtworkKind::kTexture, 19},   // parchment
  {196, 200, 200, 1, 1, ArtworkKind::kTexture, 20},   // maple wood
  {197, 47, 47, 1, 1, ArtworkKind::kTexture, 21},     // cork
  {190, 196, 56, 7, 2, ArtworkKind::kPieces, 1},      // Basic, 28-pixel cells
  {191, 252, 72, 7, 2, ArtworkKind::kPieces, 1},      // Basic, 36
  {192, 336, 96, 7, 2, ArtworkKind::kPieces, 1},      // Basic, 48
  {202, 196, 56, 7, 2, ArtworkKind::kPieces, 2},      // Old Pemmet, 28
  {113, 252, 72, 7, 2, ArtworkKind::kPieces, 2},      // Old Pemmet, 36
  {114, 378, 108, 7, 2, ArtworkKind::kPieces, 2},     // Old Pemmet, 54
  {176, 196, 56, 7, 2, ArtworkKind::kPieces, 3},      // Sepa, 28
  {155, 252, 72, 7, 2, ArtworkKind::kPieces, 3},      // Sepa, 36
  {156, 378, 108, 7, 2, ArtworkKind::kPieces, 3},     // Sepa, 54
  {144, 252, 72, 7, 2, ArtworkKind::kPieces, 4},      // Simple graphics, 36
  {145, 378, 108, 7, 2, ArtworkKind::kPieces, 4},     // Simple graphics, 54
  {205, 756, 216, 7, 2, ArtworkKind::kPieces, 1},     // printing, 108
  {149, 54, 54, 1, 1, ArtworkKind::kMarker, kMarkerEndSetup},
  {152, 36, 36, 1, 1, ArtworkKind::kMarker, kMarkerEndSetup},
  {150, 54, 54, 1, 1, ArtworkKind::kMarker, kMarkerCancelSetup},
  {151, 36, 36, 1, 1, ArtworkKind::kMarker, kMarkerCancelSetup},
  {165, 54, 54, 1, 1, ArtworkKind::kMarker, kMarkerEmptyBoard},
  {166, 36, 36, 1, 1, ArtworkKind::kMarker, kMarkerEmptyBoard},
  {154, 20, 20, 1, 1, ArtworkKind::kMarker, kMarkerRedToMove},
  {153, 20, 20, 1, 1, ArtworkKind::kMarker, kMarkerBlackToMove},
  {179, 20, 20, 1, 1, ArtworkKind::kMarker, kMarkerIronPawn},
  {138, 195, 31, 1, 1, ArtworkKind::kRiver, 0},
  {203, 156, 25, 1, 1, ArtworkKind::kRiver, 0},
  {182, 48, 32, 1, 1, ArtworkKind::kFlag, kFlagFrance},
  {183, 48, 32, 1, 1, ArtworkKind::kFlag, kFlagUnitedKingdom},
  {184, 48, 32, 1, 1, ArtworkKind::kFlag, kFlagSpain},
  {185, 48, 32, 1, 1, ArtworkKind::kFlag, kFlagChina},
  {186, 48, 32, 1, 1, ArtworkKind::kFlag, kFlagGermany},
  {110, 240, 160, 1, 1, ArtworkKind::kAbout, 0},
  {111, 16, 16, 1, 1, ArtworkKind::kSwatch, 0},
  {148, 9, 5, 1, 1, ArtworkKind::kSortArrow, kArrowUp},
  {174, 9, 5, 1, 1, ArtworkKind::kSortArrow, kArrowDown},
  {401, 24, 24, 1, 1, ArtworkKind::kToolButton, 401},
  {402, 24, 24, 1, 1, ArtworkKind::kToolButton, 402},
  {403, 24, 24, 1, 1, ArtworkKind::kToolButton, 403},
  {404, 24, 24, 1, 1, ArtworkKind::kToolButton, 404},
  {405, 24, 24, 1, 1, ArtworkKind::kToolButton, 405},
  {406, 24, 24, 1, 1, ArtworkKind::kToolButton, 406},
  {407, 24, 24, 1, 1, ArtworkKind::kToolButton, 407},
  {408, 24, 24, 1, 1, ArtworkKind::kToolButton, 408},
  {409, 24, 24, 1, 1, ArtworkKind::kToolButton, 409},
  {410, 24, 24, 1, 1, ArtworkKind::kToolButton, 410},
  {411, 24, 24, 1, 1, ArtworkKind::kToolButton, 411},
  {412, 24, 24, 1, 1, ArtworkKind::kToolButton, 412},
  {413, 24, 24, 1, 1, ArtworkKind::kToolButton, 413},
  {414, 24, 24, 1, 1, ArtworkKind::kToolButton, 414},
  {415, 24, 24, 1, 1, ArtworkKind::kToolButton, 415},
  {416, 24, 24, 1, 1, ArtworkKind::kToolButton, 416},
  {417, 24, 24, 1, 1, ArtworkKind::kToolButton, 417},
  {418, 24, 24, 1, 1, ArtworkKind::kToolButton, 418},
  {419, 24, 24, 1, 1, ArtworkKind::kToolButton, 419},
  {420, 24, 24, 1, 1, ArtworkKind::kToolButton, 420},
  {421, 24, 24, 1, 1, ArtworkKind::kToolButton, 421},
  {422, 24, 24, 1, 1, ArtworkKind::kToolButton, 422},
  {31234, 32, 32, 1, 1, ArtworkKind::kIcon, 0},
  {31235, 48, 48, 1, 1, ArtworkKind::kIcon, 0},
};
// clang-format on

inline constexpr std::size_t kArtworkCount = sizeof(kArtwork) / sizeof(kArtwork[0]);

// The entry of a picture, or nullptr when no picture has that id.
constexpr const ArtworkEntry* FindArtwork(int id) {
  for (const ArtworkEntry& e : kArtwork)
    if (e.id == id) return &e;
  return nullptr;
}

}  // namespace artwork
