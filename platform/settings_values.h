// The numbers of the settings file: a stored text turned into an integer
// setting. Qt-free, so that the fuzz build compiles it without the window
// side.
#pragma once

#include <cstdint>
#include <string_view>

// Strict decimal: an optional minus sign and digits, nothing else (no
// blanks, no plus sign), within the 32-bit range. False otherwise, with
// value unchanged.
bool ParseSettingInt(std::string_view text, int32_t& value);

// The setting a stored text gives: its number when it parses and lies in
// minValue..maxValue (inclusive), else defaultValue.
int32_t SettingIntInRange(std::string_view text, int32_t defaultValue, int32_t minValue,
                          int32_t maxValue);
