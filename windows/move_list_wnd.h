// The move list window: a tool window owned by the main frame that lists the
// game's moves two per line, numbered, in the chosen notation, with the move
// that led to the shown position highlighted and scrolled into view. While
// it is open the program-wide pointer moveListWnd (side_windows.h) points at
// it; it clears the pointer itself when it closes.
#pragma once

#include <QTextEdit>
#include <QWidget>

#include "platform/colour.h"

class QCloseEvent;
class QResizeEvent;

// Background of the list and the colours of its moves.
inline constexpr COLORREF kMoveListBackground = RGB(171, 196, 180);
inline constexpr COLORREF kMoveListTextColour = RGB(20, 20, 20);
inline constexpr COLORREF kMoveListCurrentColour = RGB(250, 250, 250);

// The list itself: read-only text that ignores the mouse (no caret, no
// selection) and always shows the arrow cursor.
class CMoveListEdit : public QTextEdit {
  Q_OBJECT

 public:
  explicit CMoveListEdit(QWidget* parent);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
};

class CMoveListWnd : public QWidget {
  Q_OBJECT

 public:
  explicit CMoveListWnd(QWidget* parent = nullptr);
  ~CMoveListWnd() override;

  // Opens the window unless it is open already: restores the placement
  // stored under "Liste" or else puts it at (390, 244) keeping its size,
  // sets the caption, shows it and fills the list. The window deletes
  // itself when it closes.
  static void CreateList(QWidget* parent);

  // Caption := the "Game list" text of the current language.
  void SetTitle();
  // Rebuilds the whole list from the game record (see the .cpp file).
  void Refresh();
  void SavePlacement();

  CMoveListEdit* Edit() const { return edit_; }

  static constexpr int kEditId = 100;
  static constexpr int kMinTrackWidth = 195;
  static constexpr int kMinTrackHeight = 100;
  static constexpr int kMaxTrackWidth = 260;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // Saves the placement and clears moveListWnd, once.
  void Detach();

  CMoveListEdit* edit_;
};
