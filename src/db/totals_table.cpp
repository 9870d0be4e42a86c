#include "db/totals_table.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>

#include "core/quibrel_error.h"

namespace quibrel {

namespace {
constexpr char kDateFormat[] = "yyyy-MM-dd HH:mm:ss";
}  // namespace

const QStringList& TotalsTable::Fields() {
  static const QStringList fields{"Scales",      "IP",       "PLU",  "Name",
                                  "Type",        "DayWeight", "DayNum", "MonthWeight",
                                  "MonthNum",    "Last",     "Read"};
  return fields;
}

QString TotalsTable::DateText(const QDateTime& when) {
  return when.isValid() ? when.toString(kDateFormat) : QString();
}

QDateTime TotalsTable::DateFromText(const QString& text) {
  return QDateTime::fromString(text, kDateFormat);
}

void TotalsTable::Open(const QSqlDatabase& connection) {
  connection_ = connection;
  emit RowsChanged();
}

void TotalsTable::Close() {
  connection_ = QSqlDatabase();
  emit RowsChanged();
}

qint64 TotalsTable::Count() const {
  if (!connection_.isOpen()) return 0;
  QSqlQuery query(connection_);
  if (!query.exec(QStringLiteral("SELECT count(*) FROM Totals")) || !query.next()) {
    throw QuibrelError(
        QStringLiteral("The totals could not be counted: %1").arg(query.lastError().text()));
  }
  return query.value(0).toLongLong();
}

void TotalsTable::Append(const TotalsRecord& record) {
  QSqlQuery query(connection_);
  query.prepare(QStringLiteral(
      "INSERT INTO Totals (Scales, IP, PLU, Name, Type, DayWeight, DayNum, MonthWeight, "
      "MonthNum, Last, Read) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
  query.addBindValue(record.scales);
  query.addBindValue(record.ip);
  query.addBindValue(record.plu);
  query.addBindValue(record.name);
  query.addBindValue(record.type);
  query.addBindValue(record.day_weight);
  query.addBindValue(record.day_num);
  query.addBindValue(record.month_weight);
  query.addBindValue(record.month_num);
  query.addBindValue(DateText(record.last));
  query.addBindValue(DateText(record.read));
  if (!query.exec()) {
    throw QuibrelError(
        QStringLiteral("The totals could not be stored: %1").arg(query.lastError().text()));
  }
}

void TotalsTable::AppendAll(const QVector<TotalsRecord>& records) {
  QSqlQuery query(connection_);
  if (!query.prepare(QStringLiteral(
          "INSERT INTO Totals (Scales, IP, PLU, Name, Type, DayWeight, DayNum, MonthWeight, "
          "MonthNum, Last, Read) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"))) {
    throw QuibrelError(
        QStringLiteral("The totals could not be stored: %1").arg(query.lastError().text()));
  }
  // Formatting a date costs more than storing the row; the reading time is the same for a whole
  // file and sales share their hours, so each text is made once.
  // Keyed by the wall-clock digits, which are what the text shows.
  QHash<qint64, QString> date_texts;
  const auto date_text = [&date_texts](const QDateTime& when) {
    if (!when.isValid()) return QString();
    const qint64 key = when.date().toJulianDay() * 86400000 + when.time().msecsSinceStartOfDay();
    auto found = date_texts.constFind(key);
    if (found == date_texts.constEnd()) found = date_texts.insert(key, DateText(when));
    return *found;
  };
  for (const TotalsRecord& record : records) {
    query.bindValue(0, record.scales);
    query.bindValue(1, record.ip);
    query.bindValue(2, record.plu);
    query.bindValue(3, record.name);
    query.bindValue(4, record.type);
    query.bindValue(5, record.day_weight);
    query.bindValue(6, record.day_num);
    query.bindValue(7, record.month_weight);
    query.bindValue(8, record.month_num);
    query.bindValue(9, date_text(record.last));
    query.bindValue(10, date_text(record.read));
    if (!query.exec()) {
      throw QuibrelError(
          QStringLiteral("The totals could not be stored: %1").arg(query.lastError().text()));
    }
  }
}

void TotalsTable::DeleteAll() {
  QSqlQuery query(connection_);
  if (!query.exec(QStringLiteral("DELETE FROM Totals"))) {
    throw QuibrelError(
        QStringLiteral("The totals could not be deleted: %1").arg(query.lastError().text()));
  }
  emit RowsChanged();
}

QVector<TotalsRecord> TotalsTable::ReadAll() const {
  QVector<TotalsRecord> records;
  QSqlQuery query(connection_);
  query.setForwardOnly(true);
  if (!query.exec(QStringLiteral(
          "SELECT Scales, IP, PLU, Name, Type, DayWeight, DayNum, MonthWeight, MonthNum, Last, "
          "Read FROM Totals ORDER BY ID"))) {
    throw QuibrelError(
        QStringLiteral("The totals could not be read: %1").arg(query.lastError().text()));
  }
  while (query.next()) {
    TotalsRecord r;
    r.scales = query.value(0).toString();
    r.ip = query.value(1).toString();
    r.plu = query.value(2).toLongLong();
    r.name = query.value(3).toString();
    r.type = query.value(4).toString();
    r.day_weight = query.value(5).toDouble();
    r.day_num = query.value(6).toLongLong();
    r.month_weight = query.value(7).toDouble();
    r.month_num = query.value(8).toLongLong();
    r.last = DateFromText(query.value(9).toString());
    r.read = DateFromText(query.value(10).toString());
    records.push_back(r);
  }
  return records;
}

}  // namespace quibrel
