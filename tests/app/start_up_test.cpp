#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTabWidget>
#include <gtest/gtest.h>

#include "app/shell.h"
#include "db/goods_base.h"
#include "i18n/ini_file.h"
#include "support/temp_program_folder.h"
#include "ui/elided_label.h"
#include "ui/main_window.h"
#include "ui/settings_page.h"
#include "workspace/workspace.h"

namespace quibrel {
namespace {

using testing::TempProgramFolder;

// A window started on a program folder of its own; errors are recorded, not shown.
class StartUpTest : public ::testing::Test {
 protected:
  void Start() {
    if (!QFileInfo::exists(folder_->Path("System/terminal.ini"))) WriteSettings("");
    workspace_ = std::make_unique<Workspace>(folder_->folder());
    window_ = std::make_unique<MainWindow>();
    shell_ = std::make_unique<Shell>(*workspace_, *window_);
    shell_->SetErrorPresenter([this](const QString& text) { errors_ << text; });
    shell_->StartUp();
  }

  void TearDown() override {
    if (shell_) window_->close();
  }

  // A settings section that maps every serial port to a device that does not exist, so the
  // window does not probe the machine's own ports.
  QByteArray NoSerialPorts() const {
    QByteArray section = "[Serial]\n";
    for (int n = 1; n <= 9; ++n) {
      section += QString("COM%1=%2\n").arg(n).arg(folder_->Path("no-port")).toUtf8();
    }
    return section;
  }

  void WriteSettings(const QByteArray& text) const {
    folder_->WriteFile("System/terminal.ini", text + NoSerialPorts());
  }

  QString StoredBase() const {
    return IniFile(folder_->Path("System/terminal.ini")).ReadString("Global", "Base", "");
  }

  // Adds one goods item to a base file, as an earlier run would have.
  static void AddGoods(const QString& path, int plu) {
    GoodsBase base;
    base.Open(path);
    base.Goods().Append();
    base.Goods().SetFieldValue("PLU", plu);
    ASSERT_TRUE(base.Goods().Post());
  }

  std::unique_ptr<TempProgramFolder> folder_ = std::make_unique<TempProgramFolder>();
  std::unique_ptr<Workspace> workspace_;
  std::unique_ptr<MainWindow> window_;
  std::unique_ptr<Shell> shell_;
  QStringList errors_;
};

TEST_F(StartUpTest, FirstStartMakesTheDefaultBaseFromTheTemplate) {
  struct Case {
    const char* name;
    bool write_ini;
    QByteArray ini;
  };
  const Case cases[] = {
      {"no settings file", false, ""},
      {"settings file with the serial ports only", true, ""},
      {"binary settings file", true, QByteArray("\x00\xff\xfe\x01[Gl\x00obal]\nBase\x00=\n", 19)},
      {"settings file with other sections", true, "[Link]\nReplyTimeout=900\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    folder_ = std::make_unique<TempProgramFolder>();
    if (c.write_ini) WriteSettings(c.ini);
    // Without a settings file the window surveys the machine's real serial ports.
    if (!c.write_ini) {
      workspace_ = std::make_unique<Workspace>(folder_->folder());
      window_ = std::make_unique<MainWindow>();
      shell_ = std::make_unique<Shell>(*workspace_, *window_);
      shell_->SetErrorPresenter([this](const QString& text) { errors_ << text; });
      shell_->StartUp();
    } else {
      Start();
    }
    EXPECT_TRUE(errors_.isEmpty()) << errors_.join("; ").toStdString();
    EXPECT_TRUE(shell_->LastOpenCompleted());
    const QString base = QDir::toNativeSeparators(folder_->Path("Data/Base.db"));
    EXPECT_TRUE(QFileInfo::exists(base));
    EXPECT_EQ(workspace_->Database(), base);
    EXPECT_EQ(StoredBase(), base);
    EXPECT_TRUE(workspace_->base().IsOpen());
    EXPECT_EQ(window_->PageControl()->currentIndex(), MainWindow::kGoodsPage);
    // Other sections of the settings file are kept.
    if (c.ini.startsWith("[Link]")) {
      EXPECT_EQ(IniFile(folder_->Path("System/terminal.ini")).ReadString("Link", "ReplyTimeout", ""),
                "900");
    }
    window_->close();
    shell_.reset();
  }
}

TEST_F(StartUpTest, ExistingDefaultBaseIsOpenedNotOverwritten) {
  ASSERT_TRUE(QFile::copy(folder_->Path("System/Default.db"), folder_->Path("Data/Base.db")));
  QFile(folder_->Path("Data/Base.db")).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
  AddGoods(folder_->Path("Data/Base.db"), 42);
  Start();
  ASSERT_TRUE(errors_.isEmpty()) << errors_.join("; ").toStdString();
  EXPECT_EQ(workspace_->base().Goods().RecordCount(), 1);
}

TEST_F(StartUpTest, DeletedBaseFallsBackToTheDefaultAndIsRewritten) {
  WriteSettings("[Global]\r\nBase=" + folder_->Path("Data/Gone.db").toUtf8() + "\r\n");
  Start();
  ASSERT_TRUE(errors_.isEmpty()) << errors_.join("; ").toStdString();
  EXPECT_EQ(StoredBase(), QDir::toNativeSeparators(folder_->Path("Data/Base.db")));
}

TEST_F(StartUpTest, CaptionAndDatabaseLabelFollowTheBase) {
  Start();
  ASSERT_TRUE(errors_.isEmpty());
  const QString other = folder_->Path("Data/Other.db");
  ASSERT_TRUE(QFile::copy(folder_->Path("System/Default.db"), other));
  QFile(other).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
  workspace_->IniFileRef().WriteString("Global", "Base", other);
  shell_->OpenDataBase();
  ASSERT_TRUE(errors_.isEmpty()) << errors_.join("; ").toStdString();
  EXPECT_TRUE(window_->windowTitle().startsWith("Quibrel (v")) << window_->windowTitle().toStdString();
  EXPECT_TRUE(window_->windowTitle().endsWith(") - [" + QDir::toNativeSeparators(other) + "]"))
      << window_->windowTitle().toStdString();
  EXPECT_EQ(window_->SettingsSheet()->DatabaseLabel()->FullText(), QDir::toNativeSeparators(other));
}

TEST_F(StartUpTest, OpeningTwiceLeavesTheSameState) {
  Start();
  AddGoods(workspace_->base().path(), 1);  // through a second connection, as a download would
  const QString caption = window_->windowTitle();
  shell_->OpenDataBase();
  shell_->OpenDataBase();
  EXPECT_TRUE(errors_.isEmpty());
  EXPECT_EQ(window_->windowTitle(), caption);
  EXPECT_EQ(workspace_->base().Goods().RecordCount(), 1);
  EXPECT_TRUE(workspace_->flRefresh);
}

TEST_F(StartUpTest, BadBasesEndTheSequenceWithAMessageNamingTheFile) {
  struct Case {
    const char* name;
    const char* base;           // relative to the program folder
    QByteArray content;         // written when not empty
    bool remove_template;
    const char* expected_words;
  };
  const Case cases[] = {
      {"folder", "Data", "", false, "folder"},
      {"not a database", "Data/Notes.db", "shopping list\n", false, "not a database"},
      {"template missing", "", "", true, "Default.db"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    folder_ = std::make_unique<TempProgramFolder>();
    errors_.clear();
    if (!c.content.isEmpty()) folder_->WriteFile(c.base, c.content);
    if (c.remove_template) QFile::remove(folder_->Path("System/Default.db"));
    if (*c.base != '\0') {
      WriteSettings("[Global]\nBase=" + folder_->Path(c.base).toUtf8() + "\n");
    }
    Start();
    EXPECT_FALSE(shell_->LastOpenCompleted());
    ASSERT_EQ(errors_.size(), 1);
    EXPECT_TRUE(errors_[0].contains(c.expected_words)) << errors_[0].toStdString();
    EXPECT_FALSE(workspace_->flRefresh);
    if (!c.content.isEmpty()) {
      EXPECT_EQ(folder_->ReadFile(c.base), c.content);
    }
    window_->close();
    shell_.reset();
  }
}

// With no serial port the survey finds nothing, so the log stays empty.
TEST_F(StartUpTest, LogIsEmptiedAtEveryStart) {
  folder_->WriteFile("ZirkLog.txt", "12:00:00 old line\n");
  Start();
  EXPECT_TRUE(QFileInfo::exists(folder_->Path("ZirkLog.txt")));
  EXPECT_EQ(QFileInfo(folder_->Path("ZirkLog.txt")).size(), 0);
  EXPECT_TRUE(workspace_->COMList.isEmpty());
  workspace_->log().WriteToLog("Found physical COM 3");
  const QString line = QString::fromUtf8(folder_->ReadFile("ZirkLog.txt"));
  EXPECT_TRUE(QRegularExpression("^\\d\\d:\\d\\d:\\d\\d Found physical COM 3\n$").match(line).hasMatch())
      << line.toStdString();
}

TEST_F(StartUpTest, ClosingCompactsTheBaseAndKeepsItsGoods) {
  Start();
  ASSERT_TRUE(errors_.isEmpty());
  RowSet& goods = workspace_->base().Goods();
  {
    GoodsBase::Transaction transaction(workspace_->base(), {&goods});
    for (int plu = 1; plu <= 3000; ++plu) {
      goods.Append();
      goods.SetFieldValue("PLU", plu);
      goods.SetFieldValue("ZirkName1", QString(30, 'x'));
      ASSERT_TRUE(goods.Post());
    }
    transaction.Commit();
  }
  {
    GoodsBase::Transaction transaction(workspace_->base(), {&goods});
    for (goods.First(); goods.RecordCount() > 1;) goods.Delete();
    transaction.Commit();
  }
  const QString path = workspace_->base().path();
  const qint64 before = QFileInfo(path).size();
  window_->close();
  EXPECT_TRUE(errors_.isEmpty()) << errors_.join("; ").toStdString();
  EXPECT_LT(QFileInfo(path).size(), before);
  GoodsBase reopened;
  reopened.Open(path);
  EXPECT_EQ(reopened.Goods().RecordCount(), 1);
  shell_.reset();
}

}  // namespace
}  // namespace quibrel
