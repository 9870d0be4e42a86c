#pragma once

#include <QLocale>
#include <QString>
#include <QVariant>
#include <optional>

namespace quibrel {

// How prices are written into the goods base: the user's money format with an empty currency
// symbol. A price text holds the amount, the locale's thousands and decimal separators and the
// locale's number of currency decimals, and keeps one space where the locale's pattern puts one
// between amount and symbol (ru_RU: 12.5 is "12,50 ", 1234.5 is "1\u00a0234,50 ").
struct MoneyFormat {
  QLocale locale;
  QString decimal_separator;
  // Empty when amounts are written without one. A separator the price check would read as a
  // decimal separator ('.', ',', an apostrophe) is left out, so that a stored price is accepted
  // again the next time its item is stored.
  QString thousands_separator;
  int currency_digits = 2;
  bool symbol_first = false;  // the locale writes the symbol before the amount
  bool space_between = false;

  // The amount as a price text.
  QString Format(double amount) const;
  // Reads a price text as an amount: the thousands separator and spaces around the number are
  // accepted. Null or empty reads as 0; none when the text is not a number.
  std::optional<double> Read(const QVariant& price) const;
};

// The money format of a locale.
MoneyFormat MoneyFormatFor(const QLocale& locale);

// The process-wide format, filled from the user's locale (QLocale(): the system locale as Qt
// reads LC_ALL, LC_NUMERIC and LANG, unless the program set another default).
const MoneyFormat& FormatSettings();
// Fills FormatSettings again from the user's locale; done at start and whenever a valid price
// is stored.
void FillFormatSettings();

// The amount of a stored price under FormatSettings; null reads as 0 and so does a text that is
// not a number (no item can be priced by an unreadable text, and the scale needs a number).
double PriceAmount(const QVariant& price);

}  // namespace quibrel
