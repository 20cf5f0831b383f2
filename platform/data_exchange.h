// Exchange of a dialog's control values with the members of the window
// that owns it: UpdateData(false) writes the members into the controls,
// UpdateData(true) reads them back and refuses a field it cannot read.
#pragma once

#include <QString>
#include <cstdint>

#include "platform/number_text.h"
#include "res/text_rows.h"

class CDialog;

class CDataExchange {
 public:
  CDataExchange(CDialog* dialog, bool saveAndValidate)
      : dialog(dialog), saveAndValidate(saveAndValidate) {}

  // Marks the exchange refused on control `id`: shows `reason`, then puts
  // the focus on the field with its text selected. Later exchanges of the
  // same pass are skipped, so only the first bad field is reported.
  void Fail(int id, const TextRow& reason);
  void Fail(int id, const QString& reason);
  bool Failed() const { return failedId != 0; }

  CDialog* dialog;
  bool saveAndValidate;  // true: controls to members
  int failedId = 0;
};

// A whole number in edit `id`. Reading accepts blanks around an optional
// sign and decimal digits; anything else, an empty text or a number beyond
// the 32-bit range is refused and leaves `value` unchanged.
void DDX_Text(CDataExchange* dx, int id, int32_t& value);
// The same for a number that must lie in minValue..maxValue: one outside is
// refused with a message that names the range, and leaves `value`
// unchanged.
void DDX_Text(CDataExchange* dx, int id, int32_t& value, int32_t minValue, int32_t maxValue);
// Refuses field `id` unless value lies in minValue..maxValue.
void DDV_MinMaxInt(CDataExchange* dx, int id, int64_t value, int32_t minValue, int32_t maxValue);
// A check box as 0 or 1.
void DDX_Check(CDataExchange* dx, int id, int32_t& value);
