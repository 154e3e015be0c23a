#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "erp/reference_sql.h"
#include "probes/probe_fixture.h"

namespace tallyward {
namespace {

using test::errorNumber;

const std::string kVendorDefines =
    "cvendefine1,cvendefine2,cvendefine3,cvendefine4,cvendefine5,cvendefine6,cvendefine7,cvendefine8,"
    "cvendefine9,cvendefine10,cvendefine11,cvendefine12,cvendefine13,cvendefine14,cvendefine15,"
    "cvendefine16 FROM Vendor ";

TEST(ReferenceLists, FixedListsAreExactAndNeedNoConnection) {
  const struct { int voucher, kind; const char* dep; std::string sql; } cases[] = {
      {3, 1, "", "SELECT cWhCode ,cWhName from WareHouse"},
      {0, 2, "",
       "SELECT cVenCode,cVenAbbName,cVenIAddress as cArrivalPlace,cVenPostCode,cVenAccount,cVenBank,"
       "cVenRegCode,cVenPerson,cVenPhone,cVenAddress,cVenFax,vendor.cvenitype as csccode,"
       "shippingchoice.cscname,vendor.cVenDepart as cDepCode,Department.cDepName,vendor.cVenPPerson as "
       "cPersonCode,Person.cPersonName,vendor.cVenPayCond As cPayCode,PayCondition.cPayName," + kVendorDefines +
           "left join department on vendor.cvendepart=department.cdepcode left join person on "
           "vendor.cvenpperson=person.cpersoncode left join paycondition on vendor.cvenpaycond=paycondition.cpaycode "
           "left join shippingchoice on vendor.cvenitype=shippingchoice.csccode"},
      {1, 2, "", "SELECT cVenCode as cUnitCode,cVenAbbName FROM Vendor "},
      {2, 2, "", "SELECT cVenCode as cUnitCode,cVenAbbName FROM Vendor "},
      {3, 2, "",
       "SELECT cVenCode,cVenAbbName,cVenPostCode,cVenAccount,cVenBank,cVenRegCode,cVenPerson,cVenPhone,"
       "cVenAddress,cVenFax," + kVendorDefines},
      {4, 2, "", "SELECT cVenCode,cVenAbbName FROM Vendor "},
      {5, 2, "", ""},
      {1, 3, "",
       "select vendor.cVenCode,vendor.cVenAbbName as cVenAbbName_1,case when isnull(ven.cVenHeadCode,'')"
       "=''then vendor.cVenCode else ven.cVenHeadCode end  as cUnitCode,vendor.cVenAbbName,vendor.cVenWhCode "
       "as cWhCode,WareHouse.cWhName,vendor.cVenDepart as cDepCode,Department.cDepName,vendor.cVenPPerson "
       "as cPersonCode,Person.cPersonName,vendor.cVenPayCond As cPayCode,PayCondition.cPayName,"
       "vendor.cvenpostcode,vendor.cvenaccount,vendor.cvenbank,vendor.cvenregcode,vendor.cvenperson,"
       "vendor.cvenphone,vendor.cvenaddress,vendor.cvenfax, vendor.cvendefine1,vendor.cvendefine2,"
       "vendor.cvendefine3,vendor.cvendefine4,vendor.cvendefine5,vendor.cvendefine6,vendor.cvendefine7,"
       "vendor.cvendefine8,vendor.cvendefine9,vendor.cvendefine10,vendor.cvendefine11,vendor.cvendefine12,"
       "vendor.cvendefine13,vendor.cvendefine14,vendor.cvendefine15,vendor.cvendefine16,"
       "AccountPeriod.cAccountPID as caccountpid,AccountPeriod.cAccountPName as caccountpname from vendor "
       "inner join vendor as ven on vendor.cvencode=ven.cvencode left join warehouse on "
       "vendor.cvenwhcode=warehouse.cwhcode left join department on vendor.cvendepart=department.cdepcode "
       "left join person on vendor.cvenpperson=person.cpersoncode left join paycondition on "
       "vendor.cvenpaycond=paycondition.cpaycode left join AccountPeriod on "
       "AccountPeriod.cAccountPID=vendor.cAccountPID"},
      {0, 4, "", "SELECT cDepCode,cDepName FROM Department"},
      // Persons join their department only for a department code that is not blanks alone.
      {0, 5, " D ",
       "SELECT cPersonCode,cPersonName,Person.cDepCode,Department.cDepName FROM Person left join "
       "Department on Person.cDepCode = Department.cDepCode "},
      {0, 5, "   ", "SELECT cPersonCode,cPersonName FROM Person "},
      {0, 5, "", "SELECT cPersonCode,cPersonName FROM Person "},
      {0, 6, "", "SELECT cPTCode,cPTName FROM PurchaseType"},
      {0, 8, "", "SELECT cSCCode,cSCName FROM ShippingChoice"},
      {0, 9, "", "SELECT cPayCode,cPayName FROM PayCondition"},
      {0, 11, "", "SELECT cexch_name,cexch_code FROM ForeignCurrency"},
      {1, 12, "", "SELECT cAlias,cValue FROM UserDefine"},
      {0, 15, "",
       "SELECT PP_PPCMain.iState from PP_PPCMain Left Join PO_POMain ON PP_PPCMain.cPeriod = PO_POMain.cPeriod"},
      {1, 16, "",
       "SELECT cComUnitCode as cUnitId,cComUnitName as cInvA_Unit,iChangRate as iInvExchRate from ComputationUnit"},
      {0, 17, "", "SELECT cAccountPID,cAccountPName FROM AccountPeriod "},
      {0, 7, "", ""}, {0, 10, "", ""}, {0, 13, "", ""}, {0, 14, "", ""}, {0, 18, "", ""}, {0, -1, "", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(BuildReferenceSql({.voucher = static_cast<VoucherKind>(c.voucher), .list = static_cast<ReferenceKind>(c.kind), .venCode = "V'1", .unitMode = "0", .invCode = "I'1", .depCode = c.dep}), c.sql)
        << "voucher " << c.voucher << " kind " << c.kind << " department '" << c.dep << "'";
}

// ---- Inventory list ---------------------------------------------------------------------------------

const std::string kEditModeSql = "select cValue from accinformation where cname='cOtherCostEditMode'";
const std::string kSourceSql = "select cValue from accinformation where cname='cCostSource'";
const std::string kAccordSql = "select cValue from accinformation where csysid='pu' and cname='bAccordVen'";
const std::string kHeads[] = {
    "SELECT Inventory.cInvCode,venandinv.cVenInvCode,cInvCCode,cInvAddcode,cInvName,cInvStd,cInvDefine1,"
    "cInvDefine2,cInvDefine3,cInvDefine4,cInvDefine5,cInvDefine6,cInvDefine7,cInvDefine8,",
    "SELECT Inventory.cInvCode,venandinv.cVenInvCode,cInvCCode,cInvAddcode,cInvName,cInvStd,bInvType,"
    "bService,cInvDefine1,cInvDefine2,cInvDefine3,cInvDefine4,cInvDefine5,cInvDefine6,cInvDefine7,cInvDefine8,",
    "SELECT Inventory.cInvCode,venandinv.cVenInvCode,cInvCCode,cInvAddcode,cInvName,cInvStd,bInvType,"
    "bService,cInvDefine1,cInvDefine2,cInvDefine3,cInvDefine4,cInvDefine5,cInvDefine6,cInvDefine7,cInvDefine8,",
    "SELECT Inventory.cInvCode,venandinv.cVenInvCode,cInvCCode,cInvAddcode,cInvName,cInvStd,iMassDate,"
    "(case bPropertyCheck when 1 then '是' else '否' end) as bgsp,cInvDefine1,cInvDefine2,cInvDefine3,"
    "cInvDefine4,cInvDefine5,cInvDefine6,cInvDefine7,cInvDefine8,",
};
const std::string kMainUnit =
    "(select cComUnitName from ComputationUnit where ComputationUnit.cComUnitCode = Inventory.cComUnitCode ) "
    "as cinvm_unit,";
const std::string kUnits0 = "'' as Cunitid," + kMainUnit + "'' as cinva_unit, '' as iinvexchrate ";

// The composed statement as the checks receive it (item I'1, vendor V'1, both escaped).
std::string inventorySql(int voucher, const std::string& units, const std::string& prices,
                         const std::string& vendor = "V''1") {
  return kHeads[voucher] +
         "cInvDefine9,cInvDefine10,cInvDefine11,cInvDefine12,cInvDefine13,cInvDefine14,cInvDefine15,cInvDefine16,"
         "Inventory.iGroupType," + units + (prices.empty() ? "" : "," + prices + " ") +
         "From Inventory Left join venandinv on Inventory.cInvCode=venandinv.cInvCode and venandinv.cvencode='" +
         vendor + "'";
}

class InventoryList : public test::ScriptedDb {
 protected:
  // Settings as the database holds them; nullopt stands for a Null value.
  void settings(std::optional<std::string> editMode, std::optional<std::string> source, bool accord = false) {
    const auto value = [](const std::optional<std::string>& s) { return s ? Variant(*s) : Variant::null(); };
    answer("cOtherCostEditMode", {"cValue"}, {{value(editMode)}});
    answer("cCostSource", {"cValue"}, {{value(source)}});
    answer("bAccordVen", {"cValue"}, {{Variant(accord ? "1" : "0")}});
  }
};

TEST_F(InventoryList, UnitColumnsFollowTheUnitMode) {
  const std::string other =
      " from ComputationUnit where ComputationUnit.cGroupCode = (select cGroupCode from ComputationUnit "
      "where ComputationUnit.cComUnitCode = Inventory.cComUnitCode) and ComputationUnit.bMainUnit=0) as ";
  const struct { const char* mode; std::string units; } cases[] = {
      {"0", kUnits0},
      {"1",
       "Inventory.cPUComUnitCode as Cunitid," + kMainUnit +
           "(select cComUnitName from ComputationUnit where ComputationUnit.cComUnitCode = "
           "Inventory.cPUComUnitCode ) as cinva_unit, (select iChangRate from ComputationUnit where "
           "ComputationUnit.cComUnitCode = Inventory.cPUComUnitCode ) as iinvexchrate "},
      {"2", "(select cComUnitCode" + other + "Cunitid," + kMainUnit + "(select cComUnitName" + other +
                "cinva_unit, (select iChangRate" + other + "iinvexchrate "},
      {"3", ""}, {"-1", ""},
  };
  settings("其他方式", "订单");  // no price columns: the units are followed by the FROM
  for (int voucher : {0, 1, 2, 3})
    for (const auto& c : cases)
      EXPECT_EQ(BuildReferenceSql({.voucher = static_cast<VoucherKind>(voucher), .list = static_cast<ReferenceKind>(0), .cnn = cnn.get(), .venCode = "V'1", .unitMode = c.mode, .invCode = "I'1"}),
                c.units.empty() ? "" : inventorySql(voucher, c.units, ""))
          << "voucher " << voucher << " mode " << c.mode;
  for (const char* mode : {"abc", ""})
    EXPECT_EQ(errorNumber([&] { BuildReferenceSql({.voucher = static_cast<VoucherKind>(0), .list = static_cast<ReferenceKind>(0), .cnn = cnn.get(), .venCode = "V01", .unitMode = mode, .invCode = "A01"}); }), err::TypeMismatch);
}

TEST_F(InventoryList, RequisitionListIsFixedAndOtherVoucherKindsHaveNone) {
  const std::string requisition =
      "SELECT Inventory.cInvCode,venandinv.cVenInvCode,cInvCCode,cInvAddcode,cInvName,cInvStd,"
      "ComputationUnit.cComUnitName as cinvm_unit,cInvDefine1,cInvDefine2,cInvDefine3,cInvDefine4,"
      "cInvDefine5,cInvDefine6,cInvDefine7,cInvDefine8,cInvDefine9,cInvDefine10,cInvDefine11,cInvDefine12,"
      "cInvDefine13,cInvDefine14,cInvDefine15,cInvDefine16,iTaxRate as iPerTaxRate  From Inventory left "
      "join ComputationUnit on  ComputationUnit.cComUnitCode = Inventory.cComUnitCode Left join venandinv "
      "on Inventory.cInvCode=venandinv.cInvCode and venandinv.cvencode='x'' OR ''1''=''1'";
  EXPECT_EQ(BuildReferenceSql({.voucher = static_cast<VoucherKind>(4), .list = static_cast<ReferenceKind>(0), .cnn = cnn.get(), .venCode = "x' OR '1'='1", .unitMode = "2", .invCode = "A01", .billType = "委外专用发票", .depCode = "D01"}), requisition);
  EXPECT_EQ(BuildReferenceSql({.voucher = static_cast<VoucherKind>(4), .list = static_cast<ReferenceKind>(0), .venCode = "x' OR '1'='1", .unitMode = "abc"}), requisition);
  EXPECT_EQ(BuildReferenceSql({.voucher = static_cast<VoucherKind>(5), .list = static_cast<ReferenceKind>(0), .cnn = cnn.get(), .venCode = "V01", .unitMode = "0", .invCode = "A01"}), "");
  EXPECT_EQ(BuildReferenceSql({.voucher = static_cast<VoucherKind>(-1), .list = static_cast<ReferenceKind>(0), .cnn = cnn.get(), .venCode = "V01", .unitMode = "0", .invCode = "A01"}), "");
  EXPECT_TRUE(sent().empty());
}

TEST_F(InventoryList, MissingSettingsConnectionAndFailingProbesAreErrors) {
  EXPECT_EQ(errorNumber([&] { BuildReferenceSql({.voucher = static_cast<VoucherKind>(0), .list = static_cast<ReferenceKind>(0), .venCode = "V01", .unitMode = "0", .invCode = "A01"}); }), err::ObjectNotSet);
  EXPECT_EQ(errorNumber([&] { BuildReferenceSql({.voucher = static_cast<VoucherKind>(0), .list = static_cast<ReferenceKind>(0), .cnn = cnn.get(), .venCode = "V01", .unitMode = "0", .invCode = "A01"}); }), 3021);
  EXPECT_EQ(sent(), (std::vector<std::string>{kEditModeSql}));
  driver->sent.clear();
  answer("cOtherCostEditMode", {"cValue"}, {{Variant("最新价格")}});
  EXPECT_EQ(errorNumber([&] { BuildReferenceSql({.voucher = static_cast<VoucherKind>(3), .list = static_cast<ReferenceKind>(0), .cnn = cnn.get(), .venCode = "V01", .unitMode = "0", .invCode = "A01"}); }), 3021);
  EXPECT_EQ(sent(), (std::vector<std::string>{kEditModeSql, kSourceSql}));

  driver->answers.clear();
  failOn("cpbvbilltype");
  settings("最新价格", "发票");
  for (int voucher : {0, 1, 3})
    EXPECT_EQ(errorNumber([&] { BuildReferenceSql({.voucher = static_cast<VoucherKind>(voucher), .list = static_cast<ReferenceKind>(0), .cnn = cnn.get(), .venCode = "V01", .unitMode = "0", .invCode = "A01"}); }),
              err::Database);
}

// ---- Latest-price decision tables ---------------------------------------------------------------------

// A source of latest prices: its lines, head, join and newest-line column as the ERP names them.
struct Source {
  const char *line, *head, *join, *latest, *extraJoin = "";
};
const Source kPurchaseOrders{"po_podetails", "po_pomain", "po_pomain.poid=po_podetails.poid", "po_podetails.id"};
const Source kArrivals{"pu_arrivalvouchs", "pu_arrivalvouch", "pu_arrivalvouch.id=pu_arrivalvouchs.id",
                       "pu_arrivalvouchs.autoid"};
const Source kPurchaseInvoices{"purbillvouchs", "purbillvouch", "purbillvouch.pbvid=purbillvouchs.pbvid",
                               "purbillvouchs.id"};
const Source kOmInvoices{"om_purbillvouchs", "om_purbillvouch", "om_purbillvouch.pbvid=om_purbillvouchs.pbvid",
                         "om_purbillvouchs.id"};
const Source kOmOrders{"om_pomain", "om_productpo", "om_productpo.id=om_pomain.id", "om_pomain.mainid"};
const Source kOmOrdersTax{"om_pomain", "om_productpo", "om_productpo.id=om_pomain.id", "om_pomain.mainid",
                          " left join inventory on om_pomain.cinvcode=inventory.cinvcode"};

std::string col(const Source& s, bool perVendor, const std::string& expression, const std::string& alias) {
  const std::string l = s.line, h = s.head;
  return "(select top 1 " + expression + " from " + l + (perVendor ? " inner join " + h + " on " + s.join : "") +
         s.extraJoin + " where " + l + ".cInvCode = 'I''1'" + (perVendor ? " and " + h + ".cvencode='V''1'" : "") +
         " order by " + s.latest + " desc) as " + alias;
}

std::string cols(const Source& s, bool perVendor, const std::vector<std::string>& expressions,
                 const std::vector<std::string>& aliases) {
  std::string out;
  for (size_t i = 0; i < expressions.size(); ++i) out += (i ? ", " : "") + col(s, perVendor, expressions[i], aliases[i]);
  return out;
}

const std::vector<std::string> kOrderAliases{"iunitprice", "itaxprice", "ipertaxrate"};
const std::vector<std::string> kArrivalAliases{"ioricost", "ioritaxcost", "itaxrate"};
const std::string kWithTax = "ioricost * (1+itaxrate/100)";
const std::string kWithoutTax = "ioricost/(1+itaxrate/100)";
const std::string kLatest = "最新价格", kPriceList = "取自供应商存货价格表价格", kByHand = "手工录入";
const std::string kSpecial = "委外专用发票";

struct PriceRow {
  int voucher;
  std::optional<std::string> editMode, source;  // nullopt: Null in the settings row
  bool accord;
  std::string vendor;
  std::optional<std::optional<std::string>> invoiceType;  // none: no invoice; a Null type; a type
  std::string billType, prices;
};

// Each row: scripted settings and latest invoice, then the whole statement. Besides the two
// settings, the per-vendor setting is read exactly when the latest price is asked for, and the
// latest invoice's type exactly when it comes from invoices.
class PriceTables : public InventoryList {
 protected:
  void run(const std::vector<PriceRow>& rows) {
    for (size_t i = 0; i < rows.size(); ++i) {
      const PriceRow& r = rows[i];
      driver->answers.clear();
      driver->sent.clear();
      if (r.invoiceType)
        answer("cpbvbilltype", {"cpbvbilltype"}, {{*r.invoiceType ? Variant(**r.invoiceType) : Variant::null()}});
      settings(r.editMode, r.source, r.accord);
      EXPECT_EQ(BuildReferenceSql({.voucher = static_cast<VoucherKind>(r.voucher), .list = static_cast<ReferenceKind>(0), .cnn = cnn.get(), .venCode = r.vendor, .unitMode = "0", .invCode = "I'1", .billType = r.billType}),
                inventorySql(r.voucher, kUnits0, r.prices, r.vendor.empty() ? "" : "V''1"))
          << "row " << i;
      std::vector<std::string> statements{kEditModeSql, kSourceSql};
      if (r.editMode == kLatest) statements.push_back(kAccordSql);
      if (r.editMode == kLatest && r.source == "发票") statements.push_back(probe(r.voucher, r.accord && !r.vendor.empty()));
      EXPECT_EQ(driver->sent, statements) << "row " << i;
    }
  }
  // The type probe of the latest invoice: purchase invoices for orders, outsourcing ones otherwise.
  static std::string probe(int voucher, bool perVendor) {
    const std::string h = voucher == 0 ? "purbillvouch" : "om_purbillvouch", d = h + "s";
    return "select top 1 " + h + ".cpbvbilltype from " + h + " inner join " + d + " on " + h + ".pbvid=" + d +
           ".pbvid where " + d + ".cInvCode = 'I''1" + (perVendor ? "' and " + h + ".cvencode='V''1'" : "'") +
           " order by " + d + ".id desc";
  }
  const std::optional<std::string> kNullType{std::nullopt};
};

TEST_F(PriceTables, OrderPrices) {
  const std::string priceList = "'' as iunitprice, '' as itaxprice, Inventory.iTaxRate as ipertaxrate";
  const auto orders = [](bool perVendor) {
    return cols(kPurchaseOrders, perVendor, {"iunitprice", "itaxprice", "ipertaxrate"}, kOrderAliases);
  };
  const auto invoices = [](const Source& s, bool perVendor, const std::string& cost, const std::string& withTax) {
    return cols(s, perVendor, {cost, withTax, "itaxrate"}, kOrderAliases);
  };
  run({
      {0, kPriceList, "到货单", true, "V'1", {}, "", priceList},
      {0, kByHand, "发票", true, "V'1", {}, "", priceList},
      {0, std::nullopt, "发票", true, "V'1", {}, "", priceList},  // Null mode: by hand
      {0, kLatest, "订单", false, "V'1", {}, "", orders(false)},
      {0, kLatest, "订单", true, "V'1", {}, "", orders(true)},
      {0, kLatest, "订单", true, "", {}, "", orders(false)},
      {0, kLatest, std::nullopt, false, "V'1", {}, "", orders(false)},  // Null source: orders
      {0, kLatest, "到货单", true, "V'1", {}, "",
       cols(kArrivals, true, {"ioricost", "ioritaxcost", "pu_arrivalvouchs.itaxrate"}, kOrderAliases)},
      {0, kLatest, "发票", false, "V'1", {}, "", priceList},
      {0, kLatest, "发票", true, "V'1", "01", "", invoices(kPurchaseInvoices, true, "ioricost", kWithTax)},
      {0, kLatest, "发票", false, "V'1", "02", "", invoices(kPurchaseInvoices, false, kWithoutTax, "ioricost")},
      {0, kLatest, "发票", true, "V'1", "11", "", invoices(kOmInvoices, true, "ioricost", kWithTax)},
      {0, kLatest, "发票", false, "V'1", "12", "", invoices(kOmInvoices, false, kWithoutTax, "ioricost")},
      {0, kLatest, "发票", false, "V'1", "21", "", ""},
      {0, kLatest, "发票", false, "V'1", kNullType, "", ""},
      {0, kLatest, "其他", true, "V'1", {}, "", ""},
      {0, "最新价", "订单", true, "V'1", {}, "", ""},
  });
}

TEST_F(PriceTables, ArrivalPrices) {
  const std::string blanks = "'' as ioricost, '' as ioritaxcost, Inventory.iTaxRate as itaxrate";
  const auto invoices = [](bool perVendor, const std::string& cost, const std::string& withTax) {
    return cols(kOmInvoices, perVendor, {cost, withTax, "itaxrate"}, kArrivalAliases);
  };
  run({
      {3, kPriceList, "发票", true, "V'1", {}, "", "'' as iunitprice, '' as itaxprice, Inventory.iTaxRate as itaxrate"},
      {3, kByHand, "发票", true, "V'1", {}, "", blanks},
      {3, kLatest, "订单", true, "V'1", {}, "",
       cols(kPurchaseOrders, true, {"iunitprice", "itaxprice", "ipertaxrate"}, kArrivalAliases)},
      {3, kLatest, "到货单", false, "V'1", {}, "",
       cols(kArrivals, false, {"ioricost", "ioritaxcost", "pu_arrivalvouchs.itaxrate"}, kArrivalAliases)},
      {3, kLatest, "发票", true, "V'1", {}, "", blanks},
      {3, kLatest, "发票", true, "V'1", "11", "", invoices(true, "ioricost", kWithTax)},
      {3, kLatest, "发票", false, "V'1", "12", "", invoices(false, kWithoutTax, "ioricost")},
      {3, kLatest, "发票", true, "", kNullType, "", invoices(false, kWithoutTax, "ioricost")},
      {3, kLatest, "入库单", true, "V'1", {}, "", ""},
      {3, "其他", "订单", true, "V'1", {}, "", ""},
  });
}

TEST_F(PriceTables, InvoicePrices) {
  const std::string blanks = "'' as ioricost, Inventory.iTaxRate as itaxrate";
  const auto invoices = [](bool perVendor, const std::string& cost) {
    return cols(kOmInvoices, perVendor, {cost, "itaxrate"}, {"ioricost", "itaxrate"});
  };
  const auto charges = [](bool perVendor) {
    return col(kOmOrders, perVendor, "imakecharge", "ioricost") + ", " +
           col(kOmOrdersTax, perVendor, "isnull(inventory.itaxrate,0)", "itaxrate");
  };
  for (int voucher : {1, 2})
    run({
        {voucher, kPriceList, "发票", true, "V'1", {}, kSpecial, blanks},
        {voucher, kByHand, "订单", true, "V'1", {}, "", blanks},
        {voucher, kLatest, "订单", false, "V'1", {}, "", charges(false)},
        {voucher, kLatest, "订单", true, "V'1", {}, "", charges(true)},
        {voucher, kLatest, "到货单", true, "V'1", {}, "", ""},
        {voucher, kLatest, "发票", true, "V'1", {}, kSpecial, blanks},
        {voucher, kLatest, "发票", true, "V'1", "11", kSpecial, invoices(true, "ioricost")},
        {voucher, kLatest, "发票", false, "V'1", "11", "普通发票", invoices(false, "ioricost*(1+itaxrate/100)")},
        {voucher, kLatest, "发票", false, "V'1", "12", kSpecial, invoices(false, kWithoutTax)},
        {voucher, kLatest, "发票", false, "V'1", "02", "", invoices(false, "ioricost")},
        {voucher, "其他", "发票", true, "V'1", {}, kSpecial, ""},
    });
}

}  // namespace
}  // namespace tallyward
