// Named opening positions and their names in the six interface languages.
#include "engine/search/opening_names.h"

#include <cstring>

#include "engine/position/position.h"

int32_t currentOpening;

const char* const openingFens[kOpeningCount + 1] = {
    "",
    "rheakaehr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/4C2C1/9/RHEAKAEHR b",
    "rheakaehr/9/1c5c1/p1p1p1p1p/9/2P6/P3P1P1P/1C5C1/9/RHEAKAEHR b",
    "rheakaehr/9/1c5c1/p1p1p3p/6p2/2P6/P3P1P1P/1C5C1/9/RHEAKAEHR w",
    "rheakaehr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C2E2C1/9/RH1AKAEHR b",
    "rheakaehr/9/1c2c4/p1p1p1p1p/9/9/P1P1P1P1P/4C2C1/9/RHEAKAEHR w",
    "rheakaehr/9/4c2c1/p1p1p1p1p/9/9/P1P1P1P1P/4C2C1/9/RHEAKAEHR w",
    "r1eakae1r/9/1ch3hc1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C1H2/9/RHEAKAE1R w",
    "rheakaehr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/5C1C1/9/RHEAKAEHR b",
    "rheakaehr/9/2c4c1/p1p1p1p1p/9/2P6/P3P1P1P/1C5C1/9/RHEAKAEHR w",
    "rheakaehr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/4A4/RHE1KAEHR b",
    "rheakae1r/9/1c4hc1/p1p1p1p1p/9/2P6/P3P1P1P/1C5C1/9/RHEAKAEHR w",
    "rheakaehr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1CH4C1/9/R1EAKAEHR b",
    "rheakaehr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/3C3C1/9/RHEAKAEHR b",
    "rheakaehr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/HC5C1/9/R1EAKAEHR b",
    "rheakaehr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/6CC1/9/RHEAKAEHR b",
    "rheakaehr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/2C4C1/9/RHEAKAEHR b",
    "rheakaehr/9/1c5c1/p1p1p1p1p/9/1C7/P1P1P1P1P/7C1/9/RHEAKAEHR b",
    "rheakaehr/9/1c5c1/p1p1p1p1p/9/8P/P1P1P1P2/1C5C1/9/RHEAKAEHR b",
    "rheakaehr/9/1c5c1/p1p1p1p1p/9/4P4/P1P3P1P/1C5C1/9/RHEAKAEHR b",
    "rheakaehr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/4K4/RHEA1AEHR b",
    "rheakaehr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5CE/9/RHEAKA1HR b",
};

// Entries in LanguageId order: French, English, Spanish, German (Windows-1252),
// Simplified Chinese (GBK), Traditional Chinese (Big5). The bytes were made
// once from the texts in the comments with iconv.
const char* const openingNameTexts[kOpeningCount + 1][6] = {
    {"", "", "", "", "", ""},
    // 1: Central cannon / 中炮 / 中炮
    {"Canon central", "Central cannon", "Ca\xf1\xf3n central", "Zentrale Kanone",
     "\xd6\xd0\xc5\xda", "\xa4\xa4\xac\xb6"},
    // 2: Angel's guide / 仙人指路 / 仙人指路
    {"Le guide de l'ange", "Angel's guide",
     "Gu\xed"
     "a del \xe1ngel",
     "F\xfchrung des Engels", "\xcf\xc9\xc8\xcb\xd6\xb8\xc2\xb7", "\xa5P\xa4H\xab\xfc\xb8\xf4"},
    // 3: Angel's guide, pawn defence / 仙人指路对兵 / 仙人指路對兵
    {"Guide de l'ange, d\xe9"
     "fense par pion",
     "Angel's guide, pawn defence",
     "Gu\xed"
     "a del \xe1ngel, defensa de pe\xf3n",
     "F\xfchrung des Engels, Bauernverteidigung",
     "\xcf\xc9\xc8\xcb\xd6\xb8\xc2\xb7\xb6\xd4\xb1\xf8", "\xa5P\xa4H\xab\xfc\xb8\xf4\xb9\xef\xa7L"},
    // 4: Elephant's opening / 飞相局 / 飛相局
    {"Ouverture de l'\xe9l\xe9phant", "Elephant's opening", "Apertura del elefante",
     "Elefanten\xf6"
     "ffnung",
     "\xb7\xc9\xcf\xe0\xbe\xd6", "\xad\xb8\xac\xdb\xa7\xbd"},
    // 5: Counter cannon / 列炮 / 列炮
    {"Contre-canon", "Counter cannon", "Contraca\xf1\xf3n", "Gegenkanone", "\xc1\xd0\xc5\xda",
     "\xa6"
     "C\xac\xb6"},
    // 6: Same direction cannons / 顺炮 / 順炮
    {"Canons de m\xeame sens", "Same direction cannons", "Ca\xf1ones en el mismo sentido",
     "Gleichlaufende Kanonen", "\xcb\xb3\xc5\xda", "\xb6\xb6\xac\xb6"},
    // 7: Central cannon, double horse defence / 中炮对屏风马 / 中炮對屏風馬
    {"Canon central, d\xe9"
     "fense des deux chevaux",
     "Central cannon, double horse defence", "Ca\xf1\xf3n central, defensa de dos caballos",
     "Zentrale Kanone, Doppelpferdverteidigung", "\xd6\xd0\xc5\xda\xb6\xd4\xc6\xc1\xb7\xe7\xc2\xed",
     "\xa4\xa4\xac\xb6\xb9\xef\xab\xcc\xad\xb7\xb0\xa8"},
    // 8: Long cannon / 过宫炮 / 過宮炮
    {"Canon long", "Long cannon", "Ca\xf1\xf3n largo", "Lange Kanone", "\xb9\xfd\xb9\xac\xc5\xda",
     "\xb9L\xae"
     "c\xac\xb6"},
    // 9: Angel's guide, thundering defence / 仙人指路对卒底炮 / 仙人指路對卒底炮
    {"Guide de l'ange, d\xe9"
     "fense tonnerre",
     "Angel's guide, thundering defence",
     "Gu\xed"
     "a del \xe1ngel, defensa del trueno",
     "F\xfchrung des Engels, Donnerverteidigung",
     "\xcf\xc9\xc8\xcb\xd6\xb8\xc2\xb7\xb6\xd4\xd7\xe4\xb5\xd7\xc5\xda",
     "\xa5P\xa4H\xab\xfc\xb8\xf4\xb9\xef\xa8\xf2\xa9\xb3\xac\xb6"},
    // 10: Adviser's opening / 上仕局 / 上仕局
    {"Ouverture du conseiller", "Adviser's opening", "Apertura del consejero",
     "Beraterer\xf6"
     "ffnung",
     "\xc9\xcf\xca\xcb\xbe\xd6", "\xa4W\xa5K\xa7\xbd"},
    // 11: Angel's guide, horse defence / 仙人指路对起马 / 仙人指路對起馬
    {"Guide de l'ange, d\xe9"
     "fense du cheval",
     "Angel's guide, horse defence",
     "Gu\xed"
     "a del \xe1ngel, defensa del caballo",
     "F\xfchrung des Engels, Pferdeverteidigung",
     "\xcf\xc9\xc8\xcb\xd6\xb8\xc2\xb7\xb6\xd4\xc6\xf0\xc2\xed",
     "\xa5P\xa4H\xab\xfc\xb8\xf4\xb9\xef\xb0_\xb0\xa8"},
    // 12: Horse opening / 起马局 / 起馬局
    {"Ouverture du cheval", "Horse opening", "Apertura del caballo",
     "Pferdeer\xf6"
     "ffnung",
     "\xc6\xf0\xc2\xed\xbe\xd6", "\xb0_\xb0\xa8\xa7\xbd"},
    // 13: Short cannon / 仕角炮 / 仕角炮
    {"Canon court", "Short cannon", "Ca\xf1\xf3n corto", "Kurze Kanone", "\xca\xcb\xbd\xc7\xc5\xda",
     "\xa5K\xa8\xa4\xac\xb6"},
    // 14: Side horse / 边马局 / 邊馬局
    {"Cheval lat\xe9ral", "Side horse", "Caballo lateral", "Randpferd", "\xb1\xdf\xc2\xed\xbe\xd6",
     "\xc3\xe4\xb0\xa8\xa7\xbd"},
    // 15: Long Pawn cannon / 远兵底炮 / 遠兵底炮
    {"Canon long sous le pion", "Long Pawn cannon", "Ca\xf1\xf3n largo bajo el pe\xf3n",
     "Lange Bauernkanone", "\xd4\xb6\xb1\xf8\xb5\xd7\xc5\xda", "\xbb\xb7\xa7L\xa9\xb3\xac\xb6"},
    // 16: Short Pawn Cannon / 兵底炮 / 兵底炮
    {"Canon court sous le pion", "Short Pawn Cannon", "Ca\xf1\xf3n corto bajo el pe\xf3n",
     "Kurze Bauernkanone", "\xb1\xf8\xb5\xd7\xc5\xda", "\xa7L\xa9\xb3\xac\xb6"},
    // 17: Border cannon / 巡河炮 / 巡河炮
    {"Canon de la rivi\xe8re", "Border cannon", "Ca\xf1\xf3n del r\xedo", "Grenzkanone",
     "\xd1\xb2\xba\xd3\xc5\xda",
     "\xa8\xb5\xaa"
     "e\xac\xb6"},
    // 18: Side pawn / 边兵局 / 邊兵局
    {"Pion lat\xe9ral", "Side pawn", "Pe\xf3n lateral", "Randbauer", "\xb1\xdf\xb1\xf8\xbe\xd6",
     "\xc3\xe4\xa7L\xa7\xbd"},
    // 19: Central pawn / 中兵局 / 中兵局
    {"Pion central", "Central pawn", "Pe\xf3n central", "Zentralbauer", "\xd6\xd0\xb1\xf8\xbe\xd6",
     "\xa4\xa4\xa7L\xa7\xbd"},
    // 20: King giving 2 moves / 让二先 / 讓二先
    {"Le roi donne deux coups", "King giving 2 moves", "El rey da dos jugadas",
     "K\xf6nig gibt zwei Z\xfcge", "\xc8\xc3\xb6\xfe\xcf\xc8", "\xc5\xfd\xa4G\xa5\xfd"},
    // 21: Side elephant / 边相局 / 邊相局
    {"\xc9l\xe9phant lat\xe9ral", "Side elephant", "Elefante lateral", "Randelefant",
     "\xb1\xdf\xcf\xe0\xbe\xd6", "\xc3\xe4\xac\xdb\xa7\xbd"},
};

int32_t FindOpeningName(const int8_t* board) {
  char direct[kFenBufferSize];
  char mirrored[kFenBufferSize];
  WriteFen(board, direct, 1, 0, 1);
  WriteFen(board, mirrored, 1, 1, 1);
  for (int i = 1; i <= kOpeningCount; ++i) {
    if (std::strcmp(openingFens[i], direct) == 0 || std::strcmp(openingFens[i], mirrored) == 0)
      return i;
  }
  return 0;
}
