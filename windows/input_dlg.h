// The one-line input: a caption, a prompt and a short text that the caller
// parses itself after OK (a move number, a delay).
#pragma once

#include "platform/dialog.h"

// Each field holds up to 49 bytes and a NUL.
inline constexpr int kInputFieldSize = 50;
// The most bytes OK reads back into the text field.
inline constexpr int kInputTextLimit = 48;

class CInputDlg : public CDialog {
  Q_OBJECT

 public:
  // All three fields start empty; the caller fills them before DoModal.
  explicit CInputDlg(QWidget* parent = nullptr);

  // Shows the three fields, the text selected in the focused edit.
  bool OnInitDialog() override;
  // Reads the edit back into text, cut to kInputTextLimit bytes, and ends
  // with IDOK.
  void OnOK() override;

  // 8-bit texts in the code page of the current language.
  char caption[kInputFieldSize] = {};
  char prompt[kInputFieldSize] = {};
  char text[kInputFieldSize] = {};
};
