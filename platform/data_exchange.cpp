#include "platform/data_exchange.h"

#include <QLineEdit>
#include <QString>
#include <QWidget>

#include "platform/dialog.h"
#include "platform/message_box.h"
#include "platform/text_codec.h"

void CDataExchange::Fail(int id, const TextRow& reason) { Fail(id, TrText(reason)); }

void CDataExchange::Fail(int id, const QString& reason) {
  failedId = id;
  ShowMessageBox(dialog, reason);
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

void DDX_Text(CDataExchange* dx, int id, int32_t& value, int32_t minValue, int32_t maxValue) {
  int32_t read = value;
  DDX_Text(dx, id, read);
  if (!dx->saveAndValidate || dx->Failed()) return;
  DDV_MinMaxInt(dx, id, read, minValue, maxValue);
  if (!dx->Failed()) value = read;
}

void DDV_MinMaxInt(CDataExchange* dx, int id, int64_t value, int32_t minValue, int32_t maxValue) {
  if (!dx->saveAndValidate || dx->Failed() || (value >= minValue && value <= maxValue)) return;
  dx->Fail(id, TrText(kTextEnterIntegerBetween).arg(minValue).arg(maxValue));
}

void DDX_Check(CDataExchange* dx, int id, int32_t& value) {
  if (dx->Failed()) return;
  if (dx->saveAndValidate) {
    value = dx->dialog->IsDlgButtonChecked(id);
  } else {
    dx->dialog->CheckDlgButton(id, value != 0 ? 1 : 0);
  }
}
