// Builds the empty template goods base from the schema: make-template SCHEMA.sql OUTPUT.db
#include <QCoreApplication>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>
#include <cstdio>

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: make-template SCHEMA.sql OUTPUT.db\n");
    return 2;
  }
  QFile schema(QString::fromLocal8Bit(argv[1]));
  if (!schema.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "cannot read %s\n", argv[1]);
    return 1;
  }
  const QString output = QString::fromLocal8Bit(argv[2]);
  QFile::remove(output);
  int status = 0;
  {
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE");
    db.setDatabaseName(output);
    if (!db.open()) {
      std::fprintf(stderr, "cannot create %s\n", argv[2]);
      return 1;
    }
    // Strip comments, then run the statements one by one; the schema holds no quoted semicolons.
    QString text;
    for (const QString& line : QString::fromUtf8(schema.readAll()).split('\n')) {
      if (!line.trimmed().startsWith("--")) text += line + '\n';
    }
    db.transaction();
    for (const QString& statement : text.split(';')) {
      if (statement.trimmed().isEmpty()) continue;
      QSqlQuery query(db);
      if (!query.exec(statement)) {
        std::fprintf(stderr, "%s\n%s\n", qPrintable(statement), qPrintable(query.lastError().text()));
        status = 1;
        break;
      }
    }
    if (status == 0) db.commit();
    db.close();
  }
  QSqlDatabase::removeDatabase(QSqlDatabase::defaultConnection);
  if (status != 0) QFile::remove(output);
  return status;
}
