// Totals.dat from a scale or a card: whole records read, anything else is a truncation error.
#include <cstdint>
#include <cstdlib>

#include "scalefiles/byte_reader.h"
#include "scalefiles/totals_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  try {
    const QVector<quibrel::TotalsFileRecord> records = quibrel::DecodeTotalsFile(bytes);
    if (size % quibrel::kTotalsRecordBytes != 0) std::abort();
    QByteArray again;
    for (const quibrel::TotalsFileRecord& record : records) {
      again += quibrel::EncodeTotalsRecord(record);
    }
    // Only the unused bytes may differ.
    for (qsizetype i = 0; i < again.size(); ++i) {
      const qsizetype offset = i % quibrel::kTotalsRecordBytes;
      if (offset == 4 || offset == 5 || offset == 7) continue;
      const char expected = offset == 6 ? static_cast<char>(bytes[i] & 0x02) : bytes[i];
      if (again[i] != expected) std::abort();
    }
  } catch (const quibrel::ScaleFileTruncated&) {
    if (size % quibrel::kTotalsRecordBytes == 0) std::abort();
  }
  return 0;
}
