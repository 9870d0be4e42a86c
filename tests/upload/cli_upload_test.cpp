#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <memory>

#include "link/emulator_process.h"
#include "scalefiles/scale_files.h"
#include "upload/upload_fixture.h"

namespace quibrel {
namespace {

using testing::EmulatorProcess;

struct CliCase {
  const char* name;
  // Where the emulator listens (port 5001, as every scale); empty: no emulator.
  QString listen;
  QStringList emulator_options;
  bool serial;
  QStringList arguments;
  int exit_code;
  QString stderr_has;
};

class CliUploadTest : public testing::UploadTest, public ::testing::WithParamInterface<CliCase> {};

TEST_P(CliUploadTest, ExitsWithWhatTheScalesSaid) {
  const CliCase& c = GetParam();
  std::unique_ptr<EmulatorProcess> scale;
  if (!c.listen.isEmpty() || c.serial) {
    QStringList options = c.emulator_options;
    if (!c.listen.isEmpty())
      options << "--listen" << c.listen << "--port"
              << "5001";
    scale = std::make_unique<EmulatorProcess>(options, c.serial);
    ASSERT_TRUE(scale->ok()) << scale->failure().toStdString();
  }
  AddGoods(1, "Apples", "2.40");
  QByteArray ini = "[Global]\r\nLanguage=ENG\r\n";
  // No real serial port is surveyed or probed; COM3 is the emulator's line when there is one.
  ini += "[Serial]\r\n";
  for (int port = 1; port <= 9; ++port) {
    const QString device =
        c.serial && port == 3 ? scale->serial_path() : folder().Path("no-such-port");
    ini += QString("COM%1=%2\r\n").arg(port).arg(device).toLocal8Bit();
  }
  if (!c.listen.isEmpty()) ini += "[Discovery]\r\nAddresses=" + c.listen.toLocal8Bit() + "\r\n";
  workspace_.reset();  // the CLI opens the base itself
  folder().WriteFile("System/terminal.ini", ini);

  QProcess cli;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("QUIBREL_HOME", folder().folder().Root());
  cli.setProcessEnvironment(environment);
  cli.start(testing::BuiltExecutable("quibrel-cli"), QStringList{"upload"} + c.arguments);
  ASSERT_TRUE(cli.waitForFinished(60000));
  const QString err = QString::fromLocal8Bit(cli.readAllStandardError());
  EXPECT_EQ(cli.exitCode(), c.exit_code) << err.toStdString();
  EXPECT_TRUE(err.contains(c.stderr_has)) << err.toStdString();
  if (c.exit_code == 0) {
    EXPECT_EQ(scale->ReadFile("products.dat"), ReadExport(kGoodsFileName));
    EXPECT_FALSE(scale->ReadFile("products.dat").isEmpty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Verbs, CliUploadTest,
    ::testing::Values(
        CliCase{"Address",
                "127.0.41.1",
                {},
                false,
                {"--scale", "127.0.41.1"},
                0,
                "Uploading completed ( <127.0.41.1>)"},
        CliCase{"Refused",
                "127.0.41.2",
                {"--refuse-goods"},
                false,
                {"--scale", "127.0.41.2"},
                1,
                "Uploading data ( <127.0.41.2>)"},
        CliCase{"Unreachable",
                "",
                {},
                false,
                {"--scale", "127.0.41.3"},
                1,
                "Connection failed to scales (127.0.41.3)"},
        CliCase{"OneReachedOneNot",
                "127.0.41.4",
                {},
                false,
                {"--scale", "127.0.41.5", "--scale", "127.0.41.4"},
                1,
                "Uploading completed ( <127.0.41.4>)"},
        CliCase{
            "All", "127.0.41.6", {}, false, {"--all"}, 0, "Uploading completed ( <127.0.41.6>)"},
        CliCase{"Serial", "", {}, true, {"--scale", "COM3"}, 0, "Uploading completed ( <COM3>)"},
        CliCase{"NoScaleGiven", "", {}, false, {}, 2, "--scale"},
        CliCase{"BothGiven", "", {}, false, {"--all", "--scale", "COM1"}, 2, "--all"},
        CliCase{"NotAScale", "", {}, false, {"--scale", "300.1.2.3"}, 2, "not a scale"},
        CliCase{"NotAPort", "", {}, false, {"--scale", "COM0"}, 2, "not a scale"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quibrel
