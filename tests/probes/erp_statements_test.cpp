// The probes and reference lists against the embedded ERP database: every statement they can send
// runs there, and its columns come back under the names that SQL Server reports.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>

#include "erp/reference_sql.h"
#include "erp/settings.h"
#include "probes/probe_fixture.h"
#include "tallyward/erp_database.h"

namespace tallyward {
namespace {

using Names = std::vector<std::string>;

class ErpStatements : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    path_ = (std::filesystem::temp_directory_path() / ("tw_probes_" + std::to_string(getpid()) + ".db")).string();
    createErpDatabase(path_, true, true);
    write(R"(
      INSERT INTO ComputationUnit (cComUnitCode, cComUnitName, cGroupCode, iChangRate, bMainUnit)
        VALUES ('TWU1', '个', 'TWG', 1, 1), ('TWU2', '箱', 'TWG', 12, 0);
      INSERT INTO Inventory (cInvCode, cInvAddCode, cInvName, cComUnitCode, cPUComUnitCode, iGroupType,
                             iTaxRate, bInvBatch, bInvQuality, bfree1, bfree3)
        VALUES ('TWP01', 'TWADD', '探针螺栓', 'TWU1', 'TWU2', 1, 13, 1, 0, 1, 1);
      INSERT INTO venandinv (cInvCode, cVenCode, cVenInvCode) VALUES ('TWP01', 'TWV01', 'V-BOLT');
      INSERT INTO PO_Pomain (POID, cVenCode) VALUES (9001, 'TWV01'), (9002, 'TWV02');
      INSERT INTO PO_Podetails (ID, POID, cInvCode, iUnitPrice, iTaxPrice, iPerTaxRate)
        VALUES (9001, 9001, 'TWP01', 10, 11.3, 13), (9002, 9002, 'TWP01', 12, 13.56, 13);
      INSERT INTO PurBillVouch (PBVID, cVenCode) VALUES (9001, 'TWV01');
      INSERT INTO PurBillVouchs (ID, PBVID, cInvCode, iOriCost, iTaxRate) VALUES (9001, 9001, 'TWP01', 100, 10);
      INSERT INTO OM_PurBillVouch (PBVID, cVenCode) VALUES (9001, 'TWV01');
      INSERT INTO OM_PurBillVouchs (ID, PBVID, cInvCode, iOriCost, iTaxRate) VALUES (9001, 9001, 'TWP01', 100, 10);
      INSERT INTO ua_period (cacc_id, iyear, iID, dBegin, dEnd)
        VALUES ('T99', 2026, 1, '2026-01-01 00:00:00', '2026-01-31 00:00:00'),
               ('T99', 2026, 2, '2026-02-01 00:00:00', '2026-02-28 00:00:00');
    )");
  }
  static void TearDownTestSuite() { std::filesystem::remove(path_); }

  // Changes the database beside the connection under test, as the ERP's own screens would.
  static void write(const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(path_.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    char* message = nullptr;
    const int rc = sqlite3_exec(db, ("PRAGMA synchronous=OFF; " + sql).c_str(), nullptr, nullptr, &message);
    const std::string text = message ? message : "";
    sqlite3_free(message);
    sqlite3_close(db);
    ASSERT_EQ(rc, SQLITE_OK) << text;
  }
  static std::string setting(const std::string& name, const std::string& value) {
    return "DELETE FROM accinformation WHERE cName='" + name + "'; INSERT INTO accinformation (cSysID, cName, "
           "cValue) VALUES ('PU', '" + name + "', '" + value + "');";
  }
  Names columnsOf(const std::string& sql) { return cnn->execute(sql)->columns(); }

  static inline std::string path_;
  std::shared_ptr<Connection> cnn = Connection::open(path_);
};

// The demo company's settings, its closed months, and a few rows of its own.
TEST_F(ErpStatements, ProbesReadTheDatabase) {
  std::array<bool, 10> flags{};
  LoadFreeItemFlags(*cnn, "TWP01", flags);
  EXPECT_EQ(flags, (std::array<bool, 10>{true, false, true, false, false, false, false, false, false, false}));
  EXPECT_TRUE(IsBatchManaged(*cnn, "TWP01") && !IsShelfLifeManaged(*cnn, "TWP01"));
  EXPECT_EQ(GetGroupType(*cnn, "V-BOLT", "TWV01") + GetGroupType(*cnn, "V-BOLT", "TWV02"), "10");
  EXPECT_EQ(ResolveInvCode(*cnn, "twadd"), "TWP01");  // compared without regard to case, as on the server
  EXPECT_EQ(ResolveInvCode(*cnn, "' OR ''='"), "");
  EXPECT_EQ(GetFirstOpenPeriod(*cnn), 3);
  EXPECT_EQ(GetSingleTaxTolerance(*cnn) + GetSumTaxTolerance(*cnn), 0.06 + 0.36);
  EXPECT_FALSE(GetControlTax(*cnn) || IsGspStarted(*cnn) || IsDirectShipSalesOn(*cnn) ||
               IsSalesOrderRequiredForDirectShip(*cnn));
  EXPECT_TRUE(IsAccordVendor(*cnn));
  auto info = test::session({{"CurAccountID", Variant("T99")}, {"TheYear", Variant(2026)}});
  EXPECT_EQ(GetPeriodIdOfDate("2026-01-31", *info, *cnn), Variant(1));
  EXPECT_EQ(GetPeriodIdOfDate("2026-03-01", *info, *cnn), Variant());
}

TEST_F(ErpStatements, FixedListsRun) {
  for (int voucher : {0, 1, 3, 4})
    for (int kind : {1, 2, 3, 4, 5, 6, 8, 9, 11, 12, 15, 16, 17})
      for (const char* dep : {"", "01"}) {
        const std::string sql = BuildReferenceSql({.voucher = static_cast<VoucherKind>(voucher), .list = static_cast<ReferenceKind>(kind), .depCode = dep});
        EXPECT_NO_THROW(cnn->execute(sql)) << sql;
      }
}

// Every edit mode; with the latest price every source, with and without per-vendor prices, and
// for invoices no latest invoice or one of every type: the list runs, and the price columns that
// follow the item and unit columns carry the names of the voucher kind.
TEST_F(ErpStatements, InventoryListsRunForEverySettingWithTheirPriceColumns) {
  const Names prices[] = {{"iunitprice", "itaxprice", "ipertaxrate"}, {"ioricost", "itaxrate"},
                          {"ioricost", "itaxrate"}, {"ioricost", "ioritaxcost", "itaxrate"}};
  const size_t before[] = {27, 29, 29, 29};  // item, define and unit columns
  struct Setting { const char *mode, *source, *accord, *type; };
  std::vector<Setting> settings{{"取自供应商存货价格表价格", "订单", "1", ""}, {"手工录入", "发票", "1", ""}};
  for (const char* accord : {"0", "1"}) {
    settings.push_back({"最新价格", "订单", accord, ""});
    settings.push_back({"最新价格", "到货单", accord, ""});
    for (const char* type : {"", "01", "02", "11", "12"}) settings.push_back({"最新价格", "发票", accord, type});
  }
  int priced[4] = {};
  for (const Setting& s : settings) {
    const std::string item = *s.type ? "TWP01" : "TWNONE";  // an empty type: the item has no invoice
    write(setting("cOtherCostEditMode", s.mode) + setting("cCostSource", s.source) + setting("bAccordVen", s.accord) +
          "UPDATE PurBillVouch SET cPBVBillType='" + s.type + "' WHERE PBVID=9001; UPDATE OM_PurBillVouch SET "
          "cPBVBillType='" + s.type + "' WHERE PBVID=9001; UPDATE PurBillVouchs SET cInvCode='" + item +
          "' WHERE ID=9001; UPDATE OM_PurBillVouchs SET cInvCode='" + item + "' WHERE ID=9001;");
    for (int voucher : {0, 1, 2, 3})
      for (const char* unitMode : {"0", "1", "2"}) {
        const std::string sql = BuildReferenceSql({.voucher = static_cast<VoucherKind>(voucher), .list = static_cast<ReferenceKind>(0), .cnn = cnn.get(), .venCode = "TWV01", .unitMode = unitMode, .invCode = "TWP01", .billType = "委外专用发票"});
        Names got;
        EXPECT_NO_THROW(got = columnsOf(sql + " WHERE Inventory.cInvCode='TWP01'")) << sql;
        if (got.size() <= before[voucher]) continue;
        ++priced[voucher];
        // The arrival note's list from the price list keeps the order's names for its blanks.
        const bool orderBlanks = voucher == 3 && std::string(s.mode) == "取自供应商存货价格表价格";
        const Names expected = orderBlanks ? Names{"iunitprice", "itaxprice", "itaxrate"} : prices[voucher];
        EXPECT_EQ(Names(got.begin() + before[voucher], got.end()), expected) << sql;
      }
  }
  for (int voucher : {0, 1, 2, 3}) EXPECT_GE(priced[voucher], 10) << "voucher kind " << voucher;
  EXPECT_NO_THROW(cnn->execute(BuildReferenceSql({.voucher = static_cast<VoucherKind>(4), .list = static_cast<ReferenceKind>(0), .venCode = "TWV01"})));
}

TEST_F(ErpStatements, LatestOrderPriceIsTheNewestLineOfTheVendorWhenPricesGoByVendor) {
  const struct { const char* accord; const char* vendor; double price; } cases[] = {
      {"0", "TWV01", 12},  // newest line of any vendor
      {"1", "TWV01", 10},  // newest line of this vendor
      {"1", "", 12},       // no vendor: any vendor
  };
  for (const auto& c : cases) {
    write(setting("cOtherCostEditMode", "最新价格") + setting("cCostSource", "订单") + setting("bAccordVen", c.accord));
    const std::string sql =
        BuildReferenceSql({.voucher = static_cast<VoucherKind>(0), .list = static_cast<ReferenceKind>(0), .cnn = cnn.get(), .venCode = c.vendor, .unitMode = "1", .invCode = "TWP01"}) + " WHERE Inventory.cInvCode='TWP01'";
    auto rs = cnn->execute(sql);
    ASSERT_FALSE(rs->eof()) << sql;
    EXPECT_DOUBLE_EQ(toDouble(rs->field("iunitprice")), c.price) << sql;
    EXPECT_EQ(toText(rs->field("Cunitid")), "TWU2");
    EXPECT_DOUBLE_EQ(toDouble(rs->field("iinvexchrate")), 12);
  }
}

}  // namespace
}  // namespace tallyward
