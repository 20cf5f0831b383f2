#include "windows/about_dlg.h"

CAboutDlg::CAboutDlg(QWidget* parent) : CDialog(kDialogAbout, parent) {}

bool CAboutDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  SetDlgItemText(kCtlAboutVersion, QString::fromLatin1(kProgramVersionText));
  return true;
}
