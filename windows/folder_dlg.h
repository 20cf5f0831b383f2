// A small dialog that asks for a folder: an edit with the path and a
// "Browse" button that opens the folder browser.
#pragma once

#include <string>

#include "platform/dialog.h"

// The folder the browser starts in; empty unless the program sets it.
extern std::string folderBrowseStart;

class CGetFolderDlg : public CDialog {
  Q_OBJECT

 public:
  explicit CGetFolderDlg(QWidget* parent = nullptr);

  // Shows `folder` in the edit.
  bool OnInitDialog() override;
  // Reads the edit back into `folder`, then ends the dialog.
  void OnOK() override;
  void OnCommand(int id) override;

  // The path, in the file system's encoding of names.
  std::string folder;

 private:
  void Browse();
};
