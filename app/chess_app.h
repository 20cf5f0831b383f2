// The application object: reads the few settings needed before a window
// exists (the Shift-held reset, the book names, the interface language, the
// install directory), creates the main frame and runs the event loop.
#pragma once

#include <QPointer>
#include <QWidget>
#include <string>

class CSettingsStore;

class CChessApp {
 public:
  // Start-up, once: returns true after the main frame is shown.
  bool InitInstance();

  // The command tail: the program's arguments joined by blanks.
  std::string m_lpCmdLine;
  // The main frame while it exists.
  QPointer<QWidget> m_pMainWnd;
  // How the main frame is first shown (Qt::WindowState flags).
  Qt::WindowStates m_nCmdShow = Qt::WindowNoState;
};

extern CChessApp theApp;

// The reset of a start with Shift held: the stored sections of the window
// placements, analysis, database, piece values and search go, and seven
// "Options" values return to their defaults; other options stay.
void ResetSettingsForShift(CSettingsStore& store);

// The program: a QApplication, theApp's start-up and the event loop. Returns
// the process's exit code.
int RunChessApp(int argc, char** argv);
