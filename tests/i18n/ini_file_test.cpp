#include "i18n/ini_file.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTemporaryDir>

#include "i18n/text_decoding.h"

namespace quibrel {
namespace {

class IniFileTest : public ::testing::Test {
 protected:
  QString Write(const QByteArray& bytes, const QString& name = "test.ini") {
    const QString path = dir_.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
  }
  QByteArray Read(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
  }
  QTemporaryDir dir_;
};

TEST_F(IniFileTest, LookUpFollowsTheProfileRules) {
  IniFile ini;
  ini.ParseText(
      "; a comment=not a key\n"
      "orphan=before any section\n"
      "[Products]\n"
      "  Find  =   \n"
      "New =  Neu  \n"
      "Quoted=\"  spaced  \"\n"
      "Single='x'\n"
      "Half=\"open\n"
      "Mixed=\"a'\n"
      "Inner=a \"b\" c\n"
      "new=second copy loses\n"
      "Equals=a=b\n"
      "Empty=\n"
      "[ Text ]\n"
      "Name=Nom\n"
      "[products]\n"
      "Later=only in the repeated section\n"
      "Find=also loses\n");
  struct Case {
    const char* section;
    const char* key;
    const char* expected;
  } cases[] = {
      {"Products", "Find", ""},         // present but empty: the empty text, not the default
      {"PRODUCTS", "NEW", "Neu"},       // letter case of names does not matter, blanks dropped
      {"products", "new", "Neu"},       // the first occurrence wins
      {"Products", "Quoted", "  spaced  "},
      {"Products", "Single", "x"},
      {"Products", "Half", "\"open"},   // an unterminated quote stays
      {"Products", "Mixed", "\"a'"},    // quotes that do not match stay
      {"Products", "Inner", "a \"b\" c"},
      {"Products", "Equals", "a=b"},
      {"Products", "Empty", ""},
      {"Text", "Name", "Nom"},          // blanks inside the brackets do not count
      {"Products", "Later", "only in the repeated section"},
      {"Products", "Missing", "DEFAULT"},
      {"Missing", "Find", "DEFAULT"},
      {"Products", "orphan", "DEFAULT"},
      {"Products", "; a comment", "DEFAULT"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ini.ReadString(c.section, c.key, "DEFAULT"), QString::fromUtf8(c.expected))
        << c.section << "/" << c.key;
  }
}

TEST_F(IniFileTest, IntegersFallBackToTheDefaultWhenNotNumeric) {
  IniFile ini;
  ini.ParseText("[Global]\r\nLanguageID = 1036 \r\nBad=10x\r\nEmpty=\r\n");
  EXPECT_EQ(ini.ReadInteger("global", "languageid", 1049), 1036);
  EXPECT_EQ(ini.ReadInteger("Global", "Bad", 1049), 1049);
  EXPECT_EQ(ini.ReadInteger("Global", "Empty", 1049), 1049);
  EXPECT_EQ(ini.ReadInteger("Global", "Missing", 1049), 1049);
}

TEST_F(IniFileTest, MissingFileReadsDefaults) {
  const IniFile ini(dir_.filePath("none.ini"));
  EXPECT_FALSE(ini.loaded());
  EXPECT_EQ(ini.ReadString("Global", "Base", "d"), "d");
}

TEST_F(IniFileTest, EveryEncodingReadsTheSameText) {
  const QString text = QString::fromUtf8("[Main]\r\nProducts=Товары\r\n[Misc]\r\nCaptionZirk=Çəki\r\n");
  QStringEncoder le(QStringEncoder::Utf16LE);
  QStringEncoder be(QStringEncoder::Utf16BE);
  const struct {
    const char* name;
    QByteArray bytes;
    ProfileEncoding encoding;
  } cases[] = {
      {"utf8", text.toUtf8(), ProfileEncoding::kUtf8},
      {"utf8 bom", "\xEF\xBB\xBF" + text.toUtf8(), ProfileEncoding::kUtf8Bom},
      {"utf16 le", "\xFF\xFE" + QByteArray(le(text)), ProfileEncoding::kUtf16LE},
      {"utf16 be", "\xFE\xFF" + QByteArray(be(text)), ProfileEncoding::kUtf16BE},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const IniFile ini(Write(c.bytes));
    EXPECT_EQ(ini.encoding(), c.encoding);
    EXPECT_EQ(ini.ReadString("Main", "Products", ""), QString::fromUtf8("Товары"));
    EXPECT_EQ(ini.ReadString("Misc", "CaptionZirk", ""), QString::fromUtf8("Çəki"));
  }
}

TEST_F(IniFileTest, LegacyFilesUseTheCodePageOfTheirOwnLanguageId) {
  // Hex of files an older installation left: the identifier sits after the texts on purpose, so
  // the code page cannot be guessed from what came before.
  const struct {
    const char* name;
    QByteArray bytes;
    const char* expected;
  } cases[] = {
      // "Товары" in Windows-1251.
      {"cp1251", "[Main]\r\nProducts=\xD2\xEE\xE2\xE0\xF0\xFB\r\n[Global]\r\nLanguageID=1049\r\n",
       "Товары"},
      // "Préc" in Windows-1252.
      {"cp1252", "[Main]\nProducts=Pr\xE9" "c\n[global]\nlanguageid=1036\n", "Préc"},
      // "Prečū" in Windows-1257.
      {"cp1257", "[Main]\nProducts=Pre\xE8\xFB\n[Global]\nLanguageID=1062\n", "Prečū"},
      // "Mallar əla" in Windows-1254 as Azerbaijani uses it (0xE6 is the small schwa).
      {"cp1254", "[Global]\nLanguageID=1068\n[Main]\nProducts=Mallar \xE6la\n", "Mallar əla"},
      // No identifier: the Cyrillic default.
      {"none", "[Main]\nProducts=\xCC\xEE\xEB\xEE\xEA\xEE\n", "Молоко"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const IniFile ini(Write(c.bytes));
    EXPECT_EQ(ini.encoding(), ProfileEncoding::kLegacy8Bit);
    EXPECT_EQ(ini.ReadString("Main", "Products", ""), QString::fromUtf8(c.expected));
  }
}

TEST_F(IniFileTest, WritingKeepsEverythingElse) {
  const QByteArray original =
      "; settings\r\n[Global]\r\nBase = C:\\old.db\r\n\r\n[Other]\r\nKeep=\"quoted\"\r\nZ=1";
  const QString path = Write(original);
  IniFile ini(path);
  ASSERT_TRUE(ini.WriteString("global", "base", "/data/Base.db"));
  ASSERT_TRUE(ini.WriteString("Global", "Language", "RUS"));
  ASSERT_TRUE(ini.WriteString("Other", "Padded", "  two blanks  "));
  ASSERT_TRUE(ini.WriteString("New", "Injected", "a\r\n[Global]\nBase=evil"));
  EXPECT_EQ(Read(path),
            "; settings\r\n[Global]\r\nBase=/data/Base.db\r\nLanguage=RUS\r\n\r\n[Other]\r\n"
            "Keep=\"quoted\"\r\nZ=1\r\nPadded=\"  two blanks  \"\r\n[New]\r\n"
            "Injected=a [Global] Base=evil");
  const IniFile again(path);
  EXPECT_EQ(again.ReadString("Global", "Base", ""), "/data/Base.db");
  EXPECT_EQ(again.ReadString("Other", "Keep", ""), "quoted");
  EXPECT_EQ(again.ReadString("Other", "Padded", ""), "  two blanks  ");
  EXPECT_EQ(again.ReadString("New", "Injected", ""), "a [Global] Base=evil");
}

TEST_F(IniFileTest, WritingKeepsTheEncoding) {
  QStringEncoder le(QStringEncoder::Utf16LE);
  const QString path = Write("\xFF\xFE" + QByteArray(le(QString::fromUtf8("[Global]\nBase=Дом\n"))));
  IniFile ini(path);
  ASSERT_TRUE(ini.WriteString("Global", "Language", "RUS"));
  EXPECT_EQ(Read(path),
            "\xFF\xFE" + QByteArray(le(QString::fromUtf8("[Global]\nBase=Дом\nLanguage=RUS\n"))));

  // A legacy file becomes UTF-8 with its old texts intact.
  const QString legacy = Write("[Global]\nBase=\xC4\xEE\xEC\n", "legacy.ini");
  IniFile old(legacy);
  ASSERT_TRUE(old.WriteString("Global", "Language", "ENG"));
  EXPECT_EQ(Read(legacy), QString::fromUtf8("[Global]\nBase=Дом\nLanguage=ENG\n").toUtf8());
}

TEST_F(IniFileTest, UnwritableFileKeepsTheValueInMemory) {
  IniFile ini(dir_.filePath("no/such/folder/x.ini"));
  EXPECT_FALSE(ini.WriteString("Global", "Language", "ENG"));
  EXPECT_EQ(ini.ReadString("Global", "Language", ""), "ENG");
}

TEST_F(IniFileTest, BadInputsReadWithoutHarm) {
  QByteArray garbage(64 * 1024, '\0');
  QRandomGenerator rng(1234);
  for (char& b : garbage) b = static_cast<char>(rng.bounded(256));
  const QByteArray long_line = "[Main]\nProducts=" + QByteArray(1024 * 1024, 'x') + "\nKeys=K\n";
  const QByteArray no_global = "[Main]\nProducts=\"unterminated\n[Main\nKeys=K\n";
  const QByteArray only_breaks = "\r\r\n\n\r";
  for (const QByteArray& bytes : {garbage, long_line, no_global, only_breaks,
                                  QByteArray("\xFF\xFE\x41"), QByteArray("\xFE\xFF"),
                                  QByteArray("[\0]\0=\0", 7)}) {
    IniFile ini(Write(bytes));
    (void)ini.ReadString("Main", "Products", "d");
    EXPECT_EQ(ini.ReadInteger("Global", "LanguageID", 1049), 1049);
    EXPECT_TRUE(ini.WriteString("Global", "Language", "ENG"));
    EXPECT_EQ(IniFile(ini.path()).ReadString("Global", "Language", ""), "ENG");
  }
  const IniFile big(Write(long_line));
  EXPECT_EQ(big.ReadString("Main", "Products", "").size(), 1024 * 1024);
  EXPECT_EQ(big.ReadString("Main", "Keys", ""), "K");
  // "[Main" without its bracket still opens a section named Main, a copy of the first.
  const IniFile broken(Write(no_global));
  EXPECT_EQ(broken.ReadString("Main", "Products", ""), "\"unterminated");
  EXPECT_EQ(broken.ReadString("Main", "Keys", ""), "K");
}

}  // namespace
}  // namespace quibrel
