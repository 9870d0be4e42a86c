#include "i18n/scale_charset.h"

#include <algorithm>
#include <array>

#include "i18n/code_pages.h"

namespace quibrel {
namespace {

// The active set. Both stay all zero until InitLanguage first runs, so a file written before a
// language is chosen holds zeros rather than the bytes of a guessed set.
std::array<unsigned char, 65536> u2a_table{};
std::array<char16_t, 256> a2u_table{};

void InitCpUni() {
  u2a_table.fill(0);
  for (int c = 0; c < 128; ++c) {
    u2a_table[c] = static_cast<unsigned char>(c);
    a2u_table[c] = static_cast<char16_t>(c);
  }
}

// Bytes without a character never touch u2a, so U+0000 always stays byte 0x00. The loop runs
// upwards: a higher byte would win a character two bytes shared (no table has such a pair).
void InitCodePage(const char16_t (&table)[128]) {
  for (int b = 0x80; b <= 0xFF; ++b) {
    const char16_t t = table[b - 0x80];
    a2u_table[b] = t;
    if (t != 0) u2a_table[t] = static_cast<unsigned char>(b);
  }
}

void InitCp1251() { InitCodePage(CP_1251); }
void InitCp1252() { InitCodePage(CP_1252); }
void InitCp1254_AZE() { InitCodePage(CP_1254_AZE); }
void InitCp1257() { InitCodePage(CP_1257); }

}  // namespace

void InitLanguage(int Lang) {
  InitCpUni();
  switch (Lang) {
    case 0x040C:  // French (France)
      InitCp1252();
      break;
    case 0x0426:  // Latvian
      InitCp1257();
      break;
    case 0x042C:  // Azerbaijani (Latin)
      InitCp1254_AZE();
      break;
    default:  // Russian, and every identifier without a set of its own
      InitCp1251();
      break;
  }
}

unsigned char u2a(char16_t unit) { return u2a_table[unit]; }

char16_t a2u(unsigned char byte) { return a2u_table[byte]; }

int UnicodeStrToAsciiArray(const QString& Src, unsigned char* Dest, int capacity) {
  const int count = std::min<qsizetype>(Src.size(), std::max(capacity, 0));
  const char16_t* units = reinterpret_cast<const char16_t*>(Src.utf16());
  for (int i = 0; i < count; ++i) Dest[i] = u2a_table[units[i]];
  return count;
}

QByteArray UnicodeStrToAsciiArray(const QString& Src) {
  QByteArray bytes(Src.size(), '\0');
  UnicodeStrToAsciiArray(Src, reinterpret_cast<unsigned char*>(bytes.data()),
                         static_cast<int>(bytes.size()));
  return bytes;
}

QString AsciiArrayToUnicodeStr(const QByteArray& Src, int Num) {
  const int count = std::min<qsizetype>(std::max(Num, 0), Src.size());
  QString text(count, Qt::Uninitialized);
  for (int i = 0; i < count; ++i) {
    text[i] = QChar(a2u_table[static_cast<unsigned char>(Src[i])]);
  }
  return text;
}

}  // namespace quibrel
