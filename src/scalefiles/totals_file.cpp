#include "scalefiles/totals_file.h"

#include "scalefiles/byte_reader.h"

namespace quibrel {

namespace {
constexpr uint8_t kCountedFlag = 0x02;
}  // namespace

// The PC never writes totals; scales do. This exists for tests, the emulator and benchmarks.
QByteArray EncodeTotalsRecord(const TotalsFileRecord& record) {
  QByteArray out;
  out.reserve(kTotalsRecordBytes);
  ByteWriter writer(out);
  writer.U32(record.plu);
  writer.U16(0);
  writer.U8(record.counted ? kCountedFlag : 0x00);
  writer.U8(0);
  writer.U48(record.day_quantity);
  writer.U16(record.day_count);
  writer.U48(record.month_quantity);
  writer.U16(record.month_count);
  writer.U8(record.year);
  writer.U8(record.month);
  writer.U8(record.day);
  writer.U8(record.hour);
  return out;
}

QVector<TotalsFileRecord> DecodeTotalsFile(const QByteArray& bytes) {
  ByteReader reader(bytes, QStringLiteral("Totals.dat"));
  QVector<TotalsFileRecord> records;
  records.reserve(bytes.size() / kTotalsRecordBytes);
  while (!reader.AtEnd()) {
    reader.StartRecord();
    TotalsFileRecord record;
    record.plu = reader.U32();
    reader.Skip(2);
    record.counted = (reader.U8() & kCountedFlag) != 0;
    reader.Skip(1);
    record.day_quantity = reader.U48();
    record.day_count = reader.U16();
    record.month_quantity = reader.U48();
    record.month_count = reader.U16();
    record.year = reader.U8();
    record.month = reader.U8();
    record.day = reader.U8();
    record.hour = reader.U8();
    records.push_back(record);
  }
  return records;
}

}  // namespace quibrel
