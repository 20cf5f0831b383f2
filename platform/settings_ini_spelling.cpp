// Reading and writing the INI spelling QSettings uses, so that a file
// written here reads back through QSettings (and the reverse) unchanged.
#include "platform/settings_ini_spelling.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/settings_encoding.h"

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr char kLowerHexDigits[] = "0123456789abcdef";

bool IsHexDigit(uint32_t c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The UTF-16 units of a UTF-8 text (a byte that starts no valid sequence
// gives U+FFFD), as the escapes of QSettings work on them.
std::u16string ToUtf16(std::string_view text) {
  std::u16string out;
  for (size_t i = 0; i < text.size();) {
    const uint32_t c = NextUtf8CodePoint(text, i);
    if (c >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
  }
  return out;
}

std::string FromUtf16(std::u16string_view units) {
  std::string out;
  for (size_t i = 0; i < units.size(); ++i) {
    uint32_t c = units[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
        units[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
    } else if (c >= 0xD800 && c < 0xE000) {
      c = 0xFFFD;
    }
    AppendUtf8(out, c);
  }
  return out;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

std::string_view Trimmed(std::string_view text) {
  auto space = [](char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
  };
  while (!text.empty() && space(text.front())) text.remove_prefix(1);
  while (!text.empty() && space(text.back())) text.remove_suffix(1);
  return text;
}

void ChopTrailingSpaces(std::string& text, size_t limit) {
  while (text.size() > limit && (text.back() == ' ' || text.back() == '\t')) text.pop_back();
}

// A written value: the texts of a list (an unquoted comma splits), or one
// text. Quotes group, C escapes (\n, \x41, \101...) give characters, spaces
// around an unquoted text are dropped.
std::vector<std::string> UnescapedValue(std::string_view raw, bool& isList) {
  std::vector<std::string> items;
  std::string text;
  isList = false;
  bool quoted = false;
  bool currentQuoted = false;
  size_t i = 0;
  auto skipSpaces = [&] {
    while (i < raw.size() && (raw[i] == ' ' || raw[i] == '\t')) ++i;
  };
  skipSpaces();
  size_t chopLimit = 0;
  while (i < raw.size()) {
    const char c = raw[i];
    if (c == '\\') {
      if (++i >= raw.size()) break;
      const char e = raw[i++];
      static constexpr char kEscapes[][2] = {{'a', '\a'}, {'b', '\b'},  {'f', '\f'}, {'n', '\n'},
                                             {'r', '\r'}, {'t', '\t'},  {'v', '\v'}, {'"', '"'},
                                             {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
      bool simple = false;
      for (const auto& pair : kEscapes) {
        if (e == pair[0]) {
          text += pair[1];
          simple = true;
          break;
        }
      }
      if (simple) {
        chopLimit = text.size();
        continue;
      }
      if (e == 'x' && i < raw.size() && IsHexDigit(static_cast<unsigned char>(raw[i]))) {
        uint32_t value = 0;
        while (i < raw.size() && IsHexDigit(static_cast<unsigned char>(raw[i]))) {
          value = (value << 4) + static_cast<uint32_t>(HexValue(raw[i++]));
        }
        AppendUtf8(text, value & 0xFFFF);
      } else if (e >= '0' && e <= '7') {
        uint32_t value = static_cast<uint32_t>(e - '0');
        while (i < raw.size() && raw[i] >= '0' && raw[i] <= '7')
          value = (value << 3) + (raw[i++] - '0');
        AppendUtf8(text, value & 0xFFFF);
      } else if (e == '\n' || e == '\r') {
        if (i < raw.size() && (raw[i] == '\n' || raw[i] == '\r') && raw[i] != e) ++i;
      }
      chopLimit = text.size();
    } else if (c == '"') {
      ++i;
      currentQuoted = true;
      quoted = !quoted;
      if (!quoted) {
        skipSpaces();
        chopLimit = text.size();
      }
    } else if (c == ',' && !quoted) {
      if (!currentQuoted) ChopTrailingSpaces(text, chopLimit);
      isList = true;
      items.push_back(std::move(text));
      text.clear();
      currentQuoted = false;
      ++i;
      skipSpaces();
      chopLimit = 0;
    } else {
      size_t j = i + 1;
      while (j < raw.size() && raw[j] != '\\' && raw[j] != '"' && raw[j] != ',') ++j;
      text.append(raw.substr(i, j - i));
      i = j;
    }
  }
  if (!currentQuoted) ChopTrailingSpaces(text, chopLimit);
  items.push_back(std::move(text));
  return items;
}

// The number of arguments of "@Name(a b c)" as QSettings splits them.
size_t ArgumentCount(std::string_view text) {
  return 1 + std::count(text.begin(), text.end(), ' ');
}

// One stored text as QSettings turns it into a value: a text (an "@@"
// start stands for "@"), a byte array, or another kind (no text).
std::optional<std::string> ValueText(const std::string& s) {
  if (s.empty() || s[0] != '@') return s;
  auto starts = [&s](std::string_view prefix) { return s.compare(0, prefix.size(), prefix) == 0; };
  if (s.back() == ')') {
    if (starts("@ByteArray(")) {
      // The characters as bytes (a character beyond Latin-1 becomes '?').
      std::string bytes;
      for (char16_t unit : ToUtf16(std::string_view(s).substr(11, s.size() - 12))) {
        bytes += unit <= 0xFF ? static_cast<char>(unit) : '?';
      }
      return bytes;
    }
    if (starts("@String(")) return s.substr(8, s.size() - 9);
    if (starts("@Variant(") || starts("@DateTime(") || s == "@Invalid()") return std::nullopt;
    if ((starts("@Rect(") && ArgumentCount(s) == 4) ||
        ((starts("@Size(") || starts("@Point(")) && ArgumentCount(s) == 2)) {
      return std::nullopt;
    }
  }
  if (starts("@@")) return s.substr(1);
  return s;
}

}  // namespace
std::string IniUnescapedKey(std::string_view raw) {
  // Most keys are plain ASCII without escapes: they stand for themselves.
  if (std::none_of(raw.begin(), raw.end(), [](char c) {
        return c == '\\' || c == '%' || static_cast<unsigned char>(c) >= 0x80;
      })) {
    return std::string(raw);
  }
  std::u16string units;
  for (size_t i = 0; i < raw.size();) {
    const auto c = static_cast<unsigned char>(raw[i]);
    if (c == '\\') {
      units += u'/';
      ++i;
      continue;
    }
    if (c == '%' && i + 1 < raw.size()) {
      const bool wide = raw[i + 1] == 'U';
      const size_t first = i + (wide ? 2 : 1);
      const size_t digits = wide ? 4 : 2;
      uint32_t value = 0;
      bool ok = first + digits <= raw.size();
      for (size_t k = 0; ok && k < digits; ++k) {
        const int d = HexValue(raw[first + k]);
        ok = d >= 0;
        value = value * 16 + static_cast<uint32_t>(d);
      }
      if (ok) {
        units += static_cast<char16_t>(value);
        i = first + digits;
        continue;
      }
    }
    units += static_cast<char16_t>(c);
    ++i;
  }
  return FromUtf16(units);
}

std::string IniEscapedKey(std::string_view key) {
  std::string out;
  const std::u16string units = ToUtf16(key);
  for (size_t i = 0; i < units.size(); ++i) {
    const char16_t c = units[i];
    // A backslash last would take the '=' after the key: a last '/' is
    // written as %2F.
    if (c == u'/' && i + 1 < units.size()) {
      out += '\\';
    } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '_' || c == '-' || c == '.') {
      out += static_cast<char>(c);
    } else if (c <= 0xFF) {
      out += '%';
      out += kHexDigits[c / 16];
      out += kHexDigits[c % 16];
    } else {
      out += "%U";
      for (int shift = 12; shift >= 0; shift -= 4) out += kHexDigits[(c >> shift) & 0xF];
    }
  }
  return out;
}

std::string IniEscapedText(std::string_view text) {
  // A text that is not UTF-8 (a folder's path may hold any byte) is a byte
  // array, each byte one character, so that it reads back as the same
  // bytes; QSettings writes its bytes from 0x7F up as escapes. A text
  // starting with '@' is marked so that it is not read as a typed value;
  // one holding a NUL is wrapped, as QSettings does.
  const bool bytes = !IsUtf8(text);
  std::u16string units;
  if (bytes) {
    units = u"@ByteArray(";
    for (const char c : text) units += static_cast<char16_t>(static_cast<unsigned char>(c));
    units += u')';
  } else {
    units = ToUtf16(text);
  }
  if (!bytes && units.find(u'\0') != std::u16string::npos) {
    units = u"@String(" + units + u")";
  } else if (!bytes && !units.empty() && units[0] == u'@') {
    units.insert(units.begin(), u'@');
  }
  std::string out;
  bool quote = false;
  bool escapeHexDigit = false;  // after a numeric escape a hex digit is escaped too
  for (size_t i = 0; i < units.size(); ++i) {
    const uint32_t c = units[i];
    if (c == ';' || c == ',' || c == '=') quote = true;
    if (escapeHexDigit && IsHexDigit(c)) {
      out += "\\x";
      out += kLowerHexDigits[c >> 4];
      out += kLowerHexDigits[c & 0xF];
      continue;
    }
    escapeHexDigit = false;
    switch (c) {
      case '\0':
        out += "\\0";
        escapeHexDigit = true;
        break;
      case '\a':
        out += "\\a";
        break;
      case '\b':
        out += "\\b";
        break;
      case '\f':
        out += "\\f";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\v':
        out += "\\v";
        break;
      case '"':
      case '\\':
        out += '\\';
        out += static_cast<char>(c);
        break;
      default:
        if (c <= 0x1F || (bytes && c >= 0x7F)) {
          out += "\\x";
          if (c >= 0x10) out += kLowerHexDigits[c >> 4];
          out += kLowerHexDigits[c & 0xF];
          escapeHexDigit = true;
        } else if (c >= 0xD800 && c < 0xDC00 && i + 1 < units.size()) {
          out += FromUtf16(std::u16string_view(units).substr(i, 2));
          ++i;
        } else {
          out += FromUtf16(std::u16string_view(units).substr(i, 1));
        }
    }
  }
  if (quote || (!out.empty() && (out.front() == ' ' || out.back() == ' '))) out = '"' + out + '"';
  return out;
}

std::optional<std::string> IniValueText(std::string_view raw) {
  bool isList = false;
  std::vector<std::string> items = UnescapedValue(raw, isList);
  if (!isList) return ValueText(items[0]);
  // A list of texts is one text to its readers; a list holding a typed
  // value is no text.
  std::string joined;
  for (size_t i = 0; i < items.size(); ++i) {
    const std::string& item = items[i];
    if (!item.empty() && item[0] == '@' && item.compare(0, 2, "@@") != 0) return std::nullopt;
    if (i > 0) joined += ',';
    joined += item.compare(0, 2, "@@") == 0 ? item.substr(1) : item;
  }
  return joined;
}

std::string IniSectionName(std::string_view header) {
  const size_t close = header.find(']');
  const std::string_view name =
      Trimmed(header.substr(1, close == std::string_view::npos ? header.npos : close - 1));
  if (EqualsIgnoringCase(name, "general")) return std::string();
  if (EqualsIgnoringCase(name, "%general")) return std::string(name.substr(1));
  return IniUnescapedKey(name);
}

std::string IniHeader(std::string_view section) {
  if (section.empty()) return "[General]";
  std::string name = IniEscapedKey(section);
  // "[General]" would be the entries without a section.
  if (EqualsIgnoringCase(name, "general")) name.insert(0, "%");
  return "[" + name + "]";
}
