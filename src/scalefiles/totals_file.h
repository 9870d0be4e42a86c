#pragma once

#include <QByteArray>
#include <QVector>
#include <cstdint>

namespace quibrel {

constexpr int kTotalsRecordBytes = 28;

// One record of Totals.dat as the scale keeps it.
struct TotalsFileRecord {
  uint32_t plu = 0;
  bool counted = false;
  uint64_t day_quantity = 0;  // thousandths of the weight unit, or pieces when counted
  uint16_t day_count = 0;
  uint64_t month_quantity = 0;
  uint16_t month_count = 0;
  // The last sale: year since 2000, month, day and hour, as stored; not checked here.
  uint8_t year = 0;
  uint8_t month = 0;
  uint8_t day = 0;
  uint8_t hour = 0;
};

QByteArray EncodeTotalsRecord(const TotalsFileRecord& record);
// Throws ScaleFileTruncated when the file ends inside a record.
QVector<TotalsFileRecord> DecodeTotalsFile(const QByteArray& bytes);

}  // namespace quibrel
