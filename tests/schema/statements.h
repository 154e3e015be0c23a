// The statements that the checks and the stand-in host send to the ERP database, in the form that
// reaches SQLite (TOP n as LIMIT n, ISNULL as ifnull, no database or owner prefix). $1, $2, ...
// stand for the values a check places between the quotes.
#pragma once

#include <string>
#include <vector>

namespace tallyward::test::sql {

inline std::string fill(std::string text, const std::vector<std::string>& values) {
  for (size_t i = values.size(); i-- > 0;)  // $12 before $1
    for (size_t at; (at = text.find("$" + std::to_string(i + 1))) != std::string::npos;)
      text.replace(at, 2, values[i]);
  return text;
}

inline std::string numbered(const std::string& prefix, int count) {
  std::string s;
  for (int i = 1; i <= count; ++i) s += prefix + std::to_string(i) + (i < count ? "," : "");
  return s;
}

const std::string kOrderVendor =
    "SELECT cVenCode,cVenAbbName,cVenIAddress as cArrivalPlace,cVenPostCode,cVenAccount,cVenBank,cVenRegCode,"
    "cVenPerson,cVenPhone,cVenAddress,cVenFax,vendor.cvenitype as csccode,shippingchoice.cscname,vendor.cVenDepart "
    "as cDepCode,Department.cDepName,vendor.cVenPPerson as cPersonCode,Person.cPersonName,vendor.cVenPayCond As "
    "cPayCode,PayCondition.cPayName," + numbered("cvendefine", 16) + " FROM Vendor left join department on "
    "vendor.cvendepart=department.cdepcode left join person on vendor.cvenpperson=person.cpersoncode left join "
    "paycondition on vendor.cvenpaycond=paycondition.cpaycode left join shippingchoice on "
    "vendor.cvenitype=shippingchoice.csccode WHERE (cVenAbbName='$1' OR cVenCode='$1') and (dEndDate IS NULL)";
const std::string kInvoiceVendor =
    "select vendor.cVenCode,vendor.cVenAbbName as cVenAbbName_1,case when ifnull(ven.cVenHeadCode,'')=''then "
    "vendor.cVenCode else ven.cVenHeadCode end  as cUnitCode,vendor.cVenAbbName,vendor.cVenWhCode as cWhCode,"
    "WareHouse.cWhName,vendor.cVenDepart as cDepCode,Department.cDepName,vendor.cVenPPerson as cPersonCode,"
    "Person.cPersonName,vendor.cVenPayCond As cPayCode,PayCondition.cPayName,vendor.cvenpostcode,vendor.cvenaccount,"
    "vendor.cvenbank,vendor.cvenregcode,vendor.cvenperson,vendor.cvenphone,vendor.cvenaddress,vendor.cvenfax, " +
    numbered("vendor.cvendefine", 16) + ",AccountPeriod.cAccountPID as caccountpid,AccountPeriod.cAccountPName as "
    "caccountpname from vendor inner join vendor as ven on vendor.cvencode=ven.cvencode left join warehouse on "
    "vendor.cvenwhcode=warehouse.cwhcode left join department on vendor.cvendepart=department.cdepcode left join "
    "person on vendor.cvenpperson=person.cpersoncode left join paycondition on vendor.cvenpaycond=paycondition.cpaycode "
    "left join AccountPeriod on AccountPeriod.cAccountPID=vendor.cAccountPID WHERE (Vendor.cVenAbbName='$1' OR "
    "Vendor.cVenCode='$1') and (Vendor.dEndDate IS NULL)";
const std::string kPerson =
    "SELECT cPersonCode,cPersonName,Person.cDepCode,Department.cDepName FROM Person left join Department on "
    "Person.cDepCode = Department.cDepCode  WHERE (cPersonName='$1' Or cPersonCode='$1') ";
const std::string kDepartment =
    "SELECT cDepCode,cDepName FROM Department WHERE (cDepName='$1' OR cDepCode='$1') and bDepEnd=1";
const std::string kResolveItem =
    "select cInvCode from inventory where cinvcode='$1' or  cinvname='$1' or cinvaddcode='$1'";
const std::string kGroupTypeByVendorCode =
    "Select iGroupType from Inventory where cInvCode=(select cinvcode from venandinv where cVenInvCode='$1' and "
    "cVenCode='$2')";
const std::string kUnit =
    "SELECT cComUnitCode as cUnitId,cComUnitName as cInvA_Unit,iChangRate as iInvExchRate from ComputationUnit "
    "WHERE cGroupCode in (select cGroupCode from Inventory where cinvcode='$1') and (cComUnitCode='$2' OR "
    "cComUnitName='$2')";
// $1 the currency, $2 the rate type (1 daily, 2 by period), $3 the day 'yyyy.mm.dd' or the period.
const std::string kRate =
    "select t1.cexch_name,t1.cexch_code,ifnull(t2.nflat,1) AS nflat From (SELECT cexch_name,cexch_code FROM "
    "ForeignCurrency Where cexch_name='$1' Or cexch_Code='$1') as t1 Left Join (select cexch_name,nflat from exch "
    "WHERE itype= '$2' AND cdate='$3') as t2 on t1.cexch_name=t2.cexch_name";
const std::string kOpenOrder =
    "SELECT cPoId FROM Po_Pomain WHERE ifnull(cCloser,'')='' AND ifnull(cVerifier,'')<>'' AND cPoid='$1'";
const std::string kFreeItemValue = "SELECT cAlias,cValue FROM UserDefine WHERE cID= '$1' AND (cValue='$2' OR cAlias='$2')";
const std::string kProject =
    "SELECT cItemName AS cItemName  FROM $1 WHERE cItemCode ='$2' and ifnull(bclose,0)=0 ";
const std::string kOmInvoiceType =
    "select om_purbillvouch.cpbvbilltype from om_purbillvouch inner join om_purbillvouchs on "
    "om_purbillvouch.pbvid=om_purbillvouchs.pbvid where om_purbillvouchs.cInvCode = '$1' order by "
    "om_purbillvouchs.id desc limit 1";
const std::string kDataRight =
    "select cCode from tw_data_right where cOperator='$1' and cKind='$2' and cRight='W' and cCode in ('$3','*')";
const std::string kPayCondition =
    "select cPayName,iPayCreDays from PayCondition where cPayName='$1' or cPayCode='$1'";

// One latest-price column over voucher lines: $1 expression, $2 alias, $3 item, $4 vendor.
struct Source {
  std::string line, head, join, latest, extraJoin;
  std::string column(const std::string& expression, const std::string& alias, const std::string& item,
                     const std::string& vendor) const {
    std::string s = "(select " + expression + " from " + line;
    if (!vendor.empty()) s += " inner join " + head + " on " + join;
    s += extraJoin + " where " + line + ".cInvCode = '" + item + "'";
    if (!vendor.empty()) s += " and " + head + ".cvencode='" + vendor + "'";
    return s + " order by " + latest + " desc limit 1) as " + alias;
  }
};
const Source kOrderLines{"po_podetails", "po_pomain", "po_pomain.poid=po_podetails.poid", "po_podetails.id", ""};
const Source kArrivalLines{"pu_arrivalvouchs", "pu_arrivalvouch", "pu_arrivalvouch.id=pu_arrivalvouchs.id",
                           "pu_arrivalvouchs.autoid", ""};
const Source kInvoiceLines{"purbillvouchs", "purbillvouch", "purbillvouch.pbvid=purbillvouchs.pbvid",
                           "purbillvouchs.id", ""};
const Source kOmInvoiceLines{"om_purbillvouchs", "om_purbillvouch", "om_purbillvouch.pbvid=om_purbillvouchs.pbvid",
                             "om_purbillvouchs.id", ""};
const Source kOmOrders{"om_pomain", "om_productpo", "om_productpo.id=om_pomain.id", "om_pomain.mainid",
                       " left join inventory on om_pomain.cinvcode=inventory.cinvcode"};

// The item look-up of voucher kind 0 (order), 1 (invoice) or 3 (arrival), unit mode 0, 1 or 2.
inline std::string item(int voucherKind, int unitMode, const std::string& prices, const std::string& vendor,
                        const std::string& typed) {
  std::string s = "SELECT Inventory.cInvCode,venandinv.cVenInvCode,cInvCCode,cInvAddcode,cInvName,cInvStd,";
  if (voucherKind == 1) s += "bInvType,bService,";
  if (voucherKind == 3) s += "iMassDate,(case bPropertyCheck when 1 then '是' else '否' end) as bgsp,";
  s += numbered("cInvDefine", 16) + ",Inventory.iGroupType,";
  const std::string main =
      "(select cComUnitName from ComputationUnit where ComputationUnit.cComUnitCode = Inventory.cComUnitCode ) as "
      "cinvm_unit,";
  const std::string pu = " from ComputationUnit where ComputationUnit.cComUnitCode = Inventory.cPUComUnitCode ) as ";
  const std::string other =
      " from ComputationUnit where ComputationUnit.cGroupCode = (select cGroupCode from ComputationUnit where "
      "ComputationUnit.cComUnitCode = Inventory.cComUnitCode) and ComputationUnit.bMainUnit=0) as ";
  if (unitMode == 0) s += "'' as Cunitid," + main + "'' as cinva_unit, '' as iinvexchrate ";
  if (unitMode == 1)
    s += "Inventory.cPUComUnitCode as Cunitid," + main + "(select cComUnitName" + pu + "cinva_unit, (select iChangRate" +
         pu + "iinvexchrate ";
  if (unitMode == 2)
    s += "(select cComUnitCode" + other + "Cunitid," + main + "(select cComUnitName" + other +
         "cinva_unit, (select iChangRate" + other + "iinvexchrate ";
  if (!prices.empty()) s += "," + prices;
  return s + " From Inventory Left join venandinv on Inventory.cInvCode=venandinv.cInvCode and venandinv.cvencode='" +
         vendor + "' WHERE (cInvName='" + typed + "' OR Inventory.cInvCode='" + typed + "' OR cInvAddCode='" + typed +
         "' OR cVenInvCode='" + typed + "')  AND (bPurchase=1 AND bService=0  AND bInvtype=0) AND dEDate IS NULL ";
}

// A statement, the first row it gives on the demo company (column and value, nullptr for any
// value; none: no row), and a table that it may read whole ("*": any). A look-up reads none whole.
struct Statement {
  const char* what;
  std::string sql;
  std::vector<std::pair<const char*, const char*>> row;
  const char* mayScan = "";
};

inline std::vector<Statement> everyStatement() {
  // Three price columns, the first per vendor when a vendor is given: each form must use indexes.
  const auto three = [](const Source& s, const char* a, const char* b, const char* c, const char* item,
                        const char* vendor) {
    return s.column(a, "iunitprice", item, vendor) + ", " + s.column(b, "itaxprice", item, "") + ", " +
           s.column(c, "ipertaxrate", item, "");
  };
  const char* items = "Inventory";  // the OR over the vendors' own codes of the left-joined items reads them whole
  return {
      {"free-item switches", "Select " + numbered("bfree", 10) + " from Inventory where cInvCode='P1004'",
       {{"bfree1", "1"}, {"bfree2", "1"}, {"bfree3", "0"}}},
      {"purchasing setting", "Select cValue from accinformation where cSysID='PU' and cName='iSingleTax'",
       {{"cvalue", "0.06"}}},
      {"setting of any system", "Select cValue from accinformation where cName='dGspStartDate'", {{"cvalue", ""}}},
      {"sales setting", "select cValue from accinformation where csysid='sa' and cname='bZYXS'", {{"cvalue", "False"}}},
      {"cost settings", "select cValue from accinformation where cname='cOtherCostEditMode'", {{"cvalue", "最新价格"}}},
      {"batch and shelf-life flags", "Select bInvBatch, bInvQuality from Inventory where cInvCode= 'P1006'",
       {{"binvbatch", "1"}, {"binvquality", "1"}}},
      // The SQLite driver serves the OR over the vendors' own codes of an item look-up this way.
      {"items under a vendor's own code", "select cInvCode from venandinv where cVenInvCode='HD-XT-100'",
       {{"cinvcode", "W2001"}}},
      {"group type through the vendor's code", fill(kGroupTypeByVendorCode, {"KS-DG-100", "V003"}), {{"igrouptype", "1"}}},
      {"first open month", "select iperiod from gl_mend where bflag_om=0 limit 1", {{"iperiod", "3"}}},
      {"item code by name", fill(kResolveItem, {"钢板"}), {{"cinvcode", "P1001"}}},
      {"periods of the year", "select dBegin,dEnd,iID from ua_period where cacc_id = '001' and iyear = 2026 order by iid",
       {{"iid", "1"}, {"dbegin", "2026-01-01 00:00:00"}}},
      {"warehouse", "SELECT cWhCode ,cWhName from WareHouse WHERE (cWhName='委外仓' OR cWhCode='委外仓') ", {{"cwhcode", "04"}}},
      {"vendor with department, salesman, terms and shipping", fill(kOrderVendor, {"华东精工"}),
       {{"cvencode", "V001"}, {"cdepname", "外协部"}, {"cpersonname", "张伟"}, {"cpayname", "月结30天"}, {"cscname", "汽运"}}},
      {"vendor by code in any case", fill(kOrderVendor, {"v001"}), {{"cvencode", "V001"}}},
      {"stopped vendor", fill(kOrderVendor, {"东方五金"}), {}},
      {"branch invoiced through its head office", fill(kInvoiceVendor, {"精工昆山"}),
       {{"cvencode", "V003"}, {"cunitcode", "V001"}, {"cwhname", "委外仓"}, {"caccountpname", "票到30天"}}},
      {"leaf department", fill(kDepartment, {"采购部"}), {{"cdepcode", "01"}}},
      {"department with sub-departments", fill(kDepartment, {"生产中心"}), {}},
      {"salesman and his department", fill(kPerson, {"张伟"}), {{"cpersoncode", "0003"}, {"cdepname", "外协部"}}},
      {"purchase type", "SELECT cPTCode,cPTName FROM PurchaseType WHERE cPTName='01'Or cPTCode='01'", {{"cptname", "生产采购"}}},
      {"shipping method", "SELECT cSCCode,cSCName FROM ShippingChoice WHERE cSCName='汽运' Or cSCCode='汽运'", {{"csccode", "01"}}},
      {"currency list", "SELECT cexch_name,cexch_code FROM ForeignCurrency", {{"cexch_name", "人民币"}}, "*"},
      {"free-item value by alias", fill(kFreeItemValue, {"20", "r"}), {{"cvalue", "红色"}}},
      {"production plan state",
       "SELECT PP_PPCMain.iState from PP_PPCMain Left Join PO_POMain ON PP_PPCMain.cPeriod = PO_POMain.cPeriod",
       {{"istate", "3"}}, "PP_PPCMain"},
      {"unit of the item's group", fill(kUnit, {"P1002", "箱"}), {{"cunitid", "0202"}, {"iinvexchrate", "10.0"}}},
      {"account period", "SELECT cAccountPID,cAccountPName FROM AccountPeriod  WHERE cAccountPName='01' or cAccountPID='01'",
       {{"caccountpname", "票到30天"}}},
      {"daily rate", fill(kRate, {"USD", "1", "2026.11.20"}), {{"cexch_name", "美元"}, {"nflat", "7.0856"}}},
      {"local currency has rate 1", fill(kRate, {"人民币", "1", "2026.11.20"}), {{"cexch_code", "RMB"}, {"nflat", "1"}}},
      {"period rate", fill(kRate, {"美元", "2", "3"}), {{"nflat", "7.02"}}},
      {"open audited order", fill(kOpenOrder, {"CG2601001"}), {{"cpoid", "CG2601001"}}},
      {"order not audited", fill(kOpenOrder, {"CG2601002"}), {}},
      {"closed order", fill(kOpenOrder, {"CG2512001"}), {}},
      {"project class", "SELECT cItem_Class,fItem.cItem_Name,cTable From fItem  WHERE cItem_Class='97'",
       {{"citem_name", "研发项目"}, {"ctable", "fitemss97"}}},
      {"project", fill(kProject, {"fitemss97", "RD2601"}), {{"citemname", "减速机轻量化研发"}}},
      {"closed project", fill(kProject, {"fitemss97", "RD2501"}), {}},
      {"contract", fill(kProject, {"fitemss98", "HT2026002"}), {{"citemname", "北方风电齿轮箱合同"}}},
      {"latest purchase invoice type",
       "select purbillvouch.cpbvbilltype from purbillvouch inner join purbillvouchs on purbillvouch.pbvid=purbillvouchs."
       "pbvid where purbillvouchs.cInvCode = 'P1001' and purbillvouch.cvencode='V001' order by purbillvouchs.id desc "
       "limit 1",
       {{"cpbvbilltype", "01"}}},
      {"latest outsourcing invoice type", fill(kOmInvoiceType, {"W2002"}), {{"cpbvbilltype", "12"}}},
      {"floating unit and latest order price of the vendor",
       item(0, 2, three(kOrderLines, "iunitprice", "itaxprice", "ipertaxrate", "P1003", "V002"), "V002", "P1003"),
       {{"cunitid", "0302"}, {"cinva_unit", "卷"}, {"iinvexchrate", "25.0"}, {"iunitprice", "9.4"}}, items},
      {"purchase unit, latest arrival price",
       item(0, 1, three(kArrivalLines, "ioricost", "ioritaxcost", "pu_arrivalvouchs.itaxrate", "P1002", "V001"), "V001",
            "P1002"),
       {{"cunitid", "0202"}, {"cinva_unit", "箱"}}, items},
      {"latest invoice price of any vendor",
       item(0, 0, three(kInvoiceLines, "ioricost", "ioricost * (1+itaxrate/100)", "itaxrate", "P1001", ""), "", "钢板"),
       {{"cinvcode", "P1001"}, {"iunitprice", "4.2"}}, items},
      {"arrival item by the vendor's code, outsourcing invoice prices",
       item(3, 0, three(kOmInvoiceLines, "ioricost/(1+itaxrate/100)", "ioricost", "itaxrate", "W2002", "V003"), "V003",
            "KS-DG-100"),
       {{"cinvcode", "W2002"}, {"itaxprice", "7.684"}}, items},
      {"outsourced item by the vendor's code, with its processing charge",
       item(1, 0, kOmOrders.column("imakecharge", "ioricost", "W2001", "V001") + ", " +
                      kOmOrders.column("ifnull(inventory.itaxrate,0)", "itaxrate", "W2001", ""),
            "V001", "HD-XT-100"),
       {{"cinvcode", "W2001"}, {"cveninvcode", "HD-XT-100"}, {"ioricost", "85.0"}, {"itaxrate", "13.0"}}, items},
      {"stopped item", item(0, 0, "", "", "P1009"), {}, items},
      {"service item", item(0, 0, "", "", "S9001"), {}, items},
      {"discount item", item(0, 0, "", "", "S9002"), {}, items},
      {"consignment item of a requisition",
       "SELECT Inventory.cInvCode,venandinv.cVenInvCode,cInvCCode,cInvAddcode,cInvName,cInvStd,ComputationUnit."
       "cComUnitName as cinvm_unit," + numbered("cInvDefine", 16) + ",iTaxRate as iPerTaxRate  From Inventory left join "
       "ComputationUnit on  ComputationUnit.cComUnitCode = Inventory.cComUnitCode Left join venandinv on "
       "Inventory.cInvCode=venandinv.cInvCode and venandinv.cvencode='V001' WHERE (cInvName='P1008' OR "
       "Inventory.cInvCode='P1008' OR cInvAddCode='P1008' OR cVenInvCode='P1008') AND (bPurchase=1 AND bService=0  AND "
       "bInvtype=0) AND dEDate IS NULL  AND bInvEntrust=1 ",
       {{"cinvcode", "P1008"}, {"ipertaxrate", "13.0"}}, items},
      {"operator without right to a vendor", fill(kDataRight, {"demo", "Vendor", "V005"}), {}},
      {"operator with right to every item", fill(kDataRight, {"demo", "Inventory", "P1001"}), {{"ccode", "*"}}},
      {"vendor price",
       "select dFrom,dTo,fMinQuantity,iUnitPrice,iTaxRate from tw_price where cVenCode='V001' and cInvCode='P1001' and "
       "cexch_name='人民币'",
       {{"iunitprice", nullptr}}},
      {"inspection", "select cVenCode from tw_inspection where cVenCode='V001' and cInvCode='W2001'", {{"cvencode", "V001"}}},
      {"credit days", fill(kPayCondition, {"月结30天"}), {{"ipaycredays", "30"}}},
  };
}

}  // namespace tallyward::test::sql
