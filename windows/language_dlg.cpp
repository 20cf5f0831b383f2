#include "windows/language_dlg.h"

#include "res/text_rows.h"

CLanguageDlg::CLanguageDlg(QWidget* parent) : CDialog(kDialogLanguage, parent) {}

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
