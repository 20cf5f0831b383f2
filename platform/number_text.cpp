#include "platform/number_text.h"

#include <climits>

#include "game/game_clock.h"

namespace {

bool IsSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

// The blanks atoi skips.
bool IsBlank(char16_t c) { return IsSpace(c) || c == u'\v' || c == u'\f'; }

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

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
  for (; i < length && IsDigit(text[i]); ++i) {
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

int ParseLeadingInt(const char16_t* text, size_t length) {
  size_t i = 0;
  while (i < length && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < length && (text[i] == u'+' || text[i] == u'-')) {
    negative = text[i] == u'-';
    ++i;
  }
  // Accumulate as a magnitude and stop growing once it passes the range.
  int64_t magnitude = 0;
  const int64_t limit = static_cast<int64_t>(INT_MAX) + 1;
  for (; i < length && IsDigit(text[i]); ++i) {
    magnitude = magnitude * 10 + (text[i] - u'0');
    if (magnitude > limit) magnitude = limit;
  }
  if (negative) return static_cast<int>(-magnitude);
  return magnitude > INT_MAX ? INT_MAX : static_cast<int>(magnitude);
}

ClockTextCheck CheckClockSetText(const char* text, int32_t* h, int32_t* m, int32_t* s) {
  // Larger than any part of a time the clock holds; stops the growth.
  constexpr int64_t kPartCap = INT64_C(1) << 40;
  int64_t parts[3] = {};
  const char* p = text;
  for (int part = 0; part < 3; ++part) {
    while (*p == ' ' || *p == '\t') ++p;
    for (; IsDigit(static_cast<unsigned char>(*p)); ++p) {
      parts[part] = parts[part] * 10 + (*p - '0');
      if (parts[part] > kPartCap) parts[part] = kPartCap;
    }
    while (*p == ' ' || *p == '\t') ++p;
    if (*p != (part < 2 ? ':' : '\0')) return ClockTextCheck::kBadForm;
    if (part < 2) ++p;
  }
  const int64_t ms = parts[0] * 3600000 + parts[1] * 60000 + parts[2] * 1000;
  if (ms > kMaxClockMs) return ClockTextCheck::kTooLong;
  *h = static_cast<int32_t>(parts[0]);
  *m = static_cast<int32_t>(parts[1]);
  *s = static_cast<int32_t>(parts[2]);
  return ClockTextCheck::kRead;
}

bool ReadClockSetText(const char* text, int32_t* h, int32_t* m, int32_t* s) {
  return CheckClockSetText(text, h, m, s) == ClockTextCheck::kRead;
}
