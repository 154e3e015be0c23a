// Recordset filters, as the checks set them on the rows of a look-up (an exact item code first).
#include <gtest/gtest.h>

#include "db/tiny_erp.h"
#include "support/run_time_error.h"
#include "support/temp_database.h"

namespace tallyward {
namespace {

Date dateOf(const char* text) {
  double d = 0;
  EXPECT_TRUE(parseDate(text, d)) << text;
  return Date{d};
}

std::shared_ptr<Recordset> items() {
  ResultSet r;
  r.columns = {"cInvCode", "cInvName", "iQuantity", "bService", "dSDate", "cNote", "cPrice"};
  r.rows = {
      {"A01", "Bolt M6", 10, false, dateOf("2026-01-05"), Variant::null(), "12.5"},
      {"a02", "bolt m8", 2.5, true, dateOf("2026-02-01 08:30:00"), "it's", "3"},
      {"B01", "螺母", -1, false, Variant::null(), "", "abc"},
      {"C10", "Washer", 0, true, dateOf("2025-12-31"), "note", Variant::null()},
  };
  return std::make_shared<Recordset>(std::move(r));
}

std::string visibleCodes(Recordset& rs, std::string_view column = "cInvCode") {
  std::string out;
  for (rs.moveFirst(); !rs.eof(); rs.moveNext()) out += (out.empty() ? "" : ",") + toText(rs.field(column));
  return out;
}

TEST(Filter, KeepsTheMatchingRows) {
  const struct { const char* filter; const char* codes; } cases[] = {
      {"cInvCode='A01'", "A01"},
      {"cinvcode = 'a01'", "A01"},  // names and text without regard to case
      {"[cInvCode]='A02'", "a02"},
      {"cInvCode<>'a01'", "a02,B01,C10"},
      {"cInvCode='A01' OR cInvCode='C10' AND bService=True", "A01,C10"},  // AND binds closer
      {"(cInvCode='A01' OR cInvCode='B01') AND iQuantity<0", "B01"},
      {"iQuantity>=2.5", "A01,a02"},
      {"iQuantity<=0", "B01,C10"},
      {"iQuantity='10'", "A01"},   // a number given as text
      {"iQuantity<'abc'", ""},     // a number and other text: no order
      {"cPrice>5", "A01"},         // text that reads as a number compares as one
      {"cInvCode>'B'", "B01,C10"},
      {"cNote='it''s'", "a02"},
      {"cNote=''", "B01"},
      {"cNote=Null", "A01"},
      {"cNote<>'note'", "a02,B01"},  // Null matches no comparison
      {"bService=0", "A01,B01"},
      {"bService='true'", "a02,C10"},
      {"dSDate>=#2026-01-01#", "A01,a02"},
      {"dSDate<'2026-01-05 00:00:01'", "A01,C10"},
      {"dSDate=#2026-02-01 08:30:00#", "a02"},
      {"cInvCode='nothing'", ""},
  };
  for (const auto& c : cases) {
    auto rs = items();
    rs->setFilter(c.filter);
    EXPECT_EQ(visibleCodes(*rs), c.codes) << c.filter;
  }
}

TEST(Filter, EmptyRemovesItAndTheFirstVisibleRowIsCurrent) {
  auto rs = items();
  rs->moveLast();
  rs->setFilter("iQuantity<=0");
  EXPECT_EQ(rs->recordCount(), 2);
  EXPECT_EQ(rs->field("cInvCode"), Variant("B01"));
  rs->setFilter("cInvCode='none'");
  EXPECT_TRUE(rs->bof() && rs->eof());
  rs->setFilter("");
  EXPECT_EQ(rs->recordCount(), 4);
  EXPECT_EQ(rs->field("cInvCode"), Variant("A01"));
  // Late bound, the Filter property takes a text, or 0 for none.
  rs->put("Filter", Variant("bService=True"));
  EXPECT_EQ(toText(rs->get("Filter")), "bService=True");
  EXPECT_EQ(toLong(rs->get("RecordCount")), 2);
  rs->put("Filter", Variant(0));
  EXPECT_EQ(toLong(rs->get("RecordCount")), 4);
  rs->close();
  EXPECT_EQ(test::errorNumber([&] { rs->setFilter("cInvCode='A01'"); }), 3704);
}

TEST(Filter, BadFiltersAreDatabaseErrorsAndLeaveTheRowsAsTheyWere) {
  for (const char* bad : {"cInvCode", "cInvCode=", "cInvCode=='A01'", "cNope='A01'", "cInvCode='A01",
                          "(cInvCode='A01'", "cInvCode='A01')", "cInvCode='A01' AND", "cInvCode='A01' XOR x=1",
                          "cInvName LIKE 'bolt*'", "cNote>Null", "dSDate=#2026-13-01#", "iQuantity=1x",
                          "cInvCode!='A01'", "='A01'"}) {
    auto rs = items();
    rs->setFilter("bService=True");
    std::string why;
    EXPECT_EQ(test::errorNumber([&] { rs->setFilter(bad); }, &why), err::Database) << bad;
    EXPECT_FALSE(why.empty());
    EXPECT_EQ(rs->recordCount(), 2) << "the previous filter stays after " << bad;
  }
}

TEST(Filter, WorksOnTheValuesOfARealLookUp) {
  test::TempDatabase file(test::kTinyErp);
  auto rs = file.connect()->execute("select cVenCode,bVenTax,dEndDate,iCredit from Vendor order by cVenCode");
  rs->setFilter("bVenTax=True AND dEndDate=Null");
  EXPECT_EQ(visibleCodes(*rs, "cVenCode"), "V001");
  rs->setFilter("dEndDate<#2026-01-01# OR iCredit>2147483647");
  EXPECT_EQ(visibleCodes(*rs, "cVenCode"), "V002,V003");
}

}  // namespace
}  // namespace tallyward
