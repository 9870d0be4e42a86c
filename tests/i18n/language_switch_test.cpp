// The language as the operator meets it: the window's first start, a pick in the language list
// and the texts, pick lists and character set that follow.
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QTabWidget>
#include <gtest/gtest.h>

#include "app/shell.h"
#include "i18n/ini_file.h"
#include "i18n/scale_charset.h"
#include "support/temp_program_folder.h"
#include "ui/goods_page.h"
#include "ui/keypad_page.h"
#include "ui/language_group.h"
#include "ui/main_window.h"
#include "ui/settings_page.h"
#include "workspace/workspace.h"

namespace quibrel {
namespace {

using testing::TempProgramFolder;

class LanguageSwitchTest : public ::testing::Test {
 protected:
  void Start(const char* lang_variable) {
    for (const char* name : {"LC_ALL", "LC_MESSAGES"}) qunsetenv(name);
    qputenv("LANG", lang_variable);
    workspace_ = std::make_unique<Workspace>(folder_.folder());
    window_ = std::make_unique<MainWindow>();
    shell_ = std::make_unique<Shell>(*workspace_, *window_);
    shell_->SetErrorPresenter([this](const QString& text) { errors_ << text; });
    shell_->StartUp();
    ASSERT_TRUE(errors_.isEmpty()) << errors_.join("; ").toStdString();
  }
  void TearDown() override {
    if (shell_) window_->close();
    if (had_lang_) {
      qputenv("LANG", saved_lang_);
    } else {
      qunsetenv("LANG");
    }
  }

  QComboBox* LangCombo() const { return window_->SettingsSheet()->MiscGroup()->LangCombo(); }
  // What the operator does: open the list and pick an entry.
  void Pick(const QString& code) {
    const int index = LangCombo()->findText(code);
    ASSERT_GE(index, 0) << code.toStdString();
    LangCombo()->setCurrentIndex(index);
    emit LangCombo()->activated(index);
    ASSERT_TRUE(errors_.isEmpty()) << errors_.join("; ").toStdString();
  }
  QString StoredLanguage() const {
    return IniFile(folder_.Path("System/terminal.ini")).ReadString("Global", "Language", "<none>");
  }
  QString PageTab(int index) const { return window_->PageControl()->tabText(index); }
  // For a person to look at: QUIBREL_SCREENSHOT_DIR receives the settings page as a picture.
  void GrabSettingsPage(const QString& name) const {
    const QString dir = qEnvironmentVariable("QUIBREL_SCREENSHOT_DIR");
    if (dir.isEmpty()) return;
    window_->resize(894, 562);
    window_->PageControl()->setCurrentIndex(MainWindow::kSettingsPage);
    window_->SettingsSheet()->grab().save(dir + '/' + name + ".png");
  }

  TempProgramFolder folder_;
  std::unique_ptr<Workspace> workspace_;
  std::unique_ptr<MainWindow> window_;
  std::unique_ptr<Shell> shell_;
  QStringList errors_;
  QByteArray saved_lang_ = qgetenv("LANG");
  bool had_lang_ = qEnvironmentVariableIsSet("LANG");
};

TEST_F(LanguageSwitchTest, FirstStartUnderARussianLocalePicksRussianAndStoresIt) {
  Start("ru_RU.UTF-8");
  EXPECT_EQ(StoredLanguage(), "RUS");
  EXPECT_EQ(LangCombo()->currentText(), "RUS");
  EXPECT_EQ(PageTab(MainWindow::kGoodsPage), QString::fromUtf8("Товары"));
  EXPECT_EQ(u2a(u'Ж'), 0xC6);
}

TEST_F(LanguageSwitchTest, FirstStartElsewherePicksEnglishAndListsEveryPack) {
  Start("de_DE.UTF-8");
  EXPECT_EQ(StoredLanguage(), "ENG");
  EXPECT_EQ(LangCombo()->currentText(), "ENG");
  QStringList listed;
  for (int i = 0; i < LangCombo()->count(); ++i) {
    listed << LangCombo()->itemText(i);
    EXPECT_FALSE(LangCombo()->itemIcon(i).isNull()) << listed.last().toStdString();
  }
  EXPECT_EQ(listed, QStringList({"AZE", "ENG", "FRA", "LAV", "RUS"}));
  EXPECT_EQ(PageTab(MainWindow::kSettingsPage), "Settings");
  EXPECT_TRUE(window_->windowTitle().startsWith("Quibrel (v"));
  EXPECT_TRUE(window_->windowTitle().endsWith(" - [" + workspace_->Database() + "]"));
}

TEST_F(LanguageSwitchTest, SwitchingRussianToEnglishRecaptionsAndStoresEnglish) {
  Start("ru_RU.UTF-8");
  ASSERT_EQ(PageTab(MainWindow::kKeypadPage), QString::fromUtf8("Клавиатура"));
  ASSERT_EQ(window_->findChild<QLabel*>("LangLabel")->text(), QString::fromUtf8("Язык"));
  GrabSettingsPage("settings-RUS");
  Pick("ENG");
  GrabSettingsPage("settings-ENG");
  EXPECT_TRUE(shell_->LastOpenCompleted());
  EXPECT_EQ(StoredLanguage(), "ENG");
  EXPECT_EQ(LangCombo()->currentText(), "ENG");
  const char* expected_tabs[] = {"Products", "Keys", "Totals", "Settings"};
  for (int page = 0; page < 4; ++page) EXPECT_EQ(PageTab(page), expected_tabs[page]);
  EXPECT_EQ(window_->findChild<QLabel*>("LangLabel")->text(), "Language");
  EXPECT_EQ(window_->findChild<QGroupBox*>("MiscGroup")->title(), "Miscellaneous settings");
  // English's identifier 1033 has no code page of its own: the Cyrillic set stays.
  EXPECT_EQ(workspace_->language().LanguageID(), 1033);
  EXPECT_EQ(u2a(u'Ж'), 0xC6);
}

TEST_F(LanguageSwitchTest, EachPickSwitchesTheCharacterSetAndTheTypeListsKeepTwoWords) {
  Start("en_GB.UTF-8");
  const struct {
    const char* code;
    const char* weight;
    const char* count;
    char16_t letter;
    unsigned char byte;
  } picks[] = {
      {"FRA", "au poids", "à la pièce", u'é', 0xE9},
      {"AZE", "çəki", "ədəd", u'ə', 0xE6},
      {"LAV", "sverama", "gabala", u'ā', 0xE2},
      {"RUS", "весовой", "штучный", u'Ж', 0xC6},
  };
  // The pages' own grids, or a stand-in where a page has none yet.
  const auto grid = [this](const char* name, QWidget* page) {
    QWidget* found = window_->findChild<QWidget*>(name);
    if (found == nullptr) {
      found = new QWidget(page);
      found->setObjectName(name);
    }
    return found;
  };
  QWidget* goods_grid = grid("ProductsGrid", window_->BaseSheet());
  QWidget* key_grid = grid("KeyProductsGrid", window_->KeysSheet());
  for (const auto& pick : picks) {
    SCOPED_TRACE(pick.code);
    Pick(pick.code);
    EXPECT_EQ(StoredLanguage(), pick.code);
    const QStringList expected{QString::fromUtf8(pick.weight), QString::fromUtf8(pick.count)};
    EXPECT_EQ(goods_grid->property("typePickList").toStringList(), expected);
    EXPECT_EQ(key_grid->property("typePickList").toStringList(), expected);
    EXPECT_EQ(u2a(pick.letter), pick.byte);
  }
}

TEST_F(LanguageSwitchTest, BrokenLanguageFoldersNeverStopTheWindow) {
  folder_.WriteFile("Languages/ENG/Flag.bmp", "this is not a picture");
  folder_.WriteFile("Languages/FRA/Lang.dat", QByteArray(5000, '\xff') + "\n[Main\nProducts=\"x");
  QDir(folder_.Path("Languages/LAV")).removeRecursively();
  folder_.WriteFile("Languages/LAV", "a file where a folder should be");
  folder_.WriteFile("System/terminal.ini", "[Global]\nLanguage=XYZ\n");
  Start("ru_RU.UTF-8");
  // The stored code has no folder: English, and that is stored.
  EXPECT_EQ(StoredLanguage(), "ENG");
  EXPECT_EQ(LangCombo()->findText("LAV"), -1);
  const int eng = LangCombo()->findText("ENG");
  ASSERT_GE(eng, 0);
  EXPECT_TRUE(LangCombo()->itemIcon(eng).isNull());
  Pick("FRA");
  EXPECT_TRUE(shell_->LastOpenCompleted());
  // The text after the garbage still counts; its unterminated quote stays.
  EXPECT_EQ(PageTab(MainWindow::kGoodsPage), "\"x");
  EXPECT_EQ(u2a(u'Ж'), 0xC6);
}

TEST_F(LanguageSwitchTest, NoLanguageFolderLeavesEnglishDefaultsAndStoresNothing) {
  QDir(folder_.Path("Languages")).removeRecursively();
  Start("ru_RU.UTF-8");
  EXPECT_TRUE(shell_->LastOpenCompleted());
  EXPECT_EQ(StoredLanguage(), "<none>");
  EXPECT_EQ(LangCombo()->count(), 0);
  EXPECT_EQ(PageTab(MainWindow::kGoodsPage), "Products");
  EXPECT_EQ(u2a(u'Ж'), 0xC6);
}

}  // namespace
}  // namespace quibrel
