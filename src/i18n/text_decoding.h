#pragma once

#include <QByteArray>
#include <QString>

namespace quibrel {

// Decodes the bytes of a settings or language file: UTF-8 with or without a byte-order mark,
// UTF-16 with a byte-order mark, otherwise a legacy 8-bit file.
QString DecodeProfileText(const QByteArray& bytes);

}  // namespace quibrel
