#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

#include "net_lab.h"
#include "support/temp_program_folder.h"

namespace quibrel {
namespace {

// quibrel-cli discover against the scale emulator on 127.0.0.2, inside a lab namespace that has
// only loopback: no network to broadcast on, so only the listed address can be found.
TEST(CliDiscoverTest, PrintsListedScalesWithTheirFamilyAndNothingWhenNoneAnswer) {
  testing::NetLab lab;
  if (!lab.unavailable().isEmpty()) GTEST_SKIP() << lab.unavailable().toStdString();
  QProcess emulator;
  emulator.start(testing::BuiltExecutable("scale-emulator"),
                 {"--listen", "127.0.0.2", "--family", "1", "--silent"});
  ASSERT_TRUE(emulator.waitForStarted());
  QThread::msleep(300);

  struct Case {
    const char* addresses;
    QByteArray out;
  };
  const Case cases[] = {{"127.0.0.2", "127.0.0.2\tVORN\n"}, {"", ""}, {"127.0.0.3", ""}};
  for (const Case& c : cases) {
    testing::TempProgramFolder folder;
    folder.WriteFile("System/terminal.ini",
                     QByteArray("[Discovery]\nAddresses=") + c.addresses + "\n");
    QProcess cli;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QUIBREL_HOME", folder.Path(""));
    cli.setProcessEnvironment(environment);
    cli.start(testing::BuiltExecutable("quibrel-cli"), {"discover"});
    ASSERT_TRUE(cli.waitForFinished(30000)) << c.addresses;
    EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().constData();
    EXPECT_EQ(cli.readAllStandardOutput(), c.out) << c.addresses;
  }
  emulator.kill();
  emulator.waitForFinished();
}

}  // namespace
}  // namespace quibrel
