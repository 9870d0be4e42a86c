#pragma once

#include <QString>

namespace quibrel {

// The program's version as the build stamped it, or an empty text when the build gave none.
QString GetFullVersion();

}  // namespace quibrel
