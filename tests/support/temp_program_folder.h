#pragma once

#include <QString>
#include <QTemporaryDir>

#include "core/program_folder.h"

namespace quibrel::testing {

// A program folder of its own for one test: System/ with the built template base, Data/,
// Export/ and the built language packs; removed afterwards.
class TempProgramFolder {
 public:
  // with_languages: copy Languages/ from the built program folder.
  explicit TempProgramFolder(bool with_languages = true);

  ProgramFolder folder() const { return ProgramFolder(dir_.path()); }
  QString Path(const QString& relative) const { return folder().Path(relative); }
  // Writes a file (folders made as needed).
  void WriteFile(const QString& relative, const QByteArray& bytes) const;
  QByteArray ReadFile(const QString& relative) const;

 private:
  QTemporaryDir dir_;
};

// The built program folder (executables, template, language packs).
QString BuiltProgramFolder();
QString BuiltExecutable(const QString& name);

}  // namespace quibrel::testing
