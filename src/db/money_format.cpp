#include "db/money_format.h"

#include <cmath>

namespace quibrel {

namespace {

// Stands for the currency symbol while the locale's pattern is examined; no locale uses it.
constexpr char16_t kSymbolMarker = 0xE000;

MoneyFormat& ProcessFormat() {
  static MoneyFormat format = MoneyFormatFor(QLocale());
  return format;
}

bool IsSpaceLike(QChar c) { return c.isSpace(); }

// A character the price check keeps and turns into a decimal separator.
bool ReadAsSeparatorByPriceCheck(const QString& separator) {
  for (QChar c : separator) {
    if (c.unicode() <= 0x39 && c.unicode() != 0x20 && !c.isDigit()) return true;
  }
  return false;
}

// Some locales write other digits; price texts always use ASCII ones so that they stay readable
// by the price check and by the scale files.
QString AsciiDigits(QString text, const QLocale& locale) {
  const QString zero = locale.zeroDigit();
  if (zero.size() != 1 || zero[0] == u'0') return text;
  const char16_t base = zero[0].unicode();
  for (QChar& c : text) {
    if (c.unicode() >= base && c.unicode() <= base + 9) c = QChar(u'0' + (c.unicode() - base));
  }
  return text;
}

}  // namespace

MoneyFormat MoneyFormatFor(const QLocale& locale) {
  MoneyFormat format;
  format.locale = locale;
  format.decimal_separator = locale.decimalPoint();
  format.thousands_separator = locale.groupSeparator();
  if (ReadAsSeparatorByPriceCheck(format.thousands_separator)) format.thousands_separator.clear();

  const QString sample = locale.toCurrencyString(1234.5, QString(QChar(kSymbolMarker)));
  const qsizetype marker = sample.indexOf(QChar(kSymbolMarker));
  qsizetype first_digit = -1, last_digit = -1;
  for (qsizetype i = 0; i < sample.size(); ++i) {
    if (sample[i].isDigit()) {
      if (first_digit < 0) first_digit = i;
      last_digit = i;
    }
  }
  if (marker >= 0 && first_digit >= 0) {
    format.symbol_first = marker < first_digit;
    const qsizetype from = format.symbol_first ? marker + 1 : last_digit + 1;
    const qsizetype to = format.symbol_first ? first_digit : marker;
    for (qsizetype i = from; i < to; ++i) {
      if (IsSpaceLike(sample[i])) format.space_between = true;
    }
  }
  format.currency_digits = 0;
  const qsizetype point = sample.lastIndexOf(format.decimal_separator);
  if (point >= 0 && !format.decimal_separator.isEmpty()) {
    for (qsizetype i = point + format.decimal_separator.size();
         i < sample.size() && sample[i].isDigit(); ++i) {
      ++format.currency_digits;
    }
  }
  return format;
}

QString MoneyFormat::Format(double amount) const {
  QLocale number_locale = locale;
  QLocale::NumberOptions options = number_locale.numberOptions();
  if (thousands_separator.isEmpty()) options |= QLocale::OmitGroupSeparator;
  options &= ~QLocale::NumberOptions(QLocale::IncludeTrailingZeroesAfterDot);
  number_locale.setNumberOptions(options);
  QString text = AsciiDigits(number_locale.toString(amount, 'f', currency_digits), locale);
  if (!space_between) return text;
  return symbol_first ? QStringLiteral(" ") + text : text + QStringLiteral(" ");
}

std::optional<double> MoneyFormat::Read(const QVariant& price) const {
  if (!price.isValid() || price.isNull()) return 0.0;
  QString text = AsciiDigits(price.toString().trimmed(), locale);
  if (text.isEmpty()) return 0.0;
  const QString group = locale.groupSeparator();
  const bool group_is_space = !group.isEmpty() && IsSpaceLike(group[0]);
  QString plain;
  plain.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (!group.isEmpty() && QStringView(text).mid(i).startsWith(group) &&
        group != decimal_separator) {
      i += group.size() - 1;
      continue;
    }
    if (group_is_space && IsSpaceLike(text[i])) continue;
    plain += text[i];
  }
  // Sign, digits, at most one decimal separator, at least one digit.
  qsizetype i = 0;
  bool negative = false;
  if (i < plain.size() && (plain[i] == u'-' || plain[i] == u'+')) negative = plain[i++] == u'-';
  QString c_number;
  bool seen_point = false, seen_digit = false;
  while (i < plain.size()) {
    if (plain[i] >= u'0' && plain[i] <= u'9') {
      c_number += plain[i];
      seen_digit = true;
      ++i;
    } else if (!seen_point && !decimal_separator.isEmpty() &&
               QStringView(plain).mid(i).startsWith(decimal_separator)) {
      c_number += u'.';
      seen_point = true;
      i += decimal_separator.size();
    } else {
      return std::nullopt;
    }
  }
  if (!seen_digit) return std::nullopt;
  bool ok = false;
  const double value = c_number.toDouble(&ok);
  if (!ok || !std::isfinite(value)) return std::nullopt;
  return negative ? -value : value;
}

const MoneyFormat& FormatSettings() { return ProcessFormat(); }

void FillFormatSettings() {
  // Rebuilt after every stored price; building it is costly, so only when the locale changed.
  static QString filled_for;
  const QLocale locale;
  const QString key = locale.name() + '|' + locale.bcp47Name();
  if (key == filled_for) return;
  ProcessFormat() = MoneyFormatFor(locale);
  filled_for = key;
}

double PriceAmount(const QVariant& price) { return FormatSettings().Read(price).value_or(0.0); }

}  // namespace quibrel
