// Text recoded between code pages with glibc iconv, for building test files
// in the encodings real game files come in.
#pragma once

#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

namespace testing_support {

// text recoded from one code page to another; a failed conversion fails the
// test that asked for it.
inline std::string Recode(const std::string& text, const char* from, const char* to) {
  iconv_t cd = iconv_open(to, from);
  EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1));
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string();
  std::string out(text.size() * 2 + 8, '\0');
  char* in = const_cast<char*>(text.data());
  size_t inLeft = text.size();
  char* put = out.data();
  size_t outLeft = out.size();
  EXPECT_NE(iconv(cd, &in, &inLeft, &put, &outLeft), static_cast<size_t>(-1)) << text;
  iconv_close(cd);
  out.resize(out.size() - outLeft);
  return out;
}

// GBK text (what the program keeps) as UTF-8.
inline std::string Utf8FromGbk(const std::string& gbk) { return Recode(gbk, "GBK", "UTF-8"); }

}  // namespace testing_support
