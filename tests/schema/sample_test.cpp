// The demo company: small, consistent as the ERP would keep it, covering every kind of entry
// the checks tell apart, and answering the look-ups with the codes a demo uses.
#include <gtest/gtest.h>

#include <memory>

#include "schema/sqlite_file.h"
#include "schema/statements.h"
#include "tallyward/erp_database.h"

namespace tallyward::test {
namespace {

class Sample : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = std::make_unique<TempFolder>();
    createErpDatabase(dir_->file("demo.db"), true, false);
    db_ = std::make_unique<SqliteFile>(dir_->file("demo.db"));
  }
  static void TearDownTestSuite() {
    db_.reset();
    dir_.reset();
  }

  // Every column of the given declared type, as (table, column).
  static std::vector<std::pair<std::string, std::string>> columnsOfType(const std::string& type) {
    std::vector<std::pair<std::string, std::string>> found;
    for (const std::string& t : db_->tables())
      for (const Row& c : db_->rows("PRAGMA table_info('" + t + "')"))
        if (c[2] == type) found.emplace_back(t, c[1]);
    return found;
  }

  static std::unique_ptr<TempFolder> dir_;
  static std::unique_ptr<SqliteFile> db_;
};

std::unique_ptr<TempFolder> Sample::dir_;
std::unique_ptr<SqliteFile> Sample::db_;

TEST_F(Sample, IsAFewHundredRowsAtMost) {
  size_t total = 0;
  for (const std::string& t : db_->tables()) total += std::stoul(db_->value("SELECT count(*) FROM " + t));
  EXPECT_GE(total, 100u);
  EXPECT_LE(total, 400u);
}

TEST_F(Sample, DatesAreStoredAsDateTimeText) {
  for (const auto& [table, column] : columnsOfType("DATETIME")) {
    const auto bad = db_->rows("SELECT " + column + " FROM " + table + " WHERE " + column + " IS NOT NULL AND (typeof(" +
                               column + ") <> 'text' OR datetime(" + column + ") IS NOT " + column + ")");
    EXPECT_TRUE(bad.empty()) << table << "." << column << " holds " << bad[0][0];
  }
}

TEST_F(Sample, FlagsHoldZeroOrOne) {
  for (const auto& [table, column] : columnsOfType("BIT")) {
    const auto bad = db_->rows("SELECT " + column + " FROM " + table + " WHERE " + column + " IS NOT NULL AND (typeof(" +
                               column + ") <> 'integer' OR " + column + " NOT IN (0, 1))");
    EXPECT_TRUE(bad.empty()) << table << "." << column << " holds " << bad[0][0];
  }
}

// Each settings row that the checks read is there once, found as the checks look for it.
TEST_F(Sample, SettingsTheChecksReadArePresentOnce) {
  const std::vector<std::pair<const char*, const char*>> settings = {
      {"cSysID='PU' and cName='bControlTax'", "False"},     {"cSysID='PU' and cName='iSingleTax'", "0.06"},
      {"cSysID='PU' and cName='iSumTax'", "0.36"},          {"cName='dGspStartDate'", ""},
      {"csysid='sa' and cname='bZYXS'", "False"},           {"csysid='sa' and cname='bMustSO_zyxs'", "False"},
      {"csysid='pu' and cname='bAccordVen'", "True"},       {"cname='cOtherCostEditMode'", "最新价格"},
      {"cname='cCostSource'", "订单"},                       {"cname= 'iXchgRateStl'", "False"},
  };
  for (const auto& [where, value] : settings) {
    const auto rows = db_->rows(std::string("select cValue from accinformation where ") + where);
    ASSERT_EQ(rows.size(), 1u) << where;
    EXPECT_EQ(rows[0][0], value) << where;
  }
}

// Each query lists what breaks a rule the ERP keeps; none may return a row.
TEST_F(Sample, IsConsistentAsTheErpKeepsIt) {
  std::vector<std::pair<std::string, std::string>> rules = {
      {"an item's group type is its unit group's",
       "select i.cInvCode from Inventory i left join ComputationGroup g on g.cGroupCode=i.cGroupCode "
       "where g.iGroupType is not i.iGroupType"},
      {"an item's main unit is a main unit of its group",
       "select cInvCode from Inventory i where not exists (select 1 from ComputationUnit u where "
       "u.cComUnitCode=i.cComUnitCode and u.cGroupCode=i.cGroupCode and u.bMainUnit=1)"},
      {"an item's purchase unit is a unit of its group",
       "select cInvCode from Inventory i where cPUComUnitCode is not null and not exists (select 1 from "
       "ComputationUnit u where u.cComUnitCode=i.cPUComUnitCode and u.cGroupCode=i.cGroupCode)"},
      {"a converting group has one main unit",
       "select cGroupCode from ComputationGroup g where iGroupType in (1, 2) and (select count(*) from "
       "ComputationUnit u where u.cGroupCode=g.cGroupCode and u.bMainUnit=1) <> 1"},
      {"a floating group has one auxiliary unit (the unit columns read it as a single value)",
       "select cGroupCode from ComputationGroup g where iGroupType = 2 and (select count(*) from "
       "ComputationUnit u where u.cGroupCode=g.cGroupCode and u.bMainUnit=0) <> 1"},
      {"a main unit has rate 1", "select cComUnitCode from ComputationUnit where bMainUnit=1 and iChangRate<>1"},
      {"a vendor's references exist",
       "select cVenCode from Vendor v where (cVenDepart is not null and cVenDepart not in (select cDepCode from "
       "Department where bDepEnd=1)) or (cVenPPerson is not null and cVenPPerson not in (select cPersonCode from "
       "Person)) or (cVenPayCond is not null and cVenPayCond not in (select cPayCode from PayCondition)) or "
       "(cVenIType is not null and cVenIType not in (select cSCCode from ShippingChoice)) or (cVenWhCode is not "
       "null and cVenWhCode not in (select cWhCode from WareHouse)) or (cAccountPID is not null and cAccountPID "
       "not in (select cAccountPID from AccountPeriod)) or (cVenHeadCode is not null and cVenHeadCode not in "
       "(select cVenCode from Vendor where cVenHeadCode is null))"},
      {"a person works in a leaf department",
       "select cPersonCode from Person where cDepCode not in (select cDepCode from Department where bDepEnd=1)"},
      {"exactly the departments with sub-departments are not leaves",
       "select cDepCode from Department d where bDepEnd = (select count(*) > 0 from Department c where "
       "c.cDepCode like d.cDepCode || '_%')"},
      {"a vendor's item code names a known item and vendor, once per vendor",
       "select cInvCode from venandinv where cInvCode not in (select cInvCode from Inventory) or cVenCode not in "
       "(select cVenCode from Vendor) union all select cVenInvCode from venandinv group by cVenCode, cVenInvCode "
       "having count(*) > 1"},
      {"a rate is of a known currency, daily rates dated yyyy.mm.dd, period rates numbered 1 to 12",
       "select cexch_name || ' ' || cdate from exch where cexch_name not in (select cexch_name from "
       "ForeignCurrency) or itype not in (1, 2) or (itype = 1 and (cdate not glob "
       "'[0-9][0-9][0-9][0-9].[0-9][0-9].[0-9][0-9]' or date(replace(cdate, '.', '-')) is null)) or (itype = 2 "
       "and cdate not in ('1','2','3','4','5','6','7','8','9','10','11','12'))"},
      {"the periods of 2026 follow each other without gap from 1 January to 31 December",
       "select p.iID from ua_period p left join ua_period n on n.cacc_id=p.cacc_id and n.iyear=p.iyear and "
       "n.iID=p.iID+1 where p.dBegin > p.dEnd or (p.iID < 12 and date(p.dEnd, '+1 day') is not date(n.dBegin)) "
       "or (p.iID = 1 and p.dBegin <> '2026-01-01 00:00:00') or (p.iID = 12 and p.dEnd <> '2026-12-31 00:00:00') "
       "union all select 'count' where (select count(*) from ua_period where cacc_id='001' and iyear=2026) <> 12"},
      {"the month ends cover periods 1 to 12 and months close in order",
       "select n.iperiod from gl_mend p join gl_mend n on n.iperiod=p.iperiod+1 where n.bflag_om=1 and "
       "p.bflag_om=0 union all select 'count' where (select count(*) from gl_mend where iperiod between 1 and "
       "12) <> 12"},
      {"a project class names an existing table",
       "select cTable from fItem where lower(cTable) not in (select lower(name) from sqlite_master where "
       "type='table')"},
      {"voucher lines belong to a voucher and name a known item",
       "select 'order ' || ID from PO_Podetails where POID not in (select POID from PO_Pomain) or cInvCode not in "
       "(select cInvCode from Inventory) union all select 'arrival ' || Autoid from PU_ArrivalVouchs where ID not "
       "in (select ID from PU_ArrivalVouch) or cInvCode not in (select cInvCode from Inventory) union all select "
       "'invoice ' || ID from PurBillVouchs where PBVID not in (select PBVID from PurBillVouch) or cInvCode not "
       "in (select cInvCode from Inventory) union all select 'outsourcing invoice ' || ID from OM_PurBillVouchs "
       "where PBVID not in (select PBVID from OM_PurBillVouch) or cInvCode not in (select cInvCode from "
       "Inventory) union all select 'outsourcing order ' || MainID from OM_POMain where ID not in (select ID "
       "from OM_ProductPO) or cInvCode not in (select cInvCode from Inventory)"},
      {"vouchers name a known vendor",
       "select cPOID from PO_Pomain where cVenCode not in (select cVenCode from Vendor) union all select cCode "
       "from PU_ArrivalVouch where cVenCode not in (select cVenCode from Vendor) union all select cPBVCode from "
       "PurBillVouch where cVenCode not in (select cVenCode from Vendor) union all select cPBVCode from "
       "OM_PurBillVouch where cVenCode not in (select cVenCode from Vendor) union all select cCode from "
       "OM_ProductPO where cVenCode not in (select cVenCode from Vendor)"},
      {"rights are of the four kinds and the right to enter",
       "select cCode from tw_data_right where cKind not in ('Inventory', 'Vendor', 'Department', 'Person') or "
       "cRight <> 'W' or (cCode <> '*' and cKind = 'Vendor' and cCode not in (select cVenCode from Vendor)) or "
       "(cCode <> '*' and cKind = 'Department' and cCode not in (select cDepCode from Department))"},
      {"vendor prices name known entries and valid periods",
       "select id from tw_price where dFrom > dTo or cVenCode not in (select cVenCode from Vendor) or cInvCode "
       "not in (select cInvCode from Inventory) or cexch_name not in (select cexch_name from ForeignCurrency)"},
      {"inspections name known vendors and items",
       "select cInvCode from tw_inspection where cVenCode not in (select cVenCode from Vendor) or cInvCode not "
       "in (select cInvCode from Inventory)"},
  };
  // An item that uses free item n needs values in the list of free item n.
  for (int n = 1; n <= 10; ++n) {
    const int list = n <= 2 ? n + 19 : n + 25;
    rules.emplace_back("free item " + std::to_string(n) + " has values",
                       "select cInvCode from Inventory where bfree" + std::to_string(n) +
                           "=1 and not exists (select 1 from UserDefine where cID='" + std::to_string(list) + "')");
  }
  for (const auto& [rule, query] : rules) {
    const auto offending = db_->rows(query);
    EXPECT_TRUE(offending.empty()) << rule << ": " << offending[0][0];
  }
}

// A demo needs an entry of every kind the checks tell apart.
TEST_F(Sample, HoldsEveryKindOfEntryTheChecksTellApart) {
  const std::vector<std::pair<const char*, const char*>> kinds = {
      {"ordinary purchased item", "Inventory where bPurchase=1 and bService=0 and bInvType=0 and bInvEntrust=0 and dEDate is null"},
      {"service item", "Inventory where bService=1"},
      {"discount item", "Inventory where bInvType=1"},
      {"stopped item", "Inventory where dEDate is not null"},
      {"consignment item", "Inventory where bInvEntrust=1"},
      {"outsourced item", "Inventory where bProxyForeign=1 and bService=0"},
      {"freight item", "Inventory where bProxyForeign=1 and bService=1"},
      {"batch-managed item", "Inventory where bInvBatch=1"},
      {"shelf-life item", "Inventory where bInvQuality=1 and iMassDate > 0"},
      {"item with free items", "Inventory where bfree1=1 or bfree2=1 or bfree3=1"},
      {"item without unit conversion", "Inventory where iGroupType=0"},
      {"item with fixed conversion", "Inventory where iGroupType=1 and cPUComUnitCode is not null"},
      {"item with floating conversion", "Inventory where iGroupType=2"},
      {"item known by a vendor's code", "venandinv"},
      {"stopped vendor", "Vendor where dEndDate is not null"},
      {"branch with a head office", "Vendor where cVenHeadCode is not null"},
      {"vendor the demo operator may not enter",
       "Vendor v where dEndDate is null and not exists (select 1 from tw_data_right where cOperator='demo' and "
       "cKind='Vendor' and cCode in (v.cVenCode, '*'))"},
      {"department that is not a leaf", "Department where bDepEnd=0"},
      {"currency with daily rates", "exch where itype=1"},
      {"currency with period rates", "exch where itype=2"},
      {"currency without any rate", "ForeignCurrency where cexch_name not in (select cexch_name from exch)"},
      {"month closed for outsourcing", "gl_mend where bflag_om=1"},
      {"open audited order", "PO_Pomain where cVerifier is not null and cCloser is null"},
      {"order not audited", "PO_Pomain where cVerifier is null"},
      {"closed order", "PO_Pomain where cCloser is not null"},
      {"closed project", "fitemss97 where bclose=1"},
      {"project class over items", "fItem where lower(cTable)='inventory'"},
      {"purchase order prices", "PO_Podetails"},
      {"arrival prices", "PU_ArrivalVouchs"},
      {"purchase invoice prices", "PurBillVouchs"},
      {"outsourcing invoice prices", "OM_PurBillVouchs"},
      {"outsourcing order charges", "OM_POMain"},
      {"vendor price with quantity breaks",
       "(select 1 from tw_price group by cVenCode, cInvCode, cexch_name having count(*) > 1)"},
      {"inspected goods", "tw_inspection"},
  };
  for (const auto& [kind, from] : kinds)
    EXPECT_NE(db_->value(std::string("select count(*) from ") + from), "0") << "no " << kind;
}

// The statements the checks send answer the codes that the demo uses.
struct Expected {
  const char* what;
  std::string sql;
  std::vector<std::pair<const char*, const char*>> columns;  // empty: no row
};

TEST_F(Sample, LookUpsFindTheDemoCodes) {
  using namespace sql;
  const std::vector<Expected> cases = {
      {"vendor by abbreviation", orderVendorStatement("华东精工"),
       {{"cvencode", "V001"}, {"cdepname", "外协部"}, {"cpersonname", "张伟"}, {"cpayname", "月结30天"}, {"cscname", "汽运"}}},
      {"vendor by code in any case", orderVendorStatement("v001"), {{"cvencode", "V001"}}},
      {"stopped vendor", orderVendorStatement("东方五金"), {}},
      {"branch invoiced through its head office", invoiceVendorStatement("精工昆山"),
       {{"cvencode", "V003"}, {"cunitcode", "V001"}, {"cwhname", "委外仓"}, {"caccountpname", "票到30天"}}},
      {"head office is its own unit", invoiceVendorStatement("V001"), {{"cunitcode", "V001"}}},
      {"leaf department", "SELECT cDepCode,cDepName FROM Department WHERE (cDepName='采购部' OR cDepCode='采购部') and bDepEnd=1",
       {{"cdepcode", "01"}}},
      {"department with sub-departments", "SELECT cDepCode FROM Department WHERE (cDepName='生产中心' OR cDepCode='生产中心') and bDepEnd=1", {}},
      {"salesman and his department", personStatement("张伟"), {{"cpersoncode", "0003"}, {"cdepname", "外协部"}}},
      {"item by name", resolveItemStatement("钢板"), {{"cinvcode", "P1001"}}},
      {"item by additional code in any case", resolveItemStatement("gb5783-m8"), {{"cinvcode", "P1002"}}},
      {"group type through the vendor's code", groupTypeByVendorCodeStatement("KS-DG-100", "V003"), {{"igrouptype", "1"}}},
      {"unit of the item's group", unitStatement("P1002", "箱"), {{"cunitid", "0202"}, {"iinvexchrate", "10.0"}}},
      {"unit of another group", unitStatement("P1001", "箱"), {}},
      {"floating unit and latest order price of the vendor",
       itemStatement(0, 2, latest(kOrderLines, "iunitprice", "iunitprice", "P1003", "V002"), "V002", "P1003"),
       {{"cinvcode", "P1003"}, {"cunitid", "0302"}, {"cinva_unit", "卷"}, {"iinvexchrate", "25.0"}, {"iunitprice", "9.4"}}},
      {"purchase unit", itemStatement(0, 1, "", "", "P1002"), {{"cunitid", "0202"}, {"cinva_unit", "箱"}}},
      {"outsourced item by the vendor's code, with its processing charge",
       itemStatement(1, 0, latest(kOmOrders, "imakecharge", "ioricost", "W2001", "V001") + ", " +
                               latest(kOmOrders, "ifnull(inventory.itaxrate,0)", "itaxrate", "W2001", "V001"),
                     "V001", "HD-XT-100"),
       {{"cinvcode", "W2001"}, {"cveninvcode", "HD-XT-100"}, {"ioricost", "85.0"}, {"itaxrate", "13.0"}}},
      {"stopped item", itemStatement(0, 0, "", "", "P1009"), {}},
      {"service item", itemStatement(0, 0, "", "", "S9001"), {}},
      {"discount item", itemStatement(0, 0, "", "", "S9002"), {}},
      {"latest outsourcing invoice type", invoiceTypeStatement(true, "W2002", ""), {{"cpbvbilltype", "12"}}},
      {"first open month", "select iperiod from gl_mend where bflag_om=0 limit 1", {{"iperiod", "3"}}},
      {"daily rate", rateStatement("USD", 1, "2026.11.20"), {{"cexch_name", "美元"}, {"nflat", "7.0856"}}},
      {"local currency has rate 1", rateStatement("人民币", 1, "2026.11.20"), {{"cexch_code", "RMB"}, {"nflat", "1"}}},
      {"period rate", rateStatement("美元", 2, "3"), {{"nflat", "7.02"}}},
      {"unknown currency", rateStatement("英镑", 1, "2026.11.20"), {}},
      {"open audited order", openOrderStatement("CG2601001"), {{"cpoid", "CG2601001"}}},
      {"order not audited", openOrderStatement("CG2601002"), {}},
      {"closed order", openOrderStatement("CG2512001"), {}},
      {"free-item value by alias", freeItemValueStatement(20, "r"), {{"cvalue", "红色"}}},
      {"value of another free item's list", freeItemValueStatement(21, "红色"), {}},
      {"project", "SELECT cItemName AS cItemName  FROM fitemss97 WHERE cItemCode ='RD2601' and ifnull(bclose,0)=0 ",
       {{"citemname", "减速机轻量化研发"}}},
      {"closed project", "SELECT cItemName AS cItemName  FROM fitemss97 WHERE cItemCode ='RD2501' and ifnull(bclose,0)=0 ", {}},
      {"period holding a date",
       "select iID from ua_period where cacc_id='001' and iyear=2026 and dBegin<='2026-03-15 00:00:00' and dEnd>='2026-03-15 00:00:00'",
       {{"iid", "3"}}},
      {"operator without right to a vendor",
       "select cRight from tw_data_right where cOperator='demo' and cKind='Vendor' and cCode in ('V005', '*')", {}},
      {"operator with right to every item",
       "select cRight from tw_data_right where cOperator='demo' and cKind='Inventory' and cCode in ('P1001', '*')", {{"cright", "W"}}},
      {"price of a large quantity",
       "select iUnitPrice from tw_price where cVenCode='V001' and cInvCode='P1001' and cexch_name='人民币' and ifnull(dFrom,'')<='2026-03-01 00:00:00' "
       "and ifnull(dTo,'9999')>='2026-03-01 00:00:00' and fMinQuantity<=1500 order by fMinQuantity desc limit 1",
       {{"iunitprice", "4.05"}}},
      {"price of last year",
       "select iUnitPrice from tw_price where cVenCode='V001' and cInvCode='P1001' and cexch_name='人民币' and ifnull(dFrom,'')<='2025-06-01 00:00:00' "
       "and ifnull(dTo,'9999')>='2025-06-01 00:00:00' and fMinQuantity<=10 order by fMinQuantity desc limit 1",
       {{"iunitprice", "4.5"}}},
      {"credit days", "select iPayCreDays from PayCondition where cPayCode='02'", {{"ipaycredays", "30"}}},
  };
  for (const Expected& c : cases) {
    const auto row = db_->firstRow(c.sql);
    if (c.columns.empty()) {
      EXPECT_TRUE(row.empty()) << c.what << ": found " << (row.empty() ? "" : row.begin()->second);
      continue;
    }
    ASSERT_FALSE(row.empty()) << c.what << ": no row\n" << c.sql;
    for (const auto& [name, value] : c.columns) {
      const auto it = row.find(name);
      ASSERT_NE(it, row.end()) << c.what << ": no column " << name;
      EXPECT_EQ(it->second, value) << c.what << ": " << name;
    }
  }
}

}  // namespace
}  // namespace tallyward::test
