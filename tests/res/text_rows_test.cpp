// The six-language text rows: their encodings, their agreement with the
// UTF-8 source table and its generator, and the language lookup.
#include "res/text_rows.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <cstring>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/file_bytes.h"
#include "tests/support/run_tool.h"

namespace {

using testing_support::ReadFileText;

const char* CodePage(int language) {
  if (language == kLanguageSimplifiedChinese) return "GBK";
  if (language == kLanguageTraditionalChinese) return "BIG5";
  return "WINDOWS-1252";
}

// Converts with glibc iconv; nothing when a byte or character has no
// counterpart in the target code page.
std::optional<std::string> Convert(const std::string& text, const char* from,
                                   const char* to) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string in = text;
  std::vector<char> out(in.size() * 4 + 16);
  char* inPtr = in.data();
  size_t inLeft = in.size();
  char* outPtr = out.data();
  size_t outLeft = out.size();
  size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
  // Any irreversible conversion (a character replaced) counts as a failure.
  bool ok = result == 0 && inLeft == 0;
  if (ok) ok = iconv(cd, nullptr, nullptr, &outPtr, &outLeft) == 0;
  iconv_close(cd);
  if (!ok) return std::nullopt;
  return std::string(out.data(), outPtr);
}

struct TableLine {
  std::string name;
  std::vector<std::string> texts;  // UTF-8, LanguageId order
};

std::vector<TableLine> ReadTable() {
  std::ifstream in(testing_support::RepositoryRoot() + "res/text_rows.tsv");
  std::vector<TableLine> lines;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> fields;
    std::stringstream stream(line);
    std::string field;
    while (std::getline(stream, field, '\t')) fields.push_back(field);
    TableLine entry;
    entry.name = fields.empty() ? "" : fields[0];
    entry.texts.assign(fields.begin() + (fields.empty() ? 0 : 1), fields.end());
    lines.push_back(entry);
  }
  return lines;
}

// Restores the interface language after a test that changes it.
class LanguageGuard {
 public:
  LanguageGuard() : saved_(currentLanguage) {}
  ~LanguageGuard() { currentLanguage = saved_; }

 private:
  int32_t saved_;
};

TEST(TextRowsTable, EveryRowHasSixNonEmptyEntriesAndAUniqueName) {
  ASSERT_GT(kTextRowCount, 0);
  std::set<std::string> names;
  for (int i = 0; i < kTextRowCount; ++i) {
    ASSERT_NE(kAllTextRows[i], nullptr) << i;
    EXPECT_TRUE(names.insert(kAllTextRowNames[i]).second) << kAllTextRowNames[i];
    for (int language = 0; language < kLanguageCount; ++language) {
      const char* text = kAllTextRows[i]->text[language];
      ASSERT_NE(text, nullptr) << kAllTextRowNames[i] << " " << language;
      EXPECT_GT(std::strlen(text), 0u) << kAllTextRowNames[i] << " " << language;
    }
  }
}

TEST(TextRowsTable, EveryEntryRoundTripsThroughItsCodePage) {
  for (int i = 0; i < kTextRowCount; ++i) {
    for (int language = 0; language < kLanguageCount; ++language) {
      const std::string bytes = kAllTextRows[i]->text[language];
      const char* codePage = CodePage(language);
      std::optional<std::string> utf8 = Convert(bytes, codePage, "UTF-8");
      ASSERT_TRUE(utf8.has_value())
          << kAllTextRowNames[i] << " entry " << language << " is not valid "
          << codePage;
      std::optional<std::string> back = Convert(*utf8, "UTF-8", codePage);
      ASSERT_TRUE(back.has_value()) << kAllTextRowNames[i] << " " << language;
      EXPECT_EQ(*back, bytes) << kAllTextRowNames[i] << " entry " << language;
    }
  }
}

TEST(TextRowsTable, ChineseEntriesAreChineseUnlessTheyRepeatEnglish) {
  // A Chinese entry is either double-byte text or, on purpose, the English
  // text itself; a Latin text in the wrong column would show as neither.
  auto hasHighByte = [](const char* text) {
    for (; *text; ++text) {
      if (static_cast<unsigned char>(*text) >= 0x80) return true;
    }
    return false;
  };
  for (int i = 0; i < kTextRowCount; ++i) {
    const TextRow& row = *kAllTextRows[i];
    for (int language : {4, 5}) {
      if (std::strcmp(row.text[language], row.text[kLanguageEnglish]) == 0) continue;
      EXPECT_TRUE(hasHighByte(row.text[language]))
          << kAllTextRowNames[i] << " entry " << language;
    }
  }
}

TEST(TextRowsSource, CompiledRowsAreTheTableConverted) {
  std::vector<TableLine> table = ReadTable();
  ASSERT_EQ(static_cast<int>(table.size()), kTextRowCount);
  for (int i = 0; i < kTextRowCount; ++i) {
    const TableLine& line = table[i];
    ASSERT_EQ(line.name, kAllTextRowNames[i]) << "row " << i;
    ASSERT_EQ(line.texts.size(), 6u) << line.name;
    for (int language = 0; language < kLanguageCount; ++language) {
      std::optional<std::string> bytes =
          Convert(line.texts[language], "UTF-8", CodePage(language));
      ASSERT_TRUE(bytes.has_value()) << line.name << " " << language;
      EXPECT_EQ(*bytes, kAllTextRows[i]->text[language])
          << line.name << " entry " << language;
    }
  }
}

TEST(TextRowsSource, GeneratorReproducesTheCommittedFile) {
  const std::string script = testing_support::RepositoryRoot() + "res/tools/make_text_rows.py";
  testing_support::CommandRun run =
      testing_support::RunCommand("python3 " + script + " --stdout");
  ASSERT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.output, ReadFileText(testing_support::RepositoryRoot() + "res/text_rows.cpp"));
  // The check mode also holds the header's declarations to the table.
  EXPECT_EQ(testing_support::RunCommand("python3 " + script + " --check").exitCode, 0);
}

TEST(TextRowsContent, QuotedEnglishTexts) {
  const std::map<const TextRow*, std::string> english = {
      {&kTextRedHasLost, "The Red has lost !"},
      {&kTextBlackHasLost, "The Black has lost !"},
      {&kTextNoClue, "No clue"},
      {&kTextSetupMode, "Setup mode"},
      {&kTextEnterMoveNumber, "Enter the move number"},
      {&kTextSecondsPerMove, "seconds / move"},
      {&kTextHashTableTooBig, "Hash table size too big"},
      {&kTextLearningTablesTooBig, "Learning tables size too big"},
      {&kTextRemoveLearningFiles, "Remove learning files ?"},
      {&kTextClockCaption, "Clock"},
      {&kTextGameListCaption, "Game list"},
      {&kTextMiniClockCaption, "Mini clock"},
      {&kTextGameInformationCaption, "Game information"},
      {&kTextClockSetCaption, "Clock Set"},
      {&kTextGeneralConfigurationTab, "General configuration"},
      {&kTextLearningTablesSize, "Learning tables' size in Mb"},
      {&kTextLearningKillerTableUsed, "Learning killer table used in %"},
      {&kTextContemptBlack, "Contempt factor for Black"},
      {&kTextRedElo, "Red ELO"},
      {&kTextMinutes, "min"},
      {&kTextMin, "Min"},
      {&kTextResetComments, "Reset comments"},
  };
  for (const auto& [row, text] : english) {
    EXPECT_STREQ(row->text[kLanguageEnglish], text.c_str());
  }
}

TEST(TextRowsContent, QuotedForeignFormsAndDeliberateRepeats) {
  EXPECT_STREQ(kTextNoClue.text[kLanguageFrench], "Pas d'id\xe9" "e");
  EXPECT_STREQ(kTextNoClue.text[kLanguageSpanish], "Ni idea");
  EXPECT_STREQ(kTextNoClue.text[kLanguageGerman], "Keine Idee");
  EXPECT_STREQ(kTextSetupMode.text[kLanguageFrench], "Mode setup");
  EXPECT_STREQ(kTextSetupMode.text[kLanguageSpanish], "Edici\xf3n de posici\xf3n");
  EXPECT_STREQ(kTextSetupMode.text[kLanguageGerman], "Stellung aufbauen");

  EXPECT_STREQ(kTextResetComments.text[kLanguageSpanish], "Reset comments");
  EXPECT_STREQ(kTextEndgameTablebaseTab.text[kLanguageSpanish], "Endgame tablebase");
  EXPECT_STREQ(kTextEndgameTablebaseTab.text[kLanguageTraditionalChinese],
               "Endgame tablebase");
  EXPECT_STRNE(kTextEndgameTablebaseTab.text[kLanguageFrench], "Endgame tablebase");
  for (const TextRow* row : {&kTextNormal, &kTextBlitz, &kTextMin, &kTextMax}) {
    for (int language = 0; language < 4; ++language) {
      EXPECT_STREQ(row->text[language], row->text[kLanguageEnglish]) << language;
    }
  }
  EXPECT_STREQ(kTextExact.text[kLanguageFrench], "Exact");
  // "min" (minutes label) and "Min" (lower bound label) are different rows.
  EXPECT_STRNE(kTextMinutes.text[kLanguageEnglish], kTextMin.text[kLanguageEnglish]);
}

TEST(TextRowsLookup, TrFollowsTheCurrentLanguage) {
  LanguageGuard guard;
  EXPECT_EQ(currentLanguage, kLanguageEnglish);  // default before any change
  for (int32_t language = 0; language < kLanguageCount; ++language) {
    currentLanguage = language;
    EXPECT_EQ(Tr(kTextRedHasLost), kTextRedHasLost.text[language]);
  }
  currentLanguage = kLanguageGerman;
  EXPECT_STREQ(Tr(kTextBlackHasLost), "Schwarz hat verloren !");
  currentLanguage = kLanguageSimplifiedChinese;
  EXPECT_STREQ(Tr(kTextRed), "\xba\xec\xb7\xbd");  // GBK
  currentLanguage = kLanguageTraditionalChinese;
  EXPECT_STREQ(Tr(kTextRed), "\xac\xf5\xa4\xe8");  // Big5
}

TEST(TextRowsLookup, OutOfRangeLanguageGivesEnglish) {
  LanguageGuard guard;
  // 7 is the settings' "not chosen yet" value; none of these may index
  // past the six entries.
  for (int32_t language : {-1, 6, 7, 1000}) {
    currentLanguage = language;
    EXPECT_STREQ(Tr(kTextNoClue), "No clue") << language;
  }
}

}  // namespace
