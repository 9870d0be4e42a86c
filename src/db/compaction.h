#pragma once

#include <QString>

namespace quibrel {

// Compacts a closed goods base in place. SQLite's VACUUM rewrites the file atomically, so a
// failure (read-only folder, full disk) leaves the base as it was. Returns the error text, or an
// empty text on success.
QString CompactDatabase(const QString& path);

}  // namespace quibrel
