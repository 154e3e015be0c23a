// The settings and master-data probes on a real ERP database: what each answers from the rows
// there, with no row, with a value that does not convert, and when the database refuses.
#include <gtest/gtest.h>

#include <array>
#include <functional>

#include "erp/settings.h"
#include "support/run_time_error.h"
#include "support/temp_database.h"
#include "tallyward/host.h"

namespace tallyward {
namespace {

using test::errorNumber;

// The answer of a probe as text, or "error N" for the run-time error it raises.
std::string outcome(const std::function<std::string()>& f) {
  try {
    return f();
  } catch (const Error& e) {
    return "error " + std::to_string(e.number());
  }
}

std::string flag(bool b) { return b ? "True" : "False"; }

std::shared_ptr<SessionInformation> session(Variant account, Variant year) {
  auto info = std::make_shared<SessionInformation>();
  info->set("CurAccountID", std::move(account));
  info->set("TheYear", std::move(year));
  return info;
}

class Probes : public ::testing::Test {
 protected:
  test::TempDatabase db;
  std::shared_ptr<Connection> cnn = db.connect();
};

constexpr const char* kHostile = "x' OR '1'='1";

// Each case: the rows the database holds, the probe, its answer. A setting is read from its own
// system only where the probe names one.
TEST_F(Probes, AnswerFromTheRowsTheyRead) {
  const auto settings = [](const std::string& values) {
    return "INSERT INTO accinformation (cSysID, cName, cValue) VALUES " + values;
  };
  const auto items = [](const std::string& values) {
    return "INSERT INTO Inventory (cInvCode, cInvName, cInvAddCode, bInvBatch, bInvQuality, iGroupType) VALUES " + values;
  };
  const std::string twoItems = items("('A1', '螺栓', 'ADD-1', 1, 0, 1), ('B2', 'Nut', NULL, 0, 1, 2);");
  const std::string vendorCodes = "INSERT INTO venandinv (cInvCode, cVenCode, cVenInvCode) VALUES ('B2', 'V01', 'V-7');";
  const struct {
    const char* name;
    std::string rows;
    std::function<std::string(Connection&)> probe;
    const char* answer;
  } cases[] = {
      {"control tax on", settings("('PU', 'bControlTax', '1')"), [](Connection& c) { return flag(GetControlTax(c)); }, "True"},
      {"control tax off", settings("('PU', 'bControlTax', 'False')"), [](Connection& c) { return flag(GetControlTax(c)); }, "False"},
      {"control tax of sales", settings("('SA', 'bControlTax', '1')"), [](Connection& c) { return flag(GetControlTax(c)); }, "False"},
      {"control tax Null", settings("('PU', 'bControlTax', NULL)"), [](Connection& c) { return flag(GetControlTax(c)); }, "error 13"},
      {"line tolerance", settings("('SA', 'iSingleTax', '9'), ('PU', 'iSingleTax', '0.06')"),
       [](Connection& c) { return formatNumber(GetSingleTaxTolerance(c)); }, "0.06"},
      {"line tolerance missing", "", [](Connection& c) { return formatNumber(GetSingleTaxTolerance(c)); }, "0"},
      {"line tolerance empty", settings("('PU', 'iSingleTax', '')"),
       [](Connection& c) { return formatNumber(GetSingleTaxTolerance(c)); }, "error 13"},
      {"total tolerance", settings("('PU', 'iSumTax', '0.36'), ('PU', 'iSingleTax', '0.06')"),
       [](Connection& c) { return formatNumber(GetSumTaxTolerance(c)); }, "0.36"},
      {"total tolerance Null", settings("('PU', 'iSumTax', NULL)"),
       [](Connection& c) { return formatNumber(GetSumTaxTolerance(c)); }, "error 13"},
      {"no GSP start", "", [](Connection& c) { return flag(IsGspStarted(c)); }, "False"},
      {"GSP start Null", settings("('ST', 'dGspStartDate', NULL)"), [](Connection& c) { return flag(IsGspStarted(c)); }, "False"},
      {"GSP start empty", settings("('ST', 'dGspStartDate', '')"), [](Connection& c) { return flag(IsGspStarted(c)); }, "False"},
      {"GSP start blank", settings("('ST', 'dGspStartDate', ' ')"), [](Connection& c) { return flag(IsGspStarted(c)); }, "True"},
      {"GSP start no date", settings("('XX', 'dGspStartDate', 'soon')"), [](Connection& c) { return flag(IsGspStarted(c)); }, "True"},
      {"direct shipping", settings("('PU', 'bZYXS', '0'), ('SA', 'bZYXS', 'True')"),
       [](Connection& c) { return flag(IsDirectShipSalesOn(c)); }, "True"},
      {"direct shipping of purchasing", settings("('PU', 'bZYXS', '1')"),
       [](Connection& c) { return flag(IsDirectShipSalesOn(c)); }, "False"},
      {"direct shipping Null", settings("('SA', 'bZYXS', NULL)"), [](Connection& c) { return flag(IsDirectShipSalesOn(c)); }, "error 13"},
      {"sales order for direct shipping", settings("('SA', 'bMustSO_zyxs', '1'), ('SA', 'bZYXS', '0')"),
       [](Connection& c) { return flag(IsSalesOrderRequiredForDirectShip(c)); }, "True"},
      {"no sales order setting", settings("('PU', 'bMustSO_zyxs', '1')"),
       [](Connection& c) { return flag(IsSalesOrderRequiredForDirectShip(c)); }, "False"},
      {"prices per vendor", settings("('SA', 'bAccordVen', '0'), ('PU', 'bAccordVen', 'true')"),
       [](Connection& c) { return flag(IsAccordVendor(c)); }, "True"},
      {"prices per vendor of sales", settings("('SA', 'bAccordVen', '1')"), [](Connection& c) { return flag(IsAccordVendor(c)); }, "False"},
      {"batch item", twoItems, [](Connection& c) { return flag(IsBatchManaged(c, "a1")); }, "True"},
      {"item without batches", twoItems, [](Connection& c) { return flag(IsBatchManaged(c, "B2")); }, "False"},
      {"batches of a hostile code", twoItems, [](Connection& c) { return flag(IsBatchManaged(c, kHostile)); }, "False"},
      {"batch flag Null", items("('N', NULL, NULL, NULL, NULL, NULL)"),
       [](Connection& c) { return flag(IsBatchManaged(c, "N")); }, "error 13"},
      {"shelf-life item", twoItems, [](Connection& c) { return flag(IsShelfLifeManaged(c, "B2")); }, "True"},
      {"shelf life of an unknown item", twoItems, [](Connection& c) { return flag(IsShelfLifeManaged(c, "Z")); }, "False"},
      {"shelf life of a hostile code", items("('A1', 'x', NULL, 0, 1, 0)"),
       [](Connection& c) { return flag(IsShelfLifeManaged(c, kHostile)); }, "False"},
      {"group type of an item code, no vendor", twoItems, [](Connection& c) { return GetGroupType(c, "A1", ""); }, "1"},
      {"group type by the vendor's code", twoItems + vendorCodes, [](Connection& c) { return GetGroupType(c, "V-7", "V01"); }, "2"},
      {"vendor's code of another vendor", twoItems + vendorCodes,
       [](Connection& c) { return GetGroupType(c, "V-7", "V02"); }, "0"},
      {"group type of a hostile code", twoItems + vendorCodes,
       [](Connection& c) { return GetGroupType(c, kHostile, kHostile); }, "0"},
      {"group type Null", items("('N', NULL, NULL, 0, 0, NULL)"), [](Connection& c) { return GetGroupType(c, "N", ""); }, "error 13"},
      {"first open period", "INSERT INTO gl_mend (iperiod, bflag_om) VALUES (1, 1), (2, 0), (3, 0)",
       [](Connection& c) { return std::to_string(GetFirstOpenPeriod(c)); }, "2"},
      {"every period closed", "INSERT INTO gl_mend (iperiod, bflag_om) VALUES (1, 1)",
       [](Connection& c) { return std::to_string(GetFirstOpenPeriod(c)); }, "0"},
      {"period beyond 16 bits", "INSERT INTO gl_mend (iperiod, bflag_om) VALUES (40000, 0)",
       [](Connection& c) { return std::to_string(GetFirstOpenPeriod(c)); }, "error 6"},
      {"item by code", twoItems, [](Connection& c) { return ResolveInvCode(c, "b2"); }, "B2"},
      {"item by name", twoItems, [](Connection& c) { return ResolveInvCode(c, "nut"); }, "B2"},
      {"item by additional code", twoItems, [](Connection& c) { return ResolveInvCode(c, "ADD-1"); }, "A1"},
      {"no item", twoItems, [](Connection& c) { return ResolveInvCode(c, "螺"); }, ""},
      {"item of a hostile text", twoItems, [](Connection& c) { return ResolveInvCode(c, kHostile); }, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDatabase fresh;
    fresh.sql(c.rows);
    auto cnn = fresh.connect();
    EXPECT_EQ(outcome([&] { return c.probe(*cnn); }), c.answer);
    // A database without the probe's table refuses the statement: no default answer then.
    EXPECT_EQ(outcome([&] { return c.probe(*test::TempDatabase("").connect()); }), "error 3001");
  }
  EXPECT_EQ(errorNumber([] { requireConnection(nullptr); }), err::ObjectNotSet);
}

TEST_F(Probes, FreeItemSwitchesFillInOrderAndStopAtABadValue) {
  db.sql("INSERT INTO Inventory (cInvCode, bfree1, bfree2, bfree3, bfree4, bfree5, bfree6, bfree7, bfree8, bfree9, "
         "bfree10) VALUES ('A01', 1, 0, 1, 0, 'True', 'False', 0, 0, 0, 1), ('BAD', 0, 1, 1, 'x', 1, 1, 1, 1, 1, 1)");
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

// Periods of account 001 in 2026 (period 9 written first, overlapping period 4), and periods of
// another account and year that cover the dates in between.
TEST_F(Probes, PeriodOfADateHasBothBoundsInclusiveAndTheFirstPeriodWins) {
  db.sql(R"(INSERT INTO ua_period (cacc_id, iyear, iID, dBegin, dEnd) VALUES
      ('001', 2026, 9, '2026-04-01 00:00:00', '2026-12-31 00:00:00'),
      ('001', 2026, 1, '2026-01-01 00:00:00', '2026-01-31 00:00:00'),
      ('001', 2026, 2, '2026-02-01 00:00:00', '2026-02-28 00:00:00'),
      ('001', 2026, 4, '2026-04-01 00:00:00', '2026-04-30 00:00:00'),
      ('002', 2026, 3, '2026-03-01 00:00:00', '2026-03-31 00:00:00'),
      ('001', 2025, 3, '2026-03-01 00:00:00', '2026-03-31 00:00:00'),
      ('', 2026, 7, '2026-07-01 00:00:00', '2026-07-31 00:00:00'))");
  const auto info = session(Variant("001"), Variant(2026));
  const struct { const char* date; Variant period; } cases[] = {
      {"2026-01-01", Variant(1)},         {"2026-01-31", Variant(1)},
      {"2026-01-31 10:00:00", Variant()},  // after dEnd's date-time, before the next dBegin
      {"2026/02/28", Variant(2)},         {"2026-03-15", Variant()},  // only other accounts and years
      {"2025-12-31", Variant()},          {"2026-04-30", Variant(4)},
      {"2026-05-01", Variant(9)},
  };
  for (const auto& c : cases) EXPECT_EQ(GetPeriodIdOfDate(c.date, *info, *cnn), c.period) << c.date;
  EXPECT_EQ(errorNumber([&] { GetPeriodIdOfDate("2026-13-01", *info, *cnn); }), err::TypeMismatch);
  EXPECT_EQ(GetPeriodIdOfDate("not a date", *session(Variant("003"), Variant(2026)), *cnn), Variant());
  // Members are read by name in any case; the year as a number, the account as text (Null as '').
  auto lower = std::make_shared<SessionInformation>();
  lower->set("curaccountid", Variant("001"));
  lower->set("theyear", Variant("2026"));
  EXPECT_EQ(GetPeriodIdOfDate("2026-01-10", *lower, *cnn), Variant(1));
  EXPECT_EQ(GetPeriodIdOfDate("2026-07-10", *session(Variant::null(), Variant(2026.0)), *cnn), Variant(7));
  lower->remove("theyear");
  EXPECT_EQ(errorNumber([&] { GetPeriodIdOfDate("2026-01-10", *lower, *cnn); }), err::NoSuchMember);
  cnn->clearStatements();
  EXPECT_EQ(errorNumber([&] { GetPeriodIdOfDate("2026-01-10", *session(Variant("001"), Variant("2026 or 1=1")), *cnn); }),
            err::TypeMismatch);
  EXPECT_TRUE(cnn->statements().empty());
  db.sql("UPDATE ua_period SET dBegin=NULL WHERE iID=1");
  EXPECT_EQ(errorNumber([&] { GetPeriodIdOfDate("2026-01-10", *info, *cnn); }), err::TypeMismatch);
}

}  // namespace
}  // namespace tallyward
