// products.dat comes from a scale or a card: any bytes must read as records or as a truncation
// error, and whatever reads must write and read back the same.
#include <cstdint>
#include <cstdlib>

#include "scalefiles/byte_reader.h"
#include "scalefiles/goods_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  try {
    const quibrel::GoodsFileContents contents = quibrel::DecodeGoodsFile(bytes);
    QByteArray again;
    for (const quibrel::GoodsFileRecord& record : contents.records) {
      again += quibrel::EncodeGoodsRecord(record);
    }
    const quibrel::GoodsFileContents reread = quibrel::DecodeGoodsFile(again);
    if (reread.records.size() != contents.records.size()) std::abort();
    for (qsizetype i = 0; i < reread.records.size(); ++i) {
      const auto& a = contents.records[i];
      const auto& b = reread.records[i];
      // Shelf life is 48 bits on the scale and names at most 255 bytes, as read.
      if (a.plu != b.plu || a.counted != b.counted || a.price != b.price ||
          a.shelf_life_minutes != b.shelf_life_minutes || a.name1 != b.name1 ||
          a.name2 != b.name2) {
        std::abort();
      }
    }
  } catch (const quibrel::ScaleFileTruncated&) {
  }
  return 0;
}
