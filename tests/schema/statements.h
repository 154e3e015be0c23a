// The statements that the checks send to the ERP database, in the form that reaches SQLite
// (TOP n as LIMIT n, ISNULL as ifnull, no database or owner prefix), with sample values put in.
// The schema must accept every one of them: a missing column or a column name that two joined
// tables share makes SQLite refuse the statement, as it would make SQL Server refuse it.
#pragma once

#include <string>
#include <vector>

namespace tallyward::test::sql {

inline std::string quoted(const std::string& v) { return "'" + v + "'"; }

// Column heads of the item statement by voucher kind: 0 order, 1 invoice, 3 arrival.
inline std::string itemHead(int voucherKind) {
  std::string head = "SELECT Inventory.cInvCode,venandinv.cVenInvCode,cInvCCode,cInvAddcode,cInvName,cInvStd,";
  if (voucherKind == 1) head += "bInvType,bService,";
  if (voucherKind == 3) head += "iMassDate,(case bPropertyCheck when 1 then '是' else '否' end) as bgsp,";
  for (int i = 1; i <= 16; ++i) head += "cInvDefine" + std::to_string(i) + ",";
  return head + "Inventory.iGroupType,";
}

// The unit columns of unit mode 0, 1 or 2.
inline std::string unitColumns(int mode) {
  const std::string main =
      "(select cComUnitName from ComputationUnit where ComputationUnit.cComUnitCode = Inventory.cComUnitCode ) as cinvm_unit,";
  if (mode == 0) return "'' as Cunitid," + main + "'' as cinva_unit, '' as iinvexchrate ";
  if (mode == 1)
    return "Inventory.cPUComUnitCode as Cunitid," + main +
           "(select cComUnitName from ComputationUnit where ComputationUnit.cComUnitCode = Inventory.cPUComUnitCode ) as cinva_unit, "
           "(select iChangRate from ComputationUnit where ComputationUnit.cComUnitCode = Inventory.cPUComUnitCode ) as iinvexchrate ";
  const std::string other =
      " from ComputationUnit where ComputationUnit.cGroupCode = (select cGroupCode from ComputationUnit where "
      "ComputationUnit.cComUnitCode = Inventory.cComUnitCode) and ComputationUnit.bMainUnit=0)";
  return "(select cComUnitCode" + other + " as Cunitid," + main + "(select cComUnitName" + other +
         " as cinva_unit, (select iChangRate" + other + " as iinvexchrate ";
}

// A price source: line table, head table and join, latest-row column.
struct Source {
  const char* line;
  const char* head;
  const char* join;
  const char* latest;
  const char* extraJoin = "";  // the item join of outsourcing orders
};
inline const Source kOrderLines{"po_podetails", "po_pomain", "po_pomain.poid=po_podetails.poid", "po_podetails.id"};
inline const Source kArrivalLines{"pu_arrivalvouchs", "pu_arrivalvouch", "pu_arrivalvouch.id=pu_arrivalvouchs.id",
                                  "pu_arrivalvouchs.autoid"};
inline const Source kInvoiceLines{"purbillvouchs", "purbillvouch", "purbillvouch.pbvid=purbillvouchs.pbvid",
                                  "purbillvouchs.id"};
inline const Source kOmInvoiceLines{"om_purbillvouchs", "om_purbillvouch",
                                    "om_purbillvouch.pbvid=om_purbillvouchs.pbvid", "om_purbillvouchs.id"};
inline const Source kOmOrders{"om_pomain", "om_productpo", "om_productpo.id=om_pomain.id", "om_pomain.mainid",
                              " left join inventory on om_pomain.cinvcode=inventory.cinvcode"};

// One latest-price column; an empty vendor leaves out the head join.
inline std::string latest(const Source& s, const std::string& expression, const std::string& alias,
                          const std::string& item, const std::string& vendor) {
  std::string sql = "(select " + expression + " from " + s.line;
  if (!vendor.empty()) sql += std::string(" inner join ") + s.head + " on " + s.join;
  sql += s.extraJoin;
  sql += std::string(" where ") + s.line + ".cInvCode = '" + item + "'";
  if (!vendor.empty()) sql += std::string(" and ") + s.head + ".cvencode='" + vendor + "'";
  return sql + " order by " + s.latest + " desc limit 1) as " + alias;
}

inline std::string itemStatement(int voucherKind, int unitMode, const std::string& pricePart,
                                 const std::string& vendor, const std::string& typed) {
  std::string sql = itemHead(voucherKind) + unitColumns(unitMode);
  if (!pricePart.empty()) sql += "," + pricePart;
  sql += " From Inventory Left join venandinv on Inventory.cInvCode=venandinv.cInvCode and venandinv.cvencode='" +
         vendor + "'";
  const std::string t = quoted(typed);
  return sql + " WHERE (cInvName=" + t + " OR Inventory.cInvCode=" + t + " OR cInvAddCode=" + t +
         " OR cVenInvCode=" + t + ")  AND (bPurchase=1 AND bService=0  AND bInvtype=0) AND dEDate IS NULL ";
}

inline std::string requisitionItemStatement(const std::string& vendor, const std::string& typed) {
  std::string sql = "SELECT Inventory.cInvCode,venandinv.cVenInvCode,cInvCCode,cInvAddcode,cInvName,cInvStd,"
                    "ComputationUnit.cComUnitName as cinvm_unit,";
  for (int i = 1; i <= 16; ++i) sql += "cInvDefine" + std::to_string(i) + ",";
  sql += "iTaxRate as iPerTaxRate  From Inventory left join ComputationUnit on  ComputationUnit.cComUnitCode = "
         "Inventory.cComUnitCode Left join venandinv on Inventory.cInvCode=venandinv.cInvCode and "
         "venandinv.cvencode='" + vendor + "'";
  const std::string t = quoted(typed);
  return sql + " WHERE (cInvName=" + t + " OR Inventory.cInvCode=" + t + " OR cInvAddCode=" + t +
         " OR cVenInvCode=" + t + ") AND (bPurchase=1 AND bService=0  AND bInvtype=0) AND dEDate IS NULL  AND bInvEntrust=1 ";
}

inline std::string vendorDefines(const std::string& prefix) {
  std::string s;
  for (int i = 1; i <= 16; ++i) s += (i > 1 ? "," : "") + prefix + "cvendefine" + std::to_string(i);
  return s;
}

// The vendors of an order or arrival head, with their department, salesman, terms and shipping.
inline std::string orderVendorStatement(const std::string& typed) {
  const std::string t = quoted(typed);
  return "SELECT cVenCode,cVenAbbName,cVenIAddress as cArrivalPlace,cVenPostCode,cVenAccount,cVenBank,cVenRegCode,"
         "cVenPerson,cVenPhone,cVenAddress,cVenFax,vendor.cvenitype as csccode,shippingchoice.cscname,"
         "vendor.cVenDepart as cDepCode,Department.cDepName,vendor.cVenPPerson as cPersonCode,Person.cPersonName,"
         "vendor.cVenPayCond As cPayCode,PayCondition.cPayName," + vendorDefines("") + " FROM Vendor "
         "left join department on vendor.cvendepart=department.cdepcode "
         "left join person on vendor.cvenpperson=person.cpersoncode "
         "left join paycondition on vendor.cvenpaycond=paycondition.cpaycode "
         "left join shippingchoice on vendor.cvenitype=shippingchoice.csccode WHERE (cVenAbbName=" + t +
         " OR cVenCode=" + t + ") and (dEndDate IS NULL)";
}

// The vendors of an invoice head, with their head office as the advancing unit.
inline std::string invoiceVendorStatement(const std::string& typed) {
  const std::string t = quoted(typed);
  return "select vendor.cVenCode,vendor.cVenAbbName as cVenAbbName_1,case when ifnull(ven.cVenHeadCode,'')=''then "
         "vendor.cVenCode else ven.cVenHeadCode end  as cUnitCode,vendor.cVenAbbName,vendor.cVenWhCode as cWhCode,"
         "WareHouse.cWhName,vendor.cVenDepart as cDepCode,Department.cDepName,vendor.cVenPPerson as cPersonCode,"
         "Person.cPersonName,vendor.cVenPayCond As cPayCode,PayCondition.cPayName,vendor.cvenpostcode,"
         "vendor.cvenaccount,vendor.cvenbank,vendor.cvenregcode,vendor.cvenperson,vendor.cvenphone,"
         "vendor.cvenaddress,vendor.cvenfax, " + vendorDefines("vendor.") +
         ",AccountPeriod.cAccountPID as caccountpid,AccountPeriod.cAccountPName as caccountpname "
         "from vendor inner join vendor as ven on vendor.cvencode=ven.cvencode "
         "left join warehouse on vendor.cvenwhcode=warehouse.cwhcode "
         "left join department on vendor.cvendepart=department.cdepcode "
         "left join person on vendor.cvenpperson=person.cpersoncode "
         "left join paycondition on vendor.cvenpaycond=paycondition.cpaycode left join AccountPeriod on "
         "AccountPeriod.cAccountPID=vendor.cAccountPID WHERE (Vendor.cVenAbbName=" + t + " OR Vendor.cVenCode=" + t +
         ") and (Vendor.dEndDate IS NULL)";
}

// The rate of a currency on a day ('yyyy.mm.dd', rate type 1) or in a period (its number, type 2).
inline std::string rateStatement(const std::string& currency, int rateType, const std::string& when) {
  const std::string c = quoted(currency);
  return "select t1.cexch_name,t1.cexch_code,ifnull(t2.nflat,1) AS nflat From (SELECT cexch_name,cexch_code FROM "
         "ForeignCurrency Where cexch_name=" + c + " Or cexch_Code=" + c + ") as t1 Left Join (select "
         "cexch_name,nflat from exch WHERE itype= '" + std::to_string(rateType) + "' AND cdate='" + when +
         "') as t2 on t1.cexch_name=t2.cexch_name";
}

inline std::string unitStatement(const std::string& item, const std::string& typed) {
  const std::string t = quoted(typed);
  return "SELECT cComUnitCode as cUnitId,cComUnitName as cInvA_Unit,iChangRate as iInvExchRate from ComputationUnit "
         "WHERE cGroupCode in (select cGroupCode from Inventory where cinvcode='" + item +
         "') and (cComUnitCode=" + t + " OR cComUnitName=" + t + ")";
}

inline std::string personStatement(const std::string& typed) {
  const std::string t = quoted(typed);
  return "SELECT cPersonCode,cPersonName,Person.cDepCode,Department.cDepName FROM Person left join Department on "
         "Person.cDepCode = Department.cDepCode  WHERE (cPersonName=" + t + " Or cPersonCode=" + t + ") ";
}

inline std::string resolveItemStatement(const std::string& typed) {
  const std::string t = quoted(typed);
  return "select cInvCode from inventory where cinvcode=" + t + " or  cinvname=" + t + " or cinvaddcode=" + t;
}

inline std::string groupTypeByVendorCodeStatement(const std::string& code, const std::string& vendor) {
  return "Select iGroupType from Inventory where cInvCode=(select cinvcode from venandinv where cVenInvCode='" +
         code + "' and cVenCode='" + vendor + "')";
}

inline std::string openOrderStatement(const std::string& code) {
  return "SELECT cPoId FROM Po_Pomain WHERE ifnull(cCloser,'')='' AND ifnull(cVerifier,'')<>'' AND cPoid='" + code + "'";
}

inline std::string freeItemValueStatement(int list, const std::string& typed) {
  const std::string t = quoted(typed);
  return "SELECT cAlias,cValue FROM UserDefine WHERE cID= '" + std::to_string(list) + "' AND (cValue=" + t +
         " OR cAlias=" + t + ")";
}

inline std::string invoiceTypeStatement(bool outsourcing, const std::string& item, const std::string& vendor) {
  const std::string h = outsourcing ? "om_purbillvouch" : "purbillvouch";
  const std::string d = h + "s";
  std::string sql = "select " + h + ".cpbvbilltype from " + h + " inner join " + d + " on " + h + ".pbvid=" + d +
                    ".pbvid where " + d + ".cInvCode = '" + item + "'";
  if (!vendor.empty()) sql += " and " + h + ".cvencode='" + vendor + "'";
  return sql + " order by " + d + ".id desc limit 1";
}

struct Statement {
  const char* what;
  std::string sql;
  // A table that the statement may read whole: "" for a look-up, which must be served by
  // indexes; "*" for a full list.
  const char* mayScan = "";
};

inline std::vector<Statement> everyStatement() {
  using std::string;
  const string orderPrices = latest(kOrderLines, "iunitprice", "iunitprice", "P1003", "V002") + ", " +
                             latest(kOrderLines, "itaxprice", "itaxprice", "P1003", "V002") + ", " +
                             latest(kOrderLines, "ipertaxrate", "ipertaxrate", "P1003", "V002");
  const string arrivalPrices = latest(kArrivalLines, "ioricost", "iunitprice", "P1001", "V001") + ", " +
                               latest(kArrivalLines, "ioritaxcost", "itaxprice", "P1001", "V001") + ", " +
                               latest(kArrivalLines, "pu_arrivalvouchs.itaxrate", "ipertaxrate", "P1001", "V001");
  const string invoicePrices = latest(kInvoiceLines, "ioricost", "iunitprice", "P1001", "") + ", " +
                               latest(kInvoiceLines, "ioricost * (1+itaxrate/100)", "itaxprice", "P1001", "") +
                               ", " + latest(kInvoiceLines, "itaxrate", "ipertaxrate", "P1001", "");
  const string omInvoicePrices =
      latest(kOmInvoiceLines, "ioricost/(1+itaxrate/100)", "ioricost", "W2002", "V003") + ", " +
      latest(kOmInvoiceLines, "ioricost", "ioritaxcost", "W2002", "V003") + ", " +
      latest(kOmInvoiceLines, "itaxrate", "itaxrate", "W2002", "V003");
  const string omOrderPrices = latest(kOmOrders, "imakecharge", "ioricost", "W2001", "V001") + ", " +
                               latest(kOmOrders, "ifnull(inventory.itaxrate,0)", "itaxrate", "W2001", "V001");
  const string priceList = "'' as ioricost, Inventory.iTaxRate as itaxrate";
  const char* item = "Inventory";  // the OR over the joined vendor codes reads the items whole

  return {
      {"free-item switches", "Select bfree1,bfree2,bfree3,bfree4,bfree5,bfree6,bfree7,bfree8,bfree9,bfree10 from Inventory where cInvCode='P1004'"},
      {"purchasing setting", "Select cValue from accinformation where cSysID='PU' and cName='bControlTax'"},
      {"setting of any system", "Select cValue from accinformation where cName='dGspStartDate'"},
      {"sales setting", "select cValue from accinformation where csysid='sa' and cname='bZYXS'"},
      {"batch flag", "Select bInvBatch from Inventory where cInvCode= 'P1006'"},
      {"shelf-life flag", "Select bInvQuality from Inventory where cInvCode= 'P1006'"},
      {"group type", "Select iGroupType from Inventory where cInvCode='P1002'"},
      {"group type by vendor code", groupTypeByVendorCodeStatement("KS-DG-100", "V003")},
      {"first open month", "select iperiod from gl_mend where bflag_om=0 limit 1"},
      {"item code of typed text", resolveItemStatement("钢板")},
      {"periods of the year", "select dBegin,dEnd,iID from ua_period where cacc_id = '001' and iyear = 2026 order by iid"},
      {"warehouse", "SELECT cWhCode ,cWhName from WareHouse WHERE (cWhName='委外仓' OR cWhCode='委外仓') "},
      {"order vendor", orderVendorStatement("华东精工")},
      {"advancing unit", "SELECT cVenCode as cUnitCode,cVenAbbName FROM Vendor  WHERE (cVenAbbName='V001' OR cVenCode='V001') and (dEndDate IS NULL)"},
      {"arrival vendor", "SELECT cVenCode,cVenAbbName,cVenPostCode,cVenAccount,cVenBank,cVenRegCode,cVenPerson,cVenPhone,cVenAddress,cVenFax," + vendorDefines("") + " FROM Vendor  WHERE (cVenAbbName='V001' OR cVenCode='V001') AND (dEndDate IS NULL)"},
      {"requisition vendor", "SELECT cVenCode,cVenAbbName FROM Vendor  WHERE (cVenAbbName='宏达电子' OR cVenCode='宏达电子') AND (dEndDate IS NULL) "},
      {"invoice vendor", invoiceVendorStatement("精工昆山")},
      {"department", "SELECT cDepCode,cDepName FROM Department WHERE (cDepName='采购部' OR cDepCode='采购部') and bDepEnd=1"},
      {"salesman with department", personStatement("张伟")},
      {"salesman", "SELECT cPersonCode,cPersonName FROM Person  WHERE (cPersonName='0001' Or cPersonCode='0001') "},
      {"purchase type", "SELECT cPTCode,cPTName FROM PurchaseType WHERE cPTName='01'Or cPTCode='01'"},
      {"shipping method", "SELECT cSCCode,cSCName FROM ShippingChoice WHERE cSCName='汽运' Or cSCCode='汽运'"},
      {"payment condition", "SELECT cPayCode,cPayName FROM PayCondition WHERE cPayName='02' Or cPayCode='02'"},
      {"payment condition name", "select cPayName from PayCondition where cPayCode='02' or cPayName='02'"},
      {"currency list", "SELECT cexch_name,cexch_code FROM ForeignCurrency", "*"},
      {"free-item value", freeItemValueStatement(20, "R")},
      {"production plan state", "SELECT PP_PPCMain.iState from PP_PPCMain Left Join PO_POMain ON PP_PPCMain.cPeriod = PO_POMain.cPeriod", "PP_PPCMain"},
      {"unit of the item's group", unitStatement("P1002", "箱")},
      {"account period", "SELECT cAccountPID,cAccountPName FROM AccountPeriod  WHERE cAccountPName='01' or cAccountPID='01'"},
      {"cost edit mode", "select cValue from accinformation where cname='cOtherCostEditMode'"},
      {"rate setting", "select cValue from accinformation where cname= 'iXchgRateStl'"},
      {"daily rate", rateStatement("USD", 1, "2026.11.20")},
      {"period rate", rateStatement("美元", 2, "3")},
      {"open audited order", openOrderStatement("CG2601001")},
      {"project table", "Select cTable from fItem Where cItem_Class='97'"},
      {"project", "SELECT cItemName AS cItemName  FROM fitemss97 WHERE cItemCode ='RD2601' and ifnull(bclose,0)=0 "},
      {"item as project", "SELECT cInvName AS cItemName  FROM Inventory WHERE cInvCode ='P1001'"},
      {"project class", "SELECT cItem_Class,fItem.cItem_Name From fItem  WHERE cItem_Class='97'"},
      {"purchase invoice type", invoiceTypeStatement(false, "P1001", "V001")},
      {"outsourcing invoice type", invoiceTypeStatement(true, "W2002", "")},
      {"order item, floating unit, order prices", itemStatement(0, 2, orderPrices, "V002", "P1003"), item},
      {"order item, purchase unit, arrival prices", itemStatement(0, 1, arrivalPrices, "V001", "P1002"), item},
      {"order item, invoice prices", itemStatement(0, 0, invoicePrices, "", "钢板"), item},
      {"arrival item, outsourcing invoice prices", itemStatement(3, 0, omInvoicePrices, "V003", "KS-DG-100"), item},
      {"invoice item, outsourcing order prices", itemStatement(1, 0, omOrderPrices, "V001", "W2001"), item},
      {"invoice item, price list", itemStatement(1, 2, priceList, "", "P1003"), item},
      {"item without prices", itemStatement(0, 0, "", "", "P1001"), item},
      {"requisition item", requisitionItemStatement("V001", "P1008"), item},
      {"data right", "select cRight from tw_data_right where cOperator='demo' and cKind='Vendor' and (cCode='V001' or cCode='*') and cRight='W'"},
      {"vendor price", "select iUnitPrice,iTaxRate from tw_price where cVenCode='V001' and cInvCode='P1001' and cexch_name='人民币' and (dFrom is null or dFrom<='2026-03-01 00:00:00') and (dTo is null or dTo>='2026-03-01 00:00:00') and fMinQuantity<=1500 order by fMinQuantity desc limit 1"},
      {"inspection", "select 1 from tw_inspection where cVenCode='V001' and cInvCode='W2001'"},
      {"credit days", "select iPayCreDays from PayCondition where cPayName='月结30天'"},
  };
}

}  // namespace tallyward::test::sql
