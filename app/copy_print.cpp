// Copies of the move list and the board picture, and the printed move lists.
#include <QPrinter>
#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/frame_commands.h"
#include "app/main_frame.h"
#include "engine/position/position.h"
#include "game/header.h"
#include "game/notation.h"
#include "game/shown_ply.h"
#include "platform/dib_bitmap.h"
#include "platform/message_box.h"
#include "platform/printer_dc.h"
#include "platform/services.h"
#include "platform/text_codec.h"
#include "res/menus.h"
#include "res/text_rows.h"

namespace {

// The moves of the game as the board shows it (also while a search runs).
int ShownLength() { return CurrentShownGame().length; }

const CommandMapEntry<CMainFrame> kCopyCommands[] = {
    {kCmdCopyChessboard, &CMainFrame::OnCopyChessboard, nullptr},
    {kCmdCopyMoveList, &CMainFrame::OnCopyMoveList, nullptr},
    {kCmdPrintMoveList, &CMainFrame::OnPrintMoveList, nullptr},
    {kCmdPrintGraphicalMoveList, &CMainFrame::OnPrintGraphicalMoveList, nullptr},
};

// printf into a growing text.
void AppendF(std::string& out, const char* format, ...) {
  char line[256];
  va_list args;
  va_start(args, format);
  const int n = std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  if (n > 0) out.append(line, std::min<size_t>(static_cast<size_t>(n), sizeof line - 1));
}

std::string Format(const char* format, const std::string& a) {
  std::string out;
  AppendF(out, format, a.c_str());
  return out;
}

std::string Format(const char* format, int n, const std::string& a) {
  std::string out;
  AppendF(out, format, n, a.c_str());
  return out;
}

// The move text on paper: WXF or AXF when that is the notation, otherwise
// the coordinate text (the Chinese texts are not printed).
std::string PrintedMoveText(int ply) {
  if (notationKind == kNotationWxf || notationKind == kNotationAxf) return GameMoveText(ply);
  char text[kCoordTextSize];
  const HistoryRecord& r = ShownGameRecord(ply);
  FormatCoordinateMove(r.move, r.captured != 0 ? 1 : 0, text, sizeof text);
  return text;
}

// The AXF text of a move without its leading blank and piece letter.
std::string AxfTail(int ply) {
  const char* axf = ShownGameRecord(ply).axfText;
  const size_t length = strnlen(axf, sizeof HistoryRecord::axfText);
  return length > 2 ? std::string(axf + 2, length - 2) : std::string();
}

QString Decoded(const std::string& text) {
  return DecodeLanguageText(text.c_str(), currentLanguage);
}

// One printed row: the left cell (move number and red move, or the
// "1.  ..." of a game black began) and the right cell (black move).
struct PrintedRow {
  std::string left, right;
};

// Rows of the move list. A game that black began opens with "1.  ..." and
// black's first move; each later row pairs a red move with black's reply.
int PrintedRowCount() {
  if (startSideToMove == 0) return (ShownLength() + 1) / 2;
  return ShownLength() > 0 ? ShownLength() / 2 + 1 : 0;
}

PrintedRow PlainRow(int k, std::string (*blackText)(int)) {
  PrintedRow row;
  if (startSideToMove == 0) {
    row.left = Format("%d. %s", k + 1, PrintedMoveText(2 * k + 1));
    if (2 * k + 2 <= ShownLength()) row.right = PrintedMoveText(2 * k + 2);
    return row;
  }
  row.left = k == 0 ? std::string("1.  ...") : Format("%2d. %s", k + 1, PrintedMoveText(2 * k));
  if (2 * k + 1 <= ShownLength()) row.right = Format(" %s", blackText(2 * k + 1));
  return row;
}

CFont PrintFont(int height) { return CFont{QStringLiteral("arial"), height, 700, true}; }

// Runs the print dialog and one document on the chosen printer (or file):
// the font of 1/fontDivisor of the page height selected, the first page
// begun; `body` prints and returns false when it aborted the document. A
// document that could not be begun or finished is reported.
template <class Body>
void PrintDocument(QWidget* parent, int fontDivisor, Body body) {
  QPrinter printer(QPrinter::HighResolution);
  if (!RunPrintDialog(printer, parent)) return;
  CPrinterDC dc(&printer);
  if (dc.StartDoc(QString::fromLatin1(kProgramTitle)) <= 0) {
    ShowMessageBox(parent, TrText(kTextPrintFailed));
    return;
  }
  dc.SaveDC();
  dc.SelectFont(PrintFont(dc.GetDeviceCaps(VERTRES) / fontDivisor));
  dc.SetTextColor(0);
  dc.SetBkMode(TRANSPARENT);
  bool open = dc.StartPage() > 0;
  if (!open) dc.AbortDoc();
  if (open && body(dc) && dc.EndPage() <= 0) dc.AbortDoc();
  dc.RestoreDC(-1);
  if (dc.EndDoc() <= 0) ShowMessageBox(parent, TrText(kTextPrintFailed));
}

// Lays rows out down columns of width `span` and across pages: a column
// ends within a twentieth of the page of its bottom, the next begins two
// and a half cells to the right, and a page ends when a column would not
// fit across it. Returns false when a page could not be finished.
template <class DrawRow>
bool FlowRows(CPrinterDC& dc, int top, int cw, int ch, int span, DrawRow drawRow) {
  const int width = dc.GetDeviceCaps(HORZRES), height = dc.GetDeviceCaps(VERTRES);
  int x0 = width / 20, y = top;
  const int rows = PrintedRowCount();
  for (int k = 0; k < rows; ++k) {
    drawRow(k, x0, y);
    y += ch;
    if (k + 1 == rows) break;  // no empty column or page after the last row
    if (height - y < height / 20) {
      x0 += 2 * cw + cw / 2;
      y = top;
    }
    if (width < x0 + span) {
      x0 = width / 20;
      y = top;
      if (dc.EndPage() <= 0 || dc.StartPage() <= 0) {
        dc.AbortDoc();
        return false;
      }
    }
  }
  return true;
}

}  // namespace

void CMainFrame::OnCopyChessboard() {
  const int s = squareSize;
  QImage picture = CreateCompatibleBitmap(10 * s, 11 * s + coordinateBand);
  CDC memory(&picture);
  RenderBoard(memory, nullptr, 1);
  SetClipboardBitmap(this, picture);
}

void CMainFrame::OnCopyMoveList() {
  std::string text;
  const int length = ShownLength();
  for (int i = 0; i < length; i += 2) {
    if (startSideToMove == 0) {
      AppendF(text, "%2d. %s", i / 2 + 1, GameMoveText(i + 1).c_str());
      if (i < length - 1) AppendF(text, " %s\r\n", GameMoveText(i + 2).c_str());
    } else {
      if (i == 0) {
        AppendF(text, "%2d.  ...   %s\r\n", 1, GameMoveText(1).c_str());
      } else {
        AppendF(text, " %s\r\n", GameMoveText(i + 1).c_str());
      }
      if (i < length - 1) AppendF(text, "%2d. %s", i / 2 + 2, GameMoveText(i + 2).c_str());
    }
  }
  // The move texts are in the notation's code page, not the language's:
  // the clipboard gets them as the move list window shows them.
  SetClipboardText(this, DecodeText(text.c_str(), MoveTextCodePage(notationKind)));
}

void CMainFrame::OnPrintMoveList() {
  PrintDocument(this, 70, [](CPrinterDC& dc) {
    const int height = dc.GetDeviceCaps(VERTRES);
    const CSize cell = dc.GetTextExtent(QStringLiteral("12. a10-a20"));
    const int cw = cell.cx, ch = cell.cy;
    const CFont font = PrintFont(height / 70);
    return FlowRows(dc, height / 20, cw, ch, 2 * cw, [&](int k, int x0, int y) {
      const PrintedRow row = PlainRow(k, PrintedMoveText);
      DrawCenteredTextWithFont(dc, CRect{x0, y, x0 + cw, y + ch}, Decoded(row.left), font);
      if (!row.right.empty())
        DrawCenteredTextWithFont(dc, CRect{x0 + cw, y, x0 + 2 * cw, y + ch}, Decoded(row.right),
                                 font);
    });
  });
}

void CMainFrame::OnPrintGraphicalMoveList() {
  PrintDocument(this, 50, [this](CPrinterDC& dc) {
    const int width = dc.GetDeviceCaps(HORZRES), height = dc.GetDeviceCaps(VERTRES);
    const int p = width / 40, x0 = width / 20;
    const CSize cell = dc.GetTextExtent(QStringLiteral("12. a10-a20"));
    const int cw = cell.cx, ch = cell.cy;
    const CFont font = PrintFont(height / 70);

    // The header, on the first page only.
    static const char* const kResults[] = {"?", "1-0", "0-1", "0-0"};
    const GameHeader& h = currentGameHeader;
    const int result = h.result >= 0 && h.result <= 3 ? h.result : 0;
    const QString header[] = {
        QStringLiteral("Round : ") + DecodeHeaderText(h, h.round),
        QStringLiteral("Red player : ") + DecodeHeaderText(h, h.redName),
        QStringLiteral("Black player : ") + DecodeHeaderText(h, h.blackName),
        QStringLiteral("Result : ") + QString::fromLatin1(kResults[result]),
    };
    int y = height / 25;
    for (const QString& line : header) {
      DrawLeftTextWithFont(dc, CRect{x0, y, x0 + 10 * cw, y + ch}, line, font);
      y += ch;
    }

    return FlowRows(dc, height / 8, cw, ch, 2 * cw + p, [&](int k, int x, int top) {
      if (startSideToMove != 0) {
        const PrintedRow row = PlainRow(k, AxfTail);
        DrawCenteredTextWithFont(dc, CRect{x, top, x + cw, top + ch}, Decoded(row.left), font);
        if (!row.right.empty())
          DrawCenteredTextWithFont(dc, CRect{x + cw, top, x + 2 * cw, top + ch},
                                   Decoded(row.right), font);
        return;
      }
      const QString number = Decoded(Format("%d.  ", k + 1, std::string()));
      const int tw = dc.GetTextExtent(number).cx;
      DrawCenteredTextWithFont(dc, CRect{x, top, x + cw, top + ch}, number, font);
      const int red = 2 * k + 1, black = 2 * k + 2;
      DrawPrintedPiece(dc, x + tw + 7 * p / 4, top, ShownGameRecord(red).axfText[1], p);
      DrawCenteredTextWithFont(dc, CRect{x + p + tw, top, x + p + tw + cw, top + ch},
                               Decoded(AxfTail(red)), font);
      if (black <= ShownLength()) {
        DrawPrintedPiece(dc, x + cw + 7 * p / 4, top, ShownGameRecord(black).axfText[1], p);
        DrawCenteredTextWithFont(dc, CRect{x + cw + p, top, x + 2 * cw + p, top + ch},
                                 Decoded(AxfTail(black)), font);
      }
    });
  });
}

void CMainFrame::DrawPrintedPiece(CDC& dc, int32_t x, int32_t y, char letter, int32_t size) {
  if (printPieceStrip == nullptr) return;
  static const char kLetters[] = "KRCHEAP";
  const char upper = letter >= 'a' && letter <= 'z' ? static_cast<char>(letter - 'a' + 'A')
                                                     : letter;
  const char* found = letter != 0 ? std::strchr(kLetters, upper) : nullptr;
  // Pure black is the strip's transparent colour, as on the board.
  CDC strip(printPieceStrip->GetBitmapHandle());
  if (found == nullptr) {
    dc.TransparentBlt(x, y, size, size, strip, 0, 0, 54, 54, 0);
    return;
  }
  const int left = static_cast<int>(found - kLetters) * 108;
  const int top = upper == letter ? 0 : 108;
  dc.TransparentBlt(x, y, size, size, strip, left, top, 108, 108, 0);
}

bool RunCopyCommand(CMainFrame* frame, int id) {
  return id != 0 && DispatchCommand(frame, kCopyCommands, id);
}

bool UpdateCopyCommand(CMainFrame* frame, CCmdUI& ui) {
  return ui.GetId() != 0 && DispatchUpdateIfListed(frame, kCopyCommands, ui);
}
