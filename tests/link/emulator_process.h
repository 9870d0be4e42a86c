#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace quibrel::testing {

// The built scale-emulator started for one test on 127.0.0.1 with a free port (and a pty with
// serial), its files in a folder of its own; ended when this goes.
//   EmulatorProcess scale({"--refuse-goods"});
//   ASSERT_TRUE(scale.ok()) << scale.failure();
//   tcp.Connect("127.0.0.1", scale.port());
class EmulatorProcess {
 public:
  explicit EmulatorProcess(const QStringList& options = {}, bool serial = false);
  ~EmulatorProcess();

  bool ok() const { return port_ != 0; }
  QString failure() const { return failure_; }
  quint16 port() const { return port_; }
  QString serial_path() const { return serial_path_; }
  // The emulator's folder and its files.
  QString dir() const { return dir_.path(); }
  QString FilePath(const QString& name) const { return dir_.filePath(name); }
  QByteArray ReadFile(const QString& name) const;
  void WriteFile(const QString& name, const QByteArray& bytes) const;

 private:
  QTemporaryDir dir_;
  QProcess process_;
  quint16 port_ = 0;
  QString serial_path_;
  QString failure_;
};

}  // namespace quibrel::testing
