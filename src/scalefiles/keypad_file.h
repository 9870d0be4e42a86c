#pragma once

#include <QByteArray>
#include <QVector>
#include <cstdint>

namespace quibrel {

// Keys on a scale's keypad, and so entries of one layout in keyboard.dat.
constexpr int kKeypadKeys = 33;
constexpr int kKeypadEntryBytes = 12;

// One entry per PLU, key numbers from 1 in order.
QByteArray EncodeKeypadFile(const QVector<int32_t>& plus);
// The PLU of every entry, in file order; the key numbers in the file are not used. Throws
// ScaleFileTruncated when the file ends inside an entry.
QVector<int32_t> DecodeKeypadFile(const QByteArray& bytes);

}  // namespace quibrel
