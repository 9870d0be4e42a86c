#include "i18n/text_decoding.h"

#include <QStringDecoder>

namespace quibrel {

QString DecodeProfileText(const QByteArray& bytes) {
  if (bytes.startsWith("\xEF\xBB\xBF")) return QString::fromUtf8(bytes.mid(3));
  if (bytes.startsWith("\xFF\xFE")) {
    QStringDecoder decoder(QStringDecoder::Utf16LE);
    return decoder(bytes.mid(2));
  }
  if (bytes.startsWith("\xFE\xFF")) {
    QStringDecoder decoder(QStringDecoder::Utf16BE);
    return decoder(bytes.mid(2));
  }
  QStringDecoder utf8(QStringDecoder::Utf8);
  QString text = utf8(bytes);
  if (!utf8.hasError()) return text;
  return QString::fromLatin1(bytes);
}

}  // namespace quibrel
