#include "windows/game_status_dlg.h"

#include <QComboBox>
#include <QFile>
#include <QIcon>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QResizeEvent>
#include <algorithm>
#include <cstring>

#include "game/comments.h"
#include "platform/message_box.h"
#include "platform/services.h"
#include "platform/text_codec.h"
#include "res/text_rows.h"
#include "windows/comment_text.h"
#include "windows/side_windows.h"

namespace {

constexpr const char* kPlacementName = "Game status";
constexpr int kDefaultX = 390;
constexpr int kDefaultY = 0;
// Gap kept between the stretched controls and the right and bottom edges.
constexpr int kEdgeMargin = 10;

// The edits that widen with the window; the names, ratings and the result
// list keep their size.
constexpr int kStretchedEdits[] = {kCtlHeaderAuthor, kCtlHeaderTimeControl, kCtlHeaderSite,
                                   kCtlHeaderEvent,  kCtlHeaderDate,        kCtlHeaderRound};

}  // namespace

CGameStatusDlg::CGameStatusDlg(QWidget* parent) : CDialog(kDialogGameStatus, parent) {
  setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  setWindowIcon(QIcon(QStringLiteral(":/icons/31235")));
  for (const HeaderEdit& edit : kHeaderEdits) {
    if (auto* line = qobject_cast<QLineEdit*>(GetDlgItem(edit.control))) {
      KeepTypedTextOnOneLine(line);
      connect(line, &QLineEdit::textChanged, this, [this] { OnFieldChange(); });
    }
  }
  if (auto* list = qobject_cast<QComboBox*>(GetDlgItem(kCtlHeaderResult))) {
    connect(list, &QComboBox::currentIndexChanged, this, [this] { OnFieldChange(); });
  }
  if (auto* comment = qobject_cast<QPlainTextEdit*>(GetDlgItem(kCtlHeaderComment))) {
    connect(comment, &QPlainTextEdit::textChanged, this, [this] { OnCommentChange(); });
  }
}

CGameStatusDlg::~CGameStatusDlg() {
  // Also when the owner window deletes it without a close.
  if (gameStatusDlg == this) Detach();
}

void CGameStatusDlg::CreateAndShow(QWidget* parent) {
  if (gameStatusDlg != nullptr) return;
  auto* dialog = new CGameStatusDlg(parent);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->refreshing = false;
  dialog->Create(parent);
  gameStatusDlg = dialog;
  dialog->SetTexts();
  dialog->Refresh();
  ShowSideWindow(dialog, kPlacementName, QPoint(kDefaultX, kDefaultY));
}

bool CGameStatusDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  minTrackWidth = width();
  minTrackHeight = height();
  setMinimumSize(minTrackWidth, minTrackHeight);
  const bool wasRefreshing = refreshing;
  refreshing = true;  // adding the items selects the first one
  ShowResult(*this, kResultUnknown);
  refreshing = wasRefreshing;
  return true;
}

void CGameStatusDlg::SetTexts() {
  QString caption = TrText(kTextGameInformationCaption);
  if (gameFileName[0] != '\0') {
    // The path is in the file system's 8-bit encoding.
    caption += QStringLiteral(" > ") + QFile::decodeName(gameFileName);
  }
  SetWindowText(caption);
  SetHeaderLabels(*this);
}

void CGameStatusDlg::Refresh() {
  refreshing = true;
  shownHeader_ = currentGameHeader;
  for (int i = 0; i < kHeaderEditCount; ++i) {
    const HeaderEdit& edit = kHeaderEdits[i];
    SetDlgItemText(edit.control, HeaderFieldString(currentGameHeader, edit.field));
    shownTexts_[i] = GetDlgItemText(edit.control);
  }
  // Typing is limited, but a longer stored comment is shown whole.
  commentLimit_ = std::max<int>(kGameCommentEditLimit, static_cast<int>(CommentString(0).size()));
  shownComment_.Show(*this, kCtlHeaderComment, 0);
  ShowResult(*this, currentGameHeader.result);
  refreshing = false;
}

void CGameStatusDlg::OnFieldChange() {
  if (refreshing) return;
  // Untouched texts keep the bytes they were shown from, in the page they
  // were shown in; the typed ones are stored over them.
  GameHeader edited = currentGameHeader;
  edited.textPage = shownHeader_.textPage;
  for (const HeaderEdit& edit : kHeaderEdits) {
    std::memcpy(edited.*edit.field, shownHeader_.*edit.field, kHeaderTextSize);
  }
  TextStore stored[kHeaderEditCount] = {};
  int refused = -1;
  for (int i = 0; i < kHeaderEditCount; ++i) {
    const QString text = GetDlgItemText(kHeaderEdits[i].control);
    if (text == shownTexts_[i]) continue;
    stored[i] = StoreHeaderField(edited, kHeaderEdits[i].field, text);
    if (stored[i] != TextStore::kStored && refused < 0) refused = i;
  }
  currentGameHeader = edited;
  StoreComment();
  currentGameHeader.result = static_cast<int8_t>(SelectedResult(*this));

  // An edit whose text was refused shows what the header holds, so that the
  // window never shows more than the header keeps.
  refreshing = true;
  for (int i = 0; i < kHeaderEditCount; ++i) {
    if (stored[i] != TextStore::kStored) {
      if (auto* line = qobject_cast<QLineEdit*>(GetDlgItem(kHeaderEdits[i].control))) {
        const int caret = line->cursorPosition();
        line->setText(HeaderFieldString(currentGameHeader, kHeaderEdits[i].field));
        line->setCursorPosition(std::min(caret, static_cast<int>(line->text().size())));
      }
    }
  }
  // What the window now shows is what the header holds.
  shownHeader_ = currentGameHeader;
  for (int i = 0; i < kHeaderEditCount; ++i) {
    shownTexts_[i] = GetDlgItemText(kHeaderEdits[i].control);
  }
  refreshing = false;
  if (onGameInfoEdited != nullptr) onGameInfoEdited();
  if (refused >= 0) {
    ShowMessageBox(this, HeaderNotStoredMessage(kHeaderEdits[refused], stored[refused]));
  }
}

void CGameStatusDlg::OnCommentChange() {
  LimitPlainText(qobject_cast<QPlainTextEdit*>(GetDlgItem(kCtlHeaderComment)), commentLimit_);
  // Refresh puts the stored comment in; writing it back would only risk
  // its bytes.
  if (refreshing) return;
  StoreComment();
  if (onGameInfoEdited != nullptr) onGameInfoEdited();
}

void CGameStatusDlg::StoreComment() {
  const TextStore stored = shownComment_.Store(GetDlgItemText(kCtlHeaderComment));
  if (stored == TextStore::kStored) return;
  const bool wasRefreshing = refreshing;
  refreshing = true;
  shownComment_.ShowAgain(*this, kCtlHeaderComment);
  refreshing = wasRefreshing;
  ShowMessageBox(this, CommentNotStoredMessage(stored));
}

void CGameStatusDlg::DestroyWindow() {
  Detach();
  close();
}

void CGameStatusDlg::SavePlacement() { SaveWindowPlacement(this, kPlacementName); }

void CGameStatusDlg::Detach() {
  if (gameStatusDlg == this) gameStatusDlg = nullptr;
  SavePlacement();
}

void CGameStatusDlg::OnClose() {
  if (gameStatusDlg == this) Detach();
}

void CGameStatusDlg::resizeEvent(QResizeEvent* event) {
  CDialog::resizeEvent(event);
  const int right = width() - kEdgeMargin;
  for (int id : kStretchedEdits) {
    if (QWidget* edit = GetDlgItem(id)) {
      edit->resize(std::max(0, right - edit->x()), edit->height());
    }
  }
  if (commentArea == 0) return;
  if (QWidget* comment = GetDlgItem(kCtlHeaderComment)) {
    comment->resize(std::max(0, right - comment->x()),
                    std::max(0, height() - kEdgeMargin - comment->y()));
  }
}
