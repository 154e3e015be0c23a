#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <optional>

#include "common/settings.h"
#include "probes/probe_fixture.h"

namespace tallyward {
namespace {

using test::errorNumber;
using test::ValueObject;

constexpr const char* kHostile = "x' OR '1'='1";

class Probes : public test::ScriptedDb {};

// ---- Statements ---------------------------------------------------------------------------------

TEST_F(Probes, EveryStatementIsSentAsTheErpExpectsWithValuesEscaped) {
  struct Case {
    const char* name;
    std::function<void(Connection&)> call;
    std::vector<std::string> statements;
  };
  const Case cases[] = {
      {"LoadFreeItemFlags",
       [](Connection& c) { std::array<bool, 10> f{}; LoadFreeItemFlags(c, kHostile, f); },
       {"Select bfree1,bfree2,bfree3,bfree4,bfree5,bfree6,bfree7,bfree8,bfree9,bfree10 from Inventory "
        "where cInvCode='x'' OR ''1''=''1'"}},
      {"GetControlTax", [](Connection& c) { GetControlTax(c); },
       {"Select cValue from accinformation where cSysID='PU' and cName='bControlTax'"}},
      {"GetSingleTaxTolerance", [](Connection& c) { GetSingleTaxTolerance(c); },
       {"Select cValue from accinformation where cSysID='PU' and cName='iSingleTax'"}},
      {"GetSumTaxTolerance", [](Connection& c) { GetSumTaxTolerance(c); },
       {"Select cValue from accinformation where cSysID='PU' and cName='iSumTax'"}},
      {"IsBatchManaged", [](Connection& c) { IsBatchManaged(c, kHostile); },
       {"Select bInvBatch from Inventory where cInvCode= 'x'' OR ''1''=''1'"}},
      {"IsShelfLifeManaged", [](Connection& c) { IsShelfLifeManaged(c, kHostile); },
       {"Select bInvQuality from Inventory where cInvCode= 'x'' OR ''1''=''1'"}},
      {"IsGspStarted", [](Connection& c) { IsGspStarted(c); },
       {"Select cValue from accinformation where cName='dGspStartDate'"}},
      {"GetGroupType", [](Connection& c) { GetGroupType(c, kHostile, "V'1"); },
       {"Select iGroupType from Inventory where cInvCode='x'' OR ''1''=''1'",
        "Select iGroupType from Inventory where cInvCode=(select cinvcode from venandinv where "
        "cVenInvCode='x'' OR ''1''=''1' and cVenCode='V''1')"}},
      {"GetFirstOpenPeriod", [](Connection& c) { GetFirstOpenPeriod(c); },
       {"select top 1 iperiod from gl_mend where bflag_om=0"}},
      {"IsDirectShipSalesOn", [](Connection& c) { IsDirectShipSalesOn(c); },
       {"select cValue from accinformation where csysid='sa' and cname='bZYXS'"}},
      {"IsSalesOrderRequiredForDirectShip", [](Connection& c) { IsSalesOrderRequiredForDirectShip(c); },
       {"select cValue from accinformation where csysid='sa' and cname='bMustSO_zyxs'"}},
      {"IsAccordVendor", [](Connection& c) { IsAccordVendor(c); },
       {"select cValue from accinformation where csysid='pu' and cname='bAccordVen'"}},
      {"ResolveInvCode", [](Connection& c) { ResolveInvCode(c, kHostile); },
       {"select cInvCode from inventory where cinvcode='x'' OR ''1''=''1' or  cinvname='x'' OR "
        "''1''=''1' or cinvaddcode='x'' OR ''1''=''1'"}},
      {"GetPeriodIdOfDate",
       [](Connection& c) {
         ValueObject info({{"CurAccountID", Variant("00'1")}, {"TheYear", Variant(2026)}});
         GetPeriodIdOfDate("2026-03-01", info, c);
       },
       {"select dBegin,dEnd,iID from OrrerySystem..ua_period where cacc_id = '00''1' and iyear = 2026 "
        "order by iid"}},
  };
  for (const Case& c : cases) {
    driver->sent.clear();
    c.call(*cnn);  // no rows anywhere: every probe answers its default
    EXPECT_EQ(sent(), c.statements) << c.name;
  }
}

// ---- Boolean settings and item flags -----------------------------------------------------------------

struct FlagProbe {
  const char* name;
  const char* column;
  std::function<bool(Connection&)> call;
};

const FlagProbe kFlagProbes[] = {
    {"GetControlTax", "cValue", [](Connection& c) { return GetControlTax(c); }},
    {"IsDirectShipSalesOn", "cValue", [](Connection& c) { return IsDirectShipSalesOn(c); }},
    {"IsSalesOrderRequiredForDirectShip", "cValue",
     [](Connection& c) { return IsSalesOrderRequiredForDirectShip(c); }},
    {"IsAccordVendor", "cValue", [](Connection& c) { return IsAccordVendor(c); }},
    {"IsBatchManaged", "bInvBatch", [](Connection& c) { return IsBatchManaged(c, "A01"); }},
    {"IsShelfLifeManaged", "bInvQuality", [](Connection& c) { return IsShelfLifeManaged(c, "A01"); }},
};

TEST_F(Probes, FlagsConvertTheFirstRowAsABoolean) {
  const struct { Variant value; bool expected; } values[] = {
      {Variant("1"), true},   {Variant("True"), true},   {Variant("true"), true}, {Variant(true), true},
      {Variant(1), true},     {Variant(-1), true},       {Variant("0"), false},   {Variant("False"), false},
      {Variant(false), false}, {Variant(0), false},
  };
  for (const FlagProbe& p : kFlagProbes)
    for (const auto& v : values) {
      driver->answers.clear();
      // Only the first row counts.
      answer("", {p.column}, {{v.value}, {Variant(!v.expected)}});
      EXPECT_EQ(p.call(*cnn), v.expected) << p.name << " value " << toText(v.value);
    }
}

TEST_F(Probes, FlagsAreFalseWithoutARowAndFailOnValuesThatAreNoBoolean) {
  for (const FlagProbe& p : kFlagProbes) {
    driver->answers.clear();
    answer("", {p.column}, {});
    EXPECT_FALSE(p.call(*cnn)) << p.name;

    for (const Variant& bad : {Variant::null(), Variant("abc"), Variant("")}) {
      driver->answers.clear();
      answer("", {p.column}, {{bad}});
      EXPECT_EQ(errorNumber([&] { p.call(*cnn); }), err::TypeMismatch) << p.name;
    }
  }
}

// ---- Number settings --------------------------------------------------------------------------------

TEST_F(Probes, TolerancesReadNumbersAndDefaultToZero) {
  const std::function<double(Connection&)> probes[] = {
      [](Connection& c) { return GetSingleTaxTolerance(c); },
      [](Connection& c) { return GetSumTaxTolerance(c); },
  };
  for (const auto& probe : probes) {
    const struct { std::optional<Variant> value; double expected; int error; } cases[] = {
        {Variant("0.06"), 0.06, 0}, {Variant("3"), 3, 0},  {Variant(1.25), 1.25, 0},
        {Variant(2), 2, 0},         {std::nullopt, 0, 0},  {Variant::null(), 0, err::TypeMismatch},
        {Variant("abc"), 0, err::TypeMismatch},            {Variant(""), 0, err::TypeMismatch},
    };
    for (const auto& c : cases) {
      driver->answers.clear();
      if (c.value)
        answer("", {"cValue"}, {{*c.value}});
      else
        answer("", {"cValue"}, {});
      double got = -1;
      EXPECT_EQ(errorNumber([&] { got = probe(*cnn); }), c.error);
      if (!c.error) {
        EXPECT_DOUBLE_EQ(got, c.expected);
      }
    }
  }
}

TEST_F(Probes, GspStartsWithAnyNonEmptyStartDate) {
  const struct { std::optional<Variant> value; bool expected; } cases[] = {
      {std::nullopt, false},           {Variant::null(), false},  {Variant(""), false},
      {Variant("2026-01-01"), true},   {Variant("not a date"), true}, {Variant(" "), true},
  };
  for (const auto& c : cases) {
    driver->answers.clear();
    if (c.value)
      answer("dGspStartDate", {"cValue"}, {{*c.value}});
    else
      answer("dGspStartDate", {"cValue"}, {});
    EXPECT_EQ(IsGspStarted(*cnn), c.expected) << (c.value ? toText(c.value->isNull() ? Variant("<null>") : *c.value) : "<no row>");
  }
}

// ---- Item probes ------------------------------------------------------------------------------------

TEST_F(Probes, GroupTypeByItemCodeNeedsNoVendorAndSendsOneStatement) {
  answer("cInvCode='A01'", {"iGroupType"}, {{Variant(2)}});
  EXPECT_EQ(GetGroupType(*cnn, "A01", ""), "2");
  EXPECT_EQ(sent().size(), 1u);
}

TEST_F(Probes, GroupTypeFallsBackToTheVendorsOwnItemCode) {
  answer("venandinv", {"iGroupType"}, {{Variant(1)}});
  EXPECT_EQ(GetGroupType(*cnn, "VENDOR-7", "V01"), "1");
  ASSERT_EQ(sent().size(), 2u);
  EXPECT_NE(sent()[1].find("cVenInvCode='VENDOR-7' and cVenCode='V01'"), std::string::npos);
}

TEST_F(Probes, GroupTypeIsZeroWhenNeitherFindsAnItemAndFailsOnNull) {
  EXPECT_EQ(GetGroupType(*cnn, "NONE", "V01"), "0");
  EXPECT_EQ(sent().size(), 2u);

  driver->answers.clear();
  answer("", {"iGroupType"}, {{Variant::null()}});
  EXPECT_EQ(errorNumber([&] { GetGroupType(*cnn, "A01", ""); }), err::TypeMismatch);

  // A sub-select that the server refuses (more than one vendor's code matches) is not "0".
  driver->answers.clear();
  failOn("venandinv");
  EXPECT_EQ(errorNumber([&] { GetGroupType(*cnn, "DUP", "V01"); }), err::Database);
}

TEST_F(Probes, FirstOpenPeriodIsASixteenBitNumber) {
  const struct { std::optional<Variant> value; int16_t expected; int error; } cases[] = {
      {Variant(3), 3, 0},       {Variant("12"), 12, 0},  {std::nullopt, 0, 0},
      {Variant(40000), 0, err::Overflow},                {Variant::null(), 0, err::TypeMismatch},
  };
  for (const auto& c : cases) {
    driver->answers.clear();
    if (c.value)
      answer("gl_mend", {"iperiod"}, {{*c.value}, {Variant(1)}});
    else
      answer("gl_mend", {"iperiod"}, {});
    int16_t got = -1;
    EXPECT_EQ(errorNumber([&] { got = GetFirstOpenPeriod(*cnn); }), c.error);
    if (!c.error) {
      EXPECT_EQ(got, c.expected);
    }
  }
}

TEST_F(Probes, ResolveInvCodeTakesTheFirstRowOrGivesEmpty) {
  answer("cinvname='螺丝'", {"cInvCode"}, {{Variant("B02")}, {Variant("A01")}});
  EXPECT_EQ(ResolveInvCode(*cnn, "螺丝"), "B02");
  EXPECT_EQ(ResolveInvCode(*cnn, "unknown"), "");
}

TEST_F(Probes, FreeItemFlagsFillInOrderAndStopAtABadValue) {
  const std::vector<std::string> cols{"bfree1", "bfree2", "bfree3", "bfree4", "bfree5",
                                      "bfree6", "bfree7", "bfree8", "bfree9", "bfree10"};
  answer("'A01'", cols,
         {{Variant(true), Variant(false), Variant(1), Variant(0), Variant("True"), Variant("False"),
           Variant(false), Variant(false), Variant(false), Variant(true)}});
  // Column 4 (bfree4) cannot be read as a Boolean.
  answer("'BAD'", cols,
         {{Variant(false), Variant(true), Variant(true), Variant("x"), Variant(true), Variant(true),
           Variant(true), Variant(true), Variant(true), Variant(true)}});

  std::array<bool, 10> flags{};
  LoadFreeItemFlags(*cnn, "A01", flags);
  EXPECT_EQ(flags, (std::array<bool, 10>{true, false, true, false, true, false, false, false, false, true}));

  // An unknown item leaves the switches of the item before.
  const auto before = flags;
  LoadFreeItemFlags(*cnn, "NONE", flags);
  EXPECT_EQ(flags, before);

  // The first three are rewritten, the fourth fails, the rest keep their values.
  EXPECT_EQ(errorNumber([&] { LoadFreeItemFlags(*cnn, "BAD", flags); }), err::TypeMismatch);
  EXPECT_EQ(flags, (std::array<bool, 10>{false, true, true, false, true, false, false, false, false, true}));
}

// ---- Periods --------------------------------------------------------------------------------------

class Periods : public test::ScriptedDb {
 protected:
  void SetUp() override {
    ScriptedDb::SetUp();
    // Two adjacent periods and a later one, bounds at midnight; dBegin as a Date or as text.
    double jan1 = 0, jan31 = 0;
    parseDate("2026-01-01", jan1);
    parseDate("2026-01-31", jan31);
    answer("ua_period", {"dBegin", "dEnd", "iID"},
           {{Variant(Date{jan1}), Variant(Date{jan31}), Variant(1)},
            {Variant("2026-02-01 00:00:00"), Variant("2026-02-28 00:00:00"), Variant(2)},
            {Variant("2026-04-01"), Variant("2026-04-30"), Variant(4)}});
  }
  ValueObject info{{{"CurAccountID", Variant("001")}, {"TheYear", Variant(2026)}}};
};

TEST_F(Periods, DateFallsIntoThePeriodWithBothBoundsInclusive) {
  const struct { const char* date; Variant expected; } cases[] = {
      {"2026-01-01", Variant(1)},          {"2026-01-15", Variant(1)},
      {"2026-01-31", Variant(1)},          // equal to dEnd
      {"2026-02-01", Variant(2)},          {"2026/02/28", Variant(2)},
      {"2026-01-31 10:00:00", Variant()},  // after dEnd's date-time, before the next dBegin
      {"2026-03-15", Variant()},           // in no period
      {"2025-12-31", Variant()},           {"2027-01-01", Variant()},
      {"2026-04-30", Variant(4)},
  };
  for (const auto& c : cases) EXPECT_EQ(GetPeriodIdOfDate(c.date, info, *cnn), c.expected) << c.date;
}

TEST_F(Periods, FirstMatchingPeriodInOrderWins) {
  driver->answers.clear();
  answer("ua_period", {"dBegin", "dEnd", "iID"},
         {{Variant("2026-01-01"), Variant("2026-12-31"), Variant(7)},
          {Variant("2026-03-01"), Variant("2026-03-31"), Variant(3)}});
  EXPECT_EQ(GetPeriodIdOfDate("2026-03-10", info, *cnn), Variant(7));
}

TEST_F(Periods, ADateTextThatIsNoDateFailsOnlyWhenThereIsAPeriod) {
  EXPECT_EQ(errorNumber([&] { GetPeriodIdOfDate("2026-13-01", info, *cnn); }), err::TypeMismatch);
  EXPECT_EQ(errorNumber([&] { GetPeriodIdOfDate("", info, *cnn); }), err::TypeMismatch);
  driver->answers.clear();
  EXPECT_EQ(GetPeriodIdOfDate("not a date", info, *cnn), Variant());
}

TEST_F(Periods, APeriodBoundThatIsNoDateFails) {
  driver->answers.clear();
  answer("ua_period", {"dBegin", "dEnd", "iID"}, {{Variant::null(), Variant("2026-01-31"), Variant(1)}});
  EXPECT_EQ(errorNumber([&] { GetPeriodIdOfDate("2026-01-10", info, *cnn); }), err::TypeMismatch);
}

TEST_F(Periods, SessionMembersAreReadByNameAndTheYearMustBeANumber) {
  ValueObject noYear({{"CurAccountID", Variant("001")}});
  EXPECT_EQ(errorNumber([&] { GetPeriodIdOfDate("2026-01-10", noYear, *cnn); }), err::NoSuchMember);

  ValueObject textYear({{"curaccountid", Variant("001")}, {"theyear", Variant("2026")}});
  EXPECT_EQ(GetPeriodIdOfDate("2026-01-10", textYear, *cnn), Variant(1));

  driver->sent.clear();
  ValueObject hostileYear({{"CurAccountID", Variant("001")}, {"TheYear", Variant("2026 or 1=1")}});
  EXPECT_EQ(errorNumber([&] { GetPeriodIdOfDate("2026-01-10", hostileYear, *cnn); }), err::TypeMismatch);
  EXPECT_TRUE(sent().empty());

  ValueObject nullAccount({{"CurAccountID", Variant::null()}, {"TheYear", Variant(2026.0)}});
  GetPeriodIdOfDate("2026-01-10", nullAccount, *cnn);
  EXPECT_EQ(sent().back(),
            "select dBegin,dEnd,iID from OrrerySystem..ua_period where cacc_id = '' and iyear = 2026 "
            "order by iid");
}

// ---- Failures --------------------------------------------------------------------------------------

TEST_F(Probes, DatabaseErrorsLeaveEveryProbe) {
  failOn("");
  ValueObject info({{"CurAccountID", Variant("001")}, {"TheYear", Variant(2026)}});
  std::array<bool, 10> flags{};
  const std::function<void()> calls[] = {
      [&] { LoadFreeItemFlags(*cnn, "A01", flags); },
      [&] { GetControlTax(*cnn); },
      [&] { GetSingleTaxTolerance(*cnn); },
      [&] { GetSumTaxTolerance(*cnn); },
      [&] { IsBatchManaged(*cnn, "A01"); },
      [&] { IsShelfLifeManaged(*cnn, "A01"); },
      [&] { IsGspStarted(*cnn); },
      [&] { GetGroupType(*cnn, "A01", "V01"); },
      [&] { GetFirstOpenPeriod(*cnn); },
      [&] { IsDirectShipSalesOn(*cnn); },
      [&] { IsSalesOrderRequiredForDirectShip(*cnn); },
      [&] { IsAccordVendor(*cnn); },
      [&] { ResolveInvCode(*cnn, "A01"); },
      [&] { GetPeriodIdOfDate("2026-01-10", info, *cnn); },
  };
  for (size_t i = 0; i < std::size(calls); ++i) EXPECT_EQ(errorNumber(calls[i]), err::Database) << "probe " << i;
}

TEST(RequireConnection, NoConnectionIsObjectNotSet) {
  EXPECT_EQ(errorNumber([] { requireConnection(nullptr); }), err::ObjectNotSet);
  auto [cnn, driver] = test::recordingConnection();
  EXPECT_EQ(&requireConnection(cnn), cnn.get());
}

}  // namespace
}  // namespace tallyward
