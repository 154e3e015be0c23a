// Recordset filters, as the checks set them on the rows of a look-up.
#include <gtest/gtest.h>

#include <algorithm>
#include <string_view>

#include "db/sqlite_file.h"
#include "tallyward/database.h"

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

struct Case {
  const char* filter;
  const char* codes;  // visible rows, in order
};

class Filters : public ::testing::TestWithParam<Case> {};

TEST_P(Filters, KeepTheMatchingRows) {
  auto rs = items();
  rs->setFilter(GetParam().filter);
  EXPECT_EQ(visibleCodes(*rs), GetParam().codes) << GetParam().filter;
  EXPECT_EQ(rs->recordCount(), static_cast<long>(std::count(std::string_view(GetParam().codes).begin(),
                                                            std::string_view(GetParam().codes).end(), ',') +
                                                 (*GetParam().codes ? 1 : 0)));
}

INSTANTIATE_TEST_SUITE_P(
    Recordset, Filters,
    ::testing::Values(
        Case{"cInvCode='A01'", "A01"},
        Case{"cinvcode = 'a01'", "A01"},                       // names and text without regard to case
        Case{"[cInvCode]='A02'", "a02"},
        Case{"cInvCode<>'a01'", "a02,B01,C10"},
        Case{"cInvCode='A01' AND cInvName<>'x'", "A01"},
        Case{"cInvCode='A01' OR cInvCode='C10'", "A01,C10"},
        Case{"cInvCode='A01' OR cInvCode='C10' AND bService=True", "A01,C10"},  // AND binds closer
        Case{"(cInvCode='A01' OR cInvCode='B01') AND iQuantity<0", "B01"},
        Case{"iQuantity>0", "A01,a02"},
        Case{"iQuantity>=2.5", "A01,a02"},
        Case{"iQuantity<=0", "B01,C10"},
        Case{"iQuantity=-1", "B01"},
        Case{"iQuantity='10'", "A01"},                          // a number given as text
        Case{"iQuantity<'abc'", ""},                            // a number and other text: no order
        Case{"cPrice>5", "A01"},                                // text that reads as a number compares as one
        Case{"cInvCode>'B'", "B01,C10"},
        Case{"cInvCode<'b'", "A01,a02"},
        Case{"cInvName LIKE 'bolt*'", "A01,a02"},
        Case{"cInvName LIKE '%M6'", "A01"},
        Case{"cInvName LIKE '*sh*'", "C10"},
        Case{"cInvName LIKE 'washer'", "C10"},
        Case{"cInvName LIKE '螺*'", "B01"},
        Case{"cNote='it''s'", "a02"},
        Case{"cNote=''", "B01"},
        Case{"cNote=Null", "A01"},
        Case{"cNote<>null", "a02,B01,C10"},
        Case{"cNote<>'note'", "a02,B01"},                       // Null matches no comparison
        Case{"bService=True", "a02,C10"},
        Case{"bService=0", "A01,B01"},
        Case{"bService='true'", "a02,C10"},
        Case{"dSDate>=#2026-01-01#", "A01,a02"},
        Case{"dSDate<'2026-01-05 00:00:01'", "A01,C10"},
        Case{"dSDate=#2026-02-01 08:30:00#", "a02"},
        Case{"cInvCode='nothing'", ""}));

TEST(Filter, EmptyRemovesItAndTheFirstVisibleRowIsCurrent) {
  auto rs = items();
  rs->moveLast();
  rs->setFilter("iQuantity<=0");
  EXPECT_FALSE(rs->bof());
  EXPECT_EQ(rs->field("cInvCode"), Variant("B01"));
  EXPECT_EQ(rs->filter(), "iQuantity<=0");
  rs->setFilter("cInvCode='none'");
  EXPECT_TRUE(rs->bof());
  EXPECT_TRUE(rs->eof());
  rs->setFilter("");
  EXPECT_EQ(rs->recordCount(), 4);
  EXPECT_EQ(rs->field("cInvCode"), Variant("A01"));
}

TEST(Filter, LateBoundFilterPropertyTakesTextOrNone) {
  auto rs = items();
  rs->put("Filter", Variant("bService=True"));
  EXPECT_EQ(toText(rs->get("Filter")), "bService=True");
  EXPECT_EQ(toLong(rs->get("RecordCount")), 2);
  rs->put("Filter", Variant(0));  // adFilterNone
  EXPECT_EQ(toLong(rs->get("RecordCount")), 4);
}

TEST(Filter, BadFiltersAreDatabaseErrorsAndLeaveTheRowsAsTheyWere) {
  const char* bad[] = {
      "cInvCode",                 "cInvCode=",           "cInvCode=='A01'",      "cNope='A01'",
      "cInvCode='A01",            "(cInvCode='A01'",     "cInvCode='A01')",      "cInvCode='A01' AND",
      "cInvCode='A01' XOR x=1",   "cInvName LIKE 'a*b'", "cInvName LIKE 3",      "cNote>Null",
      "dSDate=#2026-13-01#",      "iQuantity=1x",        "cInvCode!='A01'",      "='A01'",
  };
  for (const char* f : bad) {
    auto rs = items();
    rs->setFilter("bService=True");
    try {
      rs->setFilter(f);
      ADD_FAILURE() << "accepted: " << f;
    } catch (const Error& e) {
      EXPECT_EQ(e.number(), err::Database) << f;
      EXPECT_FALSE(e.description().empty());
    }
    EXPECT_EQ(rs->recordCount(), 2) << "the previous filter stays after " << f;
  }
}

TEST(Filter, OnAClosedRecordsetIsAnError) {
  auto rs = items();
  rs->close();
  try {
    rs->setFilter("cInvCode='A01'");
    FAIL();
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), 3704);
  }
}

TEST(Filter, WorksOnTheValuesOfARealLookUp) {
  test::SqliteFile file;
  auto rs = Connection::open(file.path())->execute("select cVenCode,bVenTax,dEndDate,iCredit from Vendor order by cVenCode");
  rs->setFilter("bVenTax=True AND dEndDate=Null");
  EXPECT_EQ(visibleCodes(*rs, "cVenCode"), "V001");
  rs->setFilter("dEndDate<#2026-01-01# OR iCredit>2147483647");
  EXPECT_EQ(visibleCodes(*rs, "cVenCode"), "V002,V003");
}

}  // namespace
}  // namespace tallyward
