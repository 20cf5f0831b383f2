#include "app/main_frame.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QWidget>

#include "app/board_view.h"
#include "engine/search/engine_state.h"
#include "platform/services.h"
#include "platform/settings_store.h"
#include "res/text_rows.h"
#include "windows/about_dlg.h"
#include "windows/logs_dlg.h"
#include "windows/side_windows.h"

CMainFrame* pMainFrame = nullptr;

namespace {

const CommandMapEntry<CMainFrame> kFrameCommands[] = {
    {kCmdExit, &CMainFrame::OnExit, nullptr},
    {kCmdStopThinking, &CMainFrame::OnStopThinking, nullptr},
    {kCmdAbout, &CMainFrame::OnAbout, nullptr},
};

}  // namespace

CMainFrame::CMainFrame() {
  pMainFrame = this;
  // A fixed-size window that can be minimised but not maximised or resized.
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QString::fromLatin1(kProgramTitle));
  boardView_ = new CBoardView(this);
  setCentralWidget(boardView_);
  if (languageMenu_.LoadMenu(kMenuEnglish, this, this)) setMenuBar(languageMenu_.GetMenuBar());
  FitWindowToBoard();
  if (!LoadWindowPlacement(this, "MainWindow")) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    move(screen != nullptr ? screen->availableGeometry().topLeft() : QPoint(0, 0));
  }
  RefreshFrameTexts();
}

CMainFrame::~CMainFrame() {
  if (pMainFrame == this) pMainFrame = nullptr;
}

bool CMainFrame::OnCmdMsg(int id) { return DispatchCommand(this, kFrameCommands, id); }

void CMainFrame::OnUpdateCmdUI(CCmdUI& ui) { DispatchUpdate(this, kFrameCommands, ui); }

void CMainFrame::FitWindowToBoard() {
  const int width = 10 * squareSize;
  const int height = toolbarBandHeight + 11 * squareSize + coordinateBand;
  boardView_->setFixedSize(width, height);
  const QPoint topLeft = pos();
  // The frame follows its client: fixed to the menu bar plus the board.
  const QSize frameSize(width, height + (menuBar() != nullptr ? menuBar()->sizeHint().height() : 0));
  setFixedSize(frameSize);
  move(topLeft);
  boardView_->update();
}

void CMainFrame::RefreshFrameTexts() {
  const int menuId = MenuBarIdForLanguage(currentLanguage);
  if (menuId != 0 && languageMenu_.LoadMenu(menuId, this, this)) {
    setMenuBar(languageMenu_.GetMenuBar());
  } else {
    // No menu of that language: the frame shows none.
    languageMenu_.DestroyMenu();
    setMenuBar(new QMenuBar());
    menuBar()->hide();
  }
  // The bar's height may differ between languages.
  FitWindowToBoard();
  if (logsDlg != nullptr) logsDlg->SetTitle();
  setWindowTitle(QString::fromLatin1(kProgramTitle));
}

void CMainFrame::RefreshAfterLoad() { RefreshFrameTexts(); }

void CMainFrame::OnSetCursor() {
  setCursor(cursorId == IDC_WAIT ? Qt::WaitCursor : Qt::ArrowCursor);
}

void CMainFrame::UpdateToolbars() {
  // The game and design toolbars run their update pass here once they are
  // docked in the band.
}

void CMainFrame::OnExit() { close(); }

void CMainFrame::OnStopThinking() {
  stopRequested = 1;
  if (engineState < 0 || engineState > 6) engineState = 0;
}

void CMainFrame::OnAbout() {
  CAboutDlg dialog(this);
  dialog.DoModal();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  // Placements of the open side windows, then the frame's own.
  if (logsDlg != nullptr) logsDlg->SavePlacement();
  SaveWindowPlacement(this, "MainWindow");
  {
    CSettingsStore store(kSettingsNoRoot);
    OpenProgramSettings(store);
    store.WriteInt("Options", "Language", currentLanguage);
  }
  event->accept();
}
