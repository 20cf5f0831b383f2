// Code-page conversion for display: every language text and menu text shows
// as the UTF-8 of its source table and converts back to the same bytes;
// broken bytes and characters a code page lacks are replaced, not dropped
// silently or crashed on.
#include "platform/text_codec.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/run_tool.h"

namespace {

// The UTF-8 source lines of res/text_rows.tsv: name, then six texts.
std::vector<std::vector<std::string>> ReadTextRowTable() {
  std::ifstream in(testing_support::RepositoryRoot() + "res/text_rows.tsv");
  std::vector<std::vector<std::string>> lines;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> fields;
    std::stringstream stream(line);
    std::string field;
    while (std::getline(stream, field, '\t')) fields.push_back(field);
    lines.push_back(fields);
  }
  return lines;
}

class LanguageGuard {
 public:
  LanguageGuard() : saved_(currentLanguage) {}
  ~LanguageGuard() { currentLanguage = saved_; }

 private:
  int32_t saved_;
};

const QChar kReplacement(0xFFFD);

TEST(TextCodec, LanguagesMapToTheirCodePages) {
  EXPECT_EQ(CodePageForLanguage(kLanguageFrench), CodePage::kWindows1252);
  EXPECT_EQ(CodePageForLanguage(kLanguageGerman), CodePage::kWindows1252);
  EXPECT_EQ(CodePageForLanguage(kLanguageSimplifiedChinese), CodePage::kGbk);
  EXPECT_EQ(CodePageForLanguage(kLanguageTraditionalChinese), CodePage::kBig5);
  EXPECT_EQ(CodePageForLanguage(7), CodePage::kWindows1252);
  EXPECT_EQ(CodePageForLanguage(-1), CodePage::kWindows1252);
}

TEST(TextCodec, EveryTextRowShowsItsSourceTextAndConvertsBack) {
  const auto table = ReadTextRowTable();
  ASSERT_EQ(static_cast<int>(table.size()), kTextRowCount);
  for (int i = 0; i < kTextRowCount; ++i) {
    ASSERT_EQ(table[i].size(), 7u) << i;
    ASSERT_EQ(table[i][0], kAllTextRowNames[i]);
    for (int language = 0; language < kLanguageCount; ++language) {
      const char* bytes = kAllTextRows[i]->text[language];
      const QString shown = DecodeLanguageText(bytes, language);
      EXPECT_FALSE(shown.isEmpty()) << kAllTextRowNames[i] << " " << language;
      EXPECT_FALSE(shown.contains(kReplacement)) << kAllTextRowNames[i] << " " << language;
      EXPECT_EQ(shown.toStdString(), table[i][1 + language])
          << kAllTextRowNames[i] << " " << language;
      EXPECT_EQ(EncodeLanguageText(shown, language).toStdString(), std::string(bytes))
          << kAllTextRowNames[i] << " " << language;
    }
  }
}

TEST(TextCodec, TrTextFollowsTheCurrentLanguage) {
  LanguageGuard guard;
  currentLanguage = kLanguageFrench;
  EXPECT_EQ(TrText(kTextNoClue), QString::fromUtf8("Pas d'id\xC3\xA9" "e"));
  currentLanguage = kLanguageSimplifiedChinese;
  EXPECT_EQ(TrText(kTextNoClue), QString::fromUtf8("没有提示"));
  currentLanguage = kLanguageTraditionalChinese;
  EXPECT_EQ(TrText(kTextNoClue), QString::fromUtf8("沒有提示"));
  currentLanguage = 7;  // not chosen yet: English
  EXPECT_EQ(TrText(kTextNoClue), QStringLiteral("No clue"));
}

TEST(TextCodec, EveryMenuTextShowsItsSourceTextAndConvertsBack) {
  for (int id = 0; id < kMenuTextCount; ++id) {
    const auto text = static_cast<MenuTextId>(id);
    for (int language = 0; language < kLanguageCount; ++language) {
      const QString shown = MenuTextString(text, language);
      EXPECT_FALSE(shown.isEmpty()) << id << " " << language;
      EXPECT_FALSE(shown.contains(kReplacement)) << id << " " << language;
      EXPECT_EQ(shown, QString::fromUtf8(kMenuTextRows[id].utf8[language])) << id << " " << language;
      EXPECT_EQ(EncodeText(shown, MenuTextCodePage(text, language)).toStdString(),
                std::string(MenuText(text, language)))
          << id << " " << language;
    }
  }
  // Language names keep their own script in every menu.
  EXPECT_EQ(MenuTextString(kMenuTextSimplifiedChinese, kLanguageFrench),
            MenuTextString(kMenuTextSimplifiedChinese, kLanguageSimplifiedChinese));
  EXPECT_TRUE(MenuTextString(kMenuTextCount, kLanguageEnglish).isEmpty());
  EXPECT_TRUE(MenuTextString(kMenuTextFile, 6).isEmpty());
  EXPECT_TRUE(MenuTextString(kMenuTextFile, -1).isEmpty());
}

TEST(TextCodec, NullAndEmptyTextsAreEmpty) {
  for (CodePage page : {CodePage::kWindows1252, CodePage::kGbk, CodePage::kBig5}) {
    EXPECT_TRUE(DecodeText(nullptr, page).isEmpty());
    EXPECT_TRUE(DecodeText(nullptr, 5, page).isEmpty());
    EXPECT_TRUE(DecodeText("", page).isEmpty());
    EXPECT_TRUE(EncodeText(QString(), page).isEmpty());
  }
}

TEST(TextCodec, InvalidBytesAreReplacedVisiblyAndTheRestIsKept) {
  // 0x81 has no character in Windows-1252.
  EXPECT_EQ(DecodeText("A\x81" "B\xE9", CodePage::kWindows1252),
            QString("A") + kReplacement + QString::fromUtf8("B\xC3\xA9"));
  // A GBK lead byte cut off at the end of the text.
  EXPECT_EQ(DecodeText("\xBA\xEC\xBA", CodePage::kGbk), QString::fromUtf8("红") + kReplacement);
  // A GBK lead byte followed by a byte that cannot trail it: only the lead
  // byte is lost, the text after it still reads.
  EXPECT_EQ(DecodeText("\x81 ok", CodePage::kGbk), kReplacement + QStringLiteral(" ok"));
  // 0xFF starts nothing in Big5.
  EXPECT_EQ(DecodeText("x\xFF\xAC\xF5", CodePage::kBig5),
            QString("x") + kReplacement + QString::fromUtf8("紅"));
  // A long run of bad bytes (more than one conversion buffer) is replaced
  // byte for byte.
  const std::string junk(1000, '\xFF');
  const QString shown = DecodeText(junk.c_str(), CodePage::kBig5);
  EXPECT_EQ(shown, QString(1000, kReplacement));
}

TEST(TextCodec, EmbeddedNulsAreKeptWithAnExplicitLength) {
  const char bytes[] = {'a', '\0', 'b'};
  EXPECT_EQ(DecodeText(bytes, sizeof bytes, CodePage::kWindows1252),
            QString::fromUtf8("a\0b", 3));
}

TEST(TextCodec, CharactersACodePageLacksBecomeQuestionMarks) {
  // A Chinese character typed while a Latin language is chosen.
  EXPECT_EQ(EncodeText(QString::fromUtf8("a红b"), CodePage::kWindows1252), QByteArray("a?b"));
  // A character outside the Basic Multilingual Plane is one mark, not four.
  EXPECT_EQ(EncodeText(QString::fromUtf8("\xF0\x9F\x98\x80x"), CodePage::kGbk), QByteArray("?x"));
  EXPECT_EQ(EncodeText(QString::fromUtf8("\xF0\x9F\x98\x80x"), CodePage::kBig5), QByteArray("?x"));
  // A lone surrogate in a QString does not stop the conversion.
  QString broken = QStringLiteral("p");
  broken += QChar(0xD800);
  broken += QStringLiteral("q");
  const QByteArray stored = EncodeText(broken, CodePage::kWindows1252);
  EXPECT_TRUE(stored.startsWith('p')) << stored.toStdString();
  EXPECT_TRUE(stored.endsWith('q')) << stored.toStdString();
  EXPECT_TRUE(stored.contains('?')) << stored.toStdString();
}

TEST(TextCodec, TypedTextsRoundTripThroughTheirLanguage) {
  const char* samples[kLanguageCount] = {"Très bien, à l'été", "Plain text 123",
                                         "¿Señor? ¡Año!", "Größe Übung",
                                         "红方走棋，黑方应将", "紅方走棋，黑方應將"};
  for (int language = 0; language < kLanguageCount; ++language) {
    const QString typed = QString::fromUtf8(samples[language]);
    const QByteArray stored = EncodeLanguageText(typed, language);
    // Everything but the ASCII sample really changes form.
    if (language != kLanguageEnglish) {
      EXPECT_NE(stored, typed.toUtf8()) << language;
    }
    EXPECT_EQ(DecodeLanguageText(stored.constData(), language), typed) << language;
  }
}

}  // namespace
