// Recordset filters, as the checks set them on the rows of a look-up (an exact item code first).
#include <gtest/gtest.h>
#include "support/temp_database.h"

namespace tallyward {
namespace {

std::shared_ptr<Recordset> items() {
  const auto date = [](const char* text) { double d = 0; parseDate(text, d); return Variant(Date{d}); };
  ResultSet r;
  r.columns = {"cInvCode", "cInvName", "iQuantity", "bService", "dSDate", "cNote", "cPrice"};
  r.rows = {{"A01", "Bolt M6", 10, false, date("2026-01-05"), Variant::null(), "12.5"},
            {"a02", "bolt m8", 2.5, true, date("2026-02-01 08:30:00"), "it's", "3"},
            {"B01", "螺母", -1, false, Variant::null(), "", "abc"},
            {"C10", "Washer", 0, true, date("2025-12-31"), "note", Variant::null()}};
  return std::make_shared<Recordset>(std::move(r));
}

std::string visible(Recordset& rs) {
  std::string out;
  for (rs.moveFirst(); !rs.eof(); rs.moveNext()) out += (out.empty() ? "" : ",") + toText(rs.field("cInvCode"));
  return out;
}

TEST(Filter, KeepsTheMatchingRows) {
  const struct { const char* filter; const char* codes; } cases[] = {
      {"cinvcode = 'a01'", "A01"}, {"[cInvCode]='A02'", "a02"}, {"cInvCode<>'a01'", "a02,B01,C10"},
      {"cInvCode='A01' OR cInvCode='C10' AND bService=True", "A01,C10"},  // AND binds closer
      {"(cInvCode='A01' OR cInvCode='B01') AND iQuantity<0", "B01"}, {"iQuantity>=2.5", "A01,a02"},
      {"iQuantity='10'", "A01"}, {"iQuantity<'abc'", ""}, {"cPrice>5", "A01"}, {"cInvCode>'B'", "B01,C10"},
      {"cNote='it''s'", "a02"}, {"cNote=''", "B01"}, {"cNote=Null", "A01"}, {"cNote<>'note'", "a02,B01"},
      {"bService='true'", "a02,C10"}, {"dSDate>=#2026-01-01#", "A01,a02"}, {"dSDate<'2026-01-05 00:00:01'", "A01,C10"},
  };
  for (const auto& c : cases) {
    auto rs = items();
    rs->setFilter(c.filter);
    EXPECT_EQ(visible(*rs), c.codes) << c.filter;
  }
}

TEST(Filter, AnEmptyFilterRemovesItAndABadOneLeavesTheRowsAsTheyWere) {
  auto rs = items();
  rs->moveLast();
  rs->put("Filter", Variant("iQuantity<=0"));  // late bound, as the checks set it
  EXPECT_EQ(rs->field("cInvCode"), Variant("B01")) << "the first visible row is current";
  EXPECT_EQ(toLong(rs->get("RecordCount")), 2);
  for (const char* bad : {"cInvCode", "cInvCode=='A01'", "cNope='A01'", "cInvCode='A01", "cInvCode='A01')",
                          "cInvCode='A01' AND", "cInvName LIKE 'bolt*'", "cNote>Null", "dSDate=#2026-13-01#", "iQuantity=1x"}) {
    EXPECT_EQ(test::errorNumber([&] { rs->setFilter(bad); }), err::Database) << bad;
    EXPECT_EQ(rs->recordCount(), 2) << "the previous filter stays after " << bad;
  }
  rs->setFilter("cInvCode='none'");
  EXPECT_TRUE(rs->bof() && rs->eof());
  rs->put("Filter", Variant(0));
  EXPECT_EQ(rs->recordCount(), 4);
  EXPECT_EQ(rs->field("cInvCode"), Variant("A01"));
  rs->close();
  EXPECT_EQ(test::errorNumber([&] { rs->setFilter("cInvCode='A01'"); }), 3704);
}

}  // namespace
}  // namespace tallyward
