#include "scalefiles/scale_file_io.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "core/program_folder.h"
#include "core/quibrel_error.h"
#include "i18n/lang_text.h"
#include "scalefiles/scale_files.h"

namespace quibrel {

namespace {

QFileInfoList Spellings(const ProgramFolder& folder, const QString& name) {
  QDir().mkpath(folder.ExportDir());
  QFileInfoList found;
  const QFileInfoList entries = QDir(folder.ExportDir()).entryInfoList(QDir::Files);
  for (const QFileInfo& entry : entries) {
    if (entry.fileName().compare(name, Qt::CaseInsensitive) == 0) found << entry;
  }
  return found;
}

}  // namespace

QString ScaleFileForReading(const ProgramFolder& folder, const QString& name) {
  const QFileInfoList found = Spellings(folder, name);
  if (found.isEmpty()) return folder.ExportFile(name);
  const QFileInfo* newest = &found.first();
  for (const QFileInfo& entry : found) {
    if (entry.lastModified() > newest->lastModified()) newest = &entry;
  }
  return newest->absoluteFilePath();
}

QString ScaleFileForWriting(const ProgramFolder& folder, const QString& name) {
  for (const QFileInfo& entry : Spellings(folder, name)) {
    if (entry.fileName() != name) QFile::remove(entry.absoluteFilePath());
  }
  return folder.ExportFile(name);
}

QByteArray ReadScaleFile(const ProgramFolder& folder, const QString& name) {
  const QString path = ScaleFileForReading(folder, name);
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    throw QuibrelError(LangText("Text", "FileNotRead", "The file %1 could not be read: %2")
                           .arg(QDir::toNativeSeparators(path), file.errorString()));
  }
  return file.readAll();
}

void WriteScaleFile(const ProgramFolder& folder, const QString& name, const QByteArray& bytes) {
  const QString path = ScaleFileForWriting(folder, name);
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
    throw QuibrelError(LangText("Text", "FileNotWritten", "The file %1 could not be written: %2")
                           .arg(QDir::toNativeSeparators(path), file.errorString()));
  }
}

}  // namespace quibrel
