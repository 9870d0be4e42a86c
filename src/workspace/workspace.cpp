#include "workspace/workspace.h"

#include <QDir>

#include "core/quibrel_error.h"
#include "db/database_file_choice.h"

namespace quibrel {

Workspace::Workspace(ProgramFolder folder)
    : folder_(std::move(folder)),
      ini_file_(folder_.TerminalIni()),
      language_(folder_),
      log_(folder_.LogFile()) {}

void Workspace::OpenSettingsAndBase() {
  ini_file_ = IniFile(folder_.TerminalIni());
  base_.Close();
  const DatabaseFileChoice choice =
      ChooseDatabaseFile(ini_file_.ReadString("Global", "Base", QString()), folder_);
  database_ = QDir::toNativeSeparators(choice.path);
  ini_file_.WriteString("Global", "Base", database_);
  if (!choice.problem.isEmpty()) throw QuibrelError(choice.problem);
  base_.Open(choice.path);
}

}  // namespace quibrel
