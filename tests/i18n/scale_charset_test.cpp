#include "i18n/scale_charset.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <map>

namespace quibrel {
namespace {

constexpr int kRussian = 1049;
constexpr int kEnglish = 1033;
constexpr int kFrench = 1036;
constexpr int kLatvian = 1062;
constexpr int kAzerbaijani = 1068;

// The character the system's iconv gives for one byte, or 0 when it has none.
char16_t IconvCharacter(const char* code_page, unsigned char byte) {
  iconv_t cd = iconv_open("UTF-16LE", code_page);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    ADD_FAILURE() << "iconv cannot convert from " << code_page;
    return 0;
  }
  char in[1] = {static_cast<char>(byte)};
  unsigned char out[8] = {};
  char* in_ptr = in;
  char* out_ptr = reinterpret_cast<char*>(out);
  size_t in_left = 1;
  size_t out_left = sizeof out;
  const size_t result = iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left);
  iconv_close(cd);
  if (result == static_cast<size_t>(-1) || sizeof out - out_left != 2) return 0;
  return static_cast<char16_t>(out[0] | (out[1] << 8));
}

struct CodePageCase {
  int lang;
  const char* iconv_name;
  // The only bytes where our table may differ from the published code page.
  std::map<unsigned char, char16_t> changed;
  std::vector<unsigned char> without_character;
};

TEST(ScaleCharsetTest, EveryHighByteMatchesThePublishedCodePage) {
  const CodePageCase cases[] = {
      {kRussian, "CP1251", {}, {0x98}},
      {kFrench, "CP1252", {}, {0x81, 0x8D, 0x8F, 0x90, 0x9D}},
      {kAzerbaijani,
       "CP1254",
       {{0xC6, u'\u018F'}, {0xE6, u'\u0259'}},
       {0x81, 0x8D, 0x8E, 0x8F, 0x90, 0x9D, 0x9E}},
      {kLatvian,
       "CP1257",
       {},
       {0x81, 0x83, 0x88, 0x8A, 0x8C, 0x90, 0x98, 0x9A, 0x9C, 0x9F, 0xA1, 0xA5}},
  };
  for (const CodePageCase& c : cases) {
    SCOPED_TRACE(c.iconv_name);
    InitLanguage(c.lang);
    for (int b = 0x80; b <= 0xFF; ++b) {
      const auto byte = static_cast<unsigned char>(b);
      SCOPED_TRACE(::testing::Message() << "byte 0x" << std::hex << b);
      char16_t expected = IconvCharacter(c.iconv_name, byte);
      if (const auto it = c.changed.find(byte); it != c.changed.end()) expected = it->second;
      EXPECT_EQ(a2u(byte), expected);
      const bool has_none = std::find(c.without_character.begin(), c.without_character.end(),
                                      byte) != c.without_character.end();
      EXPECT_EQ(a2u(byte) == 0, has_none);
      if (expected != 0) {
        EXPECT_EQ(u2a(expected), byte);
      }
    }
    // Plain ASCII passes through both ways, the control characters the ticket file uses included.
    for (int c7 = 0; c7 < 0x80; ++c7) {
      EXPECT_EQ(u2a(static_cast<char16_t>(c7)), c7);
      EXPECT_EQ(a2u(static_cast<unsigned char>(c7)), c7);
    }
  }
}

TEST(ScaleCharsetTest, SampleRowsOfEachTable) {
  struct Sample {
    int lang;
    unsigned char byte;
    char16_t unit;
  };
  const Sample samples[] = {
      {kRussian, 0x80, u'\u0402'}, {kRussian, 0x88, u'\u20AC'}, {kRussian, 0xA8, u'\u0401'},
      {kRussian, 0xB9, u'\u2116'}, {kRussian, 0xC0, u'\u0410'}, {kRussian, 0xFF, u'\u044F'},
      {kFrench, 0x80, u'\u20AC'},  {kFrench, 0x88, u'\u02C6'},  {kFrench, 0xC0, u'\u00C0'},
      {kFrench, 0xE6, u'\u00E6'},  {kLatvian, 0xA8, u'\u00D8'}, {kLatvian, 0xC0, u'\u0104'},
      {kLatvian, 0xC6, u'\u0118'}, {kLatvian, 0xFF, u'\u02D9'}, {kAzerbaijani, 0xC6, u'\u018F'},
      {kAzerbaijani, 0xE6, u'\u0259'},
  };
  for (const Sample& s : samples) {
    InitLanguage(s.lang);
    EXPECT_EQ(a2u(s.byte), s.unit) << s.lang << " byte " << int(s.byte);
    EXPECT_EQ(u2a(s.unit), s.byte) << s.lang << " byte " << int(s.byte);
  }
}

TEST(ScaleCharsetTest, CyrillicWordMakesItsBytesAndBack) {
  InitLanguage(kRussian);
  const QString word = QString::fromUtf8("Молоко");
  const QByteArray bytes = UnicodeStrToAsciiArray(word);
  EXPECT_EQ(bytes, QByteArray::fromHex("CCEEEBEEEAEE"));
  EXPECT_EQ(AsciiArrayToUnicodeStr(bytes, bytes.size()), word);
}

TEST(ScaleCharsetTest, UnknownIdentifierGivesTheCyrillicSet) {
  InitLanguage(kEnglish);
  EXPECT_EQ(u2a(u'A'), 0x41);
  EXPECT_EQ(u2a(u'Ж'), 0xC6);
  // A Latin letter with an accent has no byte there, and the byte without a character reads
  // back as U+0000 that stays in the text.
  EXPECT_EQ(u2a(u'\u00E9'), 0);
  EXPECT_EQ(AsciiArrayToUnicodeStr(QByteArray::fromHex("419842"), 3), QString::fromUtf16(u"A\u0000B", 3));
}

TEST(ScaleCharsetTest, NulAndSurrogatesAndForeignScriptsBecomeZero) {
  for (int lang : {kRussian, kFrench, kLatvian, kAzerbaijani}) {
    InitLanguage(lang);
    EXPECT_EQ(u2a(u'\0'), 0) << lang;
    // U+1F600 as a surrogate pair: each half converts on its own, to nothing.
    const QString emoji = QString::fromUcs4(U"\U0001F600");
    EXPECT_EQ(UnicodeStrToAsciiArray(emoji), QByteArray(2, '\0')) << lang;
    EXPECT_EQ(u2a(u'中'), 0) << lang;
  }
}

TEST(ScaleCharsetTest, SecondSetLeavesNoTraceOfTheFirst) {
  InitLanguage(kRussian);
  ASSERT_EQ(u2a(u'Ж'), 0xC6);
  InitLanguage(kFrench);
  EXPECT_EQ(u2a(u'Ж'), 0);
  EXPECT_EQ(u2a(u'\u00C6'), 0xC6);
  InitLanguage(kAzerbaijani);
  // AE belongs to CP1252 but not to the Azerbaijani set.
  EXPECT_EQ(u2a(u'\u00C6'), 0);
  EXPECT_EQ(a2u(0xC6), u'\u018F');
}

TEST(ScaleCharsetTest, ConversionWritesOnlyTheTextAndStaysInsideTheBuffer) {
  InitLanguage(kRussian);
  unsigned char buffer[8];
  std::fill(std::begin(buffer), std::end(buffer), 0xAA);
  EXPECT_EQ(UnicodeStrToAsciiArray(QString(), buffer, 8), 0);
  EXPECT_EQ(buffer[0], 0xAA);
  EXPECT_EQ(UnicodeStrToAsciiArray(QString::fromUtf8("Сыр"), buffer, 8), 3);
  EXPECT_EQ(QByteArray(reinterpret_cast<char*>(buffer), 8), QByteArray::fromHex("D1FBF0AAAAAAAAAA"));
  // Units past the capacity are not written.
  EXPECT_EQ(UnicodeStrToAsciiArray("ABCDEFGHIJ", buffer, 4), 4);
  EXPECT_EQ(QByteArray(reinterpret_cast<char*>(buffer), 8), QByteArray::fromHex("41424344AAAAAAAA"));
  EXPECT_TRUE(UnicodeStrToAsciiArray(QString()).isEmpty());
}

TEST(ScaleCharsetTest, ReadBackGivesExactlyNumCharactersPastZeroBytes) {
  InitLanguage(kRussian);
  const QByteArray bytes = QByteArray::fromHex("C100C2");
  EXPECT_EQ(AsciiArrayToUnicodeStr(bytes, 3), QString::fromUtf16(u"Б\u0000В", 3));
  EXPECT_EQ(AsciiArrayToUnicodeStr(bytes, 2).size(), 2);
  EXPECT_TRUE(AsciiArrayToUnicodeStr(bytes, 0).isEmpty());
  EXPECT_TRUE(AsciiArrayToUnicodeStr(bytes, -5).isEmpty());
  // Never reads past the bytes it was given.
  EXPECT_EQ(AsciiArrayToUnicodeStr(bytes, 100).size(), 3);
}

}  // namespace
}  // namespace quibrel
