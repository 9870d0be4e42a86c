#include <QSqlError>
#include <QSet>
#include <QSqlQuery>
#include <algorithm>
#include <limits>

#include "core/quibrel_error.h"
#include "core/status_sink.h"
#include "db/goods_base.h"
#include "db/goods_rules.h"
#include "db/money_format.h"
#include "i18n/lang_text.h"
#include "i18n/scale_charset.h"
#include "scalefiles/goods_file.h"
#include "scalefiles/scale_file_io.h"
#include "scalefiles/scale_files.h"
#include "workspace/workspace.h"

namespace quibrel {

namespace {

constexpr int kMinutesPerDay = 24 * 60;
// How long the refusal summary stays readable on the status panel.
constexpr int kSummaryPauseMs = 2000;

bool IsNull(const QVariant& value) { return !value.isValid() || value.isNull(); }

QString TextOf(const QVariant& value) { return IsNull(value) ? QString() : value.toString(); }

QString DatabaseError(const QSqlQuery& query) {
  return QStringLiteral("The goods could not be stored: %1").arg(query.lastError().text());
}

// Prepared once for the whole import: a statement per record would cost more than the record.
class GoodsWriter {
 public:
  explicit GoodsWriter(QSqlDatabase& connection) : insert_(connection), clear_(connection) {
    if (!insert_.prepare(QStringLiteral(
            "INSERT INTO Products (PLU, ZirkName1, ZirkName2, Type, Price, ZirkDuringDate) "
            "VALUES (?, ?, ?, ?, ?, ?)"))) {
      throw QuibrelError(DatabaseError(insert_));
    }
  }

  void DeleteAll() {
    if (!clear_.exec(QStringLiteral("DELETE FROM Products"))) {
      throw QuibrelError(DatabaseError(clear_));
    }
    stored_.clear();
  }

  // The table was emptied in this transaction, so the PLUs stored since are exactly the PLUs in
  // the table: a hash of them gives the count the grid asks of the PLU index, without a query
  // per record.
  int Duplicates(qint64 plu) const { return stored_.contains(plu) ? 1 : 0; }

  void Insert(const GoodsItem& item) {
    insert_.bindValue(0, item.plu);
    insert_.bindValue(1, item.name1);
    insert_.bindValue(2, item.name2);
    insert_.bindValue(3, item.type);
    insert_.bindValue(4, item.price);
    insert_.bindValue(5, item.shelf_life);
    if (!insert_.exec()) throw QuibrelError(DatabaseError(insert_));
    stored_.insert(item.plu.toLongLong());
  }

 private:
  QSqlQuery insert_;
  QSqlQuery clear_;
  QSet<qint64> stored_;
};

GoodsItem ItemFromRecord(const GoodsFileRecord& record, const QString& weight_word,
                         const QString& count_word) {
  GoodsItem item;
  item.plu = static_cast<qint64>(record.plu);
  item.name1 = AsciiArrayToUnicodeStr(record.name1, static_cast<int>(record.name1.size()));
  if (!record.name2.isEmpty()) {
    item.name2 = AsciiArrayToUnicodeStr(record.name2, static_cast<int>(record.name2.size()));
  }
  item.type = record.counted ? count_word : weight_word;
  item.price = HundredthsToPriceText(record.price, FormatSettings());
  item.shelf_life = static_cast<qint64>(record.shelf_life_minutes / kMinutesPerDay);
  return item;
}

}  // namespace

void MakeBaseFile(Workspace& workspace) {
  RowSet& goods = workspace.base().Goods();
  const QString weight_word = WeightWord();
  const int plu_field = goods.FieldIndex("PLU");
  const int name1_field = goods.FieldIndex("ZirkName1");
  const int name2_field = goods.FieldIndex("ZirkName2");
  const int type_field = goods.FieldIndex("Type");
  const int price_field = goods.FieldIndex("Price");
  const int days_field = goods.FieldIndex("ZirkDuringDate");

  const RowSet::Bookmark current = goods.GetBookmark();
  goods.DisableControls();
  QByteArray bytes;
  try {
    goods.First();  // stores a pending edit, as moving off a row always does
    bytes.reserve(goods.RecordCount() * 64);
    for (int row = 0; row < goods.RecordCount(); ++row) {
      GoodsFileRecord record;
      record.plu = static_cast<int32_t>(goods.ValueAt(row, plu_field).toLongLong());
      record.counted = TextOf(goods.ValueAt(row, type_field)) != weight_word;
      const QString price_text = TextOf(goods.ValueAt(row, price_field));
      const std::optional<int32_t> price = PriceToHundredths(price_text, FormatSettings());
      if (!price) {
        throw QuibrelError(
            LangText("Text", "PriceNotNumber",
                     "The price \"%1\" of PLU %2 is not a number; the goods file was not made.")
                .arg(price_text)
                .arg(record.plu));
      }
      record.price = *price;
      record.shelf_life_minutes =
          static_cast<uint64_t>(goods.ValueAt(row, days_field).toLongLong() * kMinutesPerDay);
      record.name1 = UnicodeStrToAsciiArray(TextOf(goods.ValueAt(row, name1_field)));
      record.name2 = UnicodeStrToAsciiArray(TextOf(goods.ValueAt(row, name2_field)));
      bytes += EncodeGoodsRecord(record);
    }
  } catch (...) {
    goods.EnableControls();
    goods.GotoBookmark(current);
    throw;
  }
  goods.EnableControls();
  goods.GotoBookmark(current);
  WriteScaleFile(workspace.folder(), kGoodsFileName, bytes);
}

GoodsImportReport ProductsToBase(Workspace& workspace, StatusSink* sink) {
  // The whole file is read before the table is touched: a damaged one changes nothing.
  const GoodsFileContents contents =
      DecodeGoodsFile(ReadScaleFile(workspace.folder(), kGoodsFileName));
  GoodsBase& base = workspace.base();
  const QString weight_word = WeightWord();
  const QString count_word = CountWord();
  const bool check = workspace.flRefresh;

  GoodsImportReport report;
  report.skipped_zero_plu = contents.skipped_zero_plu;
  {
    GoodsBase::Transaction transaction(base, {&base.Goods()});
    GoodsWriter writer(base.connection());
    writer.DeleteAll();
    // Imported records are new rows: they count against every stored item.
    const DuplicateCount duplicates = [&writer](qint64 plu, qint64) {
      return writer.Duplicates(plu);
    };
    for (const GoodsFileRecord& record : contents.records) {
      GoodsItem item = ItemFromRecord(record, weight_word, count_word);
      if (check) {
        if (const std::optional<QString> refusal = CheckGoodsItem(item, weight_word, duplicates)) {
          report.refused_plus << record.plu;
          report.refusals << *refusal;
          continue;
        }
      }
      writer.Insert(item);
      ++report.stored;
    }
    base.Goods().Requery();
    transaction.Commit();
  }
  const QString summary = GoodsRefusalSummary(report);
  if (sink != nullptr && !summary.isEmpty()) {
    sink->ShowLine(summary, kFailureColour);
    sink->Pause(kSummaryPauseMs);
  }
  if (!summary.isEmpty())
    workspace.log().WriteToLog(GoodsRefusalSummary(report, std::numeric_limits<int>::max()));
  return report;
}

QString GoodsRefusalSummary(const GoodsImportReport& report, int max_plus) {
  if (report.refused_plus.isEmpty()) return QString();
  QStringList plus;
  const qsizetype shown = std::min<qsizetype>(report.refused_plus.size(), std::max(max_plus, 0));
  for (qsizetype i = 0; i < shown; ++i) plus << QString::number(report.refused_plus[i]);
  QString text = LangText("Text", "GoodsRefused",
                          "%1 goods records failed the goods check and "
                          "were not imported: PLU %2")
                     .arg(report.refused_plus.size())
                     .arg(plus.join(QStringLiteral(", ")));
  if (shown < report.refused_plus.size()) {
    text +=
        ' ' + LangText("Text", "AndMore", "and %1 more").arg(report.refused_plus.size() - shown);
  }
  return text;
}

}  // namespace quibrel
