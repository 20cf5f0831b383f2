// The artwork library itself holds no code: its pictures arrive as Qt
// resources compiled from the images make_artwork draws. This file checks the
// picture table at compile time, so a mistyped entry stops the build rather
// than showing up as a misdrawn board.
#include "res/artwork/artwork_ids.h"

namespace artwork {
namespace {

constexpr bool IdsAreUnique() {
  for (std::size_t i = 0; i < kArtworkCount; ++i)
    for (std::size_t j = i + 1; j < kArtworkCount; ++j)
      if (kArtwork[i].id == kArtwork[j].id) return false;
  return true;
}

// Every cell is a whole number of pixels, and sprite cells are square.
constexpr bool CellsAreWhole() {
  for (const ArtworkEntry& e : kArtwork) {
    if (e.columns < 1 || e.rows < 1 || e.width < 1 || e.height < 1) return false;
    if (e.width % e.columns != 0 || e.height % e.rows != 0) return false;
    const bool square = e.kind == ArtworkKind::kPieces || e.kind == ArtworkKind::kMarker ||
                        e.kind == ArtworkKind::kIcon || e.kind == ArtworkKind::kToolButton;
    if (square && e.width / e.columns != e.height / e.rows) return false;
  }
  return true;
}

constexpr bool Has(int id, ArtworkKind kind) {
  const ArtworkEntry* e = FindArtwork(id);
  return e != nullptr && e->kind == kind;
}

static_assert(IdsAreUnique());
static_assert(CellsAreWhole());

static_assert(
    Has(kBitmapOakWood, ArtworkKind::kTexture) && Has(kBitmapDeepOcean, ArtworkKind::kTexture) &&
    Has(kBitmapGreeny, ArtworkKind::kTexture) && Has(kBitmapRosePaper, ArtworkKind::kTexture) &&
    Has(kBitmapTekWood, ArtworkKind::kTexture) && Has(kBitmapRedMarble, ArtworkKind::kTexture) &&
    Has(kBitmapMerisierWood, ArtworkKind::kTexture) && Has(kBitmapSteel, ArtworkKind::kTexture) &&
    Has(kBitmapNervyWood, ArtworkKind::kTexture) &&
    Has(kBitmapGreenMarble, ArtworkKind::kTexture) &&
    Has(kBitmapGreenLeather, ArtworkKind::kTexture) &&
    Has(kBitmapWalnutWood, ArtworkKind::kTexture) && Has(kBitmapGreyStone, ArtworkKind::kTexture) &&
    Has(kBitmapParchment, ArtworkKind::kTexture) && Has(kBitmapMapleWood, ArtworkKind::kTexture) &&
    Has(kBitmapCork, ArtworkKind::kTexture));
static_assert(Has(kBitmapPiecesBasicSmall, ArtworkKind::kPieces) &&
              Has(kBitmapPiecesBasicMedium, ArtworkKind::kPieces) &&
              Has(kBitmapPiecesBasicBig, ArtworkKind::kPieces) &&
              Has(kBitmapPiecesOldPemmetSmall, ArtworkKind::kPieces) &&
              Has(kBitmapPiecesOldPemmetMedium, ArtworkKind::kPieces) &&
              Has(kBitmapPiecesOldPemmetBig, ArtworkKind::kPieces) &&
              Has(kBitmapPiecesSepaSmall, ArtworkKind::kPieces) &&
              Has(kBitmapPiecesSepaMedium, ArtworkKind::kPieces) &&
              Has(kBitmapPiecesSepaBig, ArtworkKind::kPieces) &&
              Has(kBitmapPiecesSimpleMedium, ArtworkKind::kPieces) &&
              Has(kBitmapPiecesSimpleBig, ArtworkKind::kPieces) &&
              Has(kBitmapPiecesPrint, ArtworkKind::kPieces));
static_assert(Has(kBitmapEndSetupBig, ArtworkKind::kMarker) &&
              Has(kBitmapEndSetupSmall, ArtworkKind::kMarker) &&
              Has(kBitmapCancelSetupBig, ArtworkKind::kMarker) &&
              Has(kBitmapCancelSetupSmall, ArtworkKind::kMarker) &&
              Has(kBitmapEmptyBoardBig, ArtworkKind::kMarker) &&
              Has(kBitmapEmptyBoardSmall, ArtworkKind::kMarker) &&
              Has(kBitmapRedToMove, ArtworkKind::kMarker) &&
              Has(kBitmapBlackToMove, ArtworkKind::kMarker) &&
              Has(kBitmapIronPawn, ArtworkKind::kMarker));
static_assert(Has(kBitmapRiverBig, ArtworkKind::kRiver) &&
              Has(kBitmapRiverSmall, ArtworkKind::kRiver));
static_assert(FindArtwork(kBitmapFlagFrance)->variant == kFlagFrance &&
              FindArtwork(kBitmapFlagUnitedKingdom)->variant == kFlagUnitedKingdom &&
              FindArtwork(kBitmapFlagSpain)->variant == kFlagSpain &&
              FindArtwork(kBitmapFlagChina)->variant == kFlagChina &&
              FindArtwork(kBitmapFlagGermany)->variant == kFlagGermany);
static_assert(Has(kBitmapAbout, ArtworkKind::kAbout) &&
              Has(kBitmapPaletteSwatch, ArtworkKind::kSwatch));
static_assert(FindArtwork(kBitmapSortUp)->variant == kArrowUp &&
              FindArtwork(kBitmapSortDown)->variant == kArrowDown);
static_assert(Has(kIconSmall, ArtworkKind::kIcon) && Has(kIconLarge, ArtworkKind::kIcon));

// The toolbar pictures run without a gap from the first to the last, each
// drawn by its own id.
constexpr bool ToolPicturesAreComplete() {
  for (int id = kBitmapToolNewGame; id <= kBitmapToolSetup; ++id)
    if (!Has(id, ArtworkKind::kToolButton) || FindArtwork(id)->variant != id) return false;
  return true;
}
static_assert(ToolPicturesAreComplete());

}  // namespace
}  // namespace artwork
