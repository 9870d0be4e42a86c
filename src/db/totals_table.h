#pragma once

#include <QDateTime>
#include <QObject>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

namespace quibrel {

// One sales total as read from a scale or a card.
struct TotalsRecord {
  QString scales;  // the scale's name, or the card word
  QString ip;      // the scale's address, or the card word
  qint64 plu = 0;
  QString name;
  QString type;
  double day_weight = 0;
  qint64 day_num = 0;
  double month_weight = 0;
  qint64 month_num = 0;
  QDateTime last;
  QDateTime read;
};

// The totals table. It only grows (millions of rows over a year), so it is not held in memory:
// counts, appends and pages are asked of the database.
class TotalsTable : public QObject {
  Q_OBJECT

 public:
  static const QStringList& Fields();  // every column but ID, in table order
  // Dates are stored as text that sorts as time does.
  static QString DateText(const QDateTime& when);
  static QDateTime DateFromText(const QString& text);

  void Open(const QSqlDatabase& connection);
  void Close();
  bool IsActive() const { return connection_.isOpen(); }

  qint64 Count() const;
  bool IsEmpty() const { return Count() == 0; }
  // Appends inside the caller's transaction, if any. Throws QuibrelError.
  void Append(const TotalsRecord& record);
  // Appends many with one prepared statement, inside the caller's transaction if any.
  void AppendAll(const QVector<TotalsRecord>& records);
  void DeleteAll();
  // All records in table order; for tests and small exports.
  QVector<TotalsRecord> ReadAll() const;

  // Tells views that rows came or went.
  void Changed() { emit RowsChanged(); }

 signals:
  void RowsChanged();

 private:
  QSqlDatabase connection_;
};

}  // namespace quibrel
