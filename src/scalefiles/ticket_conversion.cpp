#include "core/quibrel_error.h"
#include "db/goods_base.h"
#include "i18n/lang_text.h"
#include "i18n/scale_charset.h"
#include "scalefiles/scale_file_io.h"
#include "scalefiles/scale_files.h"
#include "scalefiles/ticket_file.h"
#include "workspace/workspace.h"

namespace quibrel {

namespace {

constexpr int kLabelSizeRow = 1;
constexpr int kPrefixRow = 2;
constexpr int kBarcodeTypeRow = 3;
constexpr int kHeaderRow = 4;

QString DataOf(RowSet& lines, int id) {
  const QVariant data = lines.Lookup("ID", id, "Data");
  return (!data.isValid() || data.isNull()) ? QString() : data.toString();
}

// Text that is not a whole number counts as 0; the scale keeps the low byte.
uint8_t SettingByte(RowSet& lines, int id) {
  bool ok = false;
  const int value = DataOf(lines, id).trimmed().toInt(&ok, 10);
  return static_cast<uint8_t>(ok ? value : 0);
}

void StoreData(RowSet& lines, int id, const QString& data) {
  // A missing row would send the value to whatever row is current; refuse instead.
  if (!lines.Locate("ID", id)) {
    throw QuibrelError(LangText("Text", "TicketLineMissing",
                                "The goods base has no ticket line %1; the ticket file was not "
                                "read.")
                           .arg(id));
  }
  lines.SetFieldValue("Data", data);
  lines.Post();
}

}  // namespace

void MakeZirkFile(Workspace& workspace) {
  RowSet& lines = workspace.base().TicketLines();
  TicketFileContents contents;
  contents.label_size = SettingByte(lines, kLabelSizeRow);
  contents.prefix = SettingByte(lines, kPrefixRow);
  contents.barcode_type = SettingByte(lines, kBarcodeTypeRow);
  // Control and length characters are below 0x80 and pass through every character set.
  contents.header = UnicodeStrToAsciiArray(DataOf(lines, kHeaderRow));
  WriteScaleFile(workspace.folder(), kTicketFileName, EncodeTicketFile(contents));
}

void ZirkToBase(Workspace& workspace) {
  const TicketFileContents contents =
      DecodeTicketFile(ReadScaleFile(workspace.folder(), kTicketFileName));
  GoodsBase& base = workspace.base();
  RowSet& lines = base.TicketLines();
  GoodsBase::Transaction transaction(base, {&lines});
  StoreData(lines, kLabelSizeRow, QString::number(contents.label_size));
  StoreData(lines, kPrefixRow, QString::number(contents.prefix));
  StoreData(lines, kBarcodeTypeRow, QString::number(contents.barcode_type));
  StoreData(lines, kHeaderRow,
            AsciiArrayToUnicodeStr(contents.header, static_cast<int>(contents.header.size())));
  transaction.Commit();
}

}  // namespace quibrel
