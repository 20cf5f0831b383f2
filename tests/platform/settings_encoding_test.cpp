// UTF-16 settings files through the store: read as UTF-8 ones are, written
// back whole in their own encoding and byte order (a value written
// unchanged writes nothing), and a file read as UTF-16, marked or not,
// that is no whole UTF-16 text neither read nor written over.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/settings_store.h"
#include "tests/support/file_bytes.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/settings_folder.h"

namespace {

using testing_support::ReadFileText;

class SettingsEncodingTest : public testing_support::ScratchFolderTest {
 protected:
  SettingsEncodingTest() : ScratchFolderTest("settings_encoding") {}
};

// The UTF-16 bytes of a text, little-endian or big-endian.
std::string Utf16(const std::u16string& text, bool littleEndian) {
  std::string bytes;
  for (const char16_t unit : text) {
    const char high = static_cast<char>(unit >> 8);
    const char low = static_cast<char>(unit & 0xFF);
    bytes += littleEndian ? low : high;
    bytes += littleEndian ? high : low;
  }
  return bytes;
}

TEST_F(SettingsEncodingTest, Utf16FilesAreReadAndWrittenBackInTheirOwnEncoding) {
  struct Row {
    const char* name;
    std::u16string file;
    bool littleEndian;
    const char* book;          // "Options/Book1" as read, in UTF-8
    int sound;                 // "Options/Sound" as read, -1 when missing
    std::u16string afterExit;  // the file after Sound=1 and Book1 written unchanged
  };
  const Row rows[] = {
      {"little-endian with a mark, CRLF",
       u"\uFEFF[Options]\r\nSound=0 ; off\r\nBook1=\u68CB\u8B5C\U0001F600\r\n", true,
       "\xE6\xA3\x8B\xE8\xAD\x9C\xF0\x9F\x98\x80", 0,
       u"\uFEFF[Options]\r\nSound=1 ; off\r\nBook1=\u68CB\u8B5C\U0001F600\r\n"},
      {"big-endian with a mark", u"\uFEFF[Options]\nBook1=VKBOOK\nSound=0\n", false, "VKBOOK", 0,
       u"\uFEFF[Options]\nBook1=VKBOOK\nSound=1\n"},
      {"little-endian without a mark, no Sound yet", u"[Options]\nBook1=b\u00E9\n", true,
       "b\xC3\xA9", -1, u"[Options]\nBook1=b\u00E9\nSound=1\n"},
  };
  int number = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::filesystem::path file = testing_support::WriteProgramSettingsIn(
        dir_ / ("config" + std::to_string(number++)), Utf16(row.file, row.littleEndian));
    std::string book;
    for (const int round : {0, 1}) {
      const int writes = SettingsFileWrites();
      {
        CSettingsStore store(kSettingsNoRoot);
        ASSERT_TRUE(OpenProgramSettings(store));
        store.GetString(book, "Options", "Book1", "");
        EXPECT_EQ(book, row.book);
        EXPECT_EQ(store.GetInt("Options", "Sound", -1), round == 0 ? row.sound : 1);
        EXPECT_TRUE(store.WriteString("Options", "Book1", book.c_str()));
        if (round == 0) {
          EXPECT_TRUE(store.WriteInt("Options", "Sound", 1));
        }
      }
      // The first store changes Sound; the second writes Book1 unchanged.
      EXPECT_EQ(SettingsFileWrites() - writes, round == 0 ? 1 : 0);
      EXPECT_EQ(ReadFileText(file), Utf16(row.afterExit, row.littleEndian));
    }
  }
}

TEST_F(SettingsEncodingTest, AUtf16FileThatIsNoWholeUtf16TextIsNeitherReadNorWrittenOver) {
  // Marked and unmarked: an odd byte count, a high surrogate with no low
  // one after it, a low surrogate alone.
  for (const std::string& bytes : {Utf16(u"\uFEFF[Options]\nSound=1\n", true) + "x",
                                   Utf16(u"\uFEFF[Options]\nSound=1\n", false) + "\xD8\x01",
                                   Utf16(u"[Options]\nSound=1\n", true) + "x",
                                   Utf16(u"[Options]\nSound=1\nBook1=\xD801x\n", true),
                                   Utf16(u"[Options]\nSound=1\nBook1=\xDC00\n", false)}) {
    const std::filesystem::path file = testing_support::WriteProgramSettingsIn(dir_, bytes);
    {
      CSettingsStore store(kSettingsNoRoot);
      ASSERT_TRUE(OpenProgramSettings(store));
      EXPECT_EQ(store.GetInt("Options", "Sound", -1), -1);
      EXPECT_FALSE(store.WriteInt("Options", "Sound", 0));
    }
    EXPECT_EQ(ReadFileText(file), bytes);
  }
}

}  // namespace
