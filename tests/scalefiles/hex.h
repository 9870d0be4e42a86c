#pragma once

#include <QByteArray>

namespace quibrel::testing {

// Bytes written as hex in a test; blanks and bars between the bytes are for reading.
inline QByteArray Hex(const char* text) { return QByteArray::fromHex(QByteArray(text)); }

}  // namespace quibrel::testing
