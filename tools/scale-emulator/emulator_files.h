#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <cstdint>
#include <vector>

namespace quibrel::emulator {

// The name a scale keeps each file type under; empty for an unknown type.
QString FileNameForType(std::uint8_t file_type);

// The path of a file of the folder, matched without letter case (a scale's file system does not
// tell products.dat from Products.dat); the lower-case name in the folder when none exists.
QString FindFile(const QString& dir, const QString& name);

// The PLUs of a goods file, in file order (records with PLU 0 skipped); stops at a record that
// runs past the end.
std::vector<std::uint32_t> GoodsPlus(const QByteArray& goods_file);

// count totals records of 28 bytes: PLUs taken in turn from plus (1, 2, 3... when empty), both
// weighed and counted goods, last-sale dates on the days up to today, hours of a shop's day.
QByteArray MakeTotals(int count, const std::vector<std::uint32_t>& plus, const QDate& today);

}  // namespace quibrel::emulator
