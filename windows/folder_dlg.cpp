#include "windows/folder_dlg.h"

#include <QFile>
#include <QFileDialog>

std::string folderBrowseStart;

namespace {

constexpr const char* kBrowseTitle = "Sample of  getting folder.";

}  // namespace

CGetFolderDlg::CGetFolderDlg(QWidget* parent) : CDialog(kDialogGetFolder, parent) {}

bool CGetFolderDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  SetDlgItemText(kCtlFolderPath, QFile::decodeName(folder.c_str()));
  return true;
}

void CGetFolderDlg::OnOK() {
  folder = QFile::encodeName(GetDlgItemText(kCtlFolderPath)).toStdString();
  CDialog::OnOK();
}

void CGetFolderDlg::OnCommand(int id) {
  if (id == kCtlFolderBrowse) {
    Browse();
    return;
  }
  CDialog::OnCommand(id);
}

void CGetFolderDlg::Browse() {
  const QString chosen = QFileDialog::getExistingDirectory(
      this, QString::fromLatin1(kBrowseTitle), QFile::decodeName(folderBrowseStart.c_str()),
      QFileDialog::ShowDirsOnly);
  // An empty path means the browser was cancelled: the edit stays as it was.
  if (chosen.isEmpty()) return;
  folder = QFile::encodeName(chosen).toStdString();
  SetDlgItemText(kCtlFolderPath, chosen);
}
