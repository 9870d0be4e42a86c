// The window as a real process: a desktop log-out (SIGTERM) or Ctrl+C (SIGINT) must run the same
// shut-down as closing the window, compaction included, and a failing compaction must not keep
// the program from ending or harm the base.
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlQuery>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>
#include <unistd.h>

#include "db/goods_base.h"
#include "i18n/ini_file.h"
#include "support/temp_program_folder.h"

namespace quibrel {
namespace {

using testing::BuiltExecutable;
using testing::TempProgramFolder;

class ShutDownProcessTest : public ::testing::Test {
 protected:
  // A base with goods 1..200 of which all but PLU 7 were deleted again, leaving free pages that
  // compaction gives back.
  void SetUp() override {
    base_path_ = folder_.Path("Data/Base.db");
    ASSERT_TRUE(QFile::copy(folder_.Path("System/Default.db"), base_path_));
    QFile(base_path_).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    GoodsBase base;
    base.Open(base_path_);
    RowSet& goods = base.Goods();
    GoodsBase::Transaction transaction(base, {&goods});
    for (int plu = 1; plu <= 2000; ++plu) {
      goods.Append();
      goods.SetFieldValue("PLU", plu);
      goods.SetFieldValue("ZirkName1", QString(36, QChar(0x0410 + plu % 32)));
      ASSERT_TRUE(goods.Post());
    }
    for (goods.First(); goods.RecordCount() > 1;) {
      if (goods.FieldByName("PLU").toInt() == 7) goods.Next();
      goods.Delete();
    }
    transaction.Commit();
    size_before_ = QFileInfo(base_path_).size();
    // No serial ports: the window does not probe the machine's own.
    QByteArray serial = "[Serial]\n";
    for (int n = 1; n <= 9; ++n) serial += QString("COM%1=%2\n").arg(n).arg(folder_.Path("no-port")).toUtf8();
    folder_.WriteFile("System/terminal.ini", serial);
  }

  QProcessEnvironment Environment() const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QUIBREL_HOME", folder_.folder().Root());
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    return environment;
  }

  // True once the window has opened its base (it writes the path back to the settings).
  bool WaitForStart() const {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 20000) {
      if (!IniFile(folder_.Path("System/terminal.ini")).ReadString("Global", "Base", "").isEmpty()) {
        QThread::msleep(500);  // let it reach its event loop
        return true;
      }
      QThread::msleep(50);
    }
    return false;
  }

  void ExpectGoodsIntact() {
    GoodsBase base;
    base.Open(base_path_);
    ASSERT_EQ(base.Goods().RecordCount(), 1);
    EXPECT_EQ(base.Goods().FieldByName("PLU").toInt(), 7);
  }

  TempProgramFolder folder_;
  QString base_path_;
  qint64 size_before_ = 0;
};

TEST_F(ShutDownProcessTest, TerminationSignalsCompactTheBaseAndEndTheProgram) {
  for (int signal_number : {SIGTERM, SIGINT}) {
    SCOPED_TRACE(signal_number == SIGTERM ? "SIGTERM" : "SIGINT");
    QProcess window;
    window.setProcessEnvironment(Environment());
    window.start(BuiltExecutable("quibrel"), {});
    ASSERT_TRUE(window.waitForStarted(10000));
    ASSERT_TRUE(WaitForStart());
    ::kill(static_cast<pid_t>(window.processId()), signal_number);
    ASSERT_TRUE(window.waitForFinished(30000));
    EXPECT_EQ(window.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(window.exitCode(), 0) << window.readAllStandardError().toStdString();
    EXPECT_LT(QFileInfo(base_path_).size(), size_before_);
    ExpectGoodsIntact();
    size_before_ = QFileInfo(base_path_).size() + 1;
  }
}

// The folder of the base turns read-only while the window runs. As root permissions do not
// stop us, so a read-only bind mount in a mount namespace of the test's own does it.
TEST_F(ShutDownProcessTest, CompactionInAReadOnlyFolderFailsWithAMessageAndTheProgramStillEnds) {
  const QString data = folder_.Path("Data");
  const QString script = QStringLiteral(
      "\"$QUIBREL_BIN\" & pid=$!\n"
      "i=0; while ! grep -q '^Base=' \"$QUIBREL_HOME/System/terminal.ini\" 2>/dev/null; do\n"
      "  i=$((i+1)); [ $i -gt 400 ] && exit 90; sleep 0.05; done\n"
      "sleep 0.5\n"
      "if [ \"$(id -u)\" = 0 ]; then\n"
      "  mount --bind \"$DATA\" \"$DATA\" && mount -o remount,bind,ro \"$DATA\" \"$DATA\" || exit 91\n"
      "else chmod a-w \"$DATA\"; fi\n"
      "kill -TERM $pid; wait $pid; status=$?\n"
      "chmod u+w \"$DATA\" 2>/dev/null; exit $status\n");
  QProcess shell;
  QProcessEnvironment environment = Environment();
  environment.insert("QUIBREL_BIN", BuiltExecutable("quibrel"));
  environment.insert("DATA", data);
  shell.setProcessEnvironment(environment);
  if (::geteuid() == 0) {
    shell.start("unshare", {"--mount", "--propagation", "private", "sh", "-c", script});
  } else {
    shell.start("sh", {"-c", script});
  }
  ASSERT_TRUE(shell.waitForStarted(10000));
  ASSERT_TRUE(shell.waitForFinished(60000));
  const QString errors = QString::fromLocal8Bit(shell.readAllStandardError());
  if (shell.exitCode() == 91) GTEST_SKIP() << "cannot make a read-only mount here: " << errors.toStdString();
  EXPECT_EQ(shell.exitCode(), 0) << errors.toStdString();
  EXPECT_TRUE(errors.contains("could not be compacted")) << errors.toStdString();
  EXPECT_EQ(QFileInfo(base_path_).size(), size_before_);
  ExpectGoodsIntact();
}

}  // namespace
}  // namespace quibrel
