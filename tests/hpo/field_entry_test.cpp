// The readings the field-entry rules share, and the placing of typed text into WHERE texts.
#include <gtest/gtest.h>

#include "entry/field_entry.h"
#include "entry/lookup.h"
#include "rows/voucher.h"

namespace tallyward {
namespace {

TEST(FieldEntryReadings, LeadingNumberAndCentsRoundedHalfAwayFromZeroOnTheDecimalForm) {
  const std::pair<const char*, double> numbers[] = {
      {"", 0}, {"abc", 0}, {"  -3x", -3}, {"17%", 17}, {"1e3", 1000}, {"1e", 1}, {"+.5", 0.5}, {"-", 0}, {"0x10", 0}};
  for (const auto& [text, value] : numbers) EXPECT_EQ(leadingNumber(text), value) << text;
  const std::pair<double, double> cents[] = {
      {2.675, 2.68}, {-2.675, -2.68}, {0.0049, 0}, {0.005, 0.01}, {17.02 - 17, 0.02}, {123456.785, 123456.79}, {1e20, 1e20}};
  for (const auto& [value, rounded] : cents) EXPECT_EQ(roundCents(value), rounded) << value;
}

TEST(FieldEntryReadings, DatesOfRatesAndValuesPlacedEscaped) {
  EXPECT_EQ(datePart("2026-03-02T10:20:30"), "2026-03-02");
  EXPECT_EQ(datePart("2026-03-02t1"), "2026-03-02t1");  // only a capital T ends the date
  EXPECT_EQ(rateDate("2026-3-2"), "2026.03.02");
  EXPECT_EQ(rateDate(""), "");
  EXPECT_THROW(rateDate("2026-02-30"), Error);
  const std::string_view more[] = {"b'1"};
  EXPECT_EQ(fillWhere(" WHERE (a='{0}' OR b='{0}') and c='{1}' and d={x}", "it's", more),
            " WHERE (a='it''s' OR b='it''s') and c='b''1' and d={x}");
  EXPECT_THROW(fillWhere("a='{2}'", "v", more), Error);
}

}  // namespace
}  // namespace tallyward
