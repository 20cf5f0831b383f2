// Formatting and strict parsing of the stored window placement text.
#include "platform/placement.h"

#include <cerrno>
#include <cinttypes>
#include <climits>
#include <cstdio>
#include <cstdlib>

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t'; }

// Reads one integer in [low, high] at `text`, with optional spaces around
// it, and moves `text` past it. Only decimal digits with an optional sign
// count as a number.
bool ReadNumber(const char*& text, long long low, long long high, long long& value) {
  while (IsSpace(*text)) ++text;
  const char* start = text;
  if (*start == '-' || *start == '+') ++start;
  if (*start < '0' || *start > '9') return false;
  errno = 0;
  char* end = nullptr;
  value = std::strtoll(text, &end, 10);
  if (errno == ERANGE || value < low || value > high) return false;
  text = end;
  while (IsSpace(*text)) ++text;
  return true;
}

}  // namespace

std::string FormatWindowPlacement(const WindowPlacementValue& p) {
  char text[128];
  std::snprintf(text, sizeof text, "%u,%u,%d,%d,%d,%d,%d,%d,%d,%d", p.flags, p.showCommand,
                p.minX, p.minY, p.maxX, p.maxY, p.left, p.top, p.right, p.bottom);
  return text;
}

std::optional<WindowPlacementValue> ParseWindowPlacement(const char* text) {
  if (text == nullptr) return std::nullopt;
  long long numbers[10];
  for (int i = 0; i < 10; ++i) {
    if (i > 0) {
      if (*text != ',') return std::nullopt;
      ++text;
    }
    const long long low = i < 2 ? 0 : INT32_MIN;
    const long long high = i < 2 ? UINT32_MAX : INT32_MAX;
    if (!ReadNumber(text, low, high, numbers[i])) return std::nullopt;
  }
  if (*text != '\0') return std::nullopt;
  WindowPlacementValue p;
  p.flags = static_cast<uint32_t>(numbers[0]);
  p.showCommand = static_cast<uint32_t>(numbers[1]);
  p.minX = static_cast<int32_t>(numbers[2]);
  p.minY = static_cast<int32_t>(numbers[3]);
  p.maxX = static_cast<int32_t>(numbers[4]);
  p.maxY = static_cast<int32_t>(numbers[5]);
  p.left = static_cast<int32_t>(numbers[6]);
  p.top = static_cast<int32_t>(numbers[7]);
  p.right = static_cast<int32_t>(numbers[8]);
  p.bottom = static_cast<int32_t>(numbers[9]);
  return p;
}
