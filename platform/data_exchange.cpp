#include "platform/data_exchange.h"

#include <QLineEdit>
#include <QString>
#include <QWidget>

#include "platform/dialog.h"
#include "platform/message_box.h"
#include "platform/text_codec.h"

namespace {

bool IsSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

}  // namespace

bool ParseWholeNumber(const char16_t* text, int length, int32_t* value) {
  int i = 0;
  while (i < length && IsSpace(text[i])) ++i;
  bool negative = false;
  if (i < length && (text[i] == u'+' || text[i] == u'-')) {
    negative = text[i] == u'-';
    ++i;
  }
  const int firstDigit = i;
  int64_t magnitude = 0;
  for (; i < length && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    magnitude = magnitude * 10 + (text[i] - u'0');
    if (magnitude > INT64_C(2147483648)) return false;
  }
  if (i == firstDigit) return false;
  while (i < length && IsSpace(text[i])) ++i;
  if (i != length) return false;
  const int64_t result = negative ? -magnitude : magnitude;
  if (result > INT32_MAX) return false;
  *value = static_cast<int32_t>(result);
  return true;
}

void CDataExchange::Fail(int id, const TextRow& reason) {
  failedId = id;
  ShowMessageBox(dialog, TrText(reason));
  if (QWidget* item = dialog->GetDlgItem(id)) {
    item->setFocus();
    if (auto* edit = qobject_cast<QLineEdit*>(item)) edit->selectAll();
  }
}

void DDX_Text(CDataExchange* dx, int id, int32_t& value) {
  if (dx->Failed()) return;
  if (!dx->saveAndValidate) {
    dx->dialog->SetDlgItemInt(id, value);
    return;
  }
  const QString text = dx->dialog->GetDlgItemText(id);
  if (!ParseWholeNumber(reinterpret_cast<const char16_t*>(text.utf16()),
                        static_cast<int>(text.size()), &value)) {
    dx->Fail(id, kTextEnterInteger);
  }
}

void DDX_Check(CDataExchange* dx, int id, int32_t& value) {
  if (dx->Failed()) return;
  if (dx->saveAndValidate) {
    value = dx->dialog->IsDlgButtonChecked(id);
  } else {
    dx->dialog->CheckDlgButton(id, value != 0 ? 1 : 0);
  }
}
