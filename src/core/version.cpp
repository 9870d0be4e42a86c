#include "core/version.h"

#include "core/version_stamp.h"

namespace quibrel {

QString GetFullVersion() { return QStringLiteral(QUIBREL_FULL_VERSION); }

}  // namespace quibrel
