// The readings of voucher values: numbers, dates and Booleans as the rules read them, and the
// quick paths of the row readers, which must give exactly what the general conversions give.
#include <gtest/gtest.h>

#include <cmath>

#include "rows/voucher.h"
#include "support/temp_database.h"
#include "tallyward/variant.h"

namespace tallyward {
namespace {

using test::errorNumber;

// Days since 30 December 1899 of a few dates, for readable expectations.
constexpr double k2008May1 = 39569;

TEST(StrToDbl, ReadsNumbersAsTheGeneralConversionAndZeroForTheRest) {
  const struct { const char* text; double expected; } cases[] = {
      {"", 0},       {"abc", 0},   {" ", 0},      {"12.5", 12.5}, {"-3", -3},     {"1,234.5", 1234.5},
      {" 7 ", 7},    {"+4", 4},    {"1e3", 1000}, {".5", 0.5},    {"-.5", -0.5},  {"1.", 1},
      {"12abc", 0},  {"inf", 0},   {"nan", 0},    {"1e-999", 0},   {"--1", 0},     {",5", 0},
      {"5.5.5", 0},  {"-", 0},     {".", 0},      {"1-2", 0},     {"007", 7},     {"-0", -0.0},
      {"0.1", 0.1},  {"0.3", 0.3}, {"141.25", 141.25},            {"0.000000000000001", 1e-15},
      {"123456789012345", 123456789012345.0},  {"1234567890123456", 1234567890123456.0},
      {"99999999999999.9", 99999999999999.9},  {"0.1234567890123456", 0.1234567890123456}, {"１２", 0},
  };
  for (const auto& c : cases) {
    double general = 0;
    if (!parseNumber(c.text, general)) general = 0;
    const double got = StrToDbl(c.text);
    EXPECT_EQ(got, c.expected) << "text: '" << c.text << "'";
    EXPECT_EQ(got, general) << "the general conversion of '" << c.text << "'";
    EXPECT_EQ(std::signbit(got), std::signbit(general)) << "text: '" << c.text << "'";
  }
  // A view into a longer text ends where the view ends; a NUL is no part of a number.
  const std::string whole = "12.5678";
  EXPECT_EQ(StrToDbl(std::string_view(whole).substr(0, 4)), 12.5);
  EXPECT_EQ(StrToDbl(std::string("12\0" "5", 4)), 0);
}

TEST(VarToDbl, NullEmptyAndTextThatIsNoNumberGiveZero) {
  const std::pair<Variant, double> cases[] = {{Variant::null(), 0}, {Variant(""), 0}, {Variant("abc"), 0},
                                              {Variant("7"), 7},    {Variant(2.5), 2.5}, {Variant(true), -1}};
  for (const auto& [value, expected] : cases) EXPECT_EQ(VarToDbl(value), expected) << toText(Variant(expected));
}

TEST(XmlDateValue, ReplacesCapitalTOnlyAndFallsBackToTheZeroDate) {
  EXPECT_DOUBLE_EQ(XmlDateValue("2008-05-01T10:20:30").value, k2008May1 + (10 * 3600 + 20 * 60 + 30) / 86400.0);
  EXPECT_EQ(XmlDateValue("2008-05-01").value, k2008May1);
  for (const char* text : {"", "xyz", "2008-05-01t10:20:30", "2008-02-30"})
    EXPECT_EQ(XmlDateValue(text).value, 0) << text;  // a lower-case t is no separator
}

// The date part (cut at the first capital T) is a date exactly when the general reading says so.
TEST(DatePart, AgreesWithTheGeneralDateReading) {
  const struct { const char* text; bool date; } cases[] = {
      {"2008-02-29", true},         {"2007-02-29", false},  {"2000-02-29", true},   {"1900-02-29", false},
      {"0100-01-01", true},         {"2008-00-10", false},  {"2008-13-01", false},  {"2008-12-32", false},
      {"2008-04-31", false},        {"2008-04-30", true},   {"2008-12-00", false},  {"2008/5/1", true},
      {"2008.05.01", true},         {"2008-05/01", false},  {"2008-05-0a", false},  {"2008-05-01T10:00:00", true},
      {"2008-05-01Tgarbage", true}, {"2008-05-01t00:00:00", false},                 {"2008-02-30T00:00:00", false},
      {"2008-05-01 10:00", true},   {"2008-05-01x", false}, {" 2008-05-01", true},  {"20080501", false},
      {"2008-05", false},           {"abc", false},         {"２００８-05-01", false}, {"0099-01-01", false},
  };
  for (const auto& c : cases) {
    const std::string_view s(c.text);
    double d;
    const bool general = parseDate(s.substr(0, s.find('T')), d);
    EXPECT_EQ(datePartIsDate(s), c.date) << "text: '" << c.text << "'";
    EXPECT_EQ(datePartIsDate(s), general) << "the general reading of '" << c.text << "'";
  }
}

TEST(Conversions, BooleanWordsInAnyCaseAndNumbers) {
  const struct { const char* text; bool expected; } cases[] = {
      {"True", true}, {"False", false}, {"tRUE", true}, {"FALSE", false}, {" True ", true},
      {"1", true},    {"0", false},     {"-1", true},   {"0.0", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(textToBoolean(c.text), c.expected) << c.text;
    EXPECT_EQ(toBoolean(Variant(c.text)), c.expected) << c.text;
  }
  EXPECT_TRUE(toBoolean(Variant(2.5)));
  for (const char* bad : {"", "Truth", "yes", "Tru"}) EXPECT_EQ(errorNumber([&] { textToBoolean(bad); }), err::TypeMismatch) << bad;
  EXPECT_EQ(errorNumber([] { toBoolean(Variant::null()); }), err::TypeMismatch);
}

TEST(Conversions, NumberTextAndIntegerRanges) {
  EXPECT_EQ(toDouble(Variant("1,234.5")), 1234.5);
  EXPECT_EQ(errorNumber([] { toDouble(Variant("")); }), err::TypeMismatch);
  EXPECT_NE(errorNumber([] { toDouble(Variant::null()); }), 0);
  const std::pair<Variant, const char*> texts[] = {{Variant(0.0), "0"},    {Variant(12.5), "12.5"},
                                                   {Variant(15.0), "15"},  {Variant(10.0 / 3), "3.33333333333333"},
                                                   {Variant(true), "True"}, {Variant(-42), "-42"}};
  for (const auto& [value, text] : texts) EXPECT_EQ(toText(value), text);
  EXPECT_NE(errorNumber([] { toText(Variant::null()); }), 0);
  EXPECT_EQ(toInteger(Variant(32767.0)), 32767);
  EXPECT_EQ(toInteger(Variant(-32768)), -32768);
  EXPECT_EQ(errorNumber([] { toInteger(Variant(32768)); }), err::Overflow);
  EXPECT_NE(errorNumber([] { toInteger(Variant::null()); }), 0);
  EXPECT_EQ(toLong(Variant(2.5)), 2);  // half to even, as the platform rounds
  EXPECT_EQ(toLong(Variant(3.5)), 4);
  EXPECT_NE(errorNumber([] { toLong(Variant::missing()); }), 0);
}

TEST(Conversions, NumbersKeepFifteenDigitsAndDatesRoundTrip) {
  const std::pair<double, const char*> numbers[] = {
      {2.5, "2.5"}, {0.1 + 0.2, "0.3"}, {-0.001, "-0.001"}, {1e16, "1E+16"}, {-1.5e-7, "-1.5E-07"},
      {1e-100, "1E-100"}, {123456789012345.0, "123456789012345"}};
  for (const auto& [value, text] : numbers) EXPECT_EQ(formatNumber(value), text);
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
