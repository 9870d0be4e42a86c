#include "db/database_file_choice.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "i18n/lang_text.h"

namespace quibrel {

DatabaseFileChoice ChooseDatabaseFile(const QString& base_setting, const ProgramFolder& folder) {
  DatabaseFileChoice choice;
  choice.path = folder.DefaultBase();
  // Any directory entry of that name counts, whatever it is: opening then explains a folder.
  if (!base_setting.isEmpty() && QFileInfo::exists(base_setting)) {
    choice.path = QFileInfo(base_setting).absoluteFilePath();
    return choice;
  }
  if (QFileInfo::exists(choice.path)) return choice;

  const QString template_path = folder.TemplateBase();
  if (!QFileInfo(template_path).isFile()) {
    choice.problem = LangText("Database", "NoTemplate",
                              "The empty goods base %1 is missing, so no new goods base can be "
                              "made. Reinstall Quibrel.")
                         .arg(QDir::toNativeSeparators(template_path));
    return choice;
  }
  QDir().mkpath(QFileInfo(choice.path).absolutePath());
  if (!QFile::copy(template_path, choice.path)) {
    choice.problem = LangText("Database", "NoCopy", "The goods base %1 could not be made.")
                         .arg(QDir::toNativeSeparators(choice.path));
    return choice;
  }
  // The copy keeps the template's permissions; the base itself must be writable.
  QFile(choice.path).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                    QFile::WriteGroup | QFile::ReadOther);
  return choice;
}

}  // namespace quibrel
