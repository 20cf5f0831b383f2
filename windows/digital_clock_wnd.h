// The digital clock: a resizable tool window owned by the main frame that
// shows both sides' clocks as seven-segment digits, H MM SS, one row per
// side with the side's name. Everything scales with the client size. While
// it is open the program-wide pointer digitalClockWnd (side_windows.h)
// points at it; it clears the pointer itself when it closes.
//
// The face is drawn outside the paint event into a persistent picture of
// the client area; the paint event only copies that picture.
#pragma once

#include <QImage>
#include <QWidget>
#include <cstdint>

#include "platform/colour.h"
#include "platform/command_target.h"
#include "platform/device_context.h"

class QCloseEvent;
class QMouseEvent;
class QPaintEvent;
class QResizeEvent;

// Colour of the digits, the separator dots and the side names.
inline constexpr COLORREF kClockInkColour = RGB(20, 20, 20);

// What the clock reads of the main frame; the frame sets these when it is
// created. A null entry means: no back buffer, the colour of the first plain
// board style, the orientation of the last Refresh.
struct ClockFrameLinks {
  QImage* (*backBuffer)() = nullptr;      // the frame's off-screen picture
  COLORREF (*boardColour)() = nullptr;    // colour of the current board style
  int32_t (*boardFlipped)() = nullptr;    // the frame's board-flipped flag
};
inline ClockFrameLinks clockFrameLinks;

class CDigitalClockWnd : public QWidget, public CCmdTarget {
  Q_OBJECT

 public:
  explicit CDigitalClockWnd(QWidget* parent = nullptr);
  ~CDigitalClockWnd() override;

  // Opens the clock unless it is open already: restores the placement stored
  // under "Clock" or else moves it to (390, 343) keeping its size, sets the
  // caption and shows it. The window deletes itself when it closes.
  static void CreateClock(QWidget* parent);

  // Caption := the "Clock" text of the current language.
  void SetTitle();
  // Stores `flipped` (0: black's clock in the top row) and redraws the whole
  // face from the game clock. `full` is kept for the callers; the face is
  // always drawn whole.
  void Refresh(int full, int flipped);
  void SavePlacement();

  // The clock pop-up menu's commands.
  void OnClockPause();
  void OnSetTime();
  void OnUpdateClockPause(CCmdUI* ui);
  bool OnCmdMsg(int id) override;
  void OnUpdateCmdUI(CCmdUI& ui) override;

  // Opens the pop-up menu at client point (x, y).
  void OnRButtonDown(int x, int y);

  // The picture of the client area the face is drawn into.
  const QImage& Surface() const { return surface_; }
  int32_t ClientWidth() const { return width_; }
  int32_t ClientHeight() const { return height_; }
  int32_t Flipped() const { return flipped_; }

  static constexpr int kMinTrackWidth = 160;
  static constexpr int kMinTrackHeight = 100;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  // Draws the face into `dc`, W x H from (0, 0), on the colour `ground`.
  void DrawFace(CDC& dc, COLORREF ground);
  void DrawDigit(CDC& dc, int digit, int slot, int row);
  // Top of the digit cells of row 0 or 1.
  int CellTop(int row) const { return row == 0 ? height_ * 19 / 180 : height_ * 103 / 180; }
  // The font of the side names (top row's first) and the tops of their
  // rectangles, so that each name's ink lies whole in its band.
  CFont FitSideNames(const QString names[2], int tops[2]) const;
  // FitSideNames measures by drawing; the face is drawn every second, so
  // its answer is kept for the size and the names it was found for.
  CFont SideNamesFont(const QString names[2], int tops[2]);
  // Saves the placement and clears digitalClockWnd, once.
  void Detach();

  int32_t width_ = 100;
  int32_t height_ = 100;
  int32_t flipped_ = 0;
  QImage surface_;
  struct NameFit {
    int32_t width = -1, height = -1;
    QString names[2];
    int tops[2] = {0, 0};
    CFont font;
  } nameFit_;
};
