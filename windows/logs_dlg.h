// The log window: a modeless window whose text collects the diagnostic
// lines of the book loader, the learning files and the game-file readers.
// While it is open the program-wide pointer logsDlg (side_windows.h) points
// at it; it clears the pointer itself when it closes.
#pragma once

#include <cstdint>

#include "platform/dialog.h"

class QResizeEvent;

// The text is emptied before a line is added once it holds more lines
// than this.
inline constexpr int kLogLineLimit = 5000;

class CLogsDlg : public CDialog {
  Q_OBJECT

 public:
  explicit CLogsDlg(QWidget* parent = nullptr);
  ~CLogsDlg() override;

  // Opens the window unless it is open already: restores the placement
  // stored under "Logs" or else puts it at (390, 0) keeping its size, sets
  // the caption and shows it. The window deletes itself when it closes.
  static void CreateAndShow(QWidget* parent);

  // The smallest size the user can give the window: its initial size.
  bool OnInitDialog() override;
  // Caption := the "Logs" text of the current language.
  void SetTitle();
  void SavePlacement();
  // Adds `text` (8-bit, current language) as a new line at the end of the
  // text and scrolls it into view; a text of more than kLogLineLimit lines
  // is emptied first.
  void AppendLine(const char* text);

  int32_t minTrackWidth = 150;
  int32_t minTrackHeight = 100;

 protected:
  void OnClose() override;
  void resizeEvent(QResizeEvent* event) override;
};
