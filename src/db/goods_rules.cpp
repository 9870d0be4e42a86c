#include "db/goods_rules.h"

#include "db/goods_base.h"
#include "db/money_format.h"
#include "i18n/lang_text.h"

namespace quibrel {

namespace {

constexpr qint64 kIntMin = -2147483648LL;
constexpr qint64 kIntMax = 2147483647LL;

const std::array<GoodsColumn, kGoodsColumnCount> kColumns = {{
    {"PLU", "PLU", "PLU", 0, 0, 99999999},
    {"ZirkName1", "Name1", "Name (line 1)", 36, 0, 0},
    {"ZirkName2", "Name2", "Name (line 2)", 36, 0, 0},
    {"Type", "Type", "Type", 50, 0, 0},
    {"Price", "Price", "Price", 30, 0, 0},
    {"ZirkDuringDate", "ShelfLife", "Shelf life", 0, kIntMin, kIntMax},
}};

bool IsNullOrEmpty(const QVariant& value) {
  return !value.isValid() || value.isNull() || value.toString().isEmpty();
}

// Numbers read as the database holds them; null, and text that is no number, count as 0.
qint64 NumberOf(const QVariant& value) {
  if (!value.isValid() || value.isNull()) return 0;
  bool ok = false;
  const qint64 number = value.toLongLong(&ok);
  return ok ? number : 0;
}

QString TextOf(const QVariant& value) {
  return (!value.isValid() || value.isNull()) ? QString() : value.toString();
}

QString Refusal(const char* key, const char* default_text, const QString& detail) {
  return LangText("Text", key, default_text) + ": " + detail;
}

}  // namespace

const std::array<GoodsColumn, kGoodsColumnCount>& GoodsColumns() { return kColumns; }

int GoodsColumnOf(const QString& field) {
  for (int i = 0; i < kGoodsColumnCount; ++i) {
    if (field.compare(kColumns[i].field, Qt::CaseInsensitive) == 0) return i;
  }
  return -1;
}

QString GoodsColumnCaption(int column) {
  if (column < 0 || column >= kGoodsColumnCount) return QString();
  return LangText("Products", kColumns[column].caption_key, kColumns[column].default_caption);
}

QString WeightWord() { return LangText("Products", "Weight", "weight"); }
QString CountWord() { return LangText("Products", "Count", "count"); }

std::optional<QString> ConvertGoodsInput(const QString& field, const QString& text,
                                         QVariant* value) {
  const int column = GoodsColumnOf(field);
  if (column < 0) {
    *value = text;
    return std::nullopt;
  }
  const GoodsColumn& info = kColumns[column];
  if (info.max_length > 0) {
    if (text.size() > info.max_length) {
      return LangText("Text", "TextTooLong", "%1 can hold at most %2 characters")
          .arg(GoodsColumnCaption(column))
          .arg(info.max_length);
    }
    *value = text;
    return std::nullopt;
  }
  const QString number_text = text.trimmed();
  if (number_text.isEmpty()) {
    *value = QVariant();
    return std::nullopt;
  }
  bool ok = false;
  const qint64 number = number_text.toLongLong(&ok);
  if (!ok || number < info.minimum || number > info.maximum) {
    return LangText("Text", "FieldRange", "%1 must be a whole number from %2 to %3")
        .arg(GoodsColumnCaption(column))
        .arg(info.minimum)
        .arg(info.maximum);
  }
  *value = static_cast<int>(number);
  return std::nullopt;
}

std::optional<QString> NormalizePrice(const QString& entered) {
  FillFormatSettings();
  const MoneyFormat& format = FormatSettings();
  // Keep digits and ASCII punctuation; letters, currency signs and every kind of space drop out.
  // Whatever punctuation is left is read as the decimal separator, so "12.5" and "12,5" mean the
  // same under any locale.
  QString kept;
  for (QChar c : entered) {
    if (c.unicode() > 0x39 || c.unicode() == 0x20) continue;
    if (c >= u'0' && c <= u'9') {
      kept += c;
    } else {
      kept += format.decimal_separator;
    }
  }
  if (kept.isEmpty()) kept = QStringLiteral("0");
  if (!(kept.back() >= u'0' && kept.back() <= u'9')) kept.chop(1);
  const std::optional<double> amount = format.Read(kept);
  if (kept.isEmpty() || !amount || *amount > kMaxPrice) return std::nullopt;
  return format.Format(*amount);
}

std::optional<QString> CheckGoodsItem(GoodsItem& item, const QString& weight_word,
                                      const DuplicateCount& duplicates) {
  if (IsNullOrEmpty(item.type)) item.type = weight_word;

  const QString entered = TextOf(item.price);
  const std::optional<QString> price = NormalizePrice(entered);
  if (!price) return Refusal("IncorrectPrice", "Incorrect price", entered);
  item.price = *price;

  const qint64 plu = NumberOf(item.plu);
  const qint64 id = NumberOf(item.id);
  if (duplicates(plu, id) > 0) return Refusal("PLUExists", "PLU exists", QString::number(plu));
  if (plu == 0) return Refusal("IncorrectPLU", "Incorrect PLU", QStringLiteral("0"));

  if (NumberOf(item.shelf_life) > kMaxShelfLife) {
    return Refusal("IncorrectShelfLife", "Incorrect shelf life", TextOf(item.name1));
  }
  return std::nullopt;
}

std::optional<QString> ValidateGoods(GoodsBase& base, RowSet& goods,
                                     const QString& weight_word) {
  GoodsItem item{goods.FieldByName("ID"),        goods.FieldByName("PLU"),
                 goods.FieldByName("ZirkName1"), goods.FieldByName("ZirkName2"),
                 goods.FieldByName("Type"),      goods.FieldByName("Price"),
                 goods.FieldByName("ZirkDuringDate")};
  const QVariant type_before = item.type;
  const QVariant price_before = item.price;
  std::optional<QString> refusal = CheckGoodsItem(
      item, weight_word, [&](qint64 plu, qint64 id) { return base.DuplicatePluCount(plu, id); });
  if (item.type != type_before) goods.SetFieldValue("Type", item.type);
  if (item.price != price_before) goods.SetFieldValue("Price", item.price);
  return refusal;
}

RowSet::BeforePost MakeGoodsBeforePost(GoodsBase& base, std::function<bool()> enabled,
                                       std::function<QString()> weight_word,
                                       std::function<void(const QString&)> report) {
  return [&base, enabled = std::move(enabled), weight_word = std::move(weight_word),
          report = std::move(report)](RowSet& goods) {
    if (enabled && !enabled()) return true;
    const std::optional<QString> refusal =
        ValidateGoods(base, goods, weight_word ? weight_word() : WeightWord());
    if (!refusal) return true;
    if (report) report(*refusal);
    goods.Cancel();
    return false;
  };
}

}  // namespace quibrel
