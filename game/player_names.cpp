// Latin transcriptions of Chinese player names, for game files and the
// name display.
#include <cstring>

#include "game/notation.h"

namespace {

struct NamePair {
  const char* chinese;  // GBK
  const char* latin;
};

// Well-known players; a name must match the whole text byte for byte.
constexpr NamePair kPlayerNamePinyin[] = {
    {"\xBA\xFA\xC8\xD9\xBB\xAA", "Hu Ronghua"},
    {"\xD0\xED\xD2\xF8\xB4\xA8", "Xu Yinchuan"},
    {"\xC2\xC0\xC7\xD5", "Lu Qin"},
    {"\xD5\xD4\xB9\xFA\xC8\xD9", "Zhao Guorong"},
    {"\xCD\xF5\xCC\xEC\xD2\xBB", "Wang Tianyi"},
    {"\xBD\xAF\xB4\xA8", "Jiang Chuan"},
    {"\xBA\xE9\xD6\xC7", "Hong Zhi"},
    {"\xD6\xA3\xCE\xA9\xCD\xA9", "Zheng Weitong"},
    {"\xD0\xBB\xBE\xB8", "Xie Jing"},
    {"\xCB\xEF\xD3\xC2\xD5\xF7", "Sun Yongzheng"},
    {"\xCD\xF4\xD1\xF3", "Wang Yang"},
    {"\xC1\xF8\xB4\xF3\xBB\xAA", "Liu Dahua"},
    {"\xC0\xEE\xC0\xB4\xC8\xBA", "Li Laiqun"},
    {"\xD1\xEE\xB9\xD9\xAD\x55", "Yang Guanlin"},
    {"\xD3\xDA\xD3\xD7\xBB\xAA", "Yu Youhua"},
    {"\xD0\xEC\xCC\xEC\xBA\xEC", "Xu Tianhong"},
    {"\xCC\xD5\xBA\xBA\xC3\xF7", "Tao Hanming"},
    {"\xD5\xD4\xF6\xCE\xF6\xCE", "Zhao Xinxin"},
    {"\xB2\xB7\xB7\xEF\xB2\xA8", "Bu Fengbo"},
    {"\xD5\xC5\xC7\xBF", "Zhang Qiang"},
    {"\xBD\xF0\xB2\xA8", "Jin Bo"},
    {"\xCD\xF5\xBC\xCE\xC1\xBC", "Wang Jialiang"},
    {"\xC0\xEE\xD2\xE5\xCD\xA5", "Li Yiting"},
    {"\xBD\xAF\xD6\xBE\xC1\xBA", "Jiang Zhiliang"},
    {"\xD1\xD4\xC4\xC2\xBD\xAD", "Yan Mujiang"},
    {"\xD0\xEC\xCC\xEC\xC0\xFB", "Xu Tianli"},
    {"\xC1\xF5\xB5\xEE\xD6\xD0", "Liu Dianzhong"},
    {"\xB8\xB5\xB9\xE2\xC3\xF7", "Fu Guangming"},
    {"\xD1\xD6\xCE\xC4\xC7\xE5", "Yan Wenqing"},
    {"\xC3\xE7\xC0\xFB\xC3\xF7", "Miao Liming"},
    {"\xBE\xB0\xD1\xA7\xD2\xE5", "Jing Xueyi"},
    {"\xBB\xC6\xBA\xA3\xC1\xD6", "Huang Hailin"},
    {"\xC9\xEA\xC5\xF4", "Shen Peng"},
    {"\xCD\xF5\xB1\xF3", "Wang Bin"},
    {"\xBA\xC2\xBC\xCC\xB3\xAC", "Hao Jichao"},
    {"\xB3\xCC\xC3\xF9", "Cheng Ming"},
    {"\xC9\xD0\xCD\xFE", "Shang Wei"},
    {"\xCC\xC6\xB5\xA4", "Tang Dan"},
    {"\xCE\xE9\xCF\xBC", "Wu Xia"},
    {"\xCD\xF5\xC1\xD5\xC4\xC8", "Wang Linna"},
    {"\xB9\xF9\xC0\xF2\xC6\xBC", "Guo Liping"},
    {"\xD5\xD4\xB9\xDA\xB7\xBC", "Zhao Guanfang"},
    {"\xBD\xF0\xBA\xA3\xD3\xA2", "Jin Haiying"},
    {"\xBA\xFA\xC3\xF7", "Hu Ming"},
    {"\xD0\xBB\xCB\xBC\xC3\xF7", "Xie Siming"},
    {"\xBB\xC6\xDE\xB1", "Huang Wei"},
    {"\xC1\xD6\xBA\xEA\xC3\xF4", "Lin Hongmin"},
    {"\xC0\xEE\xB0\xAC\xB6\xAB", "Li Aidong"},
    {"\xB3\xC2\xD0\xA2\x88\xD2", "Chen Xiaokun"},
    {"\xCD\xF2\xB4\xBA\xC1\xD6", "Wan Chunlin"},
    {"\xC4\xF4\xCC\xFA\xCE\xC4", "Nie Tiewen"},
    {"\xB3\xC2\xB8\xBB\xBD\xDC", "Chen Fujie"},
    {"\xC0\xEE\xD1\xA9\xCB\xC9", "Li Xuesong"},
    {"\xB5\xB3\xEC\xB3", "Dang Fei"},
    {"\xD5\xC5\xC9\xEA\xBA\xEA", "Zhang Shenhong"},
    {"\xBD\xAF\xB7\xEF\xC9\xBD", "Jiang Fengshan"},
    {"\xC3\xCF\xB3\xBD", "Meng Chen"},
    {"\xD0\xED\xB9\xFA\xD2\xE5", "Xu Guoyi"},
    {"\xD7\xAF\xD3\xF1\xCD\xA5", "Zhuang Yuting"},
    {"\xC5\xCB\xD5\xF1\xB2\xA8", "Pan Zhenbo"},
};

}  // namespace

const char* TranslatePlayerName(const char* name) {
  if (name == nullptr) return name;
  for (const NamePair& pair : kPlayerNamePinyin)
    if (std::strcmp(pair.chinese, name) == 0) return pair.latin;
  return name;
}
