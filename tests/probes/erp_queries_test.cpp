// The ERP queries on real databases: what each settings and master-data probe answers from the rows
// there, with no row, with a value that does not convert, and when the database refuses; the SQL
// text that carries typed values into statements; and the reference lists - the columns a check
// receives, the rows they find, and the latest prices the inventory list reads from each source.
#include <gtest/gtest.h>
#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <string>
#include <vector>
#include "erp/reference_sql.h"
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

// The reference lists on real ERP databases: the columns a check receives, under the names the ERP
// server reports, and the rows they find; for the inventory list, the latest prices it reads from
// each source under each purchasing setting.
using test::TempDatabase;

std::string textOf(const Variant& v) { return v.isNull() ? "" : toText(v); }
using Values = std::vector<std::pair<const char*, const char*>>;

ReferenceQuery list(int voucher, int kind) {
  return {.voucher = static_cast<VoucherKind>(voucher), .list = static_cast<ReferenceKind>(kind)};
}

class DemoLists : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { demo_ = new TempDatabase(TempDatabase::DemoCompany); }
  static void TearDownTestSuite() { delete demo_; }
  static inline TempDatabase* demo_ = nullptr;
  std::shared_ptr<Connection> cnn = demo_->connect();
};

// A list's columns become the fields of a fill-in reply: their number, and the values behind their
// names, on a demo row. The inventory list's unit columns follow the item's unit mode (2: floating).
TEST_F(DemoLists, ListsGiveTheirColumnsAndFindTheDemoRows) {
  const struct { const char* name; ReferenceQuery query; const char* where; size_t columns; Values values; } cases[] = {
      {"arrival vendors", list(3, 2), " WHERE cVenCode='V002'", 26, {{"cVenAbbName", "宏达电子"}, {"cvendefine16", ""}}},
      {"requisition vendors", list(4, 2), " WHERE cVenCode='V005'", 2, {{"cVenAbbName", "新兴铸造"}}},
      {"production plan state", list(0, 15), " WHERE PP_PPCMain.cPeriod='2026-03'", 1, {{"iState", "2"}}},
      {"invoice items in a floating unit", {.voucher = VoucherKind::Invoice, .cnn = cnn.get(), .venCode = "V001", .unitMode = "2",
       .invCode = "P1003"}, " WHERE Inventory.cInvCode='P1003'", 31, {{"Cunitid", "0302"}, {"cinva_unit", "卷"}, {"iinvexchrate", "25"},
       {"bInvType", "False"}, {"bService", "False"}, {"ioricost", ""}, {"itaxrate", ""}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::shared_ptr<Recordset> rs;
    ASSERT_NO_THROW(rs = cnn->execute(BuildReferenceSql(c.query) + c.where));
    EXPECT_EQ(rs->columns().size(), c.columns);
    ASSERT_FALSE(rs->eof());
    for (const auto& [column, value] : c.values) EXPECT_EQ(textOf(rs->field(column)), value) << column;
  }
  for (int kind : {7, 10, 13, 14, 18, -1}) EXPECT_EQ(BuildReferenceSql(list(0, kind)), "") << "no list of kind " << kind;
  EXPECT_EQ(BuildReferenceSql(list(5, 2)), "") << "vendors of no voucher kind";
}

// ---- Latest prices -------------------------------------------------------------------------------

// Three lines of item TW1 in every price source, the newest of vendor V2, the one before of V1, the
// oldest of V2, each with values of its own; TW2 has none. Invoices carry their type in their head.
class PriceSources : public ::testing::Test {
 protected:
  PriceSources() {
    db.sql(R"(
      INSERT INTO Inventory (cInvCode, iTaxRate, cComUnitCode) VALUES ('TW1', 17, 'U'), ('TW2', 9, 'U');
      INSERT INTO PO_Pomain (POID, cVenCode) VALUES (1, 'V2'), (2, 'V1'), (3, 'V2');
      INSERT INTO PO_Podetails (ID, POID, cInvCode, iUnitPrice, iTaxPrice, iPerTaxRate)
        VALUES (1, 1, 'TW1', 1, 2, 3), (2, 2, 'TW1', 11, 12, 13), (3, 3, 'TW1', 21, 22, 23);
      INSERT INTO PU_ArrivalVouch (ID, cVenCode) VALUES (1, 'V2'), (2, 'V1'), (3, 'V2');
      INSERT INTO PU_ArrivalVouchs (Autoid, ID, cInvCode, iOriCost, iOriTaxCost, iTaxRate)
        VALUES (1, 1, 'TW1', 31, 32, 33), (2, 2, 'TW1', 41, 42, 43), (3, 3, 'TW1', 51, 52, 53);
      INSERT INTO PurBillVouch (PBVID, cVenCode) VALUES (1, 'V2'), (2, 'V1'), (3, 'V2');
      INSERT INTO PurBillVouchs (ID, PBVID, cInvCode, iOriCost, iTaxRate)
        VALUES (1, 1, 'TW1', 60, 20), (2, 2, 'TW1', 120, 20), (3, 3, 'TW1', 240, 20);
      INSERT INTO OM_PurBillVouch (PBVID, cVenCode) VALUES (1, 'V2'), (2, 'V1'), (3, 'V2');
      INSERT INTO OM_PurBillVouchs (ID, PBVID, cInvCode, iOriCost, iTaxRate)
        VALUES (1, 1, 'TW1', 40, 25), (2, 2, 'TW1', 80, 25), (3, 3, 'TW1', 400, 25);
      INSERT INTO OM_ProductPO (ID, cVenCode) VALUES (1, 'V2'), (2, 'V1'), (3, 'V2');
      INSERT INTO OM_POMain (MainID, ID, cInvCode, iMakeCharge) VALUES (1, 1, 'TW1', 7), (2, 2, 'TW1', 8), (3, 3, 'TW1', 9);
      INSERT INTO accinformation (cSysID, cName, cValue) VALUES
        ('PU', 'cOtherCostEditMode', NULL), ('PU', 'cCostSource', NULL), ('PU', 'bAccordVen', NULL);
    )");
  }
  void setting(const char* name, const char* value) {
    db.sql(std::string("UPDATE accinformation SET cValue=") + (value ? "'" + std::string(value) + "'" : "NULL") +
           " WHERE cName='" + name + "'");
  }
  // The price columns (those after the unit columns) of the item's row, as "alias=value ...".
  std::string prices(const ReferenceQuery& q) {
    auto rs = cnn->execute(BuildReferenceSql(q) + " WHERE Inventory.cInvCode='" + std::string(q.invCode) + "'");
    std::string out;
    const auto& names = rs->columns();
    for (size_t i = std::find(names.begin(), names.end(), "iinvexchrate") - names.begin() + 1; i < names.size(); ++i)
      out += (out.empty() ? "" : " ") + names[i] + "=" + textOf(rs->field(i));
    return out;
  }
  TempDatabase db;
  std::shared_ptr<Connection> cnn = db.connect();
};

// Each row: the settings (nullptr: Null), the vendor and item, the type of the latest invoices
// (of vendor V1's when given apart), the bill type; the price columns and the number of statements
// the build sends (the two settings, then the per-vendor setting only for latest prices, then the
// latest invoice's type only when prices come from invoices).
TEST_F(PriceSources, EachSettingReadsItsSourceAndLatestLine) {
  const char *latest = "最新价格", *priceList = "取自供应商存货价格表价格", *byHand = "手工录入";
  const struct {
    const char* name; int voucher; const char *mode, *source, *accord, *prices; size_t sent;
    const char *type = "", *v1Type = nullptr, *billType = "", *item = "TW1", *vendor = "V1";
  } cases[] = {
      {"order: orders of the vendor", 0, latest, "订单", "1", "iunitprice=11 itaxprice=12 ipertaxrate=13", 3},
      {"order: vendor kept in its literal", 0, latest, "订单", "1", "iunitprice= itaxprice= ipertaxrate=", 3, "", nullptr, "", "TW1", "V1' OR '1'='1"},
      {"order: Null source is orders", 0, latest, nullptr, "0", "iunitprice=21 itaxprice=22 ipertaxrate=23", 3},
      {"order: arrivals of the vendor", 0, latest, "到货单", "1", "iunitprice=41 itaxprice=42 ipertaxrate=43", 3},
      {"order: no invoice", 0, latest, "发票", "1", "iunitprice= itaxprice= ipertaxrate=9", 4, "", nullptr, "", "TW2"},
      {"order: vendor's purchase invoice 01", 0, latest, "发票", "1", "iunitprice=120 itaxprice=144 ipertaxrate=20", 4, "02", "01"},
      {"order: outsourcing invoice 11", 0, latest, "发票", "1", "iunitprice=80 itaxprice=100 ipertaxrate=25", 4, "11"},
      {"order: outsourcing invoice 12", 0, latest, "发票", "0", "iunitprice=320 itaxprice=400 ipertaxrate=25", 4, "12"},
      {"order: invoice without type", 0, latest, "发票", "0", "", 4, nullptr},
      {"order: another mode", 0, "最新价", "订单", "1", "", 2},
      {"arrival: price list keeps the order's names", 3, priceList, "发票", "1", "iunitprice= itaxprice= itaxrate=17", 2},
      {"arrival: by hand", 3, byHand, "发票", "1", "ioricost= ioritaxcost= itaxrate=17", 2},
      {"arrival: invoice without type", 3, latest, "发票", "1", "ioricost=320 ioritaxcost=400 itaxrate=25", 4, nullptr, nullptr, "", "TW1", ""},
      {"invoice: charges of the vendor", 2, latest, "订单", "1", "ioricost=8 itaxrate=17", 3},
      {"invoice: arrivals give none", 1, latest, "到货单", "1", "", 3},
      {"invoice: 11 on a special invoice", 1, latest, "发票", "1", "ioricost=80 itaxrate=25", 4, "12", "11", "委外专用发票"},
      {"invoice: 11 on another invoice", 2, latest, "发票", "0", "ioricost=500 itaxrate=25", 4, "11", nullptr, "普通发票"},
      {"invoice: 02 on another invoice", 1, latest, "发票", "0", "ioricost=400 itaxrate=25", 4, "02"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    setting("cOtherCostEditMode", c.mode);
    setting("cCostSource", c.source);
    setting("bAccordVen", c.accord);
    const std::string type = c.type ? "'" + std::string(c.type) + "'" : "NULL";
    const std::string v1Type = c.v1Type ? "'" + std::string(c.v1Type) + "'" : type;
    for (const char* head : {"PurBillVouch", "OM_PurBillVouch"})
      db.sql(std::string("UPDATE ") + head + " SET cPBVBillType=CASE cVenCode WHEN 'V1' THEN " + v1Type + " ELSE " +
             type + " END");
    cnn->clearStatements();
    const ReferenceQuery q{.voucher = static_cast<VoucherKind>(c.voucher), .cnn = cnn.get(), .venCode = c.vendor,
                           .unitMode = "0", .invCode = c.item, .billType = c.billType};
    EXPECT_EQ(prices(q), c.prices);
    EXPECT_EQ(cnn->statements().size(), c.sent + 1);  // and the list itself
  }
}

// A setting that must be there, a connection, a unit mode that is a number and an invoice probe
// that runs: each a run-time error when it fails.
TEST_F(PriceSources, FailuresAreErrors) {
  setting("cCostSource", "发票");
  setting("cOtherCostEditMode", "最新价格");
  setting("bAccordVen", "0");
  const auto build = [&](int voucher, const char* unitMode = "0") {
    return errorNumber([&] {
      BuildReferenceSql({.voucher = static_cast<VoucherKind>(voucher), .cnn = cnn.get(), .venCode = "V1",
                         .unitMode = unitMode, .invCode = "TW1"});
    });
  };
  EXPECT_EQ(build(0, "abc"), err::TypeMismatch);
  for (const char* mode : {"3", "-1"})
    EXPECT_EQ(BuildReferenceSql({.cnn = cnn.get(), .unitMode = mode, .invCode = "TW1"}), "") << mode;
  EXPECT_EQ(errorNumber([] { BuildReferenceSql({.unitMode = "0"}); }), err::ObjectNotSet);
  db.sql("DROP TABLE PurBillVouch");
  EXPECT_EQ(build(0), err::Database);
  db.sql("DELETE FROM accinformation WHERE cName='cCostSource'");
  EXPECT_EQ(build(3), err::NoCurrentRecord);
}

}  // namespace
}  // namespace tallyward
