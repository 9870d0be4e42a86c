// Zirk.dat from a scale or a card: any bytes read as settings or as a truncation error, and the
// header read back is stable when written and read again.
#include <cstdint>
#include <cstdlib>

#include "scalefiles/byte_reader.h"
#include "scalefiles/ticket_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  try {
    const quibrel::TicketFileContents contents = quibrel::DecodeTicketFile(bytes);
    const quibrel::TicketFileContents again =
        quibrel::DecodeTicketFile(quibrel::EncodeTicketFile(contents));
    if (again.header != contents.header || again.label_size != contents.label_size ||
        again.prefix != contents.prefix || again.barcode_type != contents.barcode_type) {
      std::abort();
    }
  } catch (const quibrel::ScaleFileTruncated&) {
  }
  return 0;
}
