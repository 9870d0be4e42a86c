#include "db/header_lines.h"

#include <gtest/gtest.h>

namespace quibrel {
namespace {

TEST(HeaderLinesTest, TwoFullLinesEncodeToTheLongestValueAndBack) {
  const HeaderLines lines{QString(36, 'A'), QString(36, 'B')};
  const QString data = EncodeHeader(lines);
  EXPECT_EQ(data.size(), 78);
  const HeaderLines decoded = DecodeHeader(data);
  EXPECT_EQ(decoded.line1, lines.line1);
  EXPECT_EQ(decoded.line2, lines.line2);
}

TEST(HeaderLinesTest, FirstLineAloneEndsWithCarriageReturn) {
  const QString data = EncodeHeader({"Fresh", ""});
  ASSERT_EQ(data.size(), 5 + 3);
  EXPECT_EQ(data[0].unicode(), 5);
  EXPECT_EQ(data[1].unicode(), 5);
  EXPECT_EQ(data.mid(2, 5), "Fresh");
  EXPECT_EQ(data.back().unicode(), 13);
  const HeaderLines decoded = DecodeHeader(data);
  EXPECT_EQ(decoded.line1, "Fresh");
  EXPECT_EQ(decoded.line2, "");
}

TEST(HeaderLinesTest, EmptyFirstLineStoresNothing) {
  EXPECT_EQ(EncodeHeader({"", "Second"}), "");
}

TEST(HeaderLinesTest, MalformedTextDecodesWhatCanBeRead) {
  struct Case {
    const char* name;
    QString data;
    QString line1;
    QString line2;
  };
  const QString five = QString(QChar(5));
  const QString c12 = QString(QChar(12));
  const QString c13 = QString(QChar(13));
  const Case cases[] = {
      {"empty", "", "", ""},
      {"mark only", five, "", ""},
      {"length past the end", five + QChar(40) + "Short", "Short", ""},
      {"no end mark after line 1", five + QChar(3) + "Abc", "Abc", ""},
      {"second line without end mark", five + QChar(3) + "Abc" + c12 + five + QChar(2) + "Xy",
       "Abc", "Xy"},
      {"second line cut after its mark", five + QChar(3) + "Abc" + c12, "Abc", ""},
      {"well formed", five + QChar(1) + "A" + c12 + five + QChar(1) + "B" + c13, "A", "B"},
  };
  for (const Case& c : cases) {
    const HeaderLines decoded = DecodeHeader(c.data);
    EXPECT_EQ(decoded.line1, c.line1) << c.name;
    EXPECT_EQ(decoded.line2, c.line2) << c.name;
  }
}

}  // namespace
}  // namespace quibrel
