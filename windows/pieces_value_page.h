// The pieces-value page of the options sheet: one edit per piece and side
// showing its value less a fixed base, with the piece's picture beside it.
// OK stores the values in pieceValueTable and in the settings section
// "Pieces Value" at once.
#pragma once

#include <QImage>

#include "platform/property_sheet.h"

class QPaintEvent;
class QResizeEvent;

class CPiecesValuePage : public CPropertyPage {
  Q_OBJECT

 public:
  CPiecesValuePage();
  bool OnInitDialog() override;
  // Refuses, with the sheet kept open on the field, a value beyond
  // kMaxPieceValue either way (the value is the entered number plus the
  // row's base); otherwise runs OnOK.
  bool OnApply() override;
  void OnOK() override;
  // "Default" restores the standard values in pieceValueTable at once.
  void OnCommand(int id) override;

  // The page's persistent surface: its background with the twelve piece
  // pictures, redrawn whenever the page is created or resized.
  const QImage& Surface() const { return surface_; }
  void DrawPictures();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void ShowValues();
  // An edit's number as atoi reads it (a text that is no number reads 0).
  int EnteredValue(int id) const;

  QImage surface_;
};
