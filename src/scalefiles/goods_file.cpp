#include "scalefiles/goods_file.h"

#include <limits>

#include "db/money_format.h"
#include "scalefiles/byte_reader.h"

namespace quibrel {

namespace {

constexpr uint8_t kCountedFlag = 0x02;
constexpr uint8_t kLineSeparator = 0x0C;
constexpr uint8_t kBlockEnd = 0x0D;
constexpr int kMaxLineBytes = 255;
const QString kFileName = QStringLiteral("products.dat");

bool IsAsciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }

QByteArray LineText(const QByteArray& text) { return text.left(kMaxLineBytes); }

// Reads one line's length and text after its attribute byte.
QByteArray ReadLineText(ByteReader& reader) {
  const uint8_t length = reader.U8();
  return reader.Bytes(length);
}

// Skips further lines of a block up to its end mark; next is the byte read after the last line.
void SkipRestOfBlock(ByteReader& reader, uint8_t next) {
  while (next != kBlockEnd) {
    reader.Skip(1);  // attribute
    ReadLineText(reader);
    next = reader.U8();
  }
}

// A block whose lines are all ignored.
void SkipBlock(ByteReader& reader) {
  reader.Skip(1);
  ReadLineText(reader);
  SkipRestOfBlock(reader, reader.U8());
}

}  // namespace

QByteArray EncodeGoodsRecord(const GoodsFileRecord& record) {
  const QByteArray name1 = LineText(record.name1);
  const QByteArray name2 = LineText(record.name2);
  const int t1 = static_cast<int>(name1.size());
  const int t2 = static_cast<int>(name2.size());
  QByteArray out;
  out.reserve(56 + t1 + t2);
  ByteWriter writer(out);
  writer.U32(static_cast<uint32_t>(record.plu));
  writer.U16(static_cast<uint16_t>(name2.isEmpty() ? 47 + t1 : 50 + t1 + t2));
  writer.U8(record.counted ? kCountedFlag : 0x00);
  writer.Fill(0x00, 4);
  writer.U32(static_cast<uint32_t>(record.price));
  writer.Fill(0x00, 4 + 4 + 6);
  writer.U48(record.shelf_life_minutes);
  writer.Fill(0x20, 4);
  writer.Fill(0x00, 4);
  writer.U8(0x00);
  writer.U8(static_cast<uint8_t>(t1));
  writer.Bytes(name1);
  if (!name2.isEmpty()) {
    writer.U8(kLineSeparator);
    writer.U8(0x00);
    writer.U8(static_cast<uint8_t>(t2));
    writer.Bytes(name2);
  }
  writer.U8(kBlockEnd);
  // Text blocks 2 and 3: one empty line each.
  for (int block = 0; block < 2; ++block) {
    writer.U8(0x00);
    writer.U8(0x00);
    writer.U8(kBlockEnd);
  }
  uint8_t checksum = 0;
  for (char byte : out) checksum = static_cast<uint8_t>(checksum + static_cast<uint8_t>(byte));
  writer.U8(checksum);
  return out;
}

GoodsFileContents DecodeGoodsFile(const QByteArray& bytes) {
  GoodsFileContents contents;
  contents.records.reserve(bytes.size() / 53);  // the shortest record
  ByteReader reader(bytes, kFileName);
  while (!reader.AtEnd()) {
    reader.StartRecord();
    GoodsFileRecord record;
    record.plu = reader.I32();
    const uint16_t length = reader.U16();
    if (record.plu == 0) {
      // The length counts only for a record that is skipped whole.
      reader.Skip(length);
      ++contents.skipped_zero_plu;
      continue;
    }
    record.counted = (reader.U8() & kCountedFlag) != 0;
    reader.Skip(4);
    record.price = reader.I32();
    reader.Skip(14);
    record.shelf_life_minutes = reader.U48();
    reader.Skip(9);  // blanks, zeros and the attribute of name line 1
    record.name1 = ReadLineText(reader);
    uint8_t next = reader.U8();
    if (next != kBlockEnd) {
      reader.Skip(1);
      record.name2 = ReadLineText(reader);
      next = reader.U8();
    }
    SkipRestOfBlock(reader, next);  // lines past the second are not names
    SkipBlock(reader);
    SkipBlock(reader);
    reader.Skip(1);  // the checksum, which the scale does not check either
    contents.records.push_back(std::move(record));
  }
  return contents;
}

std::optional<int32_t> PriceToHundredths(const QString& text, const MoneyFormat& format) {
  // The same separators goods editing reads prices with, so that every price it stores is
  // readable here.
  const QString group = format.locale.groupSeparator();
  const QString& decimal = format.decimal_separator;
  const bool drop_group = !group.isEmpty() && group != decimal;
  const bool group_is_space = drop_group && group[0].isSpace();
  const QString trimmed = text.trimmed();
  QString cleaned;
  cleaned.reserve(trimmed.size());
  for (qsizetype c = 0; c < trimmed.size(); ++c) {
    if (drop_group && QStringView(trimmed).mid(c).startsWith(group)) {
      c += group.size() - 1;
      continue;
    }
    if (group_is_space && trimmed[c].isSpace()) continue;
    cleaned += trimmed[c];
  }
  if (cleaned.isEmpty()) return 0;

  qsizetype i = 0;
  bool negative = false;
  if (cleaned[0] == '-' || cleaned[0] == '+') {
    negative = cleaned[0] == '-';
    ++i;
  }
  int64_t whole = 0;
  int whole_digits = 0;
  for (; i < cleaned.size() && IsAsciiDigit(cleaned[i]); ++i) {
    whole = whole * 10 + (cleaned[i].unicode() - '0');
    if (whole > std::numeric_limits<int32_t>::max()) return std::nullopt;
    ++whole_digits;
  }
  QString fraction;
  if (!decimal.isEmpty() && QStringView(cleaned).mid(i).startsWith(decimal)) {
    i += decimal.size();
    for (; i < cleaned.size() && IsAsciiDigit(cleaned[i]); ++i) {
      fraction += cleaned[i];
    }
  }
  if (i != cleaned.size() || (whole_digits == 0 && fraction.isEmpty())) return std::nullopt;

  int64_t hundredths = whole * 100;
  for (int d = 0; d < 2; ++d) {
    hundredths += (d < fraction.size() ? fraction[d].unicode() - '0' : 0) * (d == 0 ? 10 : 1);
  }
  // Exact decimal rounding of what lies past the hundredths: a binary double would turn
  // 1.005 into 1.00499... and round a true half the wrong way.
  if (fraction.size() > 2) {
    const QString rest = fraction.mid(2);
    const int first = rest[0].unicode() - '0';
    bool later_digits = false;
    for (qsizetype d = 1; d < rest.size(); ++d) later_digits = later_digits || rest[d] != '0';
    const bool beyond_half = first > 5 || (first == 5 && later_digits);
    const bool exactly_half = first == 5 && !later_digits;
    if (beyond_half || (exactly_half && hundredths % 2 == 1)) ++hundredths;
  }
  if (negative) hundredths = -hundredths;
  if (hundredths > std::numeric_limits<int32_t>::max() ||
      hundredths < std::numeric_limits<int32_t>::min()) {
    return std::nullopt;
  }
  return static_cast<int32_t>(hundredths);
}

QString HundredthsToPriceText(int32_t hundredths, const MoneyFormat& format) {
  const int64_t value = hundredths;
  const int64_t magnitude = value < 0 ? -value : value;
  return QStringLiteral("%1%2%3%4")
      .arg(value < 0 ? QStringLiteral("-") : QString())
      .arg(magnitude / 100)
      .arg(format.decimal_separator)
      .arg(magnitude % 100, 2, 10, QChar('0'));
}

}  // namespace quibrel
