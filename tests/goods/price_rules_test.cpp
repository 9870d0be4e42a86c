#include <QLocale>
#include <gtest/gtest.h>

#include "db/goods_rules.h"
#include "db/money_format.h"

namespace quibrel {
namespace {

// Sets the user's locale for one test and puts the previous one back.
class LocaleScope {
 public:
  explicit LocaleScope(const char* name) : previous_(QLocale()) {
    QLocale::setDefault(QLocale(name));
    FillFormatSettings();
  }
  ~LocaleScope() {
    QLocale::setDefault(previous_);
    FillFormatSettings();
  }

 private:
  QLocale previous_;
};

struct PriceCase {
  const char* locale;
  const char* entered;
  const char* stored;  // nullptr: refused
};

class PriceRuleTest : public ::testing::TestWithParam<PriceCase> {};

TEST_P(PriceRuleTest, NormalisesOrRefuses) {
  const PriceCase& c = GetParam();
  LocaleScope scope(c.locale);
  const std::optional<QString> stored = NormalizePrice(QString::fromUtf8(c.entered));
  if (c.stored == nullptr) {
    EXPECT_FALSE(stored.has_value()) << stored->toStdString();
  } else {
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->toStdString(), c.stored);
    // A stored price must pass the same rule unchanged whenever its item is stored again.
    EXPECT_EQ(NormalizePrice(*stored), stored);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Locales, PriceRuleTest,
    ::testing::Values(
        // Russian: decimal comma, no-break space between thousands, a space after the amount.
        PriceCase{"ru_RU", "12.5", "12,50 "}, PriceCase{"ru_RU", "12,5 р.", "12,50 "},
        PriceCase{"ru_RU", "abc", "0,00 "}, PriceCase{"ru_RU", "", "0,00 "},
        PriceCase{"ru_RU", "9999.99", "9\u00a0999,99 "}, PriceCase{"ru_RU", "10000", nullptr},
        PriceCase{"ru_RU", "1.2.3", nullptr}, PriceCase{"ru_RU", "-5", "0,50 "},
        PriceCase{"ru_RU", "5-", "5,00 "}, PriceCase{"ru_RU", "1234.5", "1\u00a0234,50 "},
        PriceCase{"ru_RU", "9999.999", nullptr}, PriceCase{"ru_RU", ".", nullptr},
        // English: decimal point, symbol before the amount without a space, and no thousands
        // separator, which the rule would otherwise read as a second decimal point.
        PriceCase{"en_US", "12.5", "12.50"}, PriceCase{"en_US", "12,5 $", "12.50"},
        PriceCase{"en_US", "abc", "0.00"}, PriceCase{"en_US", "1234.5", "1234.50"},
        PriceCase{"en_US", "9999.99", "9999.99"}, PriceCase{"en_US", "10000", nullptr},
        PriceCase{"en_US", "1.2.3", nullptr}, PriceCase{"en_US", "-5", "0.50"},
        PriceCase{"en_US", "5-", "5.00"},
        // German: decimal comma, '.' between thousands left out, a space after the amount.
        PriceCase{"de_DE", "12.5", "12,50 "}, PriceCase{"de_DE", "1234,5 €", "1234,50 "},
        PriceCase{"de_DE", "9999.99", "9999,99 "}, PriceCase{"de_DE", "10000", nullptr},
        PriceCase{"de_DE", "1.2.3", nullptr}, PriceCase{"de_DE", "-5", "0,50 "},
        PriceCase{"de_DE", "", "0,00 "}));

TEST(MoneyFormatTest, ReadsStoredPricesWithThousandsSeparatorsAndSpaces) {
  const MoneyFormat ru = MoneyFormatFor(QLocale("ru_RU"));
  EXPECT_EQ(ru.Read(QString::fromUtf8("1\u00a0234,50 ")), 1234.5);
  EXPECT_EQ(ru.Read(QString("1 234,50")), 1234.5);
  EXPECT_EQ(ru.Read(QVariant()), 0.0);
  EXPECT_EQ(ru.Read(QString("abc")), std::nullopt);
  EXPECT_EQ(ru.Read(QString("1,2,3")), std::nullopt);
  const MoneyFormat de = MoneyFormatFor(QLocale("de_DE"));
  EXPECT_EQ(de.Read(QString("1.234,50 ")), 1234.5);
  const MoneyFormat en = MoneyFormatFor(QLocale("en_US"));
  EXPECT_EQ(en.Read(QString(" 12.50 ")), 12.5);
  EXPECT_EQ(en.Read(QString("12,50")), 1250.0);  // the comma groups thousands there
}

}  // namespace
}  // namespace quibrel
