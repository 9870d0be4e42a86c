// Feeds arbitrary bytes to the settings and language file reader: decoding, parsing, look-ups
// and a write that must read back as written, whatever surrounds it.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <cstdlib>

#include "i18n/ini_file.h"
#include "i18n/text_decoding.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const quibrel::DecodedProfile decoded = quibrel::DecodeProfile(bytes);
  quibrel::IniFile ini;
  ini.ParseText(decoded.text);
  (void)ini.ReadInteger("Global", "LanguageID", 1049);
  (void)ini.ReadString("Main", "Products", "Products");
  // The first section and key names of the input, so that look-ups also hit present keys.
  const int open = decoded.text.indexOf('[');
  const int close = decoded.text.indexOf(']', open + 1);
  if (open >= 0 && close > open) {
    const QString section = decoded.text.mid(open + 1, close - open - 1);
    const int equals = decoded.text.indexOf('=', close);
    (void)ini.ReadString(section, decoded.text.mid(close + 1, equals - close - 1), QString());
  }
  QString value = QString::fromUtf8(bytes.right(48));
  value.remove('\r').remove('\n');  // line breaks are turned into blanks on purpose
  ini.WriteString("FuzzSection", "FuzzKey", value);
  if (ini.ReadString("fuzzsection", "fuzzkey", "<missing>") != value) std::abort();
  return 0;
}
