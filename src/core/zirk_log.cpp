#include "core/zirk_log.h"

#include <QFile>
#include <QTime>

namespace quibrel {

void ZirkLog::Reset() const {
  QFile file(path_);
  (void)file.open(QIODevice::WriteOnly | QIODevice::Truncate);
}

void ZirkLog::WriteToLog(const QString& text) const {
  QFile file(path_);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) return;
  const QString line = QTime::currentTime().toString("hh:mm:ss") + ' ' + text + '\n';
  file.write(line.toUtf8());
}

}  // namespace quibrel
