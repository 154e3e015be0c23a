// The settings and master-data probes on a real ERP database: what each answers from the rows
// there, with no row, with a value that does not convert, and when the database refuses; and the
// SQL text that carries typed values into their statements.
#include <gtest/gtest.h>
#include <array>
#include <cmath>
#include <functional>
#include "erp/settings.h"
#include "platform/db/sql_text.h"
#include "support/temp_database.h"
#include "tallyward/host.h"

namespace tallyward {
namespace {

using test::errorNumber;

// The answer of a probe as text, or "error N" for the run-time error it raises.
std::string outcome(const std::function<std::string()>& f) {
  std::string answer;
  const int error = errorNumber([&] { answer = f(); });
  return error ? "error " + std::to_string(error) : answer;
}

std::string flag(bool b) { return b ? "True" : "False"; }

std::shared_ptr<SessionInformation> session(Variant account, Variant year) {
  auto info = std::make_shared<SessionInformation>();
  info->set("CurAccountID", std::move(account));
  info->set("TheYear", std::move(year));
  return info;
}

// Each case: the rows the database holds, the probe, its answer. A setting is read from its own
// system only where the probe names one.
TEST(Probes, AnswerFromTheRowsTheyRead) {
  using Probe = std::function<std::string(Connection&)>;
  const Probe tax = [](Connection& c) { return flag(GetControlTax(c)); };
  const Probe single = [](Connection& c) { return formatNumber(GetSingleTaxTolerance(c)); };
  const Probe sum = [](Connection& c) { return formatNumber(GetSumTaxTolerance(c)); };
  const Probe gsp = [](Connection& c) { return flag(IsGspStarted(c)); };
  const Probe direct = [](Connection& c) { return flag(IsDirectShipSalesOn(c)); };
  const Probe salesOrder = [](Connection& c) { return flag(IsSalesOrderRequiredForDirectShip(c)); };
  const Probe accord = [](Connection& c) { return flag(IsAccordVendor(c)); };
  const Probe period = [](Connection& c) { return std::to_string(GetFirstOpenPeriod(c)); };
  const auto batch = [](const char* code) { return Probe([=](Connection& c) { return flag(IsBatchManaged(c, code)); }); };
  const auto shelf = [](const char* code) { return Probe([=](Connection& c) { return flag(IsShelfLifeManaged(c, code)); }); };
  const auto group = [](const char* code, const char* ven) { return Probe([=](Connection& c) { return GetGroupType(c, code, ven); }); };
  const auto item = [](const char* text) { return Probe([=](Connection& c) { return ResolveInvCode(c, text); }); };
  const auto settings = [](const std::string& v) { return "INSERT INTO accinformation (cSysID, cName, cValue) VALUES " + v; };
  const auto items = [](const std::string& v) {
    return "INSERT INTO Inventory (cInvCode, cInvName, cInvAddCode, bInvBatch, bInvQuality, iGroupType) VALUES " + v;
  };
  const std::string two = items("('A1', '螺栓', 'ADD-1', 1, 0, 1), ('B2', 'Nut', NULL, 0, 1, 2);") +
                          "INSERT INTO venandinv (cInvCode, cVenCode, cVenInvCode) VALUES ('B2', 'V01', 'V-7');";
  const auto months = [](const char* v) { return "INSERT INTO gl_mend (iperiod, bflag_om) VALUES " + std::string(v); };
  const struct { const char* name; std::string rows; Probe probe; const char* answer; } cases[] = {
      {"control tax on", settings("('PU', 'bControlTax', '1')"), tax, "True"},
      {"control tax of sales", settings("('SA', 'bControlTax', '1')"), tax, "False"},
      {"control tax Null", settings("('PU', 'bControlTax', NULL)"), tax, "error 13"},
      {"line tolerance", settings("('SA', 'iSingleTax', '9'), ('PU', 'iSingleTax', '0.06')"), single, "0.06"},
      {"total tolerance", settings("('PU', 'iSumTax', '0.36'), ('PU', 'iSingleTax', '0.06')"), sum, "0.36"},
      {"no GSP start", "", gsp, "False"},
      {"GSP start no date", settings("('XX', 'dGspStartDate', 'soon')"), gsp, "True"},
      {"direct shipping", settings("('PU', 'bZYXS', '0'), ('SA', 'bZYXS', 'True')"), direct, "True"},
      {"sales order for direct shipping", settings("('SA', 'bMustSO_zyxs', '1'), ('SA', 'bZYXS', '0')"), salesOrder, "True"},
      {"prices per vendor", settings("('SA', 'bAccordVen', '0'), ('PU', 'bAccordVen', 'true')"), accord, "True"},
      {"batch item", two, batch("a1"), "True"},
      {"shelf-life item", two, shelf("B2"), "True"},
      {"group type of an item code, no vendor", two, group("A1", ""), "1"},
      {"group type by the vendor's code", two, group("V-7", "V01"), "2"},
      {"vendor's code of another vendor", two, group("V-7", "V02"), "0"},
      {"group type Null", items("('N', NULL, NULL, 0, 0, NULL)"), group("N", ""), "error 13"},
      {"first open period", months("(1, 1), (2, 0), (3, 0)"), period, "2"},
      {"every period closed", months("(1, 1)"), period, "0"},
      {"period beyond 16 bits", months("(40000, 0)"), period, "error 6"},
      {"item by code", two, item("b2"), "B2"},
      {"item by name", two, item("nut"), "B2"},
      {"no item", two, item("螺"), ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDatabase fresh;
    fresh.sql(c.rows);
    EXPECT_EQ(outcome([&] { return c.probe(*fresh.connect()); }), c.answer);
    // A database without the probe's table refuses the statement: no default answer then.
    EXPECT_EQ(outcome([&] { return c.probe(*test::TempDatabase("").connect()); }), "error 3001");
  }
}

TEST(Probes, FreeItemSwitchesFillInOrderAndStopAtABadValue) {
  test::TempDatabase db;
  db.sql("INSERT INTO Inventory (cInvCode, bfree1, bfree2, bfree3, bfree4, bfree5, bfree6, bfree7, bfree8, bfree9, "
         "bfree10) VALUES ('BAD', 0, 'True', 1, 'x', 1, 1, 1, 1, 1, 1)");
  std::array<bool, 10> flags{};
  EXPECT_EQ(errorNumber([&] { LoadFreeItemFlags(*db.connect(), "BAD", flags); }), err::TypeMismatch);
  EXPECT_EQ(flags, (std::array<bool, 10>{false, true, true, false, false, false, false, false, false, false}));
}

// Periods of account 001 in 2026 (period 9 written first, overlapping period 4), and periods of
// another account and year that cover the dates in between. The session's members reach the
// statement through the same escaping as typed text (SqlText below).
TEST(Probes, PeriodOfADateHasBothBoundsInclusiveAndTheFirstPeriodWins) {
  test::TempDatabase db;
  db.sql(R"(INSERT INTO ua_period (cacc_id, iyear, iID, dBegin, dEnd) VALUES
      ('001', 2026, 9, '2026-04-01 00:00:00', '2026-12-31 00:00:00'), ('001', 2026, 1, '2026-01-01 00:00:00', '2026-01-31 00:00:00'),
      ('001', 2026, 2, '2026-02-01 00:00:00', '2026-02-28 00:00:00'), ('001', 2026, 4, '2026-04-01 00:00:00', '2026-04-30 00:00:00'),
      ('002', 2026, 3, '2026-03-01 00:00:00', '2026-03-31 00:00:00'), ('001', 2025, 3, '2026-03-01 00:00:00', '2026-03-31 00:00:00'))");
  auto cnn = db.connect();
  const auto info = session(Variant("001"), Variant(2026));
  const struct { const char* date; Variant period; } cases[] = {
      {"2026-01-01", Variant(1)}, {"2026-01-31", Variant(1)}, {"2026-01-31 10:00:00", Variant()}, {"2026/02/28", Variant(2)},
      {"2026-03-15", Variant()},  {"2025-12-31", Variant()},  {"2026-04-30", Variant(4)},          {"2026-05-01", Variant(9)}};
  for (const auto& c : cases) EXPECT_EQ(GetPeriodIdOfDate(c.date, *info, *cnn), c.period) << c.date;
  EXPECT_EQ(errorNumber([&] { GetPeriodIdOfDate("2026-13-01", *info, *cnn); }), err::TypeMismatch);
  EXPECT_EQ(GetPeriodIdOfDate("not a date", *session(Variant("003"), Variant(2026)), *cnn), Variant());
  db.sql("UPDATE ua_period SET dBegin=NULL WHERE iID=1");
  EXPECT_EQ(errorNumber([&] { GetPeriodIdOfDate("2026-01-10", *info, *cnn); }), err::TypeMismatch);
}

// Typed or stored text reaches the database as the very same text, whether the helper writes the
// quotes or the statement does; values and bare numbers are written as the statements need them.
TEST(SqlText, TextStaysInsideItsLiteralAndNumbersAreBare) {
  auto cnn = test::TempDatabase("").connect();
  for (const char* text : {"x' OR '1'='1", "'", "''", "A01'; DELETE FROM T; --", "供应商'甲", "a''b", "back\\slash\"dq", ""}) {
    auto rs = cnn->execute("select " + sqlLiteral(text) + " as a, '" + escapeSql(text) + "' as b");
    EXPECT_EQ(rs->field("a"), Variant(text));
    EXPECT_EQ(rs->field("b"), Variant(text));
  }
  const std::pair<Variant, const char*> values[] = {{Variant::null(), ""}, {Variant(), ""}, {Variant(2.5), "2.5"}, {Variant("O'Neil"), "O''Neil"}},
                                       numbers[] = {{Variant(2026.0), "2026"}, {Variant(-3.5), "-3.5"}, {Variant(" 2026 "), "2026"}};
  for (const auto& [value, text] : values) EXPECT_EQ(escapeSqlValue(value), text);
  for (const auto& [value, text] : numbers) EXPECT_EQ(sqlNumber(value), text);
  EXPECT_EQ(errorNumber([] { escapeSqlValue(Variant(std::make_shared<SessionInformation>())); }), err::TypeMismatch);
  for (const Variant& v : {Variant("2026 or 1=1"), Variant::null(), Variant(true), Variant(std::nan(""))})
    EXPECT_EQ(errorNumber([&] { sqlNumber(v); }), err::TypeMismatch) << toText(v.isNull() ? Variant("Null") : v);
}

}  // namespace
}  // namespace tallyward
