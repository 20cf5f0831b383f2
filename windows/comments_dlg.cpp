#include "windows/comments_dlg.h"

#include <QIcon>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QResizeEvent>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/position/position.h"
#include "game/comments.h"
#include "game/notation.h"
#include "game/shown_ply.h"
#include "platform/menu.h"
#include "platform/message_box.h"
#include "platform/services.h"
#include "platform/text_codec.h"
#include "res/menus.h"
#include "windows/comment_text.h"
#include "windows/side_windows.h"

namespace {

constexpr const char* kPlacementName = "Comment";
constexpr int kDefaultX = 390;
constexpr int kDefaultY = 0;
// Margins kept between the controls and the right and bottom edges.
constexpr int kMargin = 10;

bool IsCommentSlot(int ply) { return ply >= 0 && ply < kCommentSlots; }

// The move line of the shown game's last move: its number, ".." before a
// black move, the move and its mark. The number counts from the game's
// first move, so a game that black began numbers its moves as the move list
// does.
std::string MoveLine(const ShownGame& shown) {
  const int ply = shown.ply;
  const int number = (ply - 1 + (startSideToMove != 0 ? 1 : 0)) / 2 + 1;
  char line[96];
  // Black to move on the board: the move shown was red's.
  std::snprintf(line, sizeof line, shown.side == 1 ? " %2d. %s" : " %2d. .. %s", number,
                GameMoveText(ply).c_str());
  std::string text = line;
  const int mark = IsCommentSlot(ply) ? moveComments[ply].annotation : 0;
  if (mark >= kMarkBlunder && mark <= kMarkBrilliant) {
    text += ' ';
    text += AnnotationMarkText(mark);
  }
  return text;
}

}  // namespace

CCommentsDlg::CCommentsDlg(QWidget* parent) : CDialog(kDialogComments, parent) {
  setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  if (auto* edit = qobject_cast<QPlainTextEdit*>(GetDlgItem(kCtlCommentText))) {
    connect(edit, &QPlainTextEdit::textChanged, this, [this] { OnCommentChanged(); });
  }
}

CCommentsDlg::~CCommentsDlg() {
  // Also when the owner window deletes it without a close.
  if (commentsDlg == this) commentsDlg = nullptr;
}

void CCommentsDlg::CreateAndShow(QWidget* parent) {
  if (commentsDlg != nullptr) return;
  auto* dialog = new CCommentsDlg(parent);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->Create(parent);
  dialog->setWindowIcon(QIcon(QStringLiteral(":/icons/31235")));
  commentsDlg = dialog;
  dialog->SetTitle();
  dialog->Refresh();
  ShowSideWindow(dialog, kPlacementName, QPoint(kDefaultX, kDefaultY));
}

bool CCommentsDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  minTrackWidth = width();
  minTrackHeight = height();
  setMinimumSize(minTrackWidth, minTrackHeight);
  return true;
}

void CCommentsDlg::SetTitle() { SetWindowText(TrText(kTextCommentsCaption)); }

void CCommentsDlg::SavePlacement() { SaveWindowPlacement(this, kPlacementName); }

void CCommentsDlg::DestroyWindow() {
  if (commentsDlg == this) commentsDlg = nullptr;
  SavePlacement();
  deleteLater();
}

// The window follows the game as the board shows it (while the engine
// ponders, the ply before its predicted reply), also when the refresh runs
// inside a search. Filling the edit stores nothing: the text is the stored
// comment already, and writing it back through the edit's line breaks
// could change it.
void CCommentsDlg::Refresh() {
  const ShownGame shown = CurrentShownGame();
  const int ply = shown.ply;
  editedPly_ = ply;
  ShowComment();

  if (ply < 1 || ply >= kHistorySize) {
    SetDlgItemText(kCtlCommentMoveLine, QStringLiteral("*"));
    return;
  }
  const CodePage page = notationKind == kNotationWxfChinese || notationKind == kNotationAxfChinese
                            ? CodePage::kGbk
                            : CodePage::kWindows1252;
  SetDlgItemText(kCtlCommentMoveLine, DecodeText(MoveLine(shown).c_str(), page));
}

// The comment belongs to the move the window shows, which is the move on
// the board as of the last refresh, whatever the engine has since put on
// the game record.
void CCommentsDlg::OnCommentChanged() {
  if (refreshing_) return;
  const TextStore stored = shown_.Store(GetDlgItemText(kCtlCommentText));
  if (stored == TextStore::kStored) return;
  refreshing_ = true;
  shown_.ShowAgain(*this, kCtlCommentText);
  refreshing_ = false;
  ShowMessageBox(this, CommentNotStoredMessage(stored));
}

void CCommentsDlg::ShowComment() {
  refreshing_ = true;
  shown_.Show(*this, kCtlCommentText, editedPly_);
  refreshing_ = false;
}

bool CCommentsDlg::OnCmdMsg(int id) {
  if (id >= kCommentMenuMarkNone && id <= kCommentMenuMarkExcellent) {
    if (editedPly_ < 1) return true;
    SetAnnotation(editedPly_, static_cast<uint8_t>(id - kCommentMenuMarkNone));
    Refresh();
    return true;
  }
  if (id == kCommentMenuResetComments) {
    ClearComment(-1);
    Refresh();
    return true;
  }
  return false;
}

void CCommentsDlg::OnUpdateCmdUI(CCmdUI& ui) {
  const int id = ui.GetId();
  if (id >= kCommentMenuMarkNone && id <= kCommentMenuMarkExcellent) {
    ui.Enable(editedPly_ > 0);
  } else {
    ui.Enable(id == kCommentMenuResetComments);
  }
}

void CCommentsDlg::ShowPopupMenu(const QPoint& globalPos) {
  const MenuNodeList list = CommentsPopupMenu();
  QMenu* menu = BuildPopupMenu(list.nodes, list.nodeCount, currentLanguage, this, this, this);
  // The menu goes once it has closed and its command was posted.
  connect(menu, &QMenu::aboutToHide, menu, &QObject::deleteLater);
  UpdateMenuItems(menu, this);
  const int half = menu->sizeHint().width() / 2;
  menu->popup(QPoint(globalPos.x() - half, globalPos.y()));
}

void CCommentsDlg::OnClose() {
  if (commentsDlg == this) commentsDlg = nullptr;
  SavePlacement();
}

void CCommentsDlg::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) {
    ShowPopupMenu(event->globalPosition().toPoint());
    event->accept();
    return;
  }
  CDialog::mousePressEvent(event);
}

void CCommentsDlg::resizeEvent(QResizeEvent* event) {
  CDialog::resizeEvent(event);
  if (QWidget* edit = GetDlgItem(kCtlCommentText)) {
    const QPoint topLeft = edit->pos();
    edit->resize(std::max(0, width() - kMargin - topLeft.x()),
                 std::max(0, height() - kMargin - topLeft.y()));
  }
  if (QWidget* line = GetDlgItem(kCtlCommentMoveLine)) {
    line->resize(std::max(0, width() - kMargin - line->x()), line->height());
  }
}
