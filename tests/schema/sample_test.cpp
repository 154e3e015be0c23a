// The demo company: consistent as the ERP would keep it, and covering the kinds of entry that the
// checks tell apart (its look-ups are with the statements, its values with the columns).
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "support/temp_database.h"

namespace tallyward::test {
namespace {

// Each rule is a query of the rows that break it; then the kinds of entry that no look-up of the
// statements shows, but that a demo of the checks needs.
TEST(Sample, IsKeptAsTheErpKeepsItAndHoldsEveryKindOfEntryTheChecksTellApart) {
  TempDatabase db(TempDatabase::DemoCompany);
  std::vector<std::pair<std::string, std::string>> rules = {
      {"an item's group type is its unit group's",
       "select i.cInvCode from Inventory i left join ComputationGroup g on g.cGroupCode=i.cGroupCode where "
       "g.iGroupType is not i.iGroupType"},
      {"an item's main unit is a main unit of its group, its purchase unit a unit of the group",
       "select cInvCode from Inventory i where not exists (select 1 from ComputationUnit u where u.cComUnitCode="
       "i.cComUnitCode and u.cGroupCode=i.cGroupCode and u.bMainUnit=1) or (cPUComUnitCode is not null and not "
       "exists (select 1 from ComputationUnit u where u.cComUnitCode=i.cPUComUnitCode and u.cGroupCode=i.cGroupCode))"},
      {"a converting group has one main unit; a floating one a single other unit (read as one value)",
       "select cGroupCode from ComputationGroup g where (iGroupType in (1, 2) and (select count(*) from ComputationUnit "
       "u where u.cGroupCode=g.cGroupCode and u.bMainUnit=1) <> 1) or (iGroupType = 2 and (select count(*) from "
       "ComputationUnit u where u.cGroupCode=g.cGroupCode and u.bMainUnit=0) <> 1)"},
      {"a main unit has rate 1", "select cComUnitCode from ComputationUnit where bMainUnit=1 and iChangRate<>1"},
      {"a vendor's references exist",
       "select cVenCode from Vendor v where cVenDepart not in (select cDepCode from Department where bDepEnd=1) or "
       "cVenPPerson not in (select cPersonCode from Person) or cVenPayCond not in (select cPayCode from PayCondition) "
       "or cVenIType not in (select cSCCode from ShippingChoice) or cVenWhCode not in (select cWhCode from WareHouse) "
       "or cAccountPID not in (select cAccountPID from AccountPeriod) or cVenHeadCode not in (select cVenCode from "
       "Vendor where cVenHeadCode is null)"},
      {"a person works in a leaf department; exactly the departments with sub-departments are not leaves",
       "select cPersonCode from Person where cDepCode not in (select cDepCode from Department where bDepEnd=1) union "
       "all select cDepCode from Department d where bDepEnd = (select count(*) > 0 from Department c where c.cDepCode "
       "like d.cDepCode || '_%')"},
      {"a vendor's own code for an item is given once",
       "select cVenInvCode from venandinv group by cVenCode, cVenInvCode having count(*) > 1"},
      {"a setting is given once", "select cName from accinformation group by lower(cName) having count(*) > 1"},
      {"daily rates are dated yyyy.mm.dd, period rates numbered 1 to 12",
       "select cexch_name || ' ' || cdate from exch where itype not in (1, 2) or (itype = 1 and (cdate not glob "
       "'[0-9][0-9][0-9][0-9].[0-9][0-9].[0-9][0-9]' or date(replace(cdate, '.', '-')) is null)) or (itype = 2 and "
       "cdate not in ('1','2','3','4','5','6','7','8','9','10','11','12'))"},
      {"the twelve periods of 2026 follow each other without gap from 1 January to 31 December",
       "select p.iID from ua_period p left join ua_period n on n.cacc_id=p.cacc_id and n.iyear=p.iyear and "
       "n.iID=p.iID+1 where p.dBegin > p.dEnd or (p.iID < 12 and date(p.dEnd, '+1 day') is not date(n.dBegin)) or "
       "(p.iID = 1 and p.dBegin <> '2026-01-01 00:00:00') or (p.iID = 12 and p.dEnd <> '2026-12-31 00:00:00') union "
       "all select 'count' where (select count(*) from ua_period where cacc_id='001' and iyear=2026) <> 12"},
      {"the month ends cover periods 1 to 12 and months close in order",
       "select n.iperiod from gl_mend p join gl_mend n on n.iperiod=p.iperiod+1 where n.bflag_om=1 and p.bflag_om=0 "
       "union all select 'count' where (select count(*) from gl_mend where iperiod between 1 and 12) <> 12"},
      {"a project class names an existing table",
       "select cTable from fItem where lower(cTable) not in (select lower(name) from sqlite_master where type='table')"},
      {"rights are of the four kinds and the right to enter, on known vendors and departments",
       "select cCode from tw_data_right where cKind not in ('Inventory', 'Vendor', 'Department', 'Person') or cRight "
       "<> 'W' or (cCode <> '*' and cKind = 'Vendor' and cCode not in (select cVenCode from Vendor)) or (cCode <> '*' "
       "and cKind = 'Department' and cCode not in (select cDepCode from Department))"},
      {"a vendor price is valid for a period", "select id from tw_price where dFrom > dTo"},
  };
  const auto refers = [&rules](const std::string& table, const std::string& column, const std::string& master) {
    rules.emplace_back(table + "." + column + " names a row of " + master,
                       "select " + column + " from " + table + " where " + column + " not in (select " + column + " from " + master + ")");
  };
  for (const char* line : {"PO_Podetails POID PO_Pomain", "PU_ArrivalVouchs ID PU_ArrivalVouch", "PurBillVouchs PBVID PurBillVouch",
                           "OM_PurBillVouchs PBVID OM_PurBillVouch", "OM_POMain ID OM_ProductPO"}) {
    std::istringstream words(line);
    std::string table, column, master;
    words >> table >> column >> master;
    refers(table, column, master);
  }
  // A column named as a master table's code names one of its rows.
  const std::map<std::string, std::string> masters = {{"cvencode", "Vendor"}, {"cinvcode", "Inventory"}, {"cdepcode", "Department"},
      {"cpersoncode", "Person"}, {"cexch_name", "ForeignCurrency"}, {"cgroupcode", "ComputationGroup"}};
  int references = 0;
  for (const Row& table : db.rows("SELECT name FROM sqlite_master WHERE type='table'"))
    for (const Row& c : db.rows("SELECT lower(name), name FROM pragma_table_info('" + table[0] + "')")) {
      const auto master = masters.find(c[0]);
      if (master != masters.end() && table[0] != master->second) ++references, refers(table[0], c[1], master->second);
    }
  EXPECT_GE(references, 15);
  // An item that uses free item n needs values in the list of free item n (lists 20, 21, 28 .. 35).
  for (int n = 1; n <= 10; ++n)
    rules.emplace_back("free item " + std::to_string(n) + " has values",
                       "select cInvCode from Inventory where bfree" + std::to_string(n) + "=1 and not exists (select 1 "
                       "from UserDefine where cID='" + std::to_string(n <= 2 ? n + 19 : n + 25) + "')");
  for (const auto& [rule, query] : rules) {
    const auto offending = db.rows(query);
    EXPECT_TRUE(offending.empty()) << rule << ": " << offending[0][0];
  }
  for (const char* kind : {"Inventory where bProxyForeign=1 and bService=0", "Inventory where bProxyForeign=1 and bService=1",
                           "Inventory where bInvBatch=1 and bInvQuality=0", "Inventory where bInvQuality=1 and iMassDate > 0",
                           "Inventory where iGroupType=0", "tw_price where fMinQuantity > 0"})
    EXPECT_NE(db.value(std::string("select count(*) from ") + kind), "0") << kind;
}

}  // namespace
}  // namespace tallyward::test
