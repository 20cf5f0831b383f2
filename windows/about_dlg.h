// The about box: the program's picture, the credits and the version line.
#pragma once

#include "platform/dialog.h"

// The version line of the about box, also the main window's title.
inline constexpr char kProgramVersionText[] = "Vorelk Freeware 2.5.0";

class CAboutDlg : public CDialog {
  Q_OBJECT

 public:
  explicit CAboutDlg(QWidget* parent = nullptr);

  bool OnInitDialog() override;
};
