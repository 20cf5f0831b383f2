// The language chooser shown at the first start: one button per language,
// each with its flag. Traditional Chinese is not offered here; the menus
// switch to it.
#pragma once

#include "platform/dialog.h"

// The "Language" setting before a language has been chosen, and the result
// of a chooser closed without a choice.
inline constexpr int kLanguageNotChosen = 7;

class CLanguageDlg : public CDialog {
  Q_OBJECT

 public:
  explicit CLanguageDlg(QWidget* parent = nullptr);

  // A language button ends the dialog with its LanguageId.
  void OnCommand(int id) override;
  // Escape and the close box end it with kLanguageNotChosen rather than
  // the cancel code, which would read as a language.
  void OnCancel() override;
};

// Runs the chooser modally: the LanguageId picked, English (1) for Enter,
// kLanguageNotChosen when it was closed without a choice.
int RunLanguageChooser(QWidget* parent);
