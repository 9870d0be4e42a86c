#pragma once

#include <QByteArray>
#include <cstdint>

namespace quibrel {

// The label settings of Zirk.dat, the header block in the scale character set.
struct TicketFileContents {
  uint8_t label_size = 0;
  uint8_t prefix = 0;
  uint8_t barcode_type = 0;
  // Written as given; an empty block is written as an empty line and its end mark.
  QByteArray header;
};

QByteArray EncodeTicketFile(const TicketFileContents& contents);

// The header comes back rebuilt from its first two lines, each attribute stored as 0x05; an empty
// first line with nothing after it gives an empty header. Throws ScaleFileTruncated.
TicketFileContents DecodeTicketFile(const QByteArray& bytes);

}  // namespace quibrel
