// quibrel-cli as scripts use it: exit codes, the info lines, and the same choice of base as the
// window.
#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

#include "i18n/ini_file.h"
#include "support/cli_run.h"
#include "support/temp_program_folder.h"

namespace quibrel {
namespace {

using testing::CliResult;
using testing::RunCli;
using testing::TempProgramFolder;


TEST(CliInfoTest, PrintsFolderBaseAndVersionAndStoresTheBaseLikeTheWindow) {
  TempProgramFolder folder;
  folder.WriteFile("ZirkLog.txt", "10:00:00 kept\n");
  const CliResult result = RunCli(folder.folder().Root(), {"info"});
  ASSERT_EQ(result.exit_code, 0) << result.err.toStdString();
  const QStringList lines = result.out.split('\n', Qt::SkipEmptyParts);
  ASSERT_GE(lines.size(), 3);
  const QString base = QDir::toNativeSeparators(folder.Path("Data/Base.db"));
  EXPECT_EQ(lines[0], "folder: " + QDir::toNativeSeparators(folder.folder().Root()));
  EXPECT_EQ(lines[1], "database: " + base);
  EXPECT_TRUE(lines[2].startsWith("version: ")) << lines[2].toStdString();
  EXPECT_GT(lines[2].size(), QString("version: ").size());
  EXPECT_EQ(IniFile(folder.Path("System/terminal.ini")).ReadString("Global", "Base", ""), base);
  EXPECT_TRUE(QFileInfo::exists(base));
  // The log belongs to the window.
  EXPECT_EQ(folder.ReadFile("ZirkLog.txt"), "10:00:00 kept\n");
}

TEST(CliInfoTest, ExitCodesTellSuccessFailureAndUsage) {
  TempProgramFolder folder;
  struct Case {
    const char* name;
    QStringList arguments;
    QByteArray terminal_ini;
    int exit_code;
    const char* stderr_words;
  };
  const Case cases[] = {
      {"help", {"--help"}, "", 0, ""},
      {"no verb", {}, "", 2, ""},
      {"unknown verb", {"fly"}, "", 2, "unknown verb"},
      {"extra argument", {"info", "now"}, "", 2, "unexpected argument"},
      {"base is a folder", {"info"}, "[Global]\nBase=" + folder.Path("Data").toUtf8() + "\n", 1,
       "folder"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    folder.WriteFile("System/terminal.ini", c.terminal_ini);
    const CliResult result = RunCli(folder.folder().Root(), c.arguments);
    EXPECT_EQ(result.exit_code, c.exit_code) << result.err.toStdString();
    EXPECT_TRUE(result.err.contains(c.stderr_words)) << result.err.toStdString();
    if (c.exit_code == 1) {
      EXPECT_TRUE(result.out.isEmpty());
    }
  }
}

}  // namespace
}  // namespace quibrel
