#include <gtest/gtest.h>

#include <cmath>

#include "rows/voucher.h"
#include "tallyward/error.h"
#include "tallyward/variant.h"

namespace tallyward {
namespace {

// Days since 30 December 1899 of a few dates, for readable expectations.
constexpr double k2008May1 = 39569;

TEST(StrToDbl, ReadsNumbersAndGivesZeroForTheRest) {
  const struct { const char* text; double expected; } cases[] = {
      {"", 0},      {"abc", 0},    {" ", 0},         {"12.5", 12.5},  {"-3", -3},
      {"1,234.5", 1234.5}, {" 7 ", 7}, {"+4", 4},    {"1e3", 1000},   {".5", 0.5},
      {"12abc", 0}, {"inf", 0},    {"nan", 0},       {"1e-999", 0},   {"--1", 0},
      {",5", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(StrToDbl(c.text), c.expected) << "text: '" << c.text << "'";
}

TEST(VarToDbl, NullEmptyAndTextThatIsNoNumberGiveZero) {
  EXPECT_EQ(VarToDbl(Variant::null()), 0);
  EXPECT_EQ(VarToDbl(Variant("")), 0);
  EXPECT_EQ(VarToDbl(Variant("abc")), 0);
  EXPECT_EQ(VarToDbl(Variant("7")), 7);
  EXPECT_EQ(VarToDbl(Variant(2.5)), 2.5);
  EXPECT_EQ(VarToDbl(Variant(true)), -1);
}

TEST(XmlDateValue, ReplacesCapitalTOnlyAndFallsBackToTheZeroDate) {
  EXPECT_DOUBLE_EQ(XmlDateValue("2008-05-01T10:20:30").value,
                   k2008May1 + (10 * 3600 + 20 * 60 + 30) / 86400.0);
  EXPECT_EQ(XmlDateValue("2008-05-01").value, k2008May1);
  EXPECT_EQ(XmlDateValue("").value, 0);
  EXPECT_EQ(XmlDateValue("xyz").value, 0);
  EXPECT_EQ(XmlDateValue("2008-05-01t10:20:30").value, 0);  // a lower-case t is not a separator
  EXPECT_EQ(XmlDateValue("2008-02-30").value, 0);
}

TEST(DatePart, CutsAtTheFirstCapitalT) {
  EXPECT_TRUE(datePartIsDate("2008-05-01T00:00:00"));
  EXPECT_TRUE(datePartIsDate("2008/5/1"));
  EXPECT_TRUE(datePartIsDate("2008.05.01"));
  EXPECT_TRUE(datePartIsDate("2008-02-29"));
  EXPECT_FALSE(datePartIsDate("2007-02-29"));
  EXPECT_FALSE(datePartIsDate("2008-13-01"));
  EXPECT_FALSE(datePartIsDate("2008-05-01t00:00:00"));
  EXPECT_FALSE(datePartIsDate("abc"));
  EXPECT_FALSE(datePartIsDate("2008-05"));
  EXPECT_FALSE(datePartIsDate("2008-05/01"));  // one separator throughout
}

TEST(Conversions, BooleanOfTextNumbersAndWords) {
  EXPECT_TRUE(toBoolean(Variant("True")));
  EXPECT_TRUE(toBoolean(Variant("tRUE")));
  EXPECT_FALSE(toBoolean(Variant("FALSE")));
  EXPECT_TRUE(toBoolean(Variant("-1")));
  EXPECT_FALSE(toBoolean(Variant("0")));
  EXPECT_TRUE(toBoolean(Variant(2.5)));
  for (const Variant& bad : {Variant(""), Variant("yes"), Variant::null()}) {
    try {
      toBoolean(bad);
      ADD_FAILURE() << "converted a value that is no Boolean";
    } catch (const Error& e) {
      EXPECT_EQ(e.number(), err::TypeMismatch);
    }
  }
}

TEST(Conversions, NumberTextAndIntegerRanges) {
  EXPECT_EQ(toDouble(Variant("1,234.5")), 1234.5);
  EXPECT_THROW(toDouble(Variant("")), Error);
  EXPECT_THROW(toDouble(Variant::null()), Error);
  EXPECT_EQ(toText(Variant(0.0)), "0");
  EXPECT_EQ(toText(Variant(12.5)), "12.5");
  EXPECT_EQ(toText(Variant(15.0)), "15");
  EXPECT_EQ(toText(Variant(10.0 / 3)), "3.33333333333333");
  EXPECT_EQ(toText(Variant(true)), "True");
  EXPECT_EQ(toText(Variant(-42)), "-42");
  EXPECT_THROW(toText(Variant::null()), Error);
  EXPECT_EQ(toInteger(Variant(32767.0)), 32767);
  EXPECT_EQ(toInteger(Variant(-32768)), -32768);
  try {
    toInteger(Variant(32768));
    ADD_FAILURE() << "a 16-bit conversion took 32768";
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), err::Overflow);
  }
  EXPECT_THROW(toInteger(Variant::null()), Error);
  EXPECT_EQ(toLong(Variant(2.5)), 2);  // half to even, as the platform rounds
  EXPECT_EQ(toLong(Variant(3.5)), 4);
  EXPECT_THROW(toLong(Variant::missing()), Error);
}

TEST(Conversions, FormatNumberKeepsFifteenDigits) {
  EXPECT_EQ(formatNumber(2.5), "2.5");
  EXPECT_EQ(formatNumber(0.1 + 0.2), "0.3");
  EXPECT_EQ(formatNumber(-0.001), "-0.001");
  EXPECT_EQ(formatNumber(1e16), "1E+16");
  EXPECT_EQ(formatNumber(123456789012345.0), "123456789012345");
}

TEST(Conversions, DatesRoundTripThroughText) {
  double d = 0;
  ASSERT_TRUE(parseDate("2026-12-06 13:45:10", d));
  EXPECT_EQ(formatDate(d), "2026-12-06 13:45:10");
  ASSERT_TRUE(parseDate("1899-12-30", d));
  EXPECT_EQ(d, 0);
  EXPECT_FALSE(parseDate("2026-12-06 24:00", d));
  EXPECT_FALSE(parseDate("2026-12-06 10", d));
}

}  // namespace
}  // namespace tallyward
