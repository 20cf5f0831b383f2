#include "windows/pieces_value_page.h"

#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>

#include "engine/eval/prepare.h"
#include "platform/device_context.h"
#include "platform/dib_bitmap.h"
#include "platform/settings_store.h"
#include "platform/text_codec.h"
#include "res/text_rows.h"

namespace {

// One row of the page: chariot, cannon, knight, elephant, adviser, pawn.
struct PieceRow {
  int redIndex;  // in pieceValueTable; black is 6 further
  int32_t base;  // the edit shows value - base
  const char* redKey;
  const char* blackKey;
};
constexpr PieceRow kRows[6] = {
    {5, 280, "Red Chariot", "Black Chariot"}, {4, 70, "Red Cannon", "Black Cannon"},
    {3, 50, "Red Knight", "Black Knight"},    {2, -15, "Red Elephant", "Black Elephant"},
    {1, -15, "Red Adviser", "Black Adviser"}, {0, 0, "Red Pawn", "Black Pawn"},
};
// The standard values in pieceValueTable order within one side.
constexpr int32_t kDefaultValues[6] = {100, 185, 195, 550, 570, 1280};

// The most characters of an edit that are read.
constexpr int kValueTextLimit = 44;

// The piece picture strip of the page: 7 pictures by 2 colours, 36-pixel
// cells; cells 1 to 6 of each row are chariot to pawn.
constexpr int kPictureBitmap = 155;
constexpr int kPictureCell = 36;
// The pictures' left edge is this far left of the column's edits.
constexpr int kPictureOffset = 50;

}  // namespace

CPiecesValuePage::CPiecesValuePage()
    : CPropertyPage(kDialogPiecesValue, TrText(kTextPiecesValueTab)) {}

bool CPiecesValuePage::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  SetDlgItemText(kCtlOptionsDefault, TrText(kTextDefault));
  ShowValues();
  DrawPictures();
  return true;
}

void CPiecesValuePage::ShowValues() {
  for (int i = 0; i < 6; ++i) {
    const PieceRow& row = kRows[i];
    SetDlgItemInt(kCtlPiecesRed[i], pieceValueTable[row.redIndex] - row.base);
    SetDlgItemInt(kCtlPiecesBlack[i], pieceValueTable[row.redIndex + 6] - row.base);
  }
}

int CPiecesValuePage::EnteredValue(int id) const {
  return ParseLeadingInt(GetDlgItemText(id).left(kValueTextLimit));
}

bool CPiecesValuePage::OnApply() {
  // Every value must lie within what the evaluation adds up; the edits show
  // it less the row's base. Nothing is stored while one is refused.
  CDataExchange dx(this, true);
  for (int i = 0; i < 6 && !dx.Failed(); ++i) {
    const int32_t base = kRows[i].base;
    for (int id : {kCtlPiecesRed[i], kCtlPiecesBlack[i]}) {
      DDV_MinMaxInt(&dx, id, EnteredValue(id), -kMaxPieceValue - base, kMaxPieceValue - base);
    }
  }
  if (dx.Failed()) return false;
  OnOK();
  return true;
}

void CPiecesValuePage::OnOK() {
  for (int i = 0; i < 6; ++i) {
    const PieceRow& row = kRows[i];
    pieceValueTable[row.redIndex] = EnteredValue(kCtlPiecesRed[i]) + row.base;
    pieceValueTable[row.redIndex + 6] = EnteredValue(kCtlPiecesBlack[i]) + row.base;
  }
  // The only option written to the settings at once; the others are
  // written when the frame closes.
  CSettingsStore store(kSettingsNoRoot);
  if (!OpenProgramSettings(store)) return;
  for (const PieceRow& row : kRows) {
    store.WriteInt("Pieces Value", row.redKey, pieceValueTable[row.redIndex]);
  }
  for (const PieceRow& row : kRows) {
    store.WriteInt("Pieces Value", row.blackKey, pieceValueTable[row.redIndex + 6]);
  }
}

void CPiecesValuePage::OnCommand(int id) {
  if (id != kCtlOptionsDefault) {
    CPropertyPage::OnCommand(id);
    return;
  }
  for (int i = 0; i < 6; ++i) {
    pieceValueTable[i] = kDefaultValues[i];
    pieceValueTable[i + 6] = kDefaultValues[i];
  }
  ShowValues();
}

void CPiecesValuePage::DrawPictures() {
  if (size().isEmpty()) return;
  surface_ = CreateCompatibleBitmap(width(), height());
  surface_.fill(palette().color(QPalette::Window));
  const QWidget* firstRed = GetDlgItem(kCtlPiecesRed[0]);
  const QWidget* firstBlack = GetDlgItem(kCtlPiecesBlack[0]);
  const QWidget* second = GetDlgItem(kCtlPiecesRed[1]);
  if (firstRed == nullptr || firstBlack == nullptr || second == nullptr) return;
  CDC dc(&surface_);
  CSpriteStrip strip(&dc, QString::number(kPictureBitmap), QString(), 7, 2, true, 0);
  if (strip.IsValid()) {
    const int h = firstRed->height();
    const int d = second->y() - firstRed->y();
    const QWidget* columns[2] = {firstRed, firstBlack};
    for (int colour = 0; colour < 2; ++colour) {
      const QWidget* first = columns[colour];
      for (int i = 1; i <= 6; ++i) {
        const int top = first->y() - (kPictureCell - h) / 2 + (i - 1) * d;
        strip.DrawCell(dc, first->x() - kPictureOffset, top, i + 7 * colour, 255);
      }
    }
  }
  update();
}

void CPiecesValuePage::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.drawImage(event->rect(), surface_, event->rect());
}

void CPiecesValuePage::resizeEvent(QResizeEvent* event) {
  CPropertyPage::resizeEvent(event);
  if (IsCreated()) DrawPictures();
}
