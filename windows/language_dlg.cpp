#include "windows/language_dlg.h"

#include <QFont>
#include <QFontMetrics>

#include "res/text_rows.h"

CLanguageDlg::CLanguageDlg(QWidget* parent) : CDialog(kDialogLanguage, parent) {
  // Wide enough for the title in a bold font beside what a window manager
  // puts in the title bar (the window's icon and its minimise, maximise
  // and close buttons, each about as wide as the bar is high): at the
  // template's width openbox showed "Choose y… language". The controls
  // stay in the middle.
  QFont bold = font();
  bold.setBold(true);
  const QFontMetrics metrics(bold);
  const int titleBar = metrics.height() + 8;
  const int wanted = metrics.horizontalAdvance(windowTitle()) + 6 * titleBar;
  if (wanted > width()) {
    const QPoint shift((wanted - width()) / 2, 0);
    for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
      child->move(child->pos() + shift);
    }
    setFixedSize(wanted, height());
  }
}

void CLanguageDlg::OnCommand(int id) {
  switch (id) {
    case kCtlLanguageFrench:
      EndDialog(kLanguageFrench);
      return;
    case kCtlLanguageEnglish:
      EndDialog(kLanguageEnglish);
      return;
    case kCtlLanguageSpanish:
      EndDialog(kLanguageSpanish);
      return;
    case kCtlLanguageGerman:
      EndDialog(kLanguageGerman);
      return;
    case kCtlLanguageChinese:
      EndDialog(kLanguageSimplifiedChinese);
      return;
    default:
      CDialog::OnCommand(id);
  }
}

void CLanguageDlg::OnCancel() { EndDialog(kLanguageNotChosen); }

int RunLanguageChooser(QWidget* parent) {
  CLanguageDlg dialog(parent);
  return dialog.DoModal();
}
