#pragma once

#include <QByteArray>
#include <QString>

namespace quibrel {

// The one active 8-bit character set of the scales, chosen by the interface language's
// LanguageID. Until InitLanguage first runs every character converts to 0.
void InitLanguage(int Lang);

// The scale byte of a UTF-16 code unit (0 when the active set has none).
unsigned char u2a(char16_t unit);
// The character of a scale byte (0 when the active set has none).
char16_t a2u(unsigned char byte);

// One byte per UTF-16 code unit of Src, in order, into Dest, writing no more than capacity bytes;
// nothing else is written. Returns the number of bytes written.
int UnicodeStrToAsciiArray(const QString& Src, unsigned char* Dest, int capacity);
// The same as a new byte array of Src.size() bytes.
QByteArray UnicodeStrToAsciiArray(const QString& Src);
// Exactly Num characters from the first Num bytes of Src (it does not stop at a zero byte);
// Num of 0 or less gives the empty text. Reads no further than the bytes Src holds.
QString AsciiArrayToUnicodeStr(const QByteArray& Src, int Num);

}  // namespace quibrel
