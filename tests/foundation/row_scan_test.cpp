// The one-scan reading of rows and the quick paths of the converters must give exactly what the
// general readers give: the attribute looked up by name, the general number and date conversions.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "rows/voucher.h"
#include "support/voucher_builder.h"
#include "tallyward/error.h"
#include "tallyward/variant.h"

namespace tallyward {
namespace {

using test::Attributes;

constexpr auto F = fieldList("editprop", "cinvcode", "iquantity", "imoney", "cbmemo");

// Rows read one after the other by the same scan, so that each row meets the attribute order of
// the row before it: the same order, another order, fewer and more attributes, repeated names,
// names that differ from a field only at the end, and an empty value.
const std::vector<Attributes> kRows = {
    {{"editprop", "A"}, {"cinvcode", "P1"}, {"iquantity", "10"}, {"imoney", "20"}, {"cbmemo", "x"}},
    {{"editprop", "A"}, {"cinvcode", "P2"}, {"iquantity", "11"}, {"imoney", "21"}, {"cbmemo", ""}},
    {{"editprop", "A"}, {"iquantity", "12"}, {"cinvcode", "P3"}, {"cbmemo", "y"}, {"imoney", "22"}},
    {{"editprop", "A"}, {"cinvcode", "P4"}},
    {{"editprop", "A"}, {"cinvcod", "no"}, {"cinvcodex", "no"}, {"iquantity", "13"}, {"cinvcode", "P5"}},
    {{"cinvcode", "P6"}, {"cinvcode", "second"}, {"editprop", "A"}, {"iquantity", "-1.5"}},
    {{"editprop", "A"}, {"cInvCode", "capitals"}, {"iquantity", "1,000"}, {"imoney", "abc"}},
    {{"editprop", "A"}, {"cinvcode", "P8"}, {"iquantity", "14"}, {"imoney", "23"}, {"cbmemo", "z"}},
};

// What a rule would read by name: the first attribute of that name, "" when there is none.
void expectSameAsLookUp(const RowValues& values, const pugi::xml_node& row, size_t rowIndex) {
  for (size_t f = 0; f < F.size(); ++f) {
    const std::string expected = GetRowValue(row, F.names[f]);
    EXPECT_EQ(values.text(f), expected) << "row " << rowIndex << ", field " << F.names[f];
    EXPECT_EQ(values.empty(f), expected.empty()) << "row " << rowIndex << ", field " << F.names[f];
    EXPECT_EQ(values.number(f), StrToDbl(expected)) << "row " << rowIndex << ", field " << F.names[f];
  }
}

class RowScan : public ::testing::TestWithParam<RowValues::Scan> {};

TEST_P(RowScan, EveryRowReadsAsItsAttributesLookedUpByName) {
  static const FieldIndex index(F);
  auto doc = test::voucher(kRows);
  RowValues values(index, GetParam());
  size_t i = 0;
  for (pugi::xml_node row : SelectedRows(doc->dom())) {
    values.read(row);
    expectSameAsLookUp(values, row, i++);
  }
  EXPECT_EQ(i, kRows.size());
}

TEST_P(RowScan, AttributesAddedAfterParsingAndRowsBeyondTheRememberedPositions) {
  static const FieldIndex index(F);
  auto doc = test::voucher({{{"editprop", "A"}, {"cinvcode", "P1"}}});
  pugi::xml_node row = firstRow(doc->dom());
  // Attributes added through the library have no text behind them until a value is set.
  row.append_attribute("cbmemo");
  row.append_attribute("iquantity").set_value("7");
  RowValues values(index, GetParam());
  values.read(row);
  expectSameAsLookUp(values, row, 0);
  EXPECT_EQ(values.number(F("iquantity")), 7);

  // More attributes than the scan remembers positions for: the fields behind them still count.
  for (int k = 0; k < 120; ++k) row.append_attribute(("filler" + std::to_string(k)).c_str()).set_value("1");
  row.append_attribute("imoney").set_value("8");
  row.remove_attribute("cinvcode");
  values.read(row);
  expectSameAsLookUp(values, row, 1);
  EXPECT_EQ(values.number(F("imoney")), 8);
}

INSTANTIATE_TEST_SUITE_P(BothWays, RowScan,
                         ::testing::Values(RowValues::Scan::Records, RowValues::Scan::Accessors));

TEST(RowWalk, AnUnchangedRowIsFoundWhereverItsEditStateStands) {
  auto doc = test::voucher({{{"cinvcode", "P1"}, {"editprop", ""}},
                            {{"editprop", "D"}, {"cinvcode", "P2"}},
                            {{"cinvcode", "P3"}, {"editprop", "M"}},
                            {{"cinvcode", "P4"}}});
  std::vector<std::pair<long, bool>> seen;
  walkRows(*doc, true, 0, [&](const BodyRow& r) {
    seen.emplace_back(r.number, r.unchanged);
    return true;
  });
  EXPECT_EQ(seen, (std::vector<std::pair<long, bool>>{{1, true}, {2, false}}));
}

// ---- Converters: quick paths against the general conversion ---------------------------------------

double general(const char* text) {
  double v = 0;
  return parseNumber(text, v) ? v : 0;
}

TEST(StrToDbl, PlainDecimalsReadExactlyAsTheGeneralConversion) {
  const char* const texts[] = {
      "0",     "-0",     "0.1",    "0.3",  "12.5",  "-3",   "141.25", "1.",    ".5",
      "-.5",   "5.5.5",  "-",      ".",    "-12a",  "1-2",  "007",    "0.000000000000001",
      "123456789012345",  "1234567890123456",   "99999999999999.9",  "9999999999999.999",
      "0.1234567890123456", "1e3",  " 7",   "7 ",   "+4",   "1,234.5", "",      "１２",
  };
  for (const char* text : texts) {
    const double expected = general(text);
    const double got = StrToDbl(text);
    EXPECT_EQ(got, expected) << "text: '" << text << "'";
    EXPECT_EQ(std::signbit(got), std::signbit(expected)) << "text: '" << text << "'";
  }
}

TEST(StrToDbl, ATextIsReadToItsEndOnly) {
  // A view into a longer text: the digits after its end are not part of the number.
  const std::string whole = "12.5678";
  EXPECT_EQ(StrToDbl(std::string_view(whole).substr(0, 4)), 12.5);
  const std::string withNul("12\0" "5", 4);
  EXPECT_EQ(StrToDbl(withNul), 0);
}

TEST(DatePart, PersistedDatesAgreeWithTheGeneralDateReading) {
  const char* const texts[] = {
      "2008-02-29", "2007-02-29", "2000-02-29", "1900-02-29", "0099-01-01", "0100-01-01",
      "2008-00-10", "2008-13-01", "2008-12-32", "2008-04-31", "2008-04-30", "2008-12-00",
      "2008/05/01", "2008.05.01", "2008-05/01", "2008-05-0a", "2008-05-01T10:00:00",
      "2008-05-01Tgarbage", "2008-02-30T00:00:00", "2008-05-01 10:00", "2008-05-01x",
      "2008-5-1",   " 2008-05-01", "20080501",  "２００８-05-01",
  };
  for (const char* text : texts) {
    const std::string_view s(text);
    const size_t t = s.find('T');
    double d;
    const bool expected = parseDate(t == std::string_view::npos ? s : s.substr(0, t), d);
    EXPECT_EQ(datePartIsDate(s), expected) << "text: '" << text << "'";
  }
}

TEST(Conversions, BooleanWordsInAnyCaseAndNumbers) {
  const struct { const char* text; bool expected; } cases[] = {
      {"True", true}, {"False", false}, {"true", true}, {"FALSE", false}, {" True ", true},
      {"1", true},    {"0", false},     {"-1", true},   {"0.0", false},
  };
  for (const auto& c : cases) EXPECT_EQ(textToBoolean(c.text), c.expected) << c.text;
  for (const char* bad : {"", "Truth", "yes", "Tru"}) {
    try {
      textToBoolean(bad);
      ADD_FAILURE() << "no error for '" << bad << "'";
    } catch (const Error& e) {
      EXPECT_EQ(e.number(), err::TypeMismatch) << bad;
    }
  }
}

}  // namespace
}  // namespace tallyward
