#include "workspace/language.h"

#include <gtest/gtest.h>

#include <QDir>

#include "i18n/lang_text.h"
#include "i18n/scale_charset.h"
#include "support/temp_program_folder.h"

namespace quibrel {
namespace {

// Sets the three locale variables for one test and puts the old values back afterwards.
class LocaleScope {
 public:
  LocaleScope(const char* lc_all, const char* lc_messages, const char* lang) {
    const char* values[] = {lc_all, lc_messages, lang};
    for (int i = 0; i < 3; ++i) {
      saved_[i] = qgetenv(kNames[i]);
      had_[i] = qEnvironmentVariableIsSet(kNames[i]);
      if (values[i] == nullptr) {
        qunsetenv(kNames[i]);
      } else {
        qputenv(kNames[i], values[i]);
      }
    }
  }
  ~LocaleScope() {
    for (int i = 0; i < 3; ++i) {
      if (had_[i]) {
        qputenv(kNames[i], saved_[i]);
      } else {
        qunsetenv(kNames[i]);
      }
    }
  }

 private:
  static constexpr const char* kNames[3] = {"LC_ALL", "LC_MESSAGES", "LANG"};
  QByteArray saved_[3];
  bool had_[3] = {};
};

class LanguageTest : public ::testing::Test {
 protected:
  LanguageTest() : program_(false) {}

  void AddLanguage(const QString& code, const QByteArray& lang_dat) {
    program_.WriteFile("Languages/" + code + "/Lang.dat", lang_dat);
  }
  // The fixture's languages: captions differ, so a test can tell which file LangText reads.
  void AddUsualLanguages() {
    AddLanguage("ENG", "[Global]\nLanguageID=1033\n[Main]\nProducts=Products\n");
    AddLanguage("RUS", QString::fromUtf8("[Global]\nLanguageID=1049\n[Main]\nProducts=Товары\n")
                           .toUtf8());
    AddLanguage("FRA", "[Global]\nLanguageID=1036\n[Main]\nProducts=Articles\n");
  }
  QString StoredCode() const {
    return IniFile(program_.folder().TerminalIni()).ReadString("Global", "Language", "<none>");
  }

  testing::TempProgramFolder program_;
};

TEST_F(LanguageTest, FirstStartFollowsTheLocaleAndStoresTheChoice) {
  const struct {
    const char* lc_all;
    const char* lc_messages;
    const char* lang;
    const char* expected;
  } cases[] = {
      {nullptr, nullptr, "ru_RU.UTF-8", "RUS"},
      {nullptr, nullptr, "en_US.UTF-8", "ENG"},
      {nullptr, nullptr, nullptr, "ENG"},
      {"", "ru_UA", "de_DE", "RUS"},     // an empty variable does not count
      {"C", "ru_RU", "ru_RU", "ENG"},    // the first variable set decides
      {"ru", nullptr, nullptr, "RUS"},
      {nullptr, nullptr, "rup_MK", "ENG"},  // Aromanian, not Russian
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << (c.lc_all ? c.lc_all : "-") << " "
                                      << (c.lc_messages ? c.lc_messages : "-") << " "
                                      << (c.lang ? c.lang : "-"));
    testing::TempProgramFolder program(false);
    program.WriteFile("Languages/ENG/Lang.dat", "[Main]\nProducts=Products\n");
    program.WriteFile("Languages/RUS/Lang.dat", "[Main]\nProducts=Tovary\n");
    LocaleScope locale(c.lc_all, c.lc_messages, c.lang);
    Language language(program.folder());
    IniFile ini(program.folder().TerminalIni());
    language.Select(ini);
    EXPECT_EQ(language.Code(), c.expected);
    EXPECT_EQ(IniFile(program.folder().TerminalIni()).ReadString("Global", "Language", ""),
              c.expected);
    EXPECT_EQ(LangText("Main", "Products", "x"),
              QString(c.expected) == "RUS" ? "Tovary" : "Products");
  }
}

TEST_F(LanguageTest, StoredCodeWithoutFolderFallsBack) {
  AddUsualLanguages();
  program_.WriteFile("Languages/README", "not a folder");
  const struct {
    const char* stored;
    bool with_eng;
    const char* expected;
  } cases[] = {
      {"FRA", true, "FRA"},
      {"fra", true, "FRA"},  // the folder's own name is stored back
      {"XYZ", true, "ENG"},
      {"README", true, "ENG"},
      {"XYZ", false, "FRA"},  // without ENG, the first folder listed
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored);
    if (!c.with_eng) QDir(program_.Path("Languages/ENG")).removeRecursively();
    IniFile ini(program_.folder().TerminalIni());
    Language::StoreCode(ini, c.stored);
    Language language(program_.folder());
    language.Select(ini);
    EXPECT_EQ(language.Code(), c.expected);
    EXPECT_EQ(StoredCode(), c.expected);
    EXPECT_EQ(language.LangDir(), program_.Path("Languages/") + c.expected);
    EXPECT_FALSE(language.Codes().contains("README"));
  }
}

TEST_F(LanguageTest, NoLanguageFolderGivesDefaultsAndTheCyrillicSetAndStoresNothing) {
  LocaleScope locale(nullptr, nullptr, "en_US");
  for (const bool languages_dir : {true, false}) {
    if (!languages_dir) QDir(program_.Path("Languages")).removeRecursively();
    InitLanguage(1036);
    Language language(program_.folder());
    IniFile ini(program_.folder().TerminalIni());
    language.Select(ini);
    EXPECT_TRUE(language.Code().isEmpty());
    EXPECT_TRUE(language.Codes().isEmpty());
    EXPECT_EQ(StoredCode(), "<none>");
    EXPECT_EQ(LangText("Main", "Products", "Products"), "Products");
    EXPECT_EQ(u2a(u'Ж'), 0xC6);
  }
}

TEST_F(LanguageTest, LanguageIdSetsTheScaleCharacterSet) {
  const struct {
    const char* lang_dat;  // nullptr: the folder has no Lang.dat
    int expected_id;
    char16_t unit;
    unsigned char byte;
  } cases[] = {
      {"[Global]\nLanguageID=1036\n", 1036, u'\u00E9', 0xE9},
      {"[Global]\nLanguageID=1068\n", 1068, u'\u0259', 0xE6},
      {"[Global]\nLanguageID=1062\n", 1062, u'\u0101', 0xE2},
      {"[Global]\nLanguageID=1033\n", 1033, u'Ж', 0xC6},
      {"[Global]\nLanguageID=French\n", 1049, u'Ж', 0xC6},
      {"[Main]\nProducts=Goods\n", 1049, u'Ж', 0xC6},
      {nullptr, 1049, u'Ж', 0xC6},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lang_dat ? c.lang_dat : "no Lang.dat");
    testing::TempProgramFolder program(false);
    QDir().mkpath(program.Path("Languages/ENG"));
    if (c.lang_dat) program.WriteFile("Languages/ENG/Lang.dat", c.lang_dat);
    Language language(program.folder());
    IniFile ini(program.folder().TerminalIni());
    language.Select(ini);
    EXPECT_EQ(language.Code(), "ENG");
    EXPECT_EQ(language.LanguageID(), c.expected_id);
    EXPECT_EQ(u2a(c.unit), c.byte);
  }
}

TEST_F(LanguageTest, OnlyTheKeysAFileHoldsChangeTheirTexts) {
  AddLanguage("ENG", "[Main]\nProducts=Goods\n[Products]\nFind=\n");
  Language language(program_.folder());
  IniFile ini(program_.folder().TerminalIni());
  Language::StoreCode(ini, "ENG");
  language.Select(ini);
  EXPECT_EQ(LangText("main", "PRODUCTS", "Products"), "Goods");
  EXPECT_EQ(LangText("Main", "Keys", "Keys"), "Keys");
  EXPECT_EQ(LangText("Products", "Find", "Find"), "");
}

TEST_F(LanguageTest, ALegacyCp1251LanguageFileReadsCorrectly) {
  // "Товары" and "вес" in Windows-1251, as an older installation wrote them.
  AddLanguage("RUS", "[Global]\r\nLanguageID=1049\r\n[Main]\r\nProducts=\xD2\xEE\xE2\xE0\xF0\xFB\r\n"
                     "[Products]\r\nWeight=\xE2\xE5\xF1\r\n");
  IniFile ini(program_.folder().TerminalIni());
  Language::StoreCode(ini, "RUS");
  Language language(program_.folder());
  language.Select(ini);
  EXPECT_EQ(LangText("Main", "Products", ""), QString::fromUtf8("Товары"));
  EXPECT_EQ(LangText("Products", "Weight", ""), QString::fromUtf8("вес"));
}

TEST_F(LanguageTest, SwitchingLanguagesChangesTextsAtTheNextLookUp) {
  AddUsualLanguages();
  IniFile ini(program_.folder().TerminalIni());
  Language language(program_.folder());
  Language::StoreCode(ini, "RUS");
  language.Select(ini);
  EXPECT_EQ(LangText("Main", "Products", ""), QString::fromUtf8("Товары"));
  EXPECT_EQ(u2a(u'Ж'), 0xC6);
  Language::StoreCode(ini, "FRA");
  language.Select(ini);
  EXPECT_EQ(LangText("Main", "Products", ""), "Articles");
  EXPECT_EQ(u2a(u'Ж'), 0);
  EXPECT_EQ(StoredCode(), "FRA");
}

TEST_F(LanguageTest, TextsFallBackToDefaultsOnceTheOwnerIsGone) {
  AddUsualLanguages();
  {
    IniFile ini(program_.folder().TerminalIni());
    Language::StoreCode(ini, "FRA");
    Language language(program_.folder());
    language.Select(ini);
    ASSERT_EQ(LangText("Main", "Products", ""), "Articles");
  }
  EXPECT_EQ(LangText("Main", "Products", "Products"), "Products");
}

}  // namespace
}  // namespace quibrel
