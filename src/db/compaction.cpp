#include "db/compaction.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include "i18n/lang_text.h"

namespace quibrel {

QString CompactDatabase(const QString& path) {
  if (!QFileInfo(path).isFile()) {
    return LangText("Database", "Missing", "The goods base %1 does not exist.").arg(path);
  }
  const QString name = "compaction-" + QUuid::createUuid().toString(QUuid::WithoutBraces);
  QString error;
  {
    QSqlDatabase connection = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    connection.setDatabaseName(path);
    connection.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=3000"));
    if (!connection.open()) {
      error = connection.lastError().text();
    } else {
      QSqlQuery query(connection);
      if (!query.exec(QStringLiteral("VACUUM"))) error = query.lastError().text();
      query.finish();
      connection.close();
    }
  }
  QSqlDatabase::removeDatabase(name);
  if (error.isEmpty()) return QString();
  return LangText("Database", "CompactFailed", "The goods base %1 could not be compacted: %2")
      .arg(path, error);
}

}  // namespace quibrel
