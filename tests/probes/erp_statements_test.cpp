// The probes and reference lists against the embedded ERP database: every statement they can send
// must run there, and its columns must come back under the names that SQL Server reports.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/reference_sql.h"
#include "common/settings.h"
#include "probes/probe_fixture.h"
#include "tallyward/erp_database.h"

namespace tallyward {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

class ErpStatements : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = fs::temp_directory_path() / ("tw_probes_" + std::to_string(getpid()));
    fs::create_directories(dir_);
    path_ = (dir_ / "erp.db").string();
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
      INSERT INTO PurBillVouch (PBVID, cVenCode, cPBVBillType) VALUES (9001, 'TWV01', '01');
      INSERT INTO PurBillVouchs (ID, PBVID, cInvCode, iOriCost, iTaxRate) VALUES (9001, 9001, 'TWP01', 100, 10);
      INSERT INTO OM_PurBillVouch (PBVID, cVenCode, cPBVBillType) VALUES (9001, 'TWV01', '11');
      INSERT INTO OM_PurBillVouchs (ID, PBVID, cInvCode, iOriCost, iTaxRate) VALUES (9001, 9001, 'TWP01', 100, 10);
      INSERT INTO ua_period (cacc_id, iyear, iID, dBegin, dEnd)
        VALUES ('T99', 2026, 1, '2026-01-01 00:00:00', '2026-01-31 00:00:00'),
               ('T99', 2026, 2, '2026-02-01 00:00:00', '2026-02-28 00:00:00');
      DELETE FROM gl_mend;
      INSERT INTO gl_mend (iperiod, bflag_om) VALUES (1, 1), (2, 1), (3, 0);
    )");
  }
  static void TearDownTestSuite() { fs::remove_all(dir_); }

  void SetUp() override { cnn = Connection::open(path_); }

  // Changes the database beside the connection under test, as the ERP's own screens would.
  static void write(const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(path_.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    char* message = nullptr;
    // A test database: no need to wait for the disk.
    const int rc = sqlite3_exec(db, ("PRAGMA synchronous=OFF; " + sql).c_str(), nullptr, nullptr, &message);
    const std::string text = message ? message : "";
    sqlite3_free(message);
    sqlite3_close(db);
    ASSERT_EQ(rc, SQLITE_OK) << text;
  }

  static std::string settingSql(const std::string& name, const std::string& value) {
    return "DELETE FROM accinformation WHERE cName='" + name + "'; INSERT INTO accinformation (cSysID, cName, "
           "cValue) VALUES ('PU', '" + name + "', '" + value + "');";
  }
  static void setting(const std::string& name, const std::string& value) { write(settingSql(name, value)); }

  Names columnsOf(const std::string& sql) {
    auto rs = cnn->execute(sql);
    return rs->columns();
  }

  static inline fs::path dir_;
  static inline std::string path_;
  std::shared_ptr<Connection> cnn;
};

Names numbered(const std::string& prefix, int count) {
  Names n;
  for (int i = 1; i <= count; ++i) n.push_back(prefix + std::to_string(i));
  return n;
}

Names operator+(Names a, const Names& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST_F(ErpStatements, ProbesReadTheDatabase) {
  std::array<bool, 10> flags{};
  LoadFreeItemFlags(*cnn, "TWP01", flags);
  EXPECT_EQ(flags, (std::array<bool, 10>{true, false, true, false, false, false, false, false, false, false}));
  EXPECT_TRUE(IsBatchManaged(*cnn, "TWP01"));
  EXPECT_FALSE(IsShelfLifeManaged(*cnn, "TWP01"));
  EXPECT_FALSE(IsBatchManaged(*cnn, "x' OR '1'='1"));
  EXPECT_EQ(GetGroupType(*cnn, "TWP01", ""), "1");
  EXPECT_EQ(GetGroupType(*cnn, "V-BOLT", "TWV01"), "1");
  EXPECT_EQ(GetGroupType(*cnn, "V-BOLT", "TWV02"), "0");
  EXPECT_EQ(ResolveInvCode(*cnn, "探针螺栓"), "TWP01");
  EXPECT_EQ(ResolveInvCode(*cnn, "twadd"), "TWP01");  // compared without regard to case, as on the server
  EXPECT_EQ(ResolveInvCode(*cnn, "' OR ''='"), "");
  EXPECT_EQ(GetFirstOpenPeriod(*cnn), 3);

  setting("bControlTax", "1");
  setting("iSingleTax", "0.06");
  setting("iSumTax", "0.5");
  EXPECT_TRUE(GetControlTax(*cnn));
  EXPECT_DOUBLE_EQ(GetSingleTaxTolerance(*cnn), 0.06);
  EXPECT_DOUBLE_EQ(GetSumTaxTolerance(*cnn), 0.5);
  // The remaining settings only have to be readable, whatever the demo company holds.
  EXPECT_NO_THROW(IsGspStarted(*cnn));
  EXPECT_NO_THROW(IsDirectShipSalesOn(*cnn));
  EXPECT_NO_THROW(IsSalesOrderRequiredForDirectShip(*cnn));
  EXPECT_NO_THROW(IsAccordVendor(*cnn));

  test::ValueObject info({{"CurAccountID", Variant("T99")}, {"TheYear", Variant(2026)}});
  EXPECT_EQ(GetPeriodIdOfDate("2026-01-31", info, *cnn), Variant(1));
  EXPECT_EQ(GetPeriodIdOfDate("2026-02-01", info, *cnn), Variant(2));
  EXPECT_EQ(GetPeriodIdOfDate("2026-03-01", info, *cnn), Variant());
}

TEST_F(ErpStatements, FixedListsRunWithTheirColumnNames) {
  const Names vendorDefines = numbered("cvendefine", 16);
  const struct { int voucher; int kind; const char* dep; Names columns; } cases[] = {
      {0, 1, "", {"cWhCode", "cWhName"}},
      {0, 2, "",
       Names{"cVenCode", "cVenAbbName", "cArrivalPlace", "cVenPostCode", "cVenAccount", "cVenBank",
             "cVenRegCode", "cVenPerson", "cVenPhone", "cVenAddress", "cVenFax", "csccode", "cscname",
             "cDepCode", "cDepName", "cPersonCode", "cPersonName", "cPayCode", "cPayName"} + vendorDefines},
      {1, 2, "", {"cUnitCode", "cVenAbbName"}},
      {3, 2, "",
       Names{"cVenCode", "cVenAbbName", "cVenPostCode", "cVenAccount", "cVenBank", "cVenRegCode", "cVenPerson",
             "cVenPhone", "cVenAddress", "cVenFax"} + vendorDefines},
      {4, 2, "", {"cVenCode", "cVenAbbName"}},
      {1, 3, "",
       Names{"cVenCode", "cVenAbbName_1", "cUnitCode", "cVenAbbName", "cWhCode", "cWhName", "cDepCode",
             "cDepName", "cPersonCode", "cPersonName", "cPayCode", "cPayName", "cvenpostcode", "cvenaccount",
             "cvenbank", "cvenregcode", "cvenperson", "cvenphone", "cvenaddress", "cvenfax"} +
           vendorDefines + Names{"caccountpid", "caccountpname"}},
      {0, 4, "", {"cDepCode", "cDepName"}},
      {0, 5, "D01", {"cPersonCode", "cPersonName", "cDepCode", "cDepName"}},
      {0, 5, "", {"cPersonCode", "cPersonName"}},
      {0, 6, "", {"cPTCode", "cPTName"}},
      {0, 8, "", {"cSCCode", "cSCName"}},
      {0, 9, "", {"cPayCode", "cPayName"}},
      {0, 11, "", {"cexch_name", "cexch_code"}},
      {0, 12, "", {"cAlias", "cValue"}},
      {0, 15, "", {"iState"}},
      {0, 16, "", {"cUnitId", "cInvA_Unit", "iInvExchRate"}},
      {0, 17, "", {"cAccountPID", "cAccountPName"}},
  };
  for (const auto& c : cases) {
    const std::string sql = BuildReferenceSql(c.voucher, c.kind, nullptr, "", "", "", "", c.dep);
    try {
      EXPECT_EQ(columnsOf(sql), c.columns) << sql;
    } catch (const Error& e) {
      ADD_FAILURE() << e.description() << "\n" << sql;
    }
  }
}

TEST_F(ErpStatements, InventoryListsRunForEverySettingWithTheirColumnNames) {
  const Names defines = numbered("cInvDefine", 16);
  const Names item{"cInvCode", "cVenInvCode", "cInvCCode", "cInvAddcode", "cInvName", "cInvStd"};
  const Names units{"iGroupType", "Cunitid", "cinvm_unit", "cinva_unit", "iinvexchrate"};
  const Names heads[] = {item + defines + units, item + Names{"bInvType", "bService"} + defines + units,
                         item + Names{"bInvType", "bService"} + defines + units,
                         item + Names{"iMassDate", "bgsp"} + defines + units};
  const Names prices[] = {{"iunitprice", "itaxprice", "ipertaxrate"}, {"ioricost", "itaxrate"},
                          {"ioricost", "itaxrate"}, {"ioricost", "ioritaxcost", "itaxrate"}};

  // Every edit mode; with the latest price every source, with and without per-vendor prices, and
  // for invoices no latest invoice or one of every type.
  struct Setting { const char* mode; const char* source; const char* accord; const char* type; };
  std::vector<Setting> settings{{"取自供应商存货价格表价格", "订单", "1", ""},
                                {"手工录入", "发票", "1", ""},
                                {"其他", "订单", "1", ""}};
  for (const char* accord : {"0", "1"}) {
    settings.push_back({"最新价格", "订单", accord, ""});
    settings.push_back({"最新价格", "到货单", accord, ""});
    settings.push_back({"最新价格", "其他", accord, ""});
    for (const char* type : {"", "01", "02", "11", "12", "21"}) settings.push_back({"最新价格", "发票", accord, type});
  }
  int priced[4] = {};
  for (const Setting& s : settings) {
    // An empty type stands for an item without any invoice.
    const std::string invoiceItem = *s.type ? "TWP01" : "TWNONE";
    write(settingSql("cOtherCostEditMode", s.mode) + settingSql("cCostSource", s.source) +
          settingSql("bAccordVen", s.accord) + "UPDATE PurBillVouch SET cPBVBillType='" + s.type +
          "'; UPDATE OM_PurBillVouch SET cPBVBillType='" + s.type + "'; UPDATE PurBillVouchs SET cInvCode='" +
          invoiceItem + "' WHERE ID=9001; UPDATE OM_PurBillVouchs SET cInvCode='" + invoiceItem +
          "' WHERE ID=9001;");
    for (int voucher : {0, 1, 2, 3})
      for (const char* unitMode : {"0", "1", "2"}) {
        const std::string sql =
            BuildReferenceSql(voucher, 0, cnn.get(), "TWV01", unitMode, "TWP01", "委外专用发票", "");
        try {
          const Names got = columnsOf(sql + " WHERE Inventory.cInvCode='TWP01'");
          const Names& head = heads[voucher];
          ASSERT_GE(got.size(), head.size()) << sql;
          EXPECT_EQ(Names(got.begin(), got.begin() + static_cast<long>(head.size())), head) << sql;
          const Names rest(got.begin() + static_cast<long>(head.size()), got.end());
          // The arrival note's list from the price list keeps the order's names for its blanks.
          const bool orderBlanks = voucher == 3 && std::string(s.mode) == "取自供应商存货价格表价格";
          const Names expected = orderBlanks ? Names{"iunitprice", "itaxprice", "itaxrate"} : prices[voucher];
          if (!rest.empty()) {
            EXPECT_EQ(rest, expected) << sql;
            ++priced[voucher];
          }
        } catch (const Error& e) {
          ADD_FAILURE() << e.description() << "\n" << sql;
        }
      }
  }

  for (int voucher : {0, 1, 2, 3}) EXPECT_GT(priced[voucher], 0) << "no price columns for voucher " << voucher;

  const std::string requisition = BuildReferenceSql(4, 0, nullptr, "TWV01", "", "", "", "");
  EXPECT_EQ(columnsOf(requisition),
            item + Names{"cinvm_unit"} + defines + Names{"iPerTaxRate"});
}

TEST_F(ErpStatements, LatestOrderPriceIsTheNewestLineOfTheVendorWhenPricesGoByVendor) {
  setting("cOtherCostEditMode", "最新价格");
  setting("cCostSource", "订单");
  const struct { const char* accord; const char* vendor; double price; } cases[] = {
      {"0", "TWV01", 12},  // newest line of any vendor
      {"1", "TWV01", 10},  // newest line of this vendor
      {"1", "", 12},       // no vendor: any vendor
  };
  for (const auto& c : cases) {
    setting("bAccordVen", c.accord);
    const std::string sql = BuildReferenceSql(0, 0, cnn.get(), c.vendor, "1", "TWP01", "", "") +
                            " WHERE Inventory.cInvCode='TWP01'";
    auto rs = cnn->execute(sql);
    ASSERT_FALSE(rs->eof()) << sql;
    EXPECT_DOUBLE_EQ(toDouble(rs->field("iunitprice")), c.price) << sql;
    EXPECT_EQ(toText(rs->field("Cunitid")), "TWU2");
    EXPECT_DOUBLE_EQ(toDouble(rs->field("iinvexchrate")), 12);
  }
}

}  // namespace
}  // namespace tallyward
