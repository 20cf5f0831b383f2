// libFuzzer target: the stored texts of integer settings. The input is the
// default, the smallest and the largest value of a ranged setting (three
// little-endian 32-bit words) and then the stored text. The parsed value
// must be exactly what a plain decimal reading of the text gives, and the
// ranged read must give that value when it lies in the range, else the
// default.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "platform/settings_values.h"

namespace {

void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "fuzz check failed: %s\n", what);
  std::abort();
}

int32_t Word(const uint8_t* p) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | p[i];
  return static_cast<int32_t>(v);
}

// The reference reading: "-"? digits+, its value within 32 bits.
bool ReferenceParse(std::string_view text, int32_t& value) {
  size_t i = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (negative) ++i;
  if (i == text.size()) return false;
  int64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > (int64_t{1} << 31)) magnitude = (int64_t{1} << 31) + 1;  // too large either way
  }
  const int64_t signedValue = negative ? -magnitude : magnitude;
  if (signedValue < INT32_MIN || signedValue > INT32_MAX) return false;
  value = static_cast<int32_t>(signedValue);
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 12) return 0;
  const int32_t defaultValue = Word(data);
  const int32_t minValue = Word(data + 4);
  const int32_t maxValue = Word(data + 8);
  const std::string_view text(reinterpret_cast<const char*>(data + 12), size - 12);

  int32_t expected = 0;
  const bool parses = ReferenceParse(text, expected);
  int32_t value = 12345;
  Require(ParseSettingInt(text, value) == parses, "the text parses exactly when it is a number");
  Require(parses ? value == expected : value == 12345, "the value is the text's number");

  const int32_t ranged = SettingIntInRange(text, defaultValue, minValue, maxValue);
  const bool inRange = parses && expected >= minValue && expected <= maxValue;
  Require(ranged == (inRange ? expected : defaultValue), "in range the number, else the default");
  return 0;
}
