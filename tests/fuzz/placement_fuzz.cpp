// libFuzzer target: the stored window placement text. Every text is read
// exactly as a plain reference reading of "ten comma-separated whole
// numbers in their fields' ranges" reads it, and a placement that was read
// writes back to a text that reads as the same placement.
#include <cerrno>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "platform/placement.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

// The reference: split at commas, strip spaces and tabs around each field,
// and take a field only when it is an optional sign and decimal digits
// whose value fits the field (the first two unsigned, the rest signed).
std::optional<WindowPlacementValue> ReferenceParse(const std::string& text) {
  long long numbers[10];
  size_t start = 0;
  for (int i = 0; i < 10; ++i) {
    const size_t comma = text.find(',', start);
    if ((comma == std::string::npos) != (i == 9)) return std::nullopt;
    std::string field = text.substr(start, comma == std::string::npos ? std::string::npos
                                                                       : comma - start);
    start = comma + 1;
    const size_t first = field.find_first_not_of(" \t");
    if (first == std::string::npos) return std::nullopt;
    field = field.substr(first, field.find_last_not_of(" \t") - first + 1);
    const size_t digits = field[0] == '+' || field[0] == '-' ? 1 : 0;
    if (digits == field.size()) return std::nullopt;
    for (size_t k = digits; k < field.size(); ++k)
      if (field[k] < '0' || field[k] > '9') return std::nullopt;
    errno = 0;
    const long long value = std::strtoll(field.c_str(), nullptr, 10);
    const long long low = i < 2 ? 0 : INT32_MIN;
    const long long high = i < 2 ? UINT32_MAX : INT32_MAX;
    if (errno == ERANGE || value < low || value > high) return std::nullopt;
    numbers[i] = value;
  }
  WindowPlacementValue p;
  p.flags = static_cast<uint32_t>(numbers[0]);
  p.showCommand = static_cast<uint32_t>(numbers[1]);
  int32_t* fields[] = {&p.minX, &p.minY, &p.maxX, &p.maxY, &p.left, &p.top, &p.right, &p.bottom};
  for (int i = 0; i < 8; ++i) *fields[i] = static_cast<int32_t>(numbers[i + 2]);
  return p;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The stored value is a C text: it ends at its first NUL.
  std::string text(reinterpret_cast<const char*>(data), size);
  text.resize(text.find('\0') == std::string::npos ? size : text.find('\0'));
  const std::optional<WindowPlacementValue> read = ParseWindowPlacement(text.c_str());
  fuzz_support::Require(read == ReferenceParse(text), "read as the reference reads it");
  if (!read) return 0;
  const std::string written = FormatWindowPlacement(*read);
  fuzz_support::Require(ParseWindowPlacement(written.c_str()) == read,
                        "the written text reads back as the same placement");
  return 0;
}
