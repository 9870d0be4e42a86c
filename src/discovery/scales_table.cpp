#include "discovery/scales_table.h"

#include "db/goods_base.h"
#include "db/row_set.h"
#include "i18n/lang_text.h"

namespace quibrel {
namespace {

QString TextOf(const QVariant& value) { return value.isNull() ? QString() : value.toString(); }

// The name of the first keypad layout row, which new scales are given.
QVariant FirstLayoutName(const RowSet& keypads) {
  if (keypads.IsEmpty()) return QVariant();
  return keypads.ValueAt(0, keypads.FieldIndex("Name"));
}

// Notifications stay off during the bulk change and come back however it ends.
class QuietRows {
 public:
  explicit QuietRows(RowSet& rows) : rows_(rows) { rows_.DisableControls(); }
  ~QuietRows() { rows_.EnableControls(); }
  QuietRows(const QuietRows&) = delete;
  QuietRows& operator=(const QuietRows&) = delete;

 private:
  RowSet& rows_;
};

void AppendNewScale(RowSet& scales, const QString& identifier, const QVariant& layout,
                    const QVariant& state) {
  scales.Append();
  scales.SetFieldValue("Name", LangText("Misc", "New", "New"));
  scales.SetFieldValue("IP", identifier);
  if (!state.isNull()) scales.SetFieldValue("State", state);
  scales.SetFieldValue("Keypad", layout);
  scales.Post();
}

}  // namespace

QString FamilyText(const QString& mode) {
  if (mode.size() != 1) return QString();
  switch (mode.at(0).unicode()) {
    case 0: return LangText("Misc", "ModeZirk", "ZIRK");
    case 1: return LangText("Misc", "ModeVorn", "VORN");
    case 2: return LangText("Misc", "ModeNolt", "NOLT");
    default: return QString();
  }
}

int NamedScaleRow(const RowSet& scales, const QString& identifier) {
  const int ip = scales.FieldIndex("IP");
  const int name = scales.FieldIndex("Name");
  for (int position = 0; position < scales.RecordCount(); ++position) {
    if (TextOf(scales.ValueAt(position, ip)) != identifier) continue;
    if (!TextOf(scales.ValueAt(position, name)).isEmpty()) return position;
  }
  return -1;
}

void RefreshScalesTable(GoodsBase& base, const ScalesSnapshot& found) {
  RowSet& scales = base.Scales();
  const QVariant first_layout = FirstLayoutName(base.KeyPads());
  GoodsBase::Transaction transaction(base, {&scales});
  {
    QuietRows quiet(scales);
    const QString offline = LangText("Misc", "Offline", "Offline");
    for (scales.First(); !scales.Eof(); scales.Next()) {
      scales.SetFieldValue("State", offline);
      scales.Post();
    }
    const QString online = LangText("Misc", "Online", "Online");
    for (const QString& identifier : found.Scales) {
      const int position = NamedScaleRow(scales, identifier);
      if (position < 0) {
        AppendNewScale(scales, identifier, first_layout, online);
        continue;
      }
      scales.MoveTo(position);
      scales.SetFieldValue("State", online);
      scales.Post();
    }
  }
  transaction.Commit();
}

QStringList ScaleItemTexts(GoodsBase& base, const ScalesSnapshot& found) {
  RowSet& scales = base.Scales();
  RowSet& keypads = base.KeyPads();
  const QVariant first_layout = FirstLayoutName(keypads);
  const QString layout_one = TextOf(keypads.Lookup("ID", 1, "Name"));
  QStringList texts;
  GoodsBase::Transaction transaction(base, {&scales});
  {
    QuietRows quiet(scales);
    for (int i = 0; i < found.Scales.size(); ++i) {
      const QString& address = found.Scales[i];
      const QString family = FamilyText(found.ScalesMode.value(i));
      const QString keypad_word = LangText("Misc", "Keypad", "Keypad");
      const int position = NamedScaleRow(scales, address);
      if (position < 0) {
        AppendNewScale(scales, address, first_layout, QVariant());
        texts.append("Новые (IP: " + address + ", " + keypad_word + ": " + layout_one + ") " +
                     family);
        continue;
      }
      scales.MoveTo(position);
      const QVariant assigned = scales.FieldByName("Keypad");
      const QVariant layout = assigned.isNull() ? QVariant() : keypads.Lookup("Name", assigned, "Name");
      // A layout renamed since the scale was given it no longer matches: layout 1 stands in.
      const QString layout_name = layout.isNull() ? layout_one : TextOf(layout);
      texts.append(TextOf(scales.FieldByName("Name")) + " (IP: " + address + ", " + keypad_word +
                   ": " + layout_name + ") " + family);
    }
  }
  transaction.Commit();
  return texts;
}

}  // namespace quibrel
