#include "db/goods_base.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include "core/quibrel_error.h"
#include "i18n/lang_text.h"

namespace quibrel {

namespace {

// Waited for when another program holds the file, before the base is refused.
constexpr int kBusyTimeoutMs = 3000;

const QStringList kTicketFields{"ID", "Data"};
const QStringList kKeyPadFields{"ID", "Name"};
const QStringList kKeyFields{"ID", "PLU"};
const QStringList kScalesFields{"ID", "Name", "IP", "State", "Keypad"};

QString NotABase(const QString& path, const QString& reason) {
  return LangText("Database", "NotABase", "%1 is not a goods base: %2").arg(path, reason);
}

}  // namespace

const QStringList& GoodsBase::GoodsFields() {
  static const QStringList fields{"ID",   "PLU",   "ZirkName1",     "ZirkName2",
                                  "Type", "Price", "ZirkDuringDate"};
  return fields;
}

GoodsBase::GoodsBase()
    : connection_name_("goods-base-" + QUuid::createUuid().toString(QUuid::WithoutBraces)),
      goods_("Products", GoodsFields(), true),
      ticket_lines_("TicketLines", kTicketFields, false),
      keypads_("KeyPads", kKeyPadFields, false),
      keys_("Keys", kKeyFields, false),
      scales_("ScalesSettings", kScalesFields, true) {}

GoodsBase::~GoodsBase() {
  Close();
  connection_ = QSqlDatabase();
  if (QSqlDatabase::contains(connection_name_)) QSqlDatabase::removeDatabase(connection_name_);
}

void GoodsBase::Open(const QString& path) {
  Close();
  const QFileInfo info(path);
  if (!info.exists()) {
    throw QuibrelError(
        LangText("Database", "Missing", "The goods base %1 does not exist.").arg(path));
  }
  if (info.isDir()) throw QuibrelError(NotABase(path, LangText("Database", "IsFolder", "it is a folder.")));
  CheckIsSqliteFile(path);

  if (!QSqlDatabase::contains(connection_name_)) {
    QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_name_);
  }
  connection_ = QSqlDatabase::database(connection_name_, false);
  connection_.setDatabaseName(path);
  connection_.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
  if (!connection_.open()) {
    const QString reason = connection_.lastError().text();
    throw QuibrelError(NotABase(path, reason));
  }
  try {
    CheckNotLocked();
    CheckTables();
    path_ = path;
    goods_.Open(connection_);
    ticket_lines_.Open(connection_);
    keypads_.Open(connection_);
    keys_.Open(connection_);
    scales_.Open(connection_);
    totals_.Open(connection_);
  } catch (...) {
    Close();
    throw;
  }
}

void GoodsBase::Close() {
  goods_.Close();
  ticket_lines_.Close();
  keypads_.Close();
  keys_.Close();
  scales_.Close();
  totals_.Close();
  if (connection_.isOpen()) connection_.close();
  path_.clear();
}

void GoodsBase::CheckIsSqliteFile(const QString& path) const {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    throw QuibrelError(NotABase(path, file.errorString()));
  }
  if (file.read(16) != QByteArray("SQLite format 3\0", 16)) {
    throw QuibrelError(
        NotABase(path, LangText("Database", "NotSqlite", "it is not a database file.")));
  }
}

void GoodsBase::CheckTables() const {
  const std::vector<std::pair<QString, QStringList>> required{
      {"Products", GoodsFields()},
      {"TicketLines", kTicketFields},
      {"KeyPads", kKeyPadFields},
      {"Keys", kKeyFields},
      {"ScalesSettings", kScalesFields},
      {"Totals", TotalsTable::Fields()}};
  for (const auto& [table, fields] : required) {
    // The table names are our own constants, never text from outside.
    QSqlQuery query(connection_);
    if (!query.exec(QStringLiteral("PRAGMA table_info(\"%1\")").arg(table))) {
      throw QuibrelError(NotABase(connection_.databaseName(), query.lastError().text()));
    }
    QStringList present;
    while (query.next()) present << query.value(1).toString().toLower();  // cid, name, ...
    if (present.isEmpty()) {
      throw QuibrelError(NotABase(
          connection_.databaseName(),
          LangText("Database", "NoTable", "the table %1 is missing.").arg(table)));
    }
    for (const QString& field : fields) {
      if (!present.contains(field.toLower())) {
        throw QuibrelError(NotABase(
            connection_.databaseName(),
            LangText("Database", "NoColumn", "the table %1 has no column %2.").arg(table, field)));
      }
    }
  }
}

void GoodsBase::CheckNotLocked() const {
  QSqlQuery query(connection_);
  if (!query.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
    throw QuibrelError(LangText("Database", "Locked",
                                "The goods base %1 is in use by another program.")
                           .arg(connection_.databaseName()));
  }
  query.exec(QStringLiteral("ROLLBACK"));
}

int GoodsBase::DuplicatePluCount(qint64 plu, qint64 id) {
  QSqlQuery query(connection_);
  query.prepare(
      QStringLiteral("SELECT count(*) AS NumCount FROM Products WHERE PLU = ? AND ID <> ?"));
  query.addBindValue(plu);
  query.addBindValue(id);
  if (!query.exec() || !query.next()) {
    throw QuibrelError(QStringLiteral("The goods could not be counted: %1")
                           .arg(query.lastError().text()));
  }
  return query.value(0).toInt();
}

GoodsBase::Transaction::Transaction(GoodsBase& base, std::initializer_list<RowSet*> row_sets)
    : base_(base), row_sets_(row_sets) {
  if (!base_.connection_.transaction()) {
    throw QuibrelError(QStringLiteral("The goods base could not start a change: %1")
                           .arg(base_.connection_.lastError().text()));
  }
  for (RowSet* row_set : row_sets_) row_set->DisableControls();
}

void GoodsBase::Transaction::Commit() {
  if (done_) return;
  if (!base_.connection_.commit()) {
    throw QuibrelError(QStringLiteral("The goods base could not store the change: %1")
                           .arg(base_.connection_.lastError().text()));
  }
  done_ = true;
  for (RowSet* row_set : row_sets_) row_set->EnableControls();
}

GoodsBase::Transaction::~Transaction() {
  if (done_) return;
  base_.connection_.rollback();
  for (RowSet* row_set : row_sets_) {
    try {
      row_set->Requery();
    } catch (...) {
      // The rows in memory stay as they were; the file itself was rolled back.
    }
    row_set->EnableControls();
  }
  base_.totals_.Changed();
}

}  // namespace quibrel
