#include <QHash>
#include <QSqlError>
#include <QSqlQuery>

#include "core/quibrel_error.h"
#include "db/goods_base.h"
#include "db/goods_rules.h"
#include "i18n/lang_text.h"
#include "scalefiles/scale_file_io.h"
#include "scalefiles/scale_files.h"
#include "scalefiles/totals_file.h"
#include "workspace/workspace.h"

namespace quibrel {

namespace {

constexpr double kThousandths = 1000.0;

// Name line 1 of the first goods item (in table order) of every PLU; the table, not the view,
// since a search on the goods page must not blank the totals' names.
QHash<qint64, QString> GoodsNames(GoodsBase& base) {
  QHash<qint64, QString> names;
  QSqlQuery query(base.connection());
  query.setForwardOnly(true);
  if (!query.exec(QStringLiteral("SELECT PLU, ZirkName1 FROM Products ORDER BY ID"))) {
    throw QuibrelError(
        QStringLiteral("The goods could not be read: %1").arg(query.lastError().text()));
  }
  while (query.next()) {
    const qint64 plu = query.value(0).toLongLong();
    if (!names.contains(plu)) names.insert(plu, query.value(1).toString());
  }
  return names;
}

// The scale's clock has no time zone; its digits are kept as they are.
QDateTime LastSale(const TotalsFileRecord& record, int index) {
  const QDate date(2000 + record.year, record.month, record.day);
  if (!date.isValid() || record.hour > 23) {
    throw QuibrelError(LangText("Text", "TotalsBadDate",
                                "Record %1 of the totals file (PLU %2) gives a last sale on "
                                "%3-%4-%5 at hour %6, which does not exist. Nothing of the file "
                                "was stored.")
                           .arg(index + 1)
                           .arg(record.plu)
                           .arg(2000 + record.year)
                           .arg(record.month, 2, 10, QChar('0'))
                           .arg(record.day, 2, 10, QChar('0'))
                           .arg(record.hour));
  }
  return QDateTime(date, QTime(record.hour, 0), Qt::UTC);
}

double Quantity(uint64_t quantity, bool counted) {
  return counted ? static_cast<double>(quantity) : static_cast<double>(quantity) / kThousandths;
}

}  // namespace

TotalsImportReport TotalsToBase(Workspace& workspace, const QString& IP) {
  const QVector<TotalsFileRecord> records =
      DecodeTotalsFile(ReadScaleFile(workspace.folder(), kTotalsFileName));
  GoodsBase& base = workspace.base();
  const QHash<qint64, QString> names = GoodsNames(base);
  QString scales;  // null when no known scale has the address
  if (IP == kCardSource) {
    scales = kCardSource;
  } else {
    const QVariant name = base.Scales().Lookup("IP", IP, "Name");
    if (name.isValid() && !name.isNull()) scales = name.toString();
  }
  const QString weight_word = WeightWord();
  const QString count_word = CountWord();
  // One reading time for the whole file, so that the rows of one reading stay together.
  const QDateTime read = QDateTime::currentDateTime();

  // Every record is converted before the first is stored, so that a bad date stores nothing.
  QVector<TotalsRecord> rows;
  rows.reserve(records.size());
  for (int i = 0; i < records.size(); ++i) {
    const TotalsFileRecord& record = records[i];
    TotalsRecord row;
    row.scales = scales;
    row.ip = IP;
    row.plu = record.plu;
    row.name = names.value(record.plu, QStringLiteral(""));
    if (row.name.isNull()) row.name = QStringLiteral("");
    row.type = record.counted ? count_word : weight_word;
    row.day_weight = Quantity(record.day_quantity, record.counted);
    row.day_num = record.day_count;
    row.month_weight = Quantity(record.month_quantity, record.counted);
    row.month_num = record.month_count;
    row.last = LastSale(record, i);
    row.read = read;
    rows.push_back(std::move(row));
  }
  {
    GoodsBase::Transaction transaction(base, {});
    base.Totals().AppendAll(rows);
    transaction.Commit();
  }
  base.Totals().Changed();
  return TotalsImportReport{static_cast<int>(rows.size())};
}

}  // namespace quibrel
