// The main window: the board view below the toolbar band, the menu bar of
// the current language, the commands by id, the window's placement and its
// closing. Board layout, painting, the mouse and most commands come with
// their own files; their ids are greyed until their handlers exist.
#pragma once

#include <QMainWindow>
#include <cstdint>

#include "platform/command_target.h"
#include "platform/menu.h"
#include "windows/about_dlg.h"

class QCloseEvent;

// The frame title and message-box caption: the program's name and version.
inline constexpr const char* kProgramTitle = kProgramVersionText;
// Message boxes of the engine bridge and the windows carry this caption.
inline constexpr const char* kMessageCaption = "Vorelk";

// Cursor ids of the frame: the arrow, or the hourglass while the engine
// works.
inline constexpr int IDC_ARROW = 32512;
inline constexpr int IDC_WAIT = 32514;
inline int32_t cursorId = IDC_ARROW;

// Height of the band above the board that holds the visible toolbars, 30
// pixels per toolbar (both at start).
inline int32_t toolbarBandHeight = 60;

class CMainFrame : public QMainWindow, public CCmdTarget {
  Q_OBJECT

 public:
  CMainFrame();
  ~CMainFrame() override;

  bool OnCmdMsg(int id) override;
  void OnUpdateCmdUI(CCmdUI& ui) override;

  // Keeps the window's top-left corner and sizes it so that the client area
  // is 10 squares wide and toolbar band + 11 squares + coordinate band high.
  void FitWindowToBoard();
  // Loads the menu bar of currentLanguage, re-titles the open side windows
  // and sets the frame's title.
  void RefreshFrameTexts();
  // After a game was loaded: the frame's texts and the side windows.
  void RefreshAfterLoad();
  // Shows the cursor named by cursorId.
  void OnSetCursor();
  // The update pass of the toolbars' buttons (none are docked yet).
  void UpdateToolbars();

  // Commands.
  void OnExit();
  void OnStopThinking();
  void OnAbout();

  // Layout values of the board view.
  int32_t squareSize = 37;  // until the first layout
  int32_t coordinateBand = 20;
  int32_t heldPiece = -1;     // PieceIndex held by the mouse, -1 none
  int32_t animationSpeed = 2;  // 0 none, 1 slow, 2 fast

  const CMenu& LanguageMenu() const { return languageMenu_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  CMenu languageMenu_;
  QWidget* boardView_ = nullptr;
};

// The frame, null before it exists and after it is gone.
extern CMainFrame* pMainFrame;
