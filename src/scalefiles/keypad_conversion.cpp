#include "core/quibrel_error.h"
#include "core/status_sink.h"
#include "db/goods_base.h"
#include "i18n/lang_text.h"
#include "scalefiles/keypad_file.h"
#include "scalefiles/scale_file_io.h"
#include "scalefiles/scale_files.h"
#include "workspace/workspace.h"

namespace quibrel {

namespace {

constexpr int kDefaultLayout = 1;
constexpr int kKeysPerLayoutId = 100;  // key k of layout p is the Keys row p * 100 + k
constexpr int kOverflowPauseMs = 2000;

bool IsNullOrEmpty(const QVariant& value) {
  return !value.isValid() || value.isNull() || value.toString().isEmpty();
}

int LayoutNamed(GoodsBase& base, const QString& name) {
  const QVariant id = base.KeyPads().Lookup("Name", name, "ID");
  if (!id.isValid() || id.isNull()) {
    throw QuibrelError(
        LangText("Text", "NoSuchKeypad", "There is no keypad layout named \"%1\".").arg(name));
  }
  return id.toInt();
}

int ChooseLayout(GoodsBase& base, const QString& num, const QString& card_layout) {
  if (num == kCardSource) return LayoutNamed(base, card_layout);
  const QVariant name = base.Scales().Lookup("IP", num, "Keypad");
  if (IsNullOrEmpty(name)) return kDefaultLayout;
  return LayoutNamed(base, name.toString());
}

QString MissingKey(int layout, int key) {
  return LangText("Text", "KeyMissing", "Keypad layout %1 has no key %2 in the goods base.")
      .arg(layout)
      .arg(key);
}

void MakeKeypadFile(Workspace& workspace) {
  GoodsBase& base = workspace.base();
  const QVariant current = base.KeyPads().FieldByName("ID");
  if (!current.isValid() || current.isNull()) {
    throw QuibrelError(LangText("Text", "NoKeypadChosen", "No keypad layout is chosen."));
  }
  const int layout = current.toInt();
  QVector<int32_t> plus;
  for (int key = 1; key <= kKeypadKeys; ++key) {
    const QVariant plu = base.Keys().Lookup("ID", layout * kKeysPerLayoutId + key, "PLU");
    // Keys are made with PLU 0; an absent row or a null PLU is a damaged base, not an empty key.
    if (!plu.isValid() || plu.isNull()) throw QuibrelError(MissingKey(layout, key));
    plus << static_cast<int32_t>(plu.toLongLong());
  }
  WriteScaleFile(workspace.folder(), kKeypadFileName, EncodeKeypadFile(plus));
}

}  // namespace

void MakeKeypadFileForScales(Workspace& workspace) { MakeKeypadFile(workspace); }

void MakeKeypadFileForCard(Workspace& workspace) { MakeKeypadFile(workspace); }

KeypadImportReport KeypadToBase(Workspace& workspace, const QString& num,
                                const QString& card_layout, StatusSink* sink) {
  const QVector<int32_t> plus =
      DecodeKeypadFile(ReadScaleFile(workspace.folder(), kKeypadFileName));
  GoodsBase& base = workspace.base();
  KeypadImportReport report;
  report.layout = ChooseLayout(base, num, card_layout);
  report.layout_name = base.KeyPads().Lookup("ID", report.layout, "Name").toString();
  const int count = std::min<int>(static_cast<int>(plus.size()), kKeypadKeys);
  report.entries_left_out = static_cast<int>(plus.size()) - count;
  {
    RowSet& keys = base.Keys();
    GoodsBase::Transaction transaction(base, {&keys});
    // Entries past key 33 would land on the next layout's keys; they stay out.
    for (int key = 1; key <= count; ++key) {
      if (!keys.Locate("ID", report.layout * kKeysPerLayoutId + key)) {
        throw QuibrelError(MissingKey(report.layout, key));
      }
      keys.SetFieldValue("PLU", plus[key - 1]);
      keys.Post();
    }
    transaction.Commit();
  }
  report.keys_set = count;
  const QString overflow = KeypadOverflowText(report);
  if (sink != nullptr && !overflow.isEmpty()) {
    sink->ShowLine(overflow, kFailureColour);
    sink->Pause(kOverflowPauseMs);
  }
  return report;
}

QString KeypadOverflowText(const KeypadImportReport& report) {
  if (report.entries_left_out <= 0) return QString();
  return LangText("Text", "KeypadEntriesLeftOut",
                  "The keypad file holds %1 entries; keys 1 to %2 of the layout %3 were set and "
                  "the other %4 entries were left out.")
      .arg(report.keys_set + report.entries_left_out)
      .arg(report.keys_set)
      .arg(report.layout_name)
      .arg(report.entries_left_out);
}

}  // namespace quibrel
