#include "windows/move_list_wnd.h"

#include <QCloseEvent>
#include <QIcon>
#include <QMouseEvent>
#include <QPalette>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTextCharFormat>
#include <QTextCursor>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/position/position.h"
#include "game/notation.h"
#include "game/shown_ply.h"
#include "platform/services.h"
#include "platform/text_codec.h"
#include "windows/side_windows.h"

namespace {

constexpr const char* kPlacementName = "Liste";
constexpr int kCreateX = 20;
constexpr int kCreateY = 20;
constexpr int kCreateWidth = 160;
constexpr int kCreateHeight = 100;
constexpr int kDefaultX = 390;
constexpr int kDefaultY = 244;

// One numbered piece of a line: `format` holds one %d (when `number` is
// used) and one %s.
std::string Piece(const char* format, int number, const std::string& text) {
  char buffer[64];
  if (number >= 0) {
    std::snprintf(buffer, sizeof buffer, format, number, text.c_str());
  } else {
    std::snprintf(buffer, sizeof buffer, format, text.c_str());
  }
  return buffer;
}

}  // namespace

CMoveListEdit::CMoveListEdit(QWidget* parent) : QTextEdit(parent) {
  setReadOnly(true);
  setTextInteractionFlags(Qt::NoTextInteraction);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setUndoRedoEnabled(false);
  viewport()->setCursor(Qt::ArrowCursor);
  setCursor(Qt::ArrowCursor);

  QPalette colours = palette();
  colours.setColor(QPalette::Base, ToQColor(kMoveListBackground));
  colours.setColor(QPalette::Text, ToQColor(RGB(0, 0, 0)));
  setPalette(colours);

  QFont font(QStringLiteral("courier"));
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  setFont(font);
  document()->setDefaultFont(font);
}

// Clicks on the list change nothing: no caret, no selection, no command.
void CMoveListEdit::mousePressEvent(QMouseEvent* event) { event->accept(); }
void CMoveListEdit::mouseReleaseEvent(QMouseEvent* event) { event->accept(); }
void CMoveListEdit::mouseDoubleClickEvent(QMouseEvent* event) { event->accept(); }
void CMoveListEdit::mouseMoveEvent(QMouseEvent* event) { event->accept(); }

CMoveListWnd::CMoveListWnd(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      edit_(new CMoveListEdit(this)) {
  edit_->setObjectName(QStringLiteral("moveListEdit"));
  setWindowIcon(QIcon(QStringLiteral(":/icons/31234")));
  setMinimumSize(kMinTrackWidth, kMinTrackHeight);
  setMaximumWidth(kMaxTrackWidth);
  setGeometry(kCreateX, kCreateY, kCreateWidth, kCreateHeight);
  edit_->setGeometry(rect());
}

CMoveListWnd::~CMoveListWnd() {
  // Also when the owner window deletes it without a close.
  if (moveListWnd == this) Detach();
}

void CMoveListWnd::CreateList(QWidget* parent) {
  if (moveListWnd != nullptr) return;
  auto* window = new CMoveListWnd(parent);
  window->setAttribute(Qt::WA_DeleteOnClose);
  moveListWnd = window;
  window->SetTitle();
  // The list is scrolled to the current move once the window has its size.
  ShowSideWindow(window, kPlacementName, QPoint(kDefaultX, kDefaultY),
                 [window] { window->Refresh(); });
}

void CMoveListWnd::SetTitle() { setWindowTitle(TrText(kTextGameListCaption)); }

void CMoveListWnd::SavePlacement() { SaveWindowPlacement(this, kPlacementName); }

void CMoveListWnd::Detach() {
  SavePlacement();
  moveListWnd = nullptr;
}

// Rebuilding the list: two moves a line, "%2d. %s" and " %s\r\n" when red
// moved first; when black moved first the first line holds "  ...  " in
// place of red's move and every later line starts with red's move. Each
// piece (number, dots, move text and line break) takes one colour: the
// move that led to the shown position stands out. The view then shows that
// move as it was when it was written (at the bottom once the list is longer
// than the window), or the top of the list when no move is played.
void CMoveListWnd::Refresh() {
  edit_->setUpdatesEnabled(false);
  edit_->clear();
  QTextDocument* document = edit_->document();
  QTextCursor cursor(document);
  QTextCharFormat format;
  format.setFont(edit_->font());

  // The game as the board shows it, also when refreshed inside a search.
  // Reads stay inside the record even when the length is out of range.
  const ShownGame shown = CurrentShownGame();
  const int length = std::clamp<int>(shown.length, 0, kHistorySize - 1);
  const int current = shown.ply - 1;  // 0-based index of the last move played
  const CodePage page = MoveTextCodePage(notationKind);
  int keepPosition = -1;  // document position just after the current move

  auto write = [&](const std::string& piece, int index) {
    cursor.movePosition(QTextCursor::End);
    format.setForeground(ToQColor(index == current ? kMoveListCurrentColour : kMoveListTextColour));
    QString text = DecodeText(piece.c_str(), page);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    cursor.insertText(text, format);
    if (index == current) keepPosition = cursor.position();
  };

  for (int i = 0; i < length; i += 2) {
    const std::string a = GameMoveText(i + 1);
    const bool hasSecond = i < length - 1;
    if (startSideToMove == 0) {
      write(Piece("%2d. %s", i / 2 + 1, a), i);
      if (hasSecond) write(Piece(" %s\r\n", -1, GameMoveText(i + 2)), i + 1);
    } else {
      write(i == 0 ? Piece("%2d.  ...  %s\r\n", 1, a) : Piece(" %s\r\n", -1, a), i);
      if (hasSecond) write(Piece("%2d. %s", i / 2 + 2, GameMoveText(i + 2)), i + 1);
    }
  }

  // The caret rests at the end; the view scrolls so that the position after
  // the current move is just in view, as when the list was written up to it.
  QTextCursor end(document);
  end.movePosition(QTextCursor::End);
  edit_->setTextCursor(end);
  edit_->verticalScrollBar()->setValue(0);
  if (keepPosition >= 0) {
    QTextCursor keep(document);
    keep.setPosition(keepPosition);
    edit_->setTextCursor(keep);
    edit_->ensureCursorVisible();
    const int value = edit_->verticalScrollBar()->value();
    edit_->setTextCursor(end);
    edit_->verticalScrollBar()->setValue(value);
  }
  edit_->setUpdatesEnabled(true);
  edit_->viewport()->update();
}

void CMoveListWnd::closeEvent(QCloseEvent* event) {
  if (moveListWnd == this) Detach();
  event->accept();
}

void CMoveListWnd::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  edit_->setGeometry(rect());
}
