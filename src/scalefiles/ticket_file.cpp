#include "scalefiles/ticket_file.h"

#include "scalefiles/byte_reader.h"

namespace quibrel {

namespace {

constexpr uint8_t kHeaderAttribute = 0x05;
constexpr uint8_t kLineSeparator = 0x0C;
const QByteArray kEmptyHeader("\x00\x00\x0D", 3);

}  // namespace

QByteArray EncodeTicketFile(const TicketFileContents& contents) {
  const QByteArray header = contents.header.isEmpty() ? kEmptyHeader : contents.header;
  QByteArray out;
  ByteWriter writer(out);
  writer.U32(1);
  // The scale wants t + 13 here, although 11 + t bytes follow; it does not read the value.
  writer.U32(static_cast<uint8_t>(header.size() + 13));
  writer.U8(contents.label_size);
  writer.U8(contents.prefix);
  writer.U8(contents.barcode_type);
  writer.Fill(0x00, 8);
  writer.Bytes(header);
  return out;
}

TicketFileContents DecodeTicketFile(const QByteArray& bytes) {
  ByteReader reader(bytes, QStringLiteral("Zirk.dat"));
  TicketFileContents contents;
  reader.Skip(8);
  contents.label_size = reader.U8();
  contents.prefix = reader.U8();
  contents.barcode_type = reader.U8();
  reader.Skip(8);
  reader.StartRecord();
  QByteArray header;
  for (int line = 0; line < 2; ++line) {
    reader.Skip(1);
    header.append(static_cast<char>(kHeaderAttribute));
    const uint8_t length = reader.U8();
    header.append(static_cast<char>(length));
    header.append(reader.Bytes(length));
    const uint8_t next = reader.U8();
    header.append(static_cast<char>(next));
    if (next != kLineSeparator) break;
  }
  // Only the empty first line and its end mark.
  if (header.size() != 3) contents.header = header;
  return contents;
}

}  // namespace quibrel
