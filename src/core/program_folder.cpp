#include "core/program_folder.h"

#include <QCoreApplication>
#include <QDir>

namespace quibrel {

ProgramFolder::ProgramFolder(const QString& root) {
  root_ = QDir::cleanPath(QDir(root).absolutePath());
  if (!root_.endsWith('/')) root_ += '/';
}

ProgramFolder ProgramFolder::Locate() {
  const QString home = qEnvironmentVariable("QUIBREL_HOME");
  if (!home.isEmpty()) return ProgramFolder(home);
  return ProgramFolder(QCoreApplication::applicationDirPath());
}

QString ProgramFolder::ExportFile(const QString& name) const {
  QDir().mkpath(ExportDir());
  return ExportDir() + '/' + name;
}

}  // namespace quibrel
