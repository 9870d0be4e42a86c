#include "scalefiles/keypad_file.h"

#include "scalefiles/byte_reader.h"

namespace quibrel {

QByteArray EncodeKeypadFile(const QVector<int32_t>& plus) {
  QByteArray out;
  out.reserve(plus.size() * kKeypadEntryBytes);
  ByteWriter writer(out);
  for (qsizetype i = 0; i < plus.size(); ++i) {
    writer.U32(static_cast<uint32_t>(i + 1));
    writer.U16(6);  // the bytes of the entry after this field
    writer.U32(static_cast<uint32_t>(plus[i]));
    writer.U16(0);
  }
  return out;
}

QVector<int32_t> DecodeKeypadFile(const QByteArray& bytes) {
  ByteReader reader(bytes, QStringLiteral("keyboard.dat"));
  QVector<int32_t> plus;
  while (!reader.AtEnd()) {
    reader.StartRecord();
    reader.Skip(6);
    plus.push_back(reader.I32());
    reader.Skip(2);
  }
  return plus;
}

}  // namespace quibrel
