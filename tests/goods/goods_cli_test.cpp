// quibrel-cli goods verbs: the same checks and messages as the window, a refused item stores
// nothing and exits 1.
#include <gtest/gtest.h>

#include "support/cli_run.h"
#include "support/temp_program_folder.h"

namespace quibrel {
namespace {

using testing::CliResult;
using testing::TempProgramFolder;

// Russian locale: the goods verbs store prices in the money format of the user's locale.
CliResult RunCli(const TempProgramFolder& folder, const QStringList& arguments) {
  return testing::RunCli(folder.folder().Root(), arguments, {{"LC_ALL", "ru_RU.UTF-8"}});
}

TEST(GoodsCliTest, AddsListsAndDeletesThroughTheWindowsChecks) {
  TempProgramFolder folder;
  // The English pack, whatever language the Russian locale would choose.
  folder.WriteFile("System/terminal.ini", "[Global]\nLanguage=ENG\n");
  struct Step {
    QStringList arguments;
    int exit_code;
    const char* err;  // the start of stderr; nullptr: no check
  };
  const Step steps[] = {
      {{"goods", "add", "--name1", "Apples", "--price", "12.5"}, 0, nullptr},
      {{"goods", "add", "--plu", "41", "--name1", "Kiwi", "--name2", "green", "--type", "piece",
        "--price", "3", "--shelf-life", "12"},
       0, nullptr},
      {{"goods", "add", "--name1", "Plums"}, 0, nullptr},  // after the largest PLU
      {{"goods", "add", "--price", "1.2.3"}, 1, "Incorrect price: 1.2.3"},
      {{"goods", "add", "--plu", "41"}, 1, "PLU exists: 41"},
      {{"goods", "add", "--plu", "0"}, 1, "Incorrect PLU: 0"},
      {{"goods", "add", "--plu", "abc"}, 1, "PLU must be a whole number from 0 to 99999999"},
      {{"goods", "add", "--name1", "Figs", "--shelf-life", "1000"}, 1,
       "Incorrect shelf life: Figs"},
      {{"goods", "add", "--name1", QString(37, 'x')}, 1,
       "Name (line 1) can hold at most 36 characters"},
      {{"goods", "delete", "--plu", "1"}, 0, nullptr},
      {{"goods", "delete", "--plu", "1"}, 1, "No goods item has PLU 1"},
      {{"goods", "frobnicate"}, 2, nullptr},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.arguments.join(' ').toStdString());
    const CliResult result = RunCli(folder, step.arguments);
    EXPECT_EQ(result.exit_code, step.exit_code) << result.err.toStdString();
    if (step.err != nullptr) {
      EXPECT_TRUE(result.err.startsWith(step.err)) << result.err.toStdString();
    }
  }
  const CliResult list = RunCli(folder, {"goods", "list"});
  ASSERT_EQ(list.exit_code, 0) << list.err.toStdString();
  EXPECT_EQ(list.out, "41\tKiwi\tgreen\tpiece\t3,00 \t12\n"
                      "42\tPlums\t\tweight\t0,00 \t0\n");
}

}  // namespace
}  // namespace quibrel
