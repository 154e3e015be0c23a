// The one-scan reading of rows must give exactly what the general reader gives: the attribute
// looked up by name.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace tallyward
