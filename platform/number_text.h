// The number texts that dialogs read from their edits: a whole number as
// the data exchange reads it, a number as atoi reads it, and the clock
// setting dialog's "hours:minutes:seconds". Free of Qt, so that the fuzz
// targets build them without the window side.
#pragma once

#include <cstddef>
#include <cstdint>

// Blanks around an optional sign and decimal digits; false (and `value`
// unchanged) for anything else, an empty text or a number beyond the
// 32-bit range.
bool ParseWholeNumber(const char16_t* text, int length, int32_t* value);

// The number of the text's start as atoi reads it: blanks, an optional sign
// and the digits that follow, 0 when there are none; a number beyond the
// 32-bit range gives the nearest end of it.
int ParseLeadingInt(const char16_t* text, size_t length);

// A clock text of the clock setting dialog: exactly two colons splitting it
// into hours, minutes and seconds, each part blanks around decimal digits
// (an empty part reads 0). False when the text has another form, a part
// holds anything else (a sign, a letter), or the time is beyond what the
// clock holds.
bool ReadClockSetText(const char* text, int32_t* h, int32_t* m, int32_t* s);
// The same, telling why a text is refused: kBadForm for a text of another
// form or a part that is not blanks around digits, kTooLong for a time
// beyond what the clock holds. The parts are set only for kRead.
enum class ClockTextCheck { kRead, kBadForm, kTooLong };
ClockTextCheck CheckClockSetText(const char* text, int32_t* h, int32_t* m, int32_t* s);
