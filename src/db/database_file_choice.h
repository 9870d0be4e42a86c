#pragma once

#include <QString>

#include "core/program_folder.h"

namespace quibrel {

struct DatabaseFileChoice {
  QString path;     // the base to open
  QString problem;  // why it cannot be opened (the template is missing), or empty
};

// The base named by the Base setting when it exists, else Data/Base.db, made from the template
// when it is missing. An existing Data/Base.db is never overwritten.
DatabaseFileChoice ChooseDatabaseFile(const QString& base_setting, const ProgramFolder& folder);

}  // namespace quibrel
