// UTF-16 settings files to UTF-8 text and back.
#include "platform/settings_encoding.h"

#include <cstdint>
#include <utility>

namespace {

uint32_t Unit(std::string_view bytes, size_t at, SettingsEncoding encoding) {
  const auto first = static_cast<unsigned char>(bytes[at]);
  const auto second = static_cast<unsigned char>(bytes[at + 1]);
  return encoding == SettingsEncoding::kUtf16LittleEndian ? first | second << 8
                                                          : first << 8 | second;
}

void AppendUnit(std::string& out, uint32_t unit, SettingsEncoding encoding) {
  const char high = static_cast<char>(unit >> 8);
  const char low = static_cast<char>(unit & 0xFF);
  if (encoding == SettingsEncoding::kUtf16LittleEndian) {
    out += low;
    out += high;
  } else {
    out += high;
    out += low;
  }
}

// UTF-16 bytes as UTF-8; false when they are not whole UTF-16 text.
bool DecodeUtf16(std::string_view bytes, SettingsEncoding encoding, std::string& text) {
  if (bytes.size() % 2 != 0) return false;
  text.reserve(bytes.size());
  for (size_t at = 0; at < bytes.size(); at += 2) {
    uint32_t c = Unit(bytes, at, encoding);
    if (c >= 0xDC00 && c < 0xE000) return false;
    if (c >= 0xD800 && c < 0xDC00) {
      if (at + 2 >= bytes.size()) return false;
      const uint32_t low = Unit(bytes, at + 2, encoding);
      if (low < 0xDC00 || low >= 0xE000) return false;
      c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
      at += 2;
    }
    AppendUtf8(text, c);
  }
  return true;
}

}  // namespace

void AppendUtf8(std::string& out, uint32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | c >> 6);
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | c >> 12);
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | c >> 18);
    out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

uint32_t NextUtf8CodePoint(std::string_view text, size_t& i) {
  const auto lead = static_cast<unsigned char>(text[i]);
  size_t length = 0;
  uint32_t c = 0;
  uint32_t least = 0;
  if (lead < 0x80) {
    ++i;
    return lead;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2, c = lead & 0x1F, least = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, c = lead & 0x0F, least = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, c = lead & 0x07, least = 0x10000;
  }
  if (length == 0 || i + length > text.size()) {
    ++i;
    return 0xFFFD;
  }
  for (size_t k = 1; k < length; ++k) {
    const auto next = static_cast<unsigned char>(text[i + k]);
    if ((next & 0xC0) != 0x80) {
      ++i;
      return 0xFFFD;
    }
    c = c << 6 | (next & 0x3F);
  }
  if (c < least || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) {
    ++i;
    return 0xFFFD;
  }
  i += length;
  return c;
}

bool ReadSettingsText(std::string_view bytes, SettingsEncoding& encoding, std::string& text) {
  encoding = SettingsEncoding::kUtf8;
  text = bytes;
  if (bytes.size() < 2) return true;
  const auto first = static_cast<unsigned char>(bytes[0]);
  const auto second = static_cast<unsigned char>(bytes[1]);
  const bool marked = (first == 0xFF && second == 0xFE) || (first == 0xFE && second == 0xFF);
  if (!marked && (first == 0) == (second == 0)) return true;
  const SettingsEncoding utf16 = first == 0xFF || second == 0 ? SettingsEncoding::kUtf16LittleEndian
                                                              : SettingsEncoding::kUtf16BigEndian;
  // Unmarked bytes that begin as UTF-16 but are not whole UTF-16 text are
  // refused as marked ones are: read as UTF-8 they would give no setting,
  // and a write would add UTF-8 lines to UTF-16 bytes.
  std::string decoded;
  if (!DecodeUtf16(bytes, utf16, decoded)) return false;
  encoding = utf16;
  text = std::move(decoded);
  return true;
}

bool IsUtf8(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    const size_t at = i;
    // U+FFFD spelt in its own three bytes is valid; one byte read as it is not.
    if (NextUtf8CodePoint(text, i) == 0xFFFD && i - at != 3) return false;
  }
  return true;
}

std::string EncodeSettingsText(std::string_view text, SettingsEncoding encoding) {
  if (encoding == SettingsEncoding::kUtf8) return std::string(text);
  std::string out;
  out.reserve(text.size() * 2);
  for (size_t i = 0; i < text.size();) {
    const uint32_t c = NextUtf8CodePoint(text, i);
    if (c >= 0x10000) {
      AppendUnit(out, 0xD800 + ((c - 0x10000) >> 10), encoding);
      AppendUnit(out, 0xDC00 + ((c - 0x10000) & 0x3FF), encoding);
    } else {
      AppendUnit(out, c, encoding);
    }
  }
  return out;
}
