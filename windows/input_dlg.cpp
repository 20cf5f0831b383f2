#include "windows/input_dlg.h"

#include <QLineEdit>
#include <algorithm>
#include <cstring>

#include "game/header.h"
#include "platform/text_codec.h"
#include "res/text_rows.h"

namespace {

// A field as shown; a caller that filled it to the last byte without a NUL
// still gets only the field's own bytes.
QString FieldText(const char (&field)[kInputFieldSize]) {
  return DecodeText(field, strnlen(field, kInputFieldSize), CodePageForLanguage(currentLanguage));
}

}  // namespace

CInputDlg::CInputDlg(QWidget* parent) : CDialog(kDialogInput, parent) {}

bool CInputDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  SetWindowText(FieldText(caption));
  SetDlgItemText(kCtlInputPrompt, FieldText(prompt));
  SetDlgItemText(kCtlInputText, FieldText(text));
  // The text starts selected in the focused edit, so that typing replaces
  // it.
  if (auto* edit = qobject_cast<QLineEdit*>(GetDlgItem(kCtlInputText))) {
    edit->setFocus();
    edit->selectAll();
  }
  return true;
}

void CInputDlg::OnOK() {
  const QByteArray typed = EncodeLanguageText(GetDlgItemText(kCtlInputText), currentLanguage);
  const size_t length = static_cast<size_t>(typed.size());
  // A Chinese text is cut on a character boundary, never after half a
  // character.
  const size_t kept = CodePageForLanguage(currentLanguage) == CodePage::kWindows1252
                          ? std::min<size_t>(length, kInputTextLimit)
                          : FitDoubleByteText(typed.constData(), length, kInputTextLimit);
  std::memcpy(text, typed.constData(), kept);
  text[kept] = '\0';
  CDialog::OnOK();
}
