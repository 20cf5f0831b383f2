#include "app/main_frame.h"

#include <sys/stat.h>

#include <QCloseEvent>
#include <QFile>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QTimerEvent>
#include <algorithm>

#include "app/board_view.h"
#include "app/commands_after_move.h"
#include "app/frame_commands.h"
#include "engine/bridge.h"
#include "engine/position/position.h"
#include "engine/search/books.h"
#include "engine/search/data_paths.h"
#include "engine/search/engine_state.h"
#include "engine/search/game_files_hooks.h"
#include "engine/search/learning.h"
#include "engine/search/new_game.h"
#include "game/atomic_file.h"
#include "game/binary_files.h"
#include "game/game_clock.h"
#include "game/header.h"
#include "game/game_loader.h"
#include "game/load_game.h"
#include "platform/keyboard.h"
#include "platform/message_box.h"
#include "platform/services.h"
#include "platform/settings_store.h"
#include "platform/text_codec.h"
#include "platform/toolbar.h"
#include "res/text_rows.h"
#include "res/toolbars.h"
#include "windows/about_dlg.h"
#include "windows/logs_dlg.h"
#include "windows/comments_dlg.h"
#include "windows/digital_clock_wnd.h"
#include "windows/game_status_dlg.h"
#include "windows/mini_clock_dlg.h"
#include "windows/move_list_wnd.h"
#include "windows/side_windows.h"

CMainFrame* pMainFrame = nullptr;
QImage* backBuffer = nullptr;

namespace {

const CommandMapEntry<CMainFrame> kFrameCommands[] = {
    {kCmdExit, &CMainFrame::OnExit, nullptr},
    {kCmdStopThinking, &CMainFrame::OnStopThinking, nullptr},
    {kCmdAbout, &CMainFrame::OnAbout, nullptr},
};

// The design toolbar's buttons that open a menu.
constexpr int kDropDownCommands[] = {kCmdPiecesStyle, kCmdBoardStyle, kCmdChangeLanguages,
                                     kCmdChangeBoardSize};

// The autosaved game's path in the install directory; false when it does
// not fit.
bool AutosavePath(char (&path)[kPathBufferSize]) {
  return JoinPath(installDirectory, "CurrentGameV1.vgf", path);
}

}  // namespace

CMainFrame::CMainFrame(const char* commandTail) {
  pMainFrame = this;
  // A fixed-size window that can be minimised but not maximised or resized.
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QString::fromLatin1(kProgramTitle));
  OnCreate(commandTail != nullptr ? commandTail : "");
  if (!LoadWindowPlacement(this, "MainWindow")) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    ShowWindowFrameAt(this, screen != nullptr ? screen->availableGeometry().topLeft() : QPoint(0, 0));
  }
  // The side windows opened above come now, above the frame and clear of
  // it.
  ShowWaitingSideWindows(this);
  // The frame is then the active window, its board holding the keys,
  // whichever side windows came with it: a window manager gives the focus
  // to a dialog it maps (the mini clock), and without one the keys go to
  // wherever the pointer is.
  activateWindow();
}

CMainFrame::~CMainFrame() {
  if (timerId_ != 0) killTimer(timerId_);
  if (pMainFrame == this) pMainFrame = nullptr;
  delete backBuffer;
  backBuffer = nullptr;
}

int CMainFrame::OnCreate(const char* commandTail) {
  // The client: the board view (toolbar band and board), centred when the
  // menu bar is wider than the board.
  auto* client = new QWidget(this);
  client->setAutoFillBackground(true);
  boardView_ = new CBoardView(this, client);
  setCentralWidget(client);
  // The board has the focus from the start, so that the menu bar, which
  // takes it while a menu is used from the keyboard, returns it there.
  boardView_->setFocus();
  coordinateBand = 20;

  const QScreen* screen = QGuiApplication::primaryScreen();
  const QSize screenSize = screen != nullptr ? screen->size() : QSize(0, 0);
  delete backBuffer;
  backBuffer = new QImage(CreateCompatibleBitmap(std::max(screenSize.width(), 672),
                                                 std::max(screenSize.height(), 728)));

  // The two toolbars, one row each in the band above the board.
  gameToolBar_ = new CToolBar(boardView_);
  gameToolBar_->LoadToolBar(kToolbarGame, this, this);
  gameToolBar_->move(0, 0);
  designToolBar_ = new CToolBar(boardView_);
  designToolBar_->LoadToolBar(kToolbarDesign, this, this);
  designToolBar_->move(0, kToolbarRowHeight);
  for (int command : kDropDownCommands) {
    designToolBar_->SetDropDown(command, [this](int id) { OnToolbarDropDown(id); });
  }

  displayBitsPerPixel = GetDisplayBitsPerPixel(nullptr);
  paletteBitmap = std::make_unique<CDibBitmap>(nullptr, QStringLiteral("111"), true);

  CSettingsStore store(kSettingsNoRoot);
  OpenProgramSettings(store);
  ReadOptions(store);

  sourceColumn = -1;
  targetColumn = -1;
  timerId_ = startTimer(1000);
  setupMode = 0;
  heldPiece = -1;
  squareSize = 37;
  ignoreButtonUp = 0;

  LoadBooks();
  ResetGameState(1);

  // The clock window draws on the frame's back buffer in the board's
  // colour and turning.
  clockFrameLinks.backBuffer = [] { return backBuffer; };
  clockFrameLinks.boardColour = [] {
    return pMainFrame != nullptr ? pMainFrame->GetBoardColor() : plainBoardColours[0];
  };
  clockFrameLinks.boardFlipped = [] { return pMainFrame != nullptr ? pMainFrame->rotation : 0; };
  // A change in the game information window shows in the board's name strip.
  CGameStatusDlg::onGameInfoEdited = [] {
    if (pMainFrame != nullptr) pMainFrame->Relayout(0);
  };
  // The side windows stored as open, in this order.
  if (openAtStart.comments) OnComments();
  if (openAtStart.clock) OnClock();
  if (openAtStart.miniClock) OnMiniClock();
  if (openAtStart.moveList) OnGameList();
  if (openAtStart.gameStatus) OnGameStatus();
  priorityLevel = 0;

  LoadStartGame(commandTail);
  RefreshFrameTexts();
  Relayout(1);
  RefreshGameWindows();
  return 0;
}

void CMainFrame::TellLackingCharacters(const QString& file) {
  const uint64_t lacking = LastLoadLackingCharacters();
  if (lacking == 0) return;
  ShowMessageBox(this, TrText(kTextFileCharactersLacking).arg(file, QString::number(lacking)));
}

void CMainFrame::LoadStartGame(const char* commandTail) {
  // A file read only in part keeps the moves that were read; a file that
  // cannot be read leaves the autosaved game to come back as without one.
  if (commandTail[0] != '\0') {
    const int result = LoadGameFile(commandTail, &currentGameHeader, 1);
    const QString file = QFile::decodeName(commandTail);
    if (GameWasLoaded(result)) {
      TellLackingCharacters(file);
      TellCutTexts(file);
    }
    if (result == kLoadOk) return;
    if (result == kLoadPartial) {
      ShowMessageBox(this, TrText(kTextFileReadInPart).arg(file));
      return;
    }
    ShowMessageBox(this, TrText(result == kLoadNotAGameFile ? kTextNotAGameFile : kTextFileNotLoaded)
                             .arg(file));
  }
  char path[kPathBufferSize];
  if (IsKeyDown(VK_SHIFT) || !AutosavePath(path)) {
    NewGame();
    return;
  }
  const int result = LoadBinaryGame(path, &currentGameHeader, 1);
  if (result == kLoadOk) return;
  if (!GameWasLoaded(result)) {
    NewGame();
    struct stat file;
    if (stat(path, &file) != 0 || !S_ISREG(file.st_mode)) return;  // no autosave yet
  }
  // A damaged autosave: the moves read before the damage, or a new game.
  // The file is kept beside it before the next autosave writes over it.
  QString text = TrText(result == kLoadPartial ? kTextAutosaveReadInPart : kTextAutosaveUnreadable);
  const std::string kept = KeepFileCopy(path);
  if (!kept.empty()) {
    text += QLatin1Char('\n') + TrText(kTextDamagedFileKept).arg(QFile::decodeName(kept.c_str()));
  }
  ShowMessageBox(this, text);
}

SideWindowsOpen CMainFrame::SideWindowsOpenNow() const {
  SideWindowsOpen open;
  open.clock = digitalClockWnd != nullptr;
  open.miniClock = miniClockDlg != nullptr;
  open.moveList = moveListWnd != nullptr;
  open.gameStatus = gameStatusDlg != nullptr;
  open.comments = commentsDlg != nullptr;
  return open;
}

bool CMainFrame::OnCmdMsg(int id) {
  // Behind a move that waits for the search, a command runs once the move
  // is made.
  if (KeepCommandWhileMoveWaits(id)) return true;
  return DispatchCommand(this, kFrameCommands, id) || RunGameCommand(this, id) ||
         RunFileCommand(this, id) || RunLevelCommand(this, id) || RunOptionCommand(this, id) ||
         RunViewCommand(this, id) || RunCopyCommand(this, id) || RunSetupCommand(this, id) ||
         RunWindowCommand(this, id);
}

void CMainFrame::OnUpdateCmdUI(CCmdUI& ui) {
  if (DispatchUpdateIfListed(this, kFrameCommands, ui) || UpdateGameCommand(this, ui) ||
      UpdateFileCommand(this, ui) || UpdateLevelCommand(this, ui) ||
      UpdateOptionCommand(this, ui) || UpdateViewCommand(this, ui) || UpdateCopyCommand(this, ui) ||
      UpdateSetupCommand(this, ui) || UpdateWindowCommand(this, ui)) {
    return;
  }
  ui.Enable(false);  // no handler: greyed
}

void CMainFrame::OnTimer() {
  gameClock.Tick();
  if (digitalClockWnd != nullptr) digitalClockWnd->Refresh(1, rotation);
  if (miniClockDlg != nullptr) miniClockDlg->Refresh(rotation);
  if (automoveOn != 1 || engineState != kEngineIdle) return;
  if (++automoveTicks < automoveSeconds) return;
  if (gamePly >= gameLength) {
    automoveOn = 0;
    return;
  }
  OnCmdMsg(kCmdReplayOneMove);
  automoveTicks = 0;
}

void CMainFrame::timerEvent(QTimerEvent* event) {
  if (event->timerId() == timerId_) OnTimer();
}

void CMainFrame::Relayout(int reloadPieces) {
  switch (boardSizeIndex) {
    case 2:
      SetBigBoardSize(reloadPieces);
      break;
    case 0:
      SetBoardSize(30, reloadPieces);
      break;
    default:
      SetBoardSize(38, reloadPieces);
      break;
  }
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
  if (gameToolBar_ != nullptr) gameToolBar_->RefreshTexts();
  if (designToolBar_ != nullptr) designToolBar_->RefreshTexts();
  // The open side windows take the language's titles.
  if (digitalClockWnd != nullptr) digitalClockWnd->SetTitle();
  if (miniClockDlg != nullptr) miniClockDlg->SetTitle();
  if (moveListWnd != nullptr) moveListWnd->SetTitle();
  if (logsDlg != nullptr) logsDlg->SetTitle();
  if (gameStatusDlg != nullptr) gameStatusDlg->SetTexts();
  if (commentsDlg != nullptr) commentsDlg->SetTitle();
  setWindowTitle(QString::fromLatin1(kProgramTitle));
  // The bar's width and height differ between languages.
  if (boardBitmap != nullptr) FitWindowToBoard();
}

void CMainFrame::RefreshAfterLoad() {
  Relayout(1);
  RefreshFrameTexts();
  if (moveListWnd != nullptr) moveListWnd->Refresh();
  if (commentsDlg != nullptr) commentsDlg->Refresh();
  // A game with header information shows it.
  if (gameStatusDlg == nullptr && currentGameHeader.hasInfo != 0) OnGameStatus();
  if (gameStatusDlg != nullptr) {
    gameStatusDlg->SetTexts();
    gameStatusDlg->Refresh();
  }
}

void CMainFrame::OnSetCursor() {
  setCursor(cursorId == IDC_WAIT ? Qt::WaitCursor : Qt::ArrowCursor);
}

void CMainFrame::UpdateToolbars() {
  if (gameToolBar_ != nullptr) gameToolBar_->OnUpdateCmdUI();
  if (designToolBar_ != nullptr) designToolBar_->OnUpdateCmdUI();
}

void CMainFrame::OnExit() { close(); }

void CMainFrame::OnStopThinking() {
  // A request of its own, which the search counts: a bare stop flag set
  // before the search starts its iterations would be cleared with the
  // flag the root scoring leaves. A request already posted stays.
  if (engineState != kEngineIdle && pendingRequest == kRequestNone) RequestStop(kRequestNone);
  stopRequested = 1;
  if (engineState < 0 || engineState > 6) engineState = 0;
}

void CMainFrame::OnAbout() {
  CAboutDlg dialog(this);
  dialog.DoModal();
}

void CMainFrame::RefreshGameWindows() {
  if (moveListWnd != nullptr) moveListWnd->Refresh();
  if (gameStatusDlg != nullptr) gameStatusDlg->Refresh();
  if (commentsDlg != nullptr) commentsDlg->Refresh();
}

void CMainFrame::SaveOptionsAndPlacements() {
  // Placements of the open side windows (logs, game information, comments,
  // mini clock, clock, game list), then the frame's own, and the options:
  // the file is written once, when the batch ends (the side windows save
  // the same placements again as they go, which changes nothing).
  CSettingsBatch batch;
  if (logsDlg != nullptr) logsDlg->SavePlacement();
  if (gameStatusDlg != nullptr) gameStatusDlg->SavePlacement();
  if (commentsDlg != nullptr) commentsDlg->SavePlacement();
  if (miniClockDlg != nullptr) miniClockDlg->SavePlacement();
  if (digitalClockWnd != nullptr) digitalClockWnd->SavePlacement();
  if (moveListWnd != nullptr) moveListWnd->SavePlacement();
  SaveWindowPlacement(this, "MainWindow");
  CSettingsStore store(kSettingsNoRoot);
  OpenProgramSettings(store);
  WriteOptions(store);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  // Behind a move that waits for the search, the close comes once the move
  // is made: the game is saved with it.
  if (!closePending_ && KeepCloseWhileMoveWaits()) {
    event->ignore();
    return;
  }
  if (closePending_) {
    // A second close while the search still unwinds waits like the first.
    if (engineState != kEngineIdle) {
      event->ignore();
      return;
    }
    // The search has unwound and saved the game: the options were written
    // when the user closed. A close the engine has not carried out yet
    // saves the game here.
    if (closeRequested != 0) {
      closeRequested = 0;
      AutoSaveCurrentGame();
    }
    CloseLearningFiles();
    event->accept();
    return;
  }
  SaveOptionsAndPlacements();
  if (engineState != kEngineIdle) {
    // The window stays until the search has unwound: the engine's closing
    // request saves the game as shown and then closes the frame for good.
    closePending_ = true;
    RequestStopForClose();
    event->ignore();
    return;
  }
  AutoSaveCurrentGame();
  CloseLearningFiles();
  event->accept();
}
