// The reference lists on real ERP databases: the columns a check receives, under the names the ERP
// server reports, and the rows they find; for the inventory list, the latest prices it reads from
// each source under each purchasing setting.
#include <gtest/gtest.h>
#include <algorithm>
#include <string>
#include <vector>
#include "erp/reference_sql.h"
#include "erp/settings.h"
#include "support/temp_database.h"

namespace tallyward {
namespace {

using test::errorNumber;
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
