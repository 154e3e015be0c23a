#include "erp/reference_sql.h"

#include <array>
#include <optional>
#include <vector>

#include "erp/settings.h"
#include "platform/db/sql_text.h"
#include "rows/voucher.h"
#include "tallyward/error.h"

namespace tallyward {

namespace {

// ---- Fixed lists ------------------------------------------------------------------------------------

constexpr std::string_view kVendorDefines =
    "cvendefine1,cvendefine2,cvendefine3,cvendefine4,cvendefine5,cvendefine6,cvendefine7,cvendefine8,"
    "cvendefine9,cvendefine10,cvendefine11,cvendefine12,cvendefine13,cvendefine14,cvendefine15,"
    "cvendefine16 FROM Vendor ";

std::string vendorList(VoucherKind voucherKind) {
  switch (voucherKind) {
    case VoucherKind::Order:
      return std::string(
                 "SELECT cVenCode,cVenAbbName,cVenIAddress as cArrivalPlace,cVenPostCode,cVenAccount,"
                 "cVenBank,cVenRegCode,cVenPerson,cVenPhone,cVenAddress,cVenFax,"
                 "vendor.cvenitype as csccode,shippingchoice.cscname,vendor.cVenDepart as cDepCode,"
                 "Department.cDepName,vendor.cVenPPerson as cPersonCode,Person.cPersonName,"
                 "vendor.cVenPayCond As cPayCode,PayCondition.cPayName,") +
             std::string(kVendorDefines) +
             "left join department on vendor.cvendepart=department.cdepcode "
             "left join person on vendor.cvenpperson=person.cpersoncode "
             "left join paycondition on vendor.cvenpaycond=paycondition.cpaycode "
             "left join shippingchoice on vendor.cvenitype=shippingchoice.csccode";
    case VoucherKind::Invoice:
    case VoucherKind::InvoiceAlt:
      return "SELECT cVenCode as cUnitCode,cVenAbbName FROM Vendor ";
    case VoucherKind::Arrival:
      return "SELECT cVenCode,cVenAbbName,cVenPostCode,cVenAccount,cVenBank,cVenRegCode,cVenPerson,"
             "cVenPhone,cVenAddress,cVenFax," + std::string(kVendorDefines);
    case VoucherKind::Requisition:
      return "SELECT cVenCode,cVenAbbName FROM Vendor ";
    default:
      return {};
  }
}

constexpr std::string_view kVendorAsUnitList =
    "select vendor.cVenCode,vendor.cVenAbbName as cVenAbbName_1,case when isnull(ven.cVenHeadCode,'')=''"
    "then vendor.cVenCode else ven.cVenHeadCode end  as cUnitCode,vendor.cVenAbbName,"
    "vendor.cVenWhCode as cWhCode,WareHouse.cWhName,vendor.cVenDepart as cDepCode,Department.cDepName,"
    "vendor.cVenPPerson as cPersonCode,Person.cPersonName,vendor.cVenPayCond As cPayCode,"
    "PayCondition.cPayName,vendor.cvenpostcode,vendor.cvenaccount,vendor.cvenbank,vendor.cvenregcode,"
    "vendor.cvenperson,vendor.cvenphone,vendor.cvenaddress,vendor.cvenfax, "
    "vendor.cvendefine1,vendor.cvendefine2,vendor.cvendefine3,vendor.cvendefine4,vendor.cvendefine5,"
    "vendor.cvendefine6,vendor.cvendefine7,vendor.cvendefine8,vendor.cvendefine9,vendor.cvendefine10,"
    "vendor.cvendefine11,vendor.cvendefine12,vendor.cvendefine13,vendor.cvendefine14,"
    "vendor.cvendefine15,vendor.cvendefine16,AccountPeriod.cAccountPID as caccountpid,"
    "AccountPeriod.cAccountPName as caccountpname "
    "from vendor inner join vendor as ven on vendor.cvencode=ven.cvencode "
    "left join warehouse on vendor.cvenwhcode=warehouse.cwhcode "
    "left join department on vendor.cvendepart=department.cdepcode "
    "left join person on vendor.cvenpperson=person.cpersoncode "
    "left join paycondition on vendor.cvenpaycond=paycondition.cpaycode left join AccountPeriod on "
    "AccountPeriod.cAccountPID=vendor.cAccountPID";

bool blankOnly(std::string_view s) {
  for (char c : s)
    if (c != ' ') return false;
  return true;
}

std::string personList(std::string_view depCode) {
  if (!blankOnly(depCode))
    return "SELECT cPersonCode,cPersonName,Person.cDepCode,Department.cDepName FROM Person left join "
           "Department on Person.cDepCode = Department.cDepCode ";
  return "SELECT cPersonCode,cPersonName FROM Person ";
}

// ---- Inventory list: settings ------------------------------------------------------------------------

// Cost edit modes and cost sources as the settings hold them.
constexpr std::string_view kFromPriceList = "取自供应商存货价格表价格";
constexpr std::string_view kLatestPrice = "最新价格";
constexpr std::string_view kByHand = "手工录入";
constexpr std::string_view kFromOrder = "订单";
constexpr std::string_view kFromArrival = "到货单";
constexpr std::string_view kFromInvoice = "发票";
constexpr std::string_view kSpecialInvoice = "委外专用发票";

bool noRow(const Recordset& rs) { return rs.bof() && rs.eof(); }

// One cost setting, read from the first row; a Null value reads as the setting's default. The
// setting must exist: without its row there is nothing to build the list from.
std::string costSetting(Connection& cnn, std::string_view name, std::string_view whenNull) {
  auto rs = cnn.execute("select cValue from accinformation where cname='" + std::string(name) + "'");
  if (noRow(*rs)) {
    rs->close();
    throwError(err::NoCurrentRecord, "The setting " + std::string(name) + " is missing from accinformation");
  }
  Variant v = rs->field("cValue");
  if (rs->isOpen()) rs->close();
  return v.isNull() ? std::string(whenNull) : toText(v);
}

// ---- Inventory list: latest-price columns --------------------------------------------------------------

// A table of voucher lines that latest prices are read from, with its head table.
struct PriceSource {
  std::string_view line;    // holds cInvCode and the prices
  std::string_view head;    // holds cvencode
  std::string_view join;    // head to line
  std::string_view latest;  // the newest line has the greatest value
};

constexpr PriceSource kPurchaseOrders{"po_podetails", "po_pomain", "po_pomain.poid=po_podetails.poid",
                                      "po_podetails.id"};
constexpr PriceSource kPurchaseArrivals{"pu_arrivalvouchs", "pu_arrivalvouch",
                                        "pu_arrivalvouch.id=pu_arrivalvouchs.id", "pu_arrivalvouchs.autoid"};
constexpr PriceSource kPurchaseInvoices{"purbillvouchs", "purbillvouch",
                                        "purbillvouch.pbvid=purbillvouchs.pbvid", "purbillvouchs.id"};
constexpr PriceSource kOutsourcingInvoices{"om_purbillvouchs", "om_purbillvouch",
                                           "om_purbillvouch.pbvid=om_purbillvouchs.pbvid",
                                           "om_purbillvouchs.id"};
constexpr PriceSource kOutsourcingOrders{"om_pomain", "om_productpo", "om_productpo.id=om_pomain.id",
                                         "om_pomain.mainid"};

// The item and vendor of one build, already escaped for their literals.
struct PriceQuery {
  Connection& cnn;
  std::string item;
  std::string vendor;
  bool perVendor = false;
};

// One latest-price column: the expression over the newest line of the item (of the vendor, when
// prices are taken per vendor).
std::string latestColumn(const PriceQuery& q, const PriceSource& src, std::string_view expression,
                         std::string_view alias, std::string_view extraJoin = {}) {
  std::string s = "(select top 1 ";
  s += expression;
  s += " from ";
  s += src.line;
  if (q.perVendor) {
    s += " inner join ";
    s += src.head;
    s += " on ";
    s += src.join;
  }
  s += extraJoin;
  s += " where ";
  s += src.line;
  s += ".cInvCode = '" + q.item + "'";
  if (q.perVendor) {
    s += " and ";
    s += src.head;
    s += ".cvencode='" + q.vendor + "'";
  }
  s += " order by ";
  s += src.latest;
  s += " desc) as ";
  s += alias;
  return s;
}

std::string blankColumn(std::string_view alias) { return "'' as " + std::string(alias); }
std::string taxRateFallback(std::string_view alias) { return "Inventory.iTaxRate as " + std::string(alias); }

std::string joinColumns(const std::vector<std::string>& columns) {
  std::string s;
  for (const auto& c : columns) {
    if (!s.empty()) s += ", ";
    s += c;
  }
  return s;
}

// Three expressions over one source, to the three aliases in order.
std::string latestColumns(const PriceQuery& q, const PriceSource& src,
                          const std::array<std::string_view, 3>& expressions,
                          const std::array<std::string_view, 3>& aliases) {
  return joinColumns({latestColumn(q, src, expressions[0], aliases[0]),
                      latestColumn(q, src, expressions[1], aliases[1]),
                      latestColumn(q, src, expressions[2], aliases[2])});
}

// The bill type of the item's latest invoice in a source; nothing when it has none. A Null type
// matches no known type.
std::optional<std::string> latestInvoiceType(const PriceQuery& q, const PriceSource& src) {
  std::string sql = "select top 1 " + std::string(src.head) + ".cpbvbilltype from " +
                    std::string(src.head) + " inner join " + std::string(src.line) + " on " +
                    std::string(src.join) + " where " + std::string(src.line) + ".cInvCode = '" + q.item;
  if (q.perVendor) sql += "' and " + std::string(src.head) + ".cvencode='" + q.vendor;
  sql += "' order by " + std::string(src.latest) + " desc";
  auto rs = q.cnn.execute(sql);
  std::optional<std::string> type;
  if (!noRow(*rs)) {
    const Variant& v = rs->field("cpbvbilltype");
    type = v.isNull() ? std::string() : toText(v);
  }
  rs->close();
  return type;
}

constexpr std::string_view kWithTax = "ioricost * (1+itaxrate/100)";
constexpr std::string_view kWithoutTax = "ioricost/(1+itaxrate/100)";

// Outsourcing order: iunitprice, itaxprice, ipertaxrate.
std::string orderPrices(PriceQuery& q, std::string_view editMode, std::string_view source) {
  static constexpr std::array<std::string_view, 3> kAliases{"iunitprice", "itaxprice", "ipertaxrate"};
  const auto priceList = [] {
    return joinColumns({blankColumn("iunitprice"), blankColumn("itaxprice"), taxRateFallback("ipertaxrate")});
  };
  if (editMode == kFromPriceList || editMode == kByHand) return priceList();
  if (editMode != kLatestPrice) return {};
  q.perVendor = IsAccordVendor(q.cnn) && !q.vendor.empty();
  if (source == kFromOrder)
    return latestColumns(q, kPurchaseOrders, {"iunitprice", "itaxprice", "ipertaxrate"}, kAliases);
  if (source == kFromArrival)
    return latestColumns(q, kPurchaseArrivals, {"ioricost", "ioritaxcost", "pu_arrivalvouchs.itaxrate"},
                         kAliases);
  if (source != kFromInvoice) return {};
  const auto type = latestInvoiceType(q, kPurchaseInvoices);
  if (!type) return priceList();
  if (*type == "01") return latestColumns(q, kPurchaseInvoices, {"ioricost", kWithTax, "itaxrate"}, kAliases);
  if (*type == "02") return latestColumns(q, kPurchaseInvoices, {kWithoutTax, "ioricost", "itaxrate"}, kAliases);
  if (*type == "11")
    return latestColumns(q, kOutsourcingInvoices, {"ioricost", kWithTax, "itaxrate"}, kAliases);
  if (*type == "12")
    return latestColumns(q, kOutsourcingInvoices, {kWithoutTax, "ioricost", "itaxrate"}, kAliases);
  return {};
}

// Arrival note: ioricost, ioritaxcost, itaxrate.
std::string arrivalPrices(PriceQuery& q, std::string_view editMode, std::string_view source) {
  static constexpr std::array<std::string_view, 3> kAliases{"ioricost", "ioritaxcost", "itaxrate"};
  const auto blanks = [] {
    return joinColumns({blankColumn("ioricost"), blankColumn("ioritaxcost"), taxRateFallback("itaxrate")});
  };
  if (editMode == kFromPriceList)  // the blank columns keep the names of the order's list
    return joinColumns({blankColumn("iunitprice"), blankColumn("itaxprice"), taxRateFallback("itaxrate")});
  if (editMode == kByHand) return blanks();
  if (editMode != kLatestPrice) return {};
  q.perVendor = IsAccordVendor(q.cnn) && !q.vendor.empty();
  if (source == kFromOrder)
    return latestColumns(q, kPurchaseOrders, {"iunitprice", "itaxprice", "ipertaxrate"}, kAliases);
  if (source == kFromArrival)
    return latestColumns(q, kPurchaseArrivals, {"ioricost", "ioritaxcost", "pu_arrivalvouchs.itaxrate"},
                         kAliases);
  if (source != kFromInvoice) return {};
  const auto type = latestInvoiceType(q, kOutsourcingInvoices);
  if (!type) return blanks();
  if (*type == "11")
    return latestColumns(q, kOutsourcingInvoices, {"ioricost", kWithTax, "itaxrate"}, kAliases);
  return latestColumns(q, kOutsourcingInvoices, {kWithoutTax, "ioricost", "itaxrate"}, kAliases);
}

// Outsourcing invoice: ioricost, itaxrate. A special invoice takes its cost without tax.
std::string invoicePrices(PriceQuery& q, std::string_view editMode, std::string_view source,
                          std::string_view billType) {
  const auto blanks = [] { return joinColumns({blankColumn("ioricost"), taxRateFallback("itaxrate")}); };
  if (editMode == kFromPriceList || editMode == kByHand) return blanks();
  if (editMode != kLatestPrice) return {};
  q.perVendor = IsAccordVendor(q.cnn) && !q.vendor.empty();
  if (source == kFromOrder)
    return joinColumns(
        {latestColumn(q, kOutsourcingOrders, "imakecharge", "ioricost"),
         latestColumn(q, kOutsourcingOrders, "isnull(inventory.itaxrate,0)", "itaxrate",
                      " left join inventory on om_pomain.cinvcode=inventory.cinvcode")});
  if (source != kFromInvoice) return {};
  const auto type = latestInvoiceType(q, kOutsourcingInvoices);
  if (!type) return blanks();
  const bool special = lowerCase(billType) == kSpecialInvoice;
  std::string_view cost;
  if (*type == "11")
    cost = special ? "ioricost" : "ioricost*(1+itaxrate/100)";
  else
    cost = special ? kWithoutTax : "ioricost";
  return joinColumns({latestColumn(q, kOutsourcingInvoices, cost, "ioricost"),
                      latestColumn(q, kOutsourcingInvoices, "itaxrate", "itaxrate")});
}

// ---- Inventory list: unit columns and assembly ------------------------------------------------------------

constexpr std::string_view kDefineTail =
    "cInvDefine9,cInvDefine10,cInvDefine11,cInvDefine12,cInvDefine13,cInvDefine14,cInvDefine15,"
    "cInvDefine16,";

std::string_view inventoryHead(VoucherKind voucherKind) {
  switch (voucherKind) {
    case VoucherKind::Order:
      return "SELECT Inventory.cInvCode,venandinv.cVenInvCode,cInvCCode,cInvAddcode,cInvName,cInvStd,"
             "cInvDefine1,cInvDefine2,cInvDefine3,cInvDefine4,cInvDefine5,cInvDefine6,cInvDefine7,"
             "cInvDefine8,";
    case VoucherKind::Invoice:
    case VoucherKind::InvoiceAlt:
      return "SELECT Inventory.cInvCode,venandinv.cVenInvCode,cInvCCode,cInvAddcode,cInvName,cInvStd,"
             "bInvType,bService,cInvDefine1,cInvDefine2,cInvDefine3,cInvDefine4,cInvDefine5,"
             "cInvDefine6,cInvDefine7,cInvDefine8,";
    default:  // arrival note
      return "SELECT Inventory.cInvCode,venandinv.cVenInvCode,cInvCCode,cInvAddcode,cInvName,cInvStd,"
             "iMassDate,(case bPropertyCheck when 1 then '是' else '否' end) as bgsp,cInvDefine1,"
             "cInvDefine2,cInvDefine3,cInvDefine4,cInvDefine5,cInvDefine6,cInvDefine7,cInvDefine8,";
  }
}

constexpr std::string_view kMainUnit =
    "(select cComUnitName from ComputationUnit where ComputationUnit.cComUnitCode = "
    "Inventory.cComUnitCode ) as cinvm_unit,";

// Cunitid, cinvm_unit, cinva_unit, iinvexchrate for a unit mode; nothing for a mode without them.
std::optional<std::string> unitColumns(std::string_view unitMode) {
  double mode = 0;
  if (!parseNumber(unitMode, mode))
    throwError(err::TypeMismatch, "Type mismatch: the unit mode '" + std::string(unitMode) + "' is not a number");
  if (mode == 0)
    return "'' as Cunitid," + std::string(kMainUnit) + "'' as cinva_unit, '' as iinvexchrate ";
  if (mode == 1)
    return "Inventory.cPUComUnitCode as Cunitid," + std::string(kMainUnit) +
           "(select cComUnitName from ComputationUnit where ComputationUnit.cComUnitCode = "
           "Inventory.cPUComUnitCode ) as cinva_unit, "
           "(select iChangRate from ComputationUnit where ComputationUnit.cComUnitCode = "
           "Inventory.cPUComUnitCode ) as iinvexchrate ";
  if (mode == 2) {
    // The group's other unit: the one that is not the main unit of the item's unit group.
    constexpr std::string_view kOtherUnit =
        " from ComputationUnit where ComputationUnit.cGroupCode = (select cGroupCode from "
        "ComputationUnit where ComputationUnit.cComUnitCode = Inventory.cComUnitCode) and "
        "ComputationUnit.bMainUnit=0) as ";
    return "(select cComUnitCode" + std::string(kOtherUnit) + "Cunitid," + std::string(kMainUnit) +
           "(select cComUnitName" + std::string(kOtherUnit) + "cinva_unit, " +
           "(select iChangRate" + std::string(kOtherUnit) + "iinvexchrate ";
  }
  return std::nullopt;
}

std::string requisitionInventoryList(std::string_view venCode) {
  return "SELECT Inventory.cInvCode,venandinv.cVenInvCode,cInvCCode,cInvAddcode,cInvName,cInvStd,"
         "ComputationUnit.cComUnitName as cinvm_unit,cInvDefine1,cInvDefine2,cInvDefine3,cInvDefine4,"
         "cInvDefine5,cInvDefine6,cInvDefine7,cInvDefine8,"
         "cInvDefine9,cInvDefine10,cInvDefine11,cInvDefine12,cInvDefine13,cInvDefine14,cInvDefine15,"
         "cInvDefine16,iTaxRate as iPerTaxRate  From Inventory left join ComputationUnit on  "
         "ComputationUnit.cComUnitCode = Inventory.cComUnitCode Left join venandinv on "
         "Inventory.cInvCode=venandinv.cInvCode and venandinv.cvencode='" +
         escapeSql(venCode) + "'";
}

std::string inventoryList(VoucherKind voucherKind, Connection* cnn, std::string_view venCode,
                          std::string_view unitMode, std::string_view invCode, std::string_view billType) {
  if (voucherKind == VoucherKind::Requisition) return requisitionInventoryList(venCode);
  if (voucherKind < VoucherKind::Order || voucherKind > VoucherKind::Requisition) return {};
  if (!cnn)
    throwError(err::ObjectNotSet, "Object variable not set: the inventory list needs the database connection");

  const std::string editMode = costSetting(*cnn, "cOtherCostEditMode", kByHand);
  const std::string source = costSetting(*cnn, "cCostSource", kFromOrder);

  PriceQuery q{*cnn, escapeSql(invCode), escapeSql(venCode)};
  std::string prices;
  if (voucherKind == VoucherKind::Order)
    prices = orderPrices(q, editMode, source);
  else if (voucherKind == VoucherKind::Arrival)
    prices = arrivalPrices(q, editMode, source);
  else
    prices = invoicePrices(q, editMode, source, billType);

  const auto units = unitColumns(unitMode);
  if (!units) return {};

  std::string sql(inventoryHead(voucherKind));
  sql += kDefineTail;
  sql += "Inventory.iGroupType,";
  sql += *units;
  // The price columns end in an alias, so a blank keeps it apart from the FROM that follows.
  if (!prices.empty()) sql += "," + prices + " ";
  sql += "From Inventory Left join venandinv on Inventory.cInvCode=venandinv.cInvCode and venandinv.cvencode='" +
         q.vendor + "'";
  return sql;
}

}  // namespace

std::string BuildReferenceSql(const ReferenceQuery& q) {
  switch (q.list) {
    case ReferenceKind::Inventory:
      return inventoryList(q.voucher, q.cnn, q.venCode, q.unitMode, q.invCode, q.billType);
    case ReferenceKind::Warehouse: return "SELECT cWhCode ,cWhName from WareHouse";
    case ReferenceKind::Vendor: return vendorList(q.voucher);
    case ReferenceKind::VendorAsUnit: return std::string(kVendorAsUnitList);
    case ReferenceKind::Department: return "SELECT cDepCode,cDepName FROM Department";
    case ReferenceKind::Person: return personList(q.depCode);
    case ReferenceKind::PurchaseType: return "SELECT cPTCode,cPTName FROM PurchaseType";
    case ReferenceKind::ShippingChoice: return "SELECT cSCCode,cSCName FROM ShippingChoice";
    case ReferenceKind::PayCondition: return "SELECT cPayCode,cPayName FROM PayCondition";
    case ReferenceKind::Currency: return "SELECT cexch_name,cexch_code FROM ForeignCurrency";
    case ReferenceKind::UserDefine: return "SELECT cAlias,cValue FROM UserDefine";
    case ReferenceKind::PlanState:
      return "SELECT PP_PPCMain.iState from PP_PPCMain Left Join PO_POMain ON PP_PPCMain.cPeriod = "
             "PO_POMain.cPeriod";
    case ReferenceKind::Unit:
      return "SELECT cComUnitCode as cUnitId,cComUnitName as cInvA_Unit,iChangRate as iInvExchRate from "
             "ComputationUnit";
    case ReferenceKind::AccountPeriod: return "SELECT cAccountPID,cAccountPName FROM AccountPeriod ";
    default: return {};
  }
}

}  // namespace tallyward
