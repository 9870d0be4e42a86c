#include "emulator_files.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include "link/frame.h"

namespace quibrel::emulator {

QString FileNameForType(std::uint8_t file_type) {
  switch (file_type) {
    case kFileGoods:
      return "products.dat";
    case kFileTicket:
      return "Zirk.dat";
    case kFileKeypad:
      return "keyboard.dat";
    case kFileTotals:
      return "Totals.dat";
    default:
      return {};
  }
}

QString FindFile(const QString& dir, const QString& name) {
  // The usual spelling first: listing the folder on every block costs more than the block.
  const QString usual = QDir(dir).filePath(name);
  if (QFileInfo::exists(usual)) return usual;
  const QStringList present = QDir(dir).entryList(QDir::Files);
  for (const QString& file : present) {
    if (file.compare(name, Qt::CaseInsensitive) == 0) return QDir(dir).filePath(file);
  }
  return QDir(dir).filePath(name);
}

std::vector<std::uint32_t> GoodsPlus(const QByteArray& goods_file) {
  std::vector<std::uint32_t> plus;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(goods_file.constData());
  qsizetype at = 0;
  while (at + 6 <= goods_file.size()) {
    const std::uint32_t plu = bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) |
                              (static_cast<std::uint32_t>(bytes[at + 3]) << 24);
    const int length = bytes[at + 4] | (bytes[at + 5] << 8);
    if (at + 6 + length > goods_file.size()) break;
    if (plu != 0) plus.push_back(plu);
    at += 6 + length;
  }
  return plus;
}

namespace {

void PutLE(QByteArray& out, qsizetype at, std::uint64_t value, int size) {
  for (int i = 0; i < size; ++i) out[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace

QByteArray MakeTotals(int count, const std::vector<std::uint32_t>& plus, const QDate& today) {
  constexpr int kRecord = 28;
  QByteArray out(static_cast<qsizetype>(count) * kRecord, '\0');
  // Fixed seed: the same options give the same file, which makes demonstrations repeatable.
  QRandomGenerator random(5001);
  for (int i = 0; i < count; ++i) {
    const qsizetype at = static_cast<qsizetype>(i) * kRecord;
    const std::uint32_t plu = plus.empty() ? static_cast<std::uint32_t>(i + 1)
                                           : plus[static_cast<size_t>(i) % plus.size()];
    const bool counted = i % 4 == 3;
    const int day_sales = random.bounded(1, 60);
    const int month_sales = day_sales + random.bounded(0, 900);
    // Weighed goods in grams (thousandths of a kilogram), counted goods in pieces.
    const std::uint64_t per_sale = counted ? random.bounded(1, 4) : random.bounded(150, 2500);
    const std::uint64_t day_quantity = per_sale * static_cast<std::uint64_t>(day_sales);
    const std::uint64_t month_quantity = per_sale * static_cast<std::uint64_t>(month_sales);
    const QDate last = today.addDays(-random.bounded(0, 28));
    PutLE(out, at, plu, 4);
    out[at + 6] = static_cast<char>(counted ? 0x02 : 0x00);
    PutLE(out, at + 8, day_quantity, 6);
    PutLE(out, at + 14, static_cast<std::uint64_t>(day_sales), 2);
    PutLE(out, at + 16, month_quantity, 6);
    PutLE(out, at + 22, static_cast<std::uint64_t>(month_sales), 2);
    out[at + 24] = static_cast<char>(last.year() - 2000);
    out[at + 25] = static_cast<char>(last.month());
    out[at + 26] = static_cast<char>(last.day());
    out[at + 27] = static_cast<char>(random.bounded(8, 21));
  }
  return out;
}

}  // namespace quibrel::emulator
