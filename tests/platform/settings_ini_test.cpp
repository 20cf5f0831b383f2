// The settings file's INI spelling against QSettings itself: what QSettings
// reads from a file is what the document reads, texts the document writes
// read back unchanged through QSettings (and the reverse), and a change
// leaves every other line's bytes as they were.
//
// The document differs from QSettings on purpose in one point: a value ends
// at its line end. QSettings reads on into the next lines after an opening
// quote without a closing one, or after a backslash at the line end, so a
// damaged line swallows the sections after it (and a write after them is
// swallowed again at the next read); its own writer never writes either.
#include "platform/settings_ini.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QSettings>
#include <QStringList>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <set>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

class SettingsIniTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vorelk_ini_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
  }
  void TearDown() override { fs::remove_all(root_); }

  // A new file each time, so that QSettings parses it rather than reusing
  // what it holds of an earlier one.
  std::string WriteFile(const std::string& bytes) {
    const fs::path path = root_ / ("file" + std::to_string(files_++) + ".ini");
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
  }

  static std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  fs::path root_;
  int files_ = 0;
};

// The value as the program reads it through QSettings: a text, a byte
// array, or a list of texts joined with commas; nothing for other kinds.
std::optional<std::string> QtText(const QVariant& value) {
  switch (value.typeId()) {
    case QMetaType::QString:
    case QMetaType::QByteArray:
      return value.toString().toStdString();
    case QMetaType::QStringList:
      return value.toStringList().join(QLatin1Char(',')).toStdString();
    default:
      return std::nullopt;
  }
}

TEST_F(SettingsIniTest, ReadsEveryFileAsQSettingsDoes) {
  const char* const files[] = {
      "[Options]\nBoard size = 2\nPieces Set=abc\nRotation=@Rect(1 2 3 4)\n"
      "Symetry=\" 1\"\nBook1=@Rect(1 2)\nTCTime1=\nBlank=   \nQuoted=\"\"\n",
      "[Options]\na=\"x;y\"\nb=\\\"q\\\"\nc=tab\\there\nd=\\x41\\x3042z\ne=\\101\\1010\nf=a\\qb\n",
      "[Windows%20placement]\nClock=0,1,-1, -1 ,x\nL=\"a,b\", c\nM=@@a,b\nN=@Rect(1 2 3 4),x\n",
      "[Pieces%20Value]\nBook%20Mode%201=3\nk%U4E2D=1\nslash\\key=4\n[%General]\nx=1\n"
      "[General]\ntop=2\n[a\\b]\nc=5\n",
      "; comment\n[Options\n=\n\x01\x02 garbage\nafter=1 ; trailing comment\n  spaced  =  v  \n",
      "a=one\nb=\"multi line\"\nc=x\r\nd=y\r\n",
      "\xef\xbb\xbf[Options]\nLanguage=1\nHTSize=64\n[User]\nkey=value\n",
      "[S]\nk=1\n[T]\nj=2\n[S]\nk=3\nm=4\n",
      "a=@ByteArray(hello)\nb=@Invalid()\nc=@@x\nd=@x\ne=@Size(1 2)\nf=@Point(3)\n",
      "[Options]\nname=\xe8\xb1\xa1\xe6\xa3\x8b\nInstallDirectory=/home/u/\xc3\xa9t\xc3\xa9\n",
  };
  for (const char* bytes : files) {
    SCOPED_TRACE(bytes);
    const std::string path = WriteFile(bytes);
    QSettings qt(QString::fromStdString(path), QSettings::IniFormat);
    const IniDocument document = IniDocument::Parse(bytes);
    const QStringList keys = qt.allKeys();
    EXPECT_EQ(document.Size(), static_cast<size_t>(keys.size()));
    for (const QString& key : keys) {
      SCOPED_TRACE(key.toStdString());
      // "=" alone in a section: a key QSettings lists but cannot read.
      if (key.endsWith(QLatin1Char('/'))) continue;
      EXPECT_EQ(document.Text(key.toStdString()), QtText(qt.value(key)));
    }
  }
}

std::multiset<std::string> SortedLines(const std::string& text) {
  std::multiset<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.insert(line);
  return lines;
}

TEST_F(SettingsIniTest, TextsRoundTripThroughQSettingsBothWays) {
  const std::string texts[] = {"USERVKBOOK",
                               "",
                               "a = b ; c # d",
                               "  padded  ",
                               "@Variant(x)",
                               "@ByteArray(y)",
                               "@",
                               "C:\\Vorelk Freeware2.5",
                               "/home/user/xq games",
                               "0,1,-1,-1,-1,-1,10,20,650,720",
                               "\"quoted\"",
                               "tab\there\nnew line\r",
                               std::string("nul\0"
                                           "1f",
                                           5),
                               "\x01"
                               "2\x1f"
                               "a",
                               "\xe8\xb1\xa1\xe6\xa3\x8b",
                               "caf\xc3\xa9",
                               "\xf0\x9d\x84\x9e clef",
                               "\x7f",
                               ";",
                               "=x",
                               " "};
  IniDocument document;
  for (size_t i = 0; i < std::size(texts); ++i) {
    document.Set("Some Section/Key " + std::to_string(i), texts[i]);
  }
  const std::string ours = WriteFile(document.Serialize());
  QSettings readBack(QString::fromStdString(ours), QSettings::IniFormat);
  const std::string theirs = (root_ / "theirs.ini").string();
  {
    QSettings writer(QString::fromStdString(theirs), QSettings::IniFormat);
    for (size_t i = 0; i < std::size(texts); ++i) {
      writer.setValue(QString::fromStdString("Some Section/Key " + std::to_string(i)),
                      QString::fromUtf8(texts[i].data(), static_cast<qsizetype>(texts[i].size())));
    }
  }
  const IniDocument parsed = IniDocument::Parse(ReadFile(theirs));
  // The same lines as QSettings writes (it sorts them).
  EXPECT_EQ(SortedLines(document.Serialize()), SortedLines(parsed.Serialize()));
  for (size_t i = 0; i < std::size(texts); ++i) {
    SCOPED_TRACE(i);
    const std::string key = "Some Section/Key " + std::to_string(i);
    EXPECT_EQ(QtText(readBack.value(QString::fromStdString(key))), texts[i]);
    EXPECT_EQ(parsed.Text(key), texts[i]);
  }
}

// A text that is not UTF-8 (a folder's path with a Latin-1 byte, a cut
// character) is written as QSettings writes a byte array of its bytes, and
// reads back through QSettings and the document as those bytes.
TEST_F(SettingsIniTest, TextsThatAreNotUtf8AreStoredAsByteArrays) {
  const struct {
    std::string bytes;
    const char* line;  // as written after "Key=", QSettings' spelling
  } rows[] = {
      {"/home/u/donn\xe9" "es/Vorelk", "@ByteArray(/home/u/donn\\xe9\\x65s/Vorelk)"},
      {"/d/\xff\xfe" "a9;b,\x01" "1", "\"@ByteArray(/d/\\xff\\xfe\\x61\\x39;b,\\x1\\x31)\""},
      {"\xe8\xb1", "@ByteArray(\\xe8\\xb1)"},
      {"@\x80", "@ByteArray(@\\x80)"},
  };
  IniDocument document;
  const std::string theirs = (root_ / "theirs.ini").string();
  {
    QSettings writer(QString::fromStdString(theirs), QSettings::IniFormat);
    for (size_t i = 0; i < std::size(rows); ++i) {
      const std::string key = "Options/Key" + std::to_string(i);
      document.Set(key, rows[i].bytes);
      writer.setValue(QString::fromStdString(key),
                      QByteArray(rows[i].bytes.data(), static_cast<qsizetype>(rows[i].bytes.size())));
    }
  }
  const std::string ours = document.Serialize();
  EXPECT_EQ(SortedLines(ours), SortedLines(IniDocument::Parse(ReadFile(theirs)).Serialize()));
  QSettings readBack(QString::fromStdString(WriteFile(ours)), QSettings::IniFormat);
  for (size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(i);
    const std::string key = "Options/Key" + std::to_string(i);
    EXPECT_NE(ours.find("Key" + std::to_string(i) + "=" + rows[i].line + "\n"), std::string::npos)
        << ours;
    EXPECT_EQ(IniDocument::Parse(ours).Text(key), rows[i].bytes);
    EXPECT_EQ(readBack.value(QString::fromStdString(key)).toByteArray().toStdString(), rows[i].bytes);
  }
}

TEST_F(SettingsIniTest, AChangeKeepsEveryOtherEntryByteForByte) {
  const std::string kept[] = {"Rotation=@Rect(1 2 3 4)", "Clock=0,1, -1 ,x", "Name = \"a;b\"",
                              "Blob=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x1)", "HTSize=12abc"};
  std::string file = "; written by hand\n[Options]\n";
  for (const std::string& line : kept) file += line + "\n";
  file += "Sound=0\n[Pieces%20Value]\nChariot=1300\n[Search]\n; by hand\nDepth=9\n";
  IniDocument document = IniDocument::Parse(file);
  document.Set("Options/Sound", "1");
  document.Set("Options/Language", "3");
  document.Remove("Search");
  const std::string written = document.Serialize();
  for (const std::string& line : kept)
    EXPECT_NE(written.find(line + "\n"), std::string::npos) << line;
  EXPECT_EQ(written.find("; written by hand\n[Options]\n"), 0u) << written;
  EXPECT_NE(written.find("Sound=1\nLanguage=3\n"), std::string::npos) << written;
  EXPECT_NE(written.find("[Pieces%20Value]\nChariot=1300\n"), std::string::npos) << written;
  // A removed section goes whole, with its header and its comment.
  EXPECT_EQ(written.find("Search"), std::string::npos) << written;
  EXPECT_EQ(written.find("; by hand"), std::string::npos) << written;
  EXPECT_EQ(document.Text("Search/Depth"), std::nullopt);
  EXPECT_EQ(IniDocument::Parse(written).Serialize(), written);
}

// Changes made again to what they wrote give its bytes again. A key
// removed and set again, in a section whose last line goes after it: the
// new line stays where the first write put it, after a blank line. A key
// set and then removed where its section does not exist (its line was
// outside any section, under the whole key): the section made for it is
// not left behind empty.
TEST_F(SettingsIniTest, ChangesMadeAgainGiveTheSameBytes) {
  struct Row {
    const char* name;
    std::string file;
    std::function<void(IniDocument&)> change;
    std::string once;
  };
  const Row rows[] = {
      {"removed and set again", "[Options]\na=1\nk=old\n\nb=2\n",
       [](IniDocument& document) {
         document.Remove("Options/k");
         document.Set("Options/k", "new");
         document.Remove("Options/b");
       },
       "[Options]\na=1\n\nk=new\n"},
      {"set and removed in a new section", "x=1\nWindows placement/MainWindow=2\n",
       [](IniDocument& document) {
         document.Set("Windows placement/MainWindow", "0,1");
         document.Set("Options/Sound", "1");
         document.Remove("Windows placement/MainWindow");
       },
       "x=1\n\n[Options]\nSound=1\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const auto changed = [&](const std::string& file) {
      IniDocument document = IniDocument::Parse(file);
      row.change(document);
      return document.Serialize();
    };
    const std::string once = changed(row.file);
    EXPECT_EQ(once, row.once);
    EXPECT_EQ(changed(once), once);
  }
}

}  // namespace
