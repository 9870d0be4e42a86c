#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include "app/shell.h"
#include "core/status_sink.h"
#include "i18n/ini_file.h"
#include "i18n/lang_text.h"
#include "support/temp_program_folder.h"
#include "ui/help_topics.h"
#include "ui/help_window.h"
#include "ui/main_window.h"
#include "ui/message_panel.h"
#include "workspace/workspace.h"

namespace quibrel {
namespace {

void WriteFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

// A help folder of three small pages that link to each other and to a page that is missing.
class HelpFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    help_ = dir_.filePath("help");
    WriteFile(help_ + "/Description/Goods.html",
              "<html><head><meta charset=\"utf-8\"><title>Goods</title></head><body>"
              "<a href=\"Keys.html\">keys</a> <a href=\"../Tips/Connection.html\">tips</a>"
              " <a href=\"Gone.html\">gone</a></body></html>");
    WriteFile(help_ + "/Description/Keys.html",
              "<html><head><title>Keys</title></head><body>keys page</body></html>");
    WriteFile(help_ + "/Tips/Connection.html",
              "<html><head><title>Tips</title></head><body>cable</body></html>");
    WriteFile(dir_.filePath("secret.html"), "outside");
  }

  QTemporaryDir dir_;
  QString help_;
};

TEST_F(HelpFolderTest, TopicNamesItsPage) {
  struct Case {
    QString topic;
    QString page;  // relative to the help folder; empty: no page
  };
  const Case cases[] = {
      {"Description\\Goods", "Description/Goods.html"},
      {"Description/Keys", "Description/Keys.html"},
      {"Tips\\Connection.html", "Tips/Connection.html"},
      {"description\\GOODS", "Description/Goods.html"},
      {"\\Description\\\\Goods ", "Description/Goods.html"},
      {"Description\\Totals", ""},
      {"Description", ""},
      {"..\\secret", ""},
      {"Description\\..\\..\\secret", ""},
      {"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.topic.toStdString());
    const QString expected = c.page.isEmpty() ? QString() : help_ + "/" + c.page;
    EXPECT_EQ(HelpTopicPath(help_, c.topic), expected);
  }
  EXPECT_EQ(HelpTopicPath("", "Description\\Goods"), QString());
}

TEST_F(HelpFolderTest, WindowShowsTopicsFollowsLinksAndReportsMissingPages) {
  HelpWindow window;
  window.SetHelpFolder(help_);
  window.ShowTopic("Description\\Goods");
  EXPECT_TRUE(window.isVisible());
  EXPECT_FALSE(window.ShowsNotFound());
  EXPECT_EQ(window.Browser()->source(), QUrl::fromLocalFile(help_ + "/Description/Goods.html"));
  EXPECT_TRUE(window.windowTitle().endsWith("Goods"));

  emit window.Browser()->anchorClicked(QUrl("../Tips/Connection.html"));
  EXPECT_EQ(window.Browser()->source(), QUrl::fromLocalFile(help_ + "/Tips/Connection.html"));
  EXPECT_TRUE(window.Browser()->toPlainText().contains("cable"));
  window.Browser()->backward();
  EXPECT_EQ(window.Browser()->source(), QUrl::fromLocalFile(help_ + "/Description/Goods.html"));

  emit window.Browser()->anchorClicked(QUrl("Gone.html"));
  EXPECT_TRUE(window.ShowsNotFound());
  EXPECT_TRUE(window.Browser()->toPlainText().contains("Help topic not found"));
  EXPECT_TRUE(window.Browser()->toPlainText().contains("Description\\Gone"));

  // Back on a real page after the missing one.
  window.ShowTopic("Description\\Keys");
  EXPECT_FALSE(window.ShowsNotFound());
  EXPECT_TRUE(window.Browser()->toPlainText().contains("keys page"));
}

TEST_F(HelpFolderTest, MissingTopicShowsTheNotFoundPageInTheActiveLanguage) {
  WriteFile(dir_.filePath("Lang.dat"),
            "[Help]\nNotFoundTitle=Раздел справки не найден\n"
            "NotFoundText=Для этого раздела нет страницы справки.\n");
  const IniFile lang(dir_.filePath("Lang.dat"));
  SetActiveLangFile(&lang);
  HelpWindow window;
  window.SetHelpFolder(help_);
  window.ShowTopic("Description\\Totals");
  SetActiveLangFile(nullptr);

  EXPECT_TRUE(window.isVisible());
  EXPECT_TRUE(window.ShowsNotFound());
  const QString text = window.Browser()->toPlainText();
  EXPECT_TRUE(text.contains("Раздел справки не найден"));
  EXPECT_TRUE(text.contains("Description\\Totals"));
  // A page, not an error box.
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(PageHelpTopicTest, EachPageHasItsTopic) {
  EXPECT_EQ(PageHelpTopic(MainWindow::kGoodsPage), "Description\\Goods");
  EXPECT_EQ(PageHelpTopic(MainWindow::kKeypadPage), "Description\\Keys");
  EXPECT_EQ(PageHelpTopic(MainWindow::kTotalsPage), "Description\\Totals");
  EXPECT_EQ(PageHelpTopic(MainWindow::kSettingsPage), "Description\\Settings");
  EXPECT_EQ(PageHelpTopic(4), QString());
  EXPECT_EQ(ConnectionTipsTopic(), "Tips\\Connection");
}

// Every language pack carries the five pages, each declares its encoding, and every link
// between pages lands on a page that exists.
TEST(HelpContentTest, EveryLanguageHasThePagesAndNoBrokenLinks) {
  const QString languages = testing::BuiltProgramFolder() + "/Languages";
  const QStringList topics{"Description\\Goods", "Description\\Keys", "Description\\Totals",
                           "Description\\Settings", "Tips\\Connection"};
  const QRegularExpression href("href=\"([^\"#]+)(#[^\"]*)?\"");
  for (const char* code : {"ENG", "RUS", "FRA", "LAV", "AZE"}) {
    SCOPED_TRACE(code);
    const QString help = HelpFolderOf(languages + "/" + code);
    for (const QString& topic : topics) {
      SCOPED_TRACE(topic.toStdString());
      const QString path = HelpTopicPath(help, topic);
      ASSERT_FALSE(path.isEmpty());
      QFile file(path);
      ASSERT_TRUE(file.open(QIODevice::ReadOnly));
      const QString html = QString::fromUtf8(file.readAll());
      EXPECT_TRUE(html.contains("<meta charset=\"utf-8\">"));
      EXPECT_FALSE(html.contains(QChar::ReplacementCharacter));
      auto links = href.globalMatch(html);
      int local_links = 0;
      while (links.hasNext()) {
        const QString target = links.next().captured(1);
        SCOPED_TRACE(target.toStdString());
        EXPECT_TRUE(QFileInfo(QFileInfo(path).dir().filePath(target)).isFile());
        ++local_links;
      }
      EXPECT_GT(local_links, 0);
    }
  }
}

// The window started on a program folder of its own, with the built help pages.
class ShellHelpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_.WriteFile("System/terminal.ini", "[Global]\nLanguage=ENG\n");
    workspace_ = std::make_unique<Workspace>(folder_.folder());
    window_ = std::make_unique<MainWindow>();
    shell_ = std::make_unique<Shell>(*workspace_, *window_);
    shell_->SetErrorPresenter([this](const QString& text) { errors_ << text; });
    shell_->StartUp();
    ASSERT_TRUE(errors_.isEmpty()) << errors_.join("\n").toStdString();
  }
  void TearDown() override { window_->close(); }

  QString PageFile(const QString& relative) const {
    return folder_.Path("Languages/ENG/help/" + relative);
  }

  testing::TempProgramFolder folder_;
  std::unique_ptr<Workspace> workspace_;
  std::unique_ptr<MainWindow> window_;
  std::unique_ptr<Shell> shell_;
  QStringList errors_;
};

TEST_F(ShellHelpTest, HelpButtonOpensTheTopicOfTheActivePage) {
  const std::pair<int, QString> pages[] = {{MainWindow::kGoodsPage, "Description/Goods.html"},
                                           {MainWindow::kKeypadPage, "Description/Keys.html"},
                                           {MainWindow::kTotalsPage, "Description/Totals.html"},
                                           {MainWindow::kSettingsPage, "Description/Settings.html"}};
  for (const auto& [index, page] : pages) {
    SCOPED_TRACE(page.toStdString());
    window_->PageControl()->setCurrentIndex(index);
    window_->HelpButton()->click();
    EXPECT_TRUE(shell_->Help().isVisible());
    EXPECT_FALSE(shell_->Help().ShowsNotFound());
    EXPECT_EQ(shell_->Help().Browser()->source(), QUrl::fromLocalFile(PageFile(page)));
  }
}

TEST_F(ShellHelpTest, PanelHelpOpensConnectionTipsAndCloseReturns) {
  TMessagePanel* panel = shell_->MessagePanel();
  ASSERT_NE(panel, nullptr);
  QStringList& list = workspace_->MessageList;
  list << "Scales not found..." << "" << "Possible reasons:";
  bool clicked = false;
  QTimer::singleShot(0, [&] {
    panel->HelpButton()->click();
    EXPECT_TRUE(panel->isVisible());
    EXPECT_TRUE(shell_->Help().isVisible());
    EXPECT_EQ(shell_->Help().Browser()->source(),
              QUrl::fromLocalFile(PageFile("Tips/Connection.html")));
    clicked = true;
    panel->CloseButton()->click();
  });
  shell_->Status().ShowMessageWindow(100, 50, kFailureColour, Qt::black, Qt::AlignLeft, true, list);
  EXPECT_TRUE(clicked);
  EXPECT_FALSE(panel->isVisible());
}

TEST_F(ShellHelpTest, ShutDownShowsTheClosingMessageAndHidesIt) {
  TMessagePanel* panel = shell_->MessagePanel();
  ASSERT_NE(panel, nullptr);
  window_->close();
  EXPECT_EQ(panel->Label()->text(), "Saving database...");
  EXPECT_EQ(panel->Label()->Background(), kSuccessColour);
  EXPECT_FALSE(panel->isVisible());
  EXPECT_TRUE(workspace_->MessageList.isEmpty());
}

}  // namespace
}  // namespace quibrel
