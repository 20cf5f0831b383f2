// make_artwork OUTPUT_DIR: draws every picture of the program's table into
// OUTPUT_DIR/<id>.png, at its exact size, the same bytes on every run.
// The build compiles the files into Qt resources.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <cstdio>

#include "res/artwork/artwork_ids.h"
#include "res/artwork/painting.h"

namespace {

QImage Draw(const artwork::ArtworkEntry& e) {
  using artwork::ArtworkKind;
  switch (e.kind) {
    case ArtworkKind::kTexture:
      return artwork::DrawTexture(e.variant, e.width, e.height);
    case ArtworkKind::kPieces:
      return artwork::DrawPieceStrip(e);
    case ArtworkKind::kMarker:
      return artwork::DrawMarker(e);
    case ArtworkKind::kRiver:
      return artwork::DrawRiver(e);
    case ArtworkKind::kFlag:
      return artwork::DrawFlag(e);
    case ArtworkKind::kAbout:
      return artwork::DrawAboutPicture(e);
    case ArtworkKind::kSwatch:  // a patch of the oak board
      return artwork::DrawTexture(6, e.width, e.height);
    case ArtworkKind::kSortArrow:
      return artwork::DrawSortArrow(e);
    case ArtworkKind::kIcon:
      return artwork::DrawIcon(e);
    case ArtworkKind::kToolButton:
      return artwork::DrawToolButton(e);
  }
  return QImage();
}

}  // namespace

int main(int argc, char** argv) {
  // Fonts need a platform plugin; the offscreen one needs no display.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_artwork OUTPUT_DIR\n");
    return 2;
  }
  const QString folder = QString::fromLocal8Bit(argv[1]);
  if (!QDir().mkpath(folder)) {
    std::fprintf(stderr, "make_artwork: cannot create %s\n", argv[1]);
    return 1;
  }
  int failures = 0;
  for (const artwork::ArtworkEntry& e : artwork::kArtwork) {
    const QImage image = Draw(e);
    if (image.width() != e.width || image.height() != e.height) {
      std::fprintf(stderr, "make_artwork: picture %d is %dx%d, expected %dx%d\n", e.id,
                   image.width(), image.height(), e.width, e.height);
      ++failures;
      continue;
    }
    const QString path = QDir(folder).filePath(QString::number(e.id) + QStringLiteral(".png"));
    if (!image.save(path, "PNG")) {
      std::fprintf(stderr, "make_artwork: cannot write %s\n", qPrintable(path));
      ++failures;
    }
  }
  return failures == 0 ? 0 : 1;
}
