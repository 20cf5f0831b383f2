// Stored setting texts to integers.
#include "platform/settings_values.h"

#include <charconv>
#include <system_error>

bool ParseSettingInt(std::string_view text, int32_t& value) {
  const char* first = text.data();
  const char* last = first + text.size();
  int32_t parsed = 0;
  const auto [end, error] = std::from_chars(first, last, parsed, 10);
  if (error != std::errc() || end != last || first == last) return false;
  value = parsed;
  return true;
}

int32_t SettingIntInRange(std::string_view text, int32_t defaultValue, int32_t minValue,
                          int32_t maxValue) {
  int32_t value = 0;
  if (!ParseSettingInt(text, value) || value < minValue || value > maxValue) return defaultValue;
  return value;
}
