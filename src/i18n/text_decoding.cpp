#include "i18n/text_decoding.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include "i18n/code_pages.h"
#include "i18n/ini_file.h"

namespace quibrel {

const char16_t* AnsiCodePageOfLanguage(int language_id) {
  // Azerbaijani in Cyrillic script shares the primary language of the Latin one.
  if (language_id == 0x082C) return CP_1251;
  switch (language_id & 0x3FF) {
    case 0x25:  // Estonian
    case 0x26:  // Latvian
    case 0x27:  // Lithuanian
      return CP_1257;
    case 0x1F:  // Turkish
    case 0x2C:  // Azerbaijani (Latin)
      return CP_1254_AZE;
    case 0x03: case 0x06: case 0x07: case 0x09: case 0x0A: case 0x0B: case 0x0C: case 0x0F:
    case 0x10: case 0x13: case 0x14: case 0x16: case 0x1D: case 0x21: case 0x2D: case 0x36:
    case 0x3E: case 0x41: case 0x56:
      // Catalan, Danish, German, English, Spanish, Finnish, French, Icelandic, Italian, Dutch,
      // Norwegian, Portuguese, Swedish, Indonesian, Basque, Afrikaans, Malay, Swahili, Galician.
      return CP_1252;
    default:
      return CP_1251;
  }
}

namespace {

QString DecodeLegacy(const QByteArray& bytes) {
  // Section and key names are ASCII, so the identifier reads the same in every code page.
  IniFile probe;
  probe.ParseText(QString::fromLatin1(bytes));
  const char16_t* table = AnsiCodePageOfLanguage(probe.ReadInteger("Global", "LanguageID", 1049));
  QString text(bytes.size(), Qt::Uninitialized);
  QChar* out = text.data();
  for (const char byte : bytes) {
    const auto b = static_cast<unsigned char>(byte);
    const char16_t unit = b < 0x80 ? b : table[b - 0x80];
    *out++ = (b >= 0x80 && unit == 0) ? QChar(QChar::ReplacementCharacter) : QChar(unit);
  }
  return text;
}

}  // namespace

DecodedProfile DecodeProfile(const QByteArray& bytes) {
  if (bytes.startsWith("\xEF\xBB\xBF")) {
    return {QString::fromUtf8(bytes.mid(3)), ProfileEncoding::kUtf8Bom};
  }
  if (bytes.startsWith("\xFF\xFE")) {
    QStringDecoder decoder(QStringDecoder::Utf16LE);
    return {decoder(bytes.mid(2)), ProfileEncoding::kUtf16LE};
  }
  if (bytes.startsWith("\xFE\xFF")) {
    QStringDecoder decoder(QStringDecoder::Utf16BE);
    return {decoder(bytes.mid(2)), ProfileEncoding::kUtf16BE};
  }
  QStringDecoder utf8(QStringDecoder::Utf8);
  QString text = utf8(bytes);
  if (!utf8.hasError()) return {text, ProfileEncoding::kUtf8};
  return {DecodeLegacy(bytes), ProfileEncoding::kLegacy8Bit};
}

QString DecodeProfileText(const QByteArray& bytes) { return DecodeProfile(bytes).text; }

QByteArray EncodeProfileText(const QString& text, ProfileEncoding encoding) {
  switch (encoding) {
    case ProfileEncoding::kUtf8Bom:
      return "\xEF\xBB\xBF" + text.toUtf8();
    case ProfileEncoding::kUtf16LE: {
      QStringEncoder encoder(QStringEncoder::Utf16LE);
      return "\xFF\xFE" + QByteArray(encoder(text));
    }
    case ProfileEncoding::kUtf16BE: {
      QStringEncoder encoder(QStringEncoder::Utf16BE);
      return "\xFE\xFF" + QByteArray(encoder(text));
    }
    case ProfileEncoding::kUtf8:
    case ProfileEncoding::kLegacy8Bit:
      break;
  }
  return text.toUtf8();
}

}  // namespace quibrel
