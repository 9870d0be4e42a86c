#include "link/emulator_process.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QRegularExpression>

#include "support/temp_program_folder.h"

namespace quibrel::testing {

EmulatorProcess::EmulatorProcess(const QStringList& options, bool serial) {
  QStringList args{"--dir", dir_.path(), "--listen", "127.0.0.1", "--port", "0"};
  if (serial) args << "--serial";
  args << options;
  process_.setProgram(BuiltExecutable("scale-emulator"));
  process_.setArguments(args);
  process_.setProcessChannelMode(QProcess::SeparateChannels);
  process_.start();
  if (!process_.waitForStarted(5000)) {
    failure_ = "scale-emulator did not start: " + process_.errorString();
    return;
  }
  static const QRegularExpression ready(R"(^Ready on \S+ port (\d+))");
  static const QRegularExpression pty(R"(^Serial line: (\S+))");
  QDeadlineTimer deadline(10000);
  while (!deadline.hasExpired()) {
    if (!process_.canReadLine() && !process_.waitForReadyRead(100)) {
      if (process_.state() != QProcess::Running) break;
      continue;
    }
    while (process_.canReadLine()) {
      const QString line = QString::fromLocal8Bit(process_.readLine()).trimmed();
      if (const auto m = pty.match(line); m.hasMatch()) serial_path_ = m.captured(1);
      if (const auto m = ready.match(line); m.hasMatch()) {
        port_ = static_cast<quint16>(m.captured(1).toUInt());
        return;
      }
    }
  }
  failure_ = "scale-emulator did not get ready: " +
             QString::fromLocal8Bit(process_.readAllStandardError());
}

EmulatorProcess::~EmulatorProcess() {
  if (process_.state() != QProcess::NotRunning) {
    process_.kill();
    process_.waitForFinished(5000);
  }
}

QByteArray EmulatorProcess::ReadFile(const QString& name) const {
  QFile file(FilePath(name));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void EmulatorProcess::WriteFile(const QString& name, const QByteArray& bytes) const {
  QFile file(FilePath(name));
  if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write(bytes);
}

}  // namespace quibrel::testing
