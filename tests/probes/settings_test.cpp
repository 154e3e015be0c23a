#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <optional>

#include "erp/settings.h"
#include "probes/probe_fixture.h"

namespace tallyward {
namespace {

using test::errorNumber;
using test::session;

constexpr const char* kHostile = "x' OR '1'='1";

class Probes : public test::ScriptedDb {
 protected:
  // The statement that contains piece answers with one row of one value, or with no row.
  void one(const char* piece, const char* column, std::optional<Variant> value) {
    driver->answers.clear();
    answer(piece, {column}, value ? std::vector<std::vector<Variant>>{{*value}, {Variant("0")}}
                                  : std::vector<std::vector<Variant>>{});
  }
};

// The answer of a probe as text, or "error N" for the run-time error it raises.
std::string outcome(const std::function<std::string()>& f) {
  try {
    return f();
  } catch (const Error& e) {
    return "error " + std::to_string(e.number());
  }
}

// Every probe sends its statement as the ERP expects it, values escaped; with no row it answers
// its default, a database error leaves it, and a first row (the second never counts) is converted.
TEST_F(Probes, StatementsDefaultsAndTheFirstRow) {
  auto info = session({{"CurAccountID", Variant("00'1")}, {"TheYear", Variant(2026)}});
  std::array<bool, 10> flags{};
  const auto flag = [](bool b) { return std::string(b ? "True" : "False"); };
  const struct {
    std::function<std::string(Connection&)> call;
    std::vector<std::string> statements;
    const char* noRow;
    const char* column;
    std::vector<std::pair<Variant, const char*>> rows;  // first-row value and answer
  } cases[] = {
      {[&](Connection& c) { LoadFreeItemFlags(c, kHostile, flags); return std::string("-"); },
       {"Select bfree1,bfree2,bfree3,bfree4,bfree5,bfree6,bfree7,bfree8,bfree9,bfree10 from Inventory "
        "where cInvCode='x'' OR ''1''=''1'"}, "-", "", {}},
      {[&](Connection& c) { return flag(GetControlTax(c)); },
       {"Select cValue from accinformation where cSysID='PU' and cName='bControlTax'"}, "False", "cValue",
       {{Variant("1"), "True"}, {Variant("False"), "False"}, {Variant::null(), "error 13"}}},
      {[](Connection& c) { return formatNumber(GetSingleTaxTolerance(c)); },
       {"Select cValue from accinformation where cSysID='PU' and cName='iSingleTax'"}, "0", "cValue",
       {{Variant("0.06"), "0.06"}, {Variant(""), "error 13"}}},
      {[](Connection& c) { return formatNumber(GetSumTaxTolerance(c)); },
       {"Select cValue from accinformation where cSysID='PU' and cName='iSumTax'"}, "0", "cValue",
       {{Variant(0.36), "0.36"}, {Variant::null(), "error 13"}}},
      {[&](Connection& c) { return flag(IsBatchManaged(c, kHostile)); },
       {"Select bInvBatch from Inventory where cInvCode= 'x'' OR ''1''=''1'"}, "False", "bInvBatch",
       {{Variant(true), "True"}, {Variant(0), "False"}, {Variant::null(), "error 13"}}},
      {[&](Connection& c) { return flag(IsShelfLifeManaged(c, kHostile)); },
       {"Select bInvQuality from Inventory where cInvCode= 'x'' OR ''1''=''1'"}, "False", "bInvQuality",
       {{Variant(-1), "True"}, {Variant(false), "False"}, {Variant("abc"), "error 13"}}},
      {[&](Connection& c) { return flag(IsGspStarted(c)); },
       {"Select cValue from accinformation where cName='dGspStartDate'"}, "False", "cValue", {}},
      {[](Connection& c) { return GetGroupType(c, kHostile, "V'1"); },
       {"Select iGroupType from Inventory where cInvCode='x'' OR ''1''=''1'",
        "Select iGroupType from Inventory where cInvCode=(select cinvcode from venandinv where "
        "cVenInvCode='x'' OR ''1''=''1' and cVenCode='V''1')"}, "0", "iGroupType",
       {{Variant(2), "2"}, {Variant::null(), "error 13"}}},
      {[](Connection& c) { return std::to_string(GetFirstOpenPeriod(c)); },
       {"select top 1 iperiod from gl_mend where bflag_om=0"}, "0", "iperiod",
       {{Variant("12"), "12"}, {Variant(40000), "error 6"}, {Variant::null(), "error 13"}}},
      {[&](Connection& c) { return flag(IsDirectShipSalesOn(c)); },
       {"select cValue from accinformation where csysid='sa' and cname='bZYXS'"}, "False", "cValue",
       {{Variant("True"), "True"}, {Variant("0"), "False"}, {Variant::null(), "error 13"}}},
      {[&](Connection& c) { return flag(IsSalesOrderRequiredForDirectShip(c)); },
       {"select cValue from accinformation where csysid='sa' and cname='bMustSO_zyxs'"}, "False", "cValue",
       {{Variant("1"), "True"}, {Variant("False"), "False"}, {Variant::null(), "error 13"}}},
      {[&](Connection& c) { return flag(IsAccordVendor(c)); },
       {"select cValue from accinformation where csysid='pu' and cname='bAccordVen'"}, "False", "cValue",
       {{Variant("true"), "True"}, {Variant("0"), "False"}, {Variant::null(), "error 13"}}},
      {[](Connection& c) { return ResolveInvCode(c, kHostile); },
       {"select cInvCode from inventory where cinvcode='x'' OR ''1''=''1' or  cinvname='x'' OR "
        "''1''=''1' or cinvaddcode='x'' OR ''1''=''1'"}, "", "cInvCode", {{Variant("B02"), "B02"}}},
      {[&](Connection& c) { return toText(GetPeriodIdOfDate("2026-03-01", *info, c)); },
       {"select dBegin,dEnd,iID from OrrerySystem..ua_period where cacc_id = '00''1' and iyear = 2026 order by iid"},
       "", "", {}},
  };
  for (const auto& c : cases) {
    const std::string name = c.statements[0];
    driver->answers.clear();
    driver->sent.clear();
    EXPECT_EQ(outcome([&] { return c.call(*cnn); }), c.noRow) << name;
    EXPECT_EQ(sent(), c.statements) << name;
    failOn("");
    EXPECT_EQ(outcome([&] { return c.call(*cnn); }), "error 3001") << name;
    for (const auto& [value, expected] : c.rows) {
      one("", c.column, value);
      EXPECT_EQ(outcome([&] { return c.call(*cnn); }), expected) << name << " given " << toText(value.isNull() ? Variant("Null") : value);
    }
  }
}

TEST_F(Probes, GspStartsWithAnyStartDateThatIsNotEmpty) {
  const struct { std::optional<Variant> value; bool started; } cases[] = {
      {std::nullopt, false}, {Variant::null(), false}, {Variant(""), false},
      {Variant("2026-01-01"), true}, {Variant("not a date"), true}, {Variant(" "), true},
  };
  for (const auto& c : cases) {
    one("dGspStartDate", "cValue", c.value);
    EXPECT_EQ(IsGspStarted(*cnn), c.started) << (c.value ? toText(c.value->isNull() ? Variant("Null") : *c.value) : "none");
  }
}

TEST_F(Probes, GroupTypeFallsBackToTheVendorsOwnCodeForAnItem) {
  answer("cVenInvCode='V-7' and cVenCode='V01'", {"iGroupType"}, {{Variant(1)}});
  EXPECT_EQ(GetGroupType(*cnn, "V-7", "V01"), "1");
  // A sub-select that the server refuses (two items under one vendor's code) is no "0".
  driver->answers.clear();
  failOn("venandinv");
  EXPECT_EQ(errorNumber([&] { GetGroupType(*cnn, "DUP", "V01"); }), err::Database);
}

TEST_F(Probes, FreeItemFlagsFillInOrderAndStopAtABadValue) {
  const std::vector<std::string> cols{"bfree1", "bfree2", "bfree3", "bfree4", "bfree5",
                                      "bfree6", "bfree7", "bfree8", "bfree9", "bfree10"};
  answer("'A01'", cols, {{Variant(true), Variant(false), Variant(1), Variant(0), Variant("True"), Variant("False"),
                          Variant(false), Variant(false), Variant(false), Variant(true)}});
  answer("'BAD'", cols, {{Variant(false), Variant(true), Variant(true), Variant("x"), Variant(true), Variant(true),
                          Variant(true), Variant(true), Variant(true), Variant(true)}});
  std::array<bool, 10> flags{};
  LoadFreeItemFlags(*cnn, "A01", flags);
  const std::array<bool, 10> a01{true, false, true, false, true, false, false, false, false, true};
  EXPECT_EQ(flags, a01);
  LoadFreeItemFlags(*cnn, "NONE", flags);  // an unknown item leaves the switches as they were
  EXPECT_EQ(flags, a01);
  // The first three are rewritten, the fourth fails, the rest keep their values.
  EXPECT_EQ(errorNumber([&] { LoadFreeItemFlags(*cnn, "BAD", flags); }), err::TypeMismatch);
  EXPECT_EQ(flags, (std::array<bool, 10>{false, true, true, false, true, false, false, false, false, true}));
}

// ---- Periods --------------------------------------------------------------------------------------

class Periods : public test::ScriptedDb {
 protected:
  void SetUp() override {
    ScriptedDb::SetUp();
    // Two adjacent periods, a later one and one overlapping it; bounds as a Date, as date-time text
    // or as date text.
    double jan1 = 0, jan31 = 0;
    parseDate("2026-01-01", jan1);
    parseDate("2026-01-31", jan31);
    answer("ua_period", {"dBegin", "dEnd", "iID"},
           {{Variant(Date{jan1}), Variant(Date{jan31}), Variant(1)},
            {Variant("2026-02-01 00:00:00"), Variant("2026-02-28 00:00:00"), Variant(2)},
            {Variant("2026-04-01"), Variant("2026-04-30"), Variant(4)},
            {Variant("2026-04-01"), Variant("2026-12-31"), Variant(9)}});
  }
  std::shared_ptr<SessionInformation> info = session({{"CurAccountID", Variant("001")}, {"TheYear", Variant(2026)}});
};

TEST_F(Periods, DateFallsIntoThePeriodWithBothBoundsInclusive) {
  const struct { const char* date; Variant period; } cases[] = {
      {"2026-01-01", Variant(1)},          {"2026-01-31", Variant(1)},
      {"2026-01-31 10:00:00", Variant()},  // after dEnd's date-time, before the next dBegin
      {"2026/02/28", Variant(2)},          {"2026-03-15", Variant()},
      {"2025-12-31", Variant()},           {"2026-04-30", Variant(4)},  // the first matching period wins
      {"2026-05-01", Variant(9)},
  };
  for (const auto& c : cases) EXPECT_EQ(GetPeriodIdOfDate(c.date, *info, *cnn), c.period) << c.date;
}

TEST_F(Periods, ADateOrBoundThatIsNoDateFailsOnceThereIsAPeriod) {
  EXPECT_EQ(errorNumber([&] { GetPeriodIdOfDate("2026-13-01", *info, *cnn); }), err::TypeMismatch);
  driver->answers.clear();
  answer("ua_period", {"dBegin", "dEnd", "iID"}, {{Variant::null(), Variant("2026-01-31"), Variant(1)}});
  EXPECT_EQ(errorNumber([&] { GetPeriodIdOfDate("2026-01-10", *info, *cnn); }), err::TypeMismatch);
  driver->answers.clear();
  EXPECT_EQ(GetPeriodIdOfDate("not a date", *info, *cnn), Variant());
}

TEST_F(Periods, SessionMembersAreReadByNameAndTheYearMustBeANumber) {
  auto noYear = session({{"CurAccountID", Variant("001")}});
  EXPECT_EQ(errorNumber([&] { GetPeriodIdOfDate("2026-01-10", *noYear, *cnn); }), err::NoSuchMember);
  auto textYear = session({{"curaccountid", Variant("001")}, {"theyear", Variant("2026")}});
  EXPECT_EQ(GetPeriodIdOfDate("2026-01-10", *textYear, *cnn), Variant(1));

  driver->sent.clear();
  auto hostileYear = session({{"CurAccountID", Variant("001")}, {"TheYear", Variant("2026 or 1=1")}});
  EXPECT_EQ(errorNumber([&] { GetPeriodIdOfDate("2026-01-10", *hostileYear, *cnn); }), err::TypeMismatch);
  EXPECT_TRUE(sent().empty());
  auto nullAccount = session({{"CurAccountID", Variant::null()}, {"TheYear", Variant(2026.0)}});
  GetPeriodIdOfDate("2026-01-10", *nullAccount, *cnn);
  EXPECT_NE(sent().back().find("cacc_id = '' and iyear = 2026 "), std::string::npos) << sent().back();
}

TEST(RequireConnection, NoConnectionIsObjectNotSet) {
  EXPECT_EQ(errorNumber([] { requireConnection(nullptr); }), err::ObjectNotSet);
}

}  // namespace
}  // namespace tallyward
