#pragma once

#include <QString>

namespace quibrel {

// The two label header lines as the ticket-lines row 4 keeps them: code 5, the length, the first
// line; then code 13, or code 12, 5, the length, the second line and 13.
struct HeaderLines {
  QString line1;
  QString line2;
};

// An empty first line encodes as the empty text, whatever the second holds.
QString EncodeHeader(const HeaderLines& lines);
// Reads what can be read of malformed text (a length past the end, no end mark); never reads
// beyond the text.
HeaderLines DecodeHeader(const QString& data);

}  // namespace quibrel
