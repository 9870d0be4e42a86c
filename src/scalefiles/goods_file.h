#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>
#include <cstdint>
#include <optional>

namespace quibrel {

struct MoneyFormat;

// One goods (PLU) record of products.dat, with its names already in the scale character set.
struct GoodsFileRecord {
  int32_t plu = 0;
  bool counted = false;
  int32_t price = 0;                // hundredths of the currency unit
  uint64_t shelf_life_minutes = 0;  // 48 bits on the scale
  QByteArray name1;
  QByteArray name2;  // empty: the record has one name line
};

// The record as the scale stores it, checksum included. Names longer than a length byte can
// count are cut to 255 bytes, so that the record stays readable.
QByteArray EncodeGoodsRecord(const GoodsFileRecord& record);

struct GoodsFileContents {
  QVector<GoodsFileRecord> records;  // PLU-0 records are left out
  int skipped_zero_plu = 0;
};
// Reads every record of the file; throws ScaleFileTruncated when it ends inside one.
GoodsFileContents DecodeGoodsFile(const QByteArray& bytes);

// A price text as goods editing stores it, read with the separators of the money format
// (thousands separators and blanks allowed), in hundredths, halves rounded to even. Empty text is
// 0; no value when the text is not a number or does not fit 32 bits.
std::optional<int32_t> PriceToHundredths(const QString& text, const MoneyFormat& format);
// Hundredths as the text the reader stores: whole units, the decimal separator, two digits.
QString HundredthsToPriceText(int32_t hundredths, const MoneyFormat& format);

}  // namespace quibrel
