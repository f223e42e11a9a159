#include "services/charset_table.h"

namespace vellix {
namespace {

constexpr CharsetRow kRows[] = {
    {u"utf-8", 65001},
    {u"windows-1251", 1251},
    {u"windows-1250", 1250},
    {u"iso-8859-2", 28592},
    {u"windows-1256", 1256},
    {u"iso-8859-5", 28595},
    {u"koi8-r", 20866},
    {u"koi8-u", 21866},
    {u"windows-1253", 1253},
    {u"iso-8859-8-i", 38598},
    {u"iso-8859-8", 28598},
    {u"asmo-708", 708},
    {u"dos-720", 720},
    {u"iso-8859-6", 28596},
    {u"x-mac-arabic", 10004},
    {u"ibm775", 775},
    {u"iso-8859-4", 28594},
    {u"windows-1257", 1257},
    {u"ibm852", 852},
    {u"x-mac-ce", 10029},
    {u"euc-cn", 51936},
    {u"gb2312", 936},
    {u"hz-gb-2312", 52936},
    {u"x-mac-chinesesimp", 10008},
    {u"big5", 950},
    {u"x-chinese-cns", 20000},
    {u"x-chinese-eten", 20002},
    {u"x-mac-chinesetrad", 10002},
    {u"cp866", 866},
    {u"x-mac-cyrillic", 10007},
    {u"x-europa", 29001},
    {u"x-ia5-german", 20106},
    {u"ibm737", 737},
    {u"iso-8859-7", 28597},
    {u"x-mac-greek", 10006},
    {u"ibm869", 869},
    {u"dos-862", 862},
    {u"x-mac-hebrew", 10005},
    {u"windows-1255", 1255},
    {u"x-ebcdic-arabic", 20420},
    {u"x-ebcdic-cyrillicrussian", 20880},
    {u"x-ebcdic-cyrillicserbianbulgarian", 21025},
    {u"x-ebcdic-denmarknorway", 20277},
    {u"x-ebcdic-denmarknorway-euro", 1142},
    {u"x-ebcdic-finlandsweden", 20278},
    {u"x-ebcdic-finlandsweden-euro", 1143},
    {u"x-ebcdic-finlandsweden-euro", 1143},
    {u"x-ebcdic-france-euro", 1147},
    {u"x-ebcdic-germany", 20273},
    {u"x-ebcdic-germany-euro", 1141},
    {u"x-ebcdic-greekmodern", 875},
    {u"x-ebcdic-greek", 20423},
    {u"x-ebcdic-hebrew", 20424},
    {u"x-ebcdic-icelandic", 20871},
    {u"x-ebcdic-icelandic-euro", 1149},
    {u"x-ebcdic-international-euro", 1148},
    {u"x-ebcdic-italy", 20280},
    {u"x-ebcdic-italy-euro", 1144},
    {u"x-ebcdic-japaneseandkana", 50930},
    {u"x-ebcdic-japaneseandjapaneselatin", 50939},
    {u"x-ebcdic-japaneseanduscanada", 50931},
    {u"x-ebcdic-japanesekatakana", 20290},
    {u"x-ebcdic-koreanandkoreanextended", 50933},
    {u"x-ebcdic-koreanextended", 20833},
    {u"cp870", 870},
    {u"x-ebcdic-simplifiedchinese", 50935},
    {u"x-ebcdic-spain", 20284},
    {u"x-ebcdic-spain-euro", 1145},
    {u"x-ebcdic-thai", 20838},
    {u"x-ebcdic-traditionalchinese", 50937},
    {u"cp1026", 1026},
    {u"x-ebcdic-turkish", 20905},
    {u"x-ebcdic-uk", 20285},
    {u"x-ebcdic-uk-euro", 1146},
    {u"ebcdic-cp-us", 37},
    {u"x-ebcdic-cp-us-euro", 1140},
    {u"ibm861", 861},
    {u"x-mac-icelandic", 10079},
    {u"x-iscii-as", 57006},
    {u"x-iscii-be", 57003},
    {u"x-iscii-de", 57002},
    {u"x-iscii-gu", 57010},
    {u"x-iscii-ka", 57008},
    {u"x-iscii-ma", 57009},
    {u"x-iscii-or", 57007},
    {u"x-iscii-pa", 57011},
    {u"x-iscii-ta", 57004},
    {u"x-iscii-te", 57005},
    {u"euc-jp", 51932},
    {u"iso-2022-jp", 50220},
    {u"iso-2022-jp", 50222},
    {u"csiso2022jp", 50221},
    {u"x-mac-japanese", 10001},
    {u"shift_jis", 932},
    {u"ks_c_5601-1987", 949},
    {u"euc-kr", 51949},
    {u"iso-2022-kr", 50225},
    {u"johab", 1361},
    {u"x-mac-korean", 10003},
    {u"iso-8859-3", 28593},
    {u"iso-8859-15", 28605},
    {u"x-ia5-norwegian", 20108},
    {u"ibm437", 437},
    {u"x-ia5-swedish", 20107},
    {u"windows-874", 874},
    {u"ibm857", 857},
    {u"iso-8859-9", 28599},
    {u"x-mac-turkish", 10081},
    {u"windows-1254", 1254},
    {u"unicode", 1200},
    {u"unicodefffe", 1201},
    {u"utf-7", 65000},
    {u"us-ascii", 20127},
    {u"windows-1258", 1258},
    {u"ibm850", 850},
    {u"x-ia5", 20105},
    {u"macintosh", 10000},
    {u"windows-1252", 1252},
    {u"iso-8859-1", 1252},  // the Windows Latin code page, as the platform treats the name
};
static_assert(std::size(kRows) == 119);

}  // namespace

std::span<const CharsetRow> CharsetTable() { return kRows; }

const CharsetRow* FindCharset(uint32_t codePage) {
  for (const CharsetRow& row : kRows)
    if (row.codePage == codePage) return &row;
  return nullptr;
}

const CharsetRow* ChooseDetectedCharset(std::span<const DetectedEncoding> answers) {
  const DetectedEncoding* best = nullptr;
  int64_t bestScore = 0;
  for (const DetectedEncoding& answer : answers) {
    const int64_t score = answer.docPercent == 0 ? int64_t(answer.confidence)
                                                 : int64_t(answer.confidence) * answer.docPercent;
    if (score > bestScore) {
      bestScore = score;
      best = &answer;
    }
  }
  return best ? FindCharset(best->codePage) : nullptr;
}

}  // namespace vellix
