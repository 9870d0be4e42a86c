#pragma once

#include <QByteArray>
#include <QString>

namespace quibrel {

// How the bytes of a settings or language file were written, so that writing it back keeps the
// form a Windows editor or an older installation left.
enum class ProfileEncoding { kUtf8, kUtf8Bom, kUtf16LE, kUtf16BE, kLegacy8Bit };

struct DecodedProfile {
  QString text;
  ProfileEncoding encoding = ProfileEncoding::kUtf8;
};

// Decodes the bytes of a settings or language file: UTF-8 with or without a byte-order mark,
// UTF-16 with a byte-order mark, otherwise (bytes that are not UTF-8) a legacy 8-bit file in the
// Windows code page of its own [Global] LanguageID, read first as ASCII.
DecodedProfile DecodeProfile(const QByteArray& bytes);
QString DecodeProfileText(const QByteArray& bytes);

// The bytes of text in the given form; a legacy file is written back as UTF-8, because a new
// value may hold characters its code page lacks.
QByteArray EncodeProfileText(const QString& text, ProfileEncoding encoding);

// The 128 characters of the bytes 0x80 to 0xFF in the Windows ANSI code page of a Windows
// language identifier (Cyrillic for identifiers we do not know).
const char16_t* AnsiCodePageOfLanguage(int language_id);

}  // namespace quibrel
