#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <array>
#include <functional>
#include <optional>

#include "db/row_set.h"

namespace quibrel {

class GoodsBase;

// The goods fields the operator edits, in grid column order, with what the editor allows.
struct GoodsColumn {
  const char* field;
  const char* caption_key;      // Lang.dat section "Products"
  const char* default_caption;
  int max_length;               // characters that can be typed; 0 for number fields
  qint64 minimum, maximum;      // the range a number field accepts
};
inline constexpr int kGoodsColumnCount = 6;
const std::array<GoodsColumn, kGoodsColumnCount>& GoodsColumns();
// The grid column of a field; -1 when the grid does not show it.
int GoodsColumnOf(const QString& field);
// The caption of a grid column in the active language.
QString GoodsColumnCaption(int column);

inline constexpr double kMaxPrice = 9999.99;
inline constexpr int kMaxShelfLife = 999;

// The two entries of the type pick list in the active language: the weight word marks a weighed
// item, the count word a counted one. Stored types are these words, not codes.
QString WeightWord();
QString CountWord();

// What the editor does with a value typed into a goods field: texts longer than the field allows
// and numbers that are not whole numbers in the field's range are refused with a message naming
// the field; otherwise *value is what to store (an empty number is null, text is kept as typed).
std::optional<QString> ConvertGoodsInput(const QString& field, const QString& text,
                                         QVariant* value);

// The price rule: the normalised price text under FormatSettings, or none when the entered text
// is not a price (not a number, or above kMaxPrice). Refreshes FormatSettings from the user's
// locale first, as every stored price does.
std::optional<QString> NormalizePrice(const QString& entered);

// The values of one goods item as they are about to be stored.
struct GoodsItem {
  QVariant id, plu, name1, name2, type, price, shelf_life;
};

// Counts the stored goods other than the item id that carry the PLU.
using DuplicateCount = std::function<int(qint64 plu, qint64 id)>;

// The checks every stored goods item passes, in this order: an empty type becomes weight_word;
// the price is normalised or refused; a PLU another item has, PLU 0, and a shelf life above
// kMaxShelfLife are refused. Fills type and price of the item in place. Returns the message of
// the first refusal ("Incorrect price: 1.2.3"), or none when the item may be stored.
std::optional<QString> CheckGoodsItem(GoodsItem& item, const QString& weight_word,
                                      const DuplicateCount& duplicates);

// The same checks over the pending row of the goods row set, writing type and price back into
// the row. The grid's before-post hook and every import of goods call this.
std::optional<QString> ValidateGoods(GoodsBase& base, RowSet& goods,
                                     const QString& weight_word = WeightWord());

// A before-post hook for the goods row set. While enabled() is false every row is stored
// unchecked. A refused row is reported, its pending changes are cancelled (a new row disappears,
// an edited one returns to its stored values) and the post is abandoned, so the file stays as it
// was. weight_word gives the word an empty type becomes.
RowSet::BeforePost MakeGoodsBeforePost(GoodsBase& base, std::function<bool()> enabled,
                                       std::function<QString()> weight_word,
                                       std::function<void(const QString&)> report);

}  // namespace quibrel
