// keyboard.dat from a scale or a card: whole entries read, anything else is a truncation error.
#include <cstdint>
#include <cstdlib>

#include "scalefiles/byte_reader.h"
#include "scalefiles/keypad_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  try {
    const QVector<int32_t> plus = quibrel::DecodeKeypadFile(bytes);
    if (size % quibrel::kKeypadEntryBytes != 0) std::abort();
    if (quibrel::DecodeKeypadFile(quibrel::EncodeKeypadFile(plus)) != plus) std::abort();
  } catch (const quibrel::ScaleFileTruncated&) {
    if (size % quibrel::kKeypadEntryBytes == 0) std::abort();
  }
  return 0;
}
