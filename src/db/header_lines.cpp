#include "db/header_lines.h"

namespace quibrel {

QString EncodeHeader(const HeaderLines& lines) {
  if (lines.line1.isEmpty()) return QString();
  QString data;
  data += QChar(5);
  data += QChar(static_cast<char16_t>(lines.line1.size()));
  data += lines.line1;
  if (lines.line2.isEmpty()) {
    data += QChar(13);
    return data;
  }
  data += QChar(12);
  data += QChar(5);
  data += QChar(static_cast<char16_t>(lines.line2.size()));
  data += lines.line2;
  data += QChar(13);
  return data;
}

HeaderLines DecodeHeader(const QString& data) {
  HeaderLines lines;
  if (data.size() < 2) return lines;
  const int length1 = data[1].unicode();
  lines.line1 = data.mid(2, length1);
  const int after1 = 2 + length1;  // index of the character after the first line
  if (after1 >= data.size() || data[after1].unicode() == 13) return lines;
  // The second line runs from after its length up to, not including, the end mark.
  const int start2 = after1 + 3;
  const int end2 = data.endsWith(QChar(13)) ? data.size() - 1 : data.size();
  if (start2 >= end2) return lines;
  lines.line2 = data.mid(start2, end2 - start2);
  return lines;
}

}  // namespace quibrel
