// The side-to-move chooser shown when a position setup ends.
#pragma once

#include <cstdint>

#include "platform/dialog.h"

class CSideToMoveDlg : public CDialog {
  Q_OBJECT

 public:
  explicit CSideToMoveDlg(QWidget* parent = nullptr);

  // Starts on Red.
  bool OnInitDialog() override;
  // The radio buttons set redToMove.
  void OnCommand(int id) override;

  // 1 when Red moves first, 0 for Black (the reverse of sideToMove); read
  // after the dialog ended with IDOK.
  int32_t redToMove = 1;
};
