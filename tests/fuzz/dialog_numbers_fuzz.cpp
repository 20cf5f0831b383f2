// libFuzzer target: the number texts of the dialogs on any input. The input
// is read as UTF-16 twice (each byte one unit, and each pair of bytes one
// unit) by the whole-number and the atoi readings, and up to its first NUL
// as a clock text "h:m:s".
//   A whole number read is the number atoi reads from the same text, and
//   written back it reads the same; a refused text leaves the value as it
//   was. A clock text read is a time the clock holds, which the clock keeps
//   to the millisecond, and written back it reads the same.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "game/game_clock.h"
#include "platform/number_text.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using fuzz_support::Require;

std::u16string Widened(const std::string& text) { return std::u16string(text.begin(), text.end()); }

void CheckNumberReadings(const std::u16string& text) {
  constexpr int32_t kUntouched = 12345;
  int32_t value = kUntouched;
  const bool whole = ParseWholeNumber(text.data(), static_cast<int>(text.size()), &value);
  const int leading = ParseLeadingInt(text.data(), text.size());
  if (!whole) {
    Require(value == kUntouched, "a refused text leaves the value");
    return;
  }
  Require(leading == value, "a whole number reads as atoi reads it");
  const std::u16string back = Widened(std::to_string(value));
  int32_t again = kUntouched;
  Require(ParseWholeNumber(back.data(), static_cast<int>(back.size()), &again) && again == value,
          "a whole number written back reads the same");
}

void CheckClockText(const char* text) {
  int32_t h = -1, m = -1, s = -1;
  if (!ReadClockSetText(text, &h, &m, &s)) return;
  Require(h >= 0 && m >= 0 && s >= 0, "no negative part");
  const int64_t ms = int64_t{h} * 3600000 + int64_t{m} * 60000 + int64_t{s} * 1000;
  Require(ms <= kMaxClockMs, "a time the clock holds");
  CGameClock clock;
  clock.SetSideTimeHms(0, h, m, s);
  Require(clock.GetSideTimeMs(0) == ms, "the clock keeps the time");
  char written[64];
  std::snprintf(written, sizeof written, "%d:%d:%d", h, m, s);
  int32_t h2 = -1, m2 = -1, s2 = -1;
  Require(ReadClockSetText(written, &h2, &m2, &s2) && h2 == h && m2 == m && s2 == s,
          "a clock text written back reads the same");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  CheckNumberReadings(Widened(bytes));
  std::u16string pairs;
  for (size_t i = 0; i + 1 < size; i += 2)
    pairs.push_back(static_cast<char16_t>(data[i] | data[i + 1] << 8));
  CheckNumberReadings(pairs);
  CheckClockText(bytes.c_str());
  return 0;
}
