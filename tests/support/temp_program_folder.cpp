#include "support/temp_program_folder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace quibrel::testing {

namespace {

void CopyTree(const QString& from, const QString& to) {
  QDirIterator it(from, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString source = it.next();
    const QString target = to + source.mid(from.size());
    QDir().mkpath(QFileInfo(target).absolutePath());
    QFile::copy(source, target);
  }
}

}  // namespace

QString BuiltProgramFolder() { return QStringLiteral(QUIBREL_BUILT_PROGRAM_DIR); }

QString BuiltExecutable(const QString& name) { return BuiltProgramFolder() + '/' + name; }

TempProgramFolder::TempProgramFolder(bool with_languages) {
  const QString root = dir_.path();
  for (const char* sub : {"System", "Data", "Export", "Languages"}) QDir(root).mkpath(sub);
  QFile::copy(BuiltProgramFolder() + "/System/Default.db", root + "/System/Default.db");
  if (with_languages) CopyTree(BuiltProgramFolder() + "/Languages", root + "/Languages");
}

void TempProgramFolder::WriteFile(const QString& relative, const QByteArray& bytes) const {
  const QString path = Path(relative);
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write(bytes);
}

QByteArray TempProgramFolder::ReadFile(const QString& relative) const {
  QFile file(Path(relative));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace quibrel::testing
