#include "windows/logs_dlg.h"

#include <QPlainTextEdit>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTextCursor>
#include <algorithm>

#include "platform/services.h"
#include "platform/text_codec.h"
#include "windows/side_windows.h"

namespace {

constexpr const char* kPlacementName = "Logs";
constexpr int kDefaultX = 390;
constexpr int kDefaultY = 0;
// Margins kept between the text and the right and bottom edges.
constexpr int kRightMargin = 10;
constexpr int kBottomMargin = 18;

}  // namespace

CLogsDlg::CLogsDlg(QWidget* parent) : CDialog(kDialogLogs, parent) {}

CLogsDlg::~CLogsDlg() {
  // Also when the owner window deletes it without a close.
  if (logsDlg == this) logsDlg = nullptr;
}

void CLogsDlg::CreateAndShow(QWidget* parent) {
  if (logsDlg != nullptr) return;
  auto* dialog = new CLogsDlg(parent);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->Create(parent);
  logsDlg = dialog;
  dialog->SetTitle();
  ShowSideWindow(dialog, kPlacementName, QPoint(kDefaultX, kDefaultY));
}

bool CLogsDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  minTrackWidth = width();
  minTrackHeight = height();
  setMinimumSize(minTrackWidth, minTrackHeight);
  return true;
}

void CLogsDlg::SetTitle() { SetWindowText(TrText(kTextLogsCaption)); }

void CLogsDlg::SavePlacement() { SaveWindowPlacement(this, kPlacementName); }

void CLogsDlg::AppendLine(const char* text) {
  auto* edit = qobject_cast<QPlainTextEdit*>(GetDlgItem(kCtlLogText));
  if (edit == nullptr) return;
  if (edit->document()->blockCount() > kLogLineLimit) edit->clear();

  QString line = DecodeLanguageText(text, currentLanguage);
  line.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  line.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  line += QLatin1Char('\n');

  QTextCursor cursor = edit->textCursor();
  cursor.movePosition(QTextCursor::End);
  edit->setTextCursor(cursor);
  edit->ensureCursorVisible();
  cursor.insertText(line);
  edit->setTextCursor(cursor);
  edit->ensureCursorVisible();
}

void CLogsDlg::OnClose() {
  if (logsDlg == this) logsDlg = nullptr;
  SavePlacement();
}

void CLogsDlg::resizeEvent(QResizeEvent* event) {
  CDialog::resizeEvent(event);
  if (QWidget* edit = GetDlgItem(kCtlLogText)) {
    const QPoint topLeft = edit->pos();
    edit->resize(std::max(0, width() - kRightMargin - topLeft.x()),
                 std::max(0, height() - kBottomMargin - topLeft.y()));
  }
}
