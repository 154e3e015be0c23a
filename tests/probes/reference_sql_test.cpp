#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "common/reference_sql.h"
#include "probes/probe_fixture.h"

namespace tallyward {
namespace {

using test::errorNumber;

// ---- Fixed lists ------------------------------------------------------------------------------------

const std::string kVendorDefines =
    "cvendefine1,cvendefine2,cvendefine3,cvendefine4,cvendefine5,cvendefine6,cvendefine7,cvendefine8,"
    "cvendefine9,cvendefine10,cvendefine11,cvendefine12,cvendefine13,cvendefine14,cvendefine15,"
    "cvendefine16 FROM Vendor ";

TEST(ReferenceLists, FixedListsAreExactAndNeedNoConnection) {
  const struct { int voucher; int kind; std::string expected; } cases[] = {
      {0, 1, "SELECT cWhCode ,cWhName from WareHouse"},
      {3, 1, "SELECT cWhCode ,cWhName from WareHouse"},
      {0, 2,
       "SELECT cVenCode,cVenAbbName,cVenIAddress as cArrivalPlace,cVenPostCode,cVenAccount,cVenBank,"
       "cVenRegCode,cVenPerson,cVenPhone,cVenAddress,cVenFax,vendor.cvenitype as csccode,"
       "shippingchoice.cscname,vendor.cVenDepart as cDepCode,Department.cDepName,vendor.cVenPPerson as "
       "cPersonCode,Person.cPersonName,vendor.cVenPayCond As cPayCode,PayCondition.cPayName," +
           kVendorDefines +
           "left join department on vendor.cvendepart=department.cdepcode left join person on "
           "vendor.cvenpperson=person.cpersoncode left join paycondition on "
           "vendor.cvenpaycond=paycondition.cpaycode left join shippingchoice on "
           "vendor.cvenitype=shippingchoice.csccode"},
      {1, 2, "SELECT cVenCode as cUnitCode,cVenAbbName FROM Vendor "},
      {2, 2, "SELECT cVenCode as cUnitCode,cVenAbbName FROM Vendor "},
      {3, 2,
       "SELECT cVenCode,cVenAbbName,cVenPostCode,cVenAccount,cVenBank,cVenRegCode,cVenPerson,cVenPhone,"
       "cVenAddress,cVenFax," + kVendorDefines},
      {4, 2, "SELECT cVenCode,cVenAbbName FROM Vendor "},
      {5, 2, ""},
      {-1, 2, ""},
      {1, 3,
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
      {0, 4, "SELECT cDepCode,cDepName FROM Department"},
      {0, 6, "SELECT cPTCode,cPTName FROM PurchaseType"},
      {0, 8, "SELECT cSCCode,cSCName FROM ShippingChoice"},
      {0, 9, "SELECT cPayCode,cPayName FROM PayCondition"},
      {0, 11, "SELECT cexch_name,cexch_code FROM ForeignCurrency"},
      {1, 12, "SELECT cAlias,cValue FROM UserDefine"},
      {0, 15,
       "SELECT PP_PPCMain.iState from PP_PPCMain Left Join PO_POMain ON PP_PPCMain.cPeriod = "
       "PO_POMain.cPeriod"},
      {1, 16,
       "SELECT cComUnitCode as cUnitId,cComUnitName as cInvA_Unit,iChangRate as iInvExchRate from "
       "ComputationUnit"},
      {0, 17, "SELECT cAccountPID,cAccountPName FROM AccountPeriod "},
      {0, 7, ""},  {0, 10, ""}, {0, 13, ""}, {0, 14, ""}, {0, 18, ""}, {0, 99, ""}, {0, -1, ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(BuildReferenceSql(c.voucher, c.kind, nullptr, "V'1", "0", "I'1", "", ""), c.expected)
        << "voucher " << c.voucher << " kind " << c.kind;
}

TEST(ReferenceLists, PersonsJoinTheirDepartmentOnlyForADepartmentThatIsNotBlank) {
  const std::string withDepartment =
      "SELECT cPersonCode,cPersonName,Person.cDepCode,Department.cDepName FROM Person left join "
      "Department on Person.cDepCode = Department.cDepCode ";
  const std::string plain = "SELECT cPersonCode,cPersonName FROM Person ";
  const struct { const char* dep; const std::string& expected; } cases[] = {
      {"D01", withDepartment}, {" D ", withDepartment}, {"", plain}, {"   ", plain},
  };
  for (const auto& c : cases)
    EXPECT_EQ(BuildReferenceSql(0, 5, nullptr, "", "", "", "", c.dep), c.expected) << "'" << c.dep << "'";
}

// ---- Inventory list ---------------------------------------------------------------------------------

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

const std::string kEditModeSql = "select cValue from accinformation where cname='cOtherCostEditMode'";
const std::string kSourceSql = "select cValue from accinformation where cname='cCostSource'";
const std::string kAccordSql = "select cValue from accinformation where csysid='pu' and cname='bAccordVen'";

const std::string kDefineTail =
    "cInvDefine9,cInvDefine10,cInvDefine11,cInvDefine12,cInvDefine13,cInvDefine14,cInvDefine15,"
    "cInvDefine16,";
const std::string kHeads[] = {
    "SELECT Inventory.cInvCode,venandinv.cVenInvCode,cInvCCode,cInvAddcode,cInvName,cInvStd,cInvDefine1,"
    "cInvDefine2,cInvDefine3,cInvDefine4,cInvDefine5,cInvDefine6,cInvDefine7,cInvDefine8,",
    "SELECT Inventory.cInvCode,venandinv.cVenInvCode,cInvCCode,cInvAddcode,cInvName,cInvStd,bInvType,"
    "bService,cInvDefine1,cInvDefine2,cInvDefine3,cInvDefine4,cInvDefine5,cInvDefine6,cInvDefine7,"
    "cInvDefine8,",
    "SELECT Inventory.cInvCode,venandinv.cVenInvCode,cInvCCode,cInvAddcode,cInvName,cInvStd,bInvType,"
    "bService,cInvDefine1,cInvDefine2,cInvDefine3,cInvDefine4,cInvDefine5,cInvDefine6,cInvDefine7,"
    "cInvDefine8,",
    "SELECT Inventory.cInvCode,venandinv.cVenInvCode,cInvCCode,cInvAddcode,cInvName,cInvStd,iMassDate,"
    "(case bPropertyCheck when 1 then '是' else '否' end) as bgsp,cInvDefine1,cInvDefine2,cInvDefine3,"
    "cInvDefine4,cInvDefine5,cInvDefine6,cInvDefine7,cInvDefine8,",
};
const std::string kMainUnit =
    "(select cComUnitName from ComputationUnit where ComputationUnit.cComUnitCode = Inventory.cComUnitCode ) "
    "as cinvm_unit,";
const std::string kUnits0 = "'' as Cunitid," + kMainUnit + "'' as cinva_unit, '' as iinvexchrate ";

// The composed statement as the checks receive it.
std::string inventorySql(int voucher, const std::string& units, const std::string& prices,
                         const std::string& vendor = "V''1") {
  return kHeads[voucher] + kDefineTail + "Inventory.iGroupType," + units +
         (prices.empty() ? "" : "," + prices + " ") +
         "From Inventory Left join venandinv on Inventory.cInvCode=venandinv.cInvCode and venandinv.cvencode='" +
         vendor + "'";
}

TEST_F(InventoryList, WholeStatementOfAnOrderFromThePriceList) {
  settings("取自供应商存货价格表价格", "订单");
  EXPECT_EQ(
      BuildReferenceSql(0, 0, cnn.get(), "V01", "0", "A01", "", ""),
      "SELECT Inventory.cInvCode,venandinv.cVenInvCode,cInvCCode,cInvAddcode,cInvName,cInvStd,cInvDefine1,"
      "cInvDefine2,cInvDefine3,cInvDefine4,cInvDefine5,cInvDefine6,cInvDefine7,cInvDefine8,cInvDefine9,"
      "cInvDefine10,cInvDefine11,cInvDefine12,cInvDefine13,cInvDefine14,cInvDefine15,cInvDefine16,"
      "Inventory.iGroupType,'' as Cunitid,(select cComUnitName from ComputationUnit where "
      "ComputationUnit.cComUnitCode = Inventory.cComUnitCode ) as cinvm_unit,'' as cinva_unit, '' as "
      "iinvexchrate ,'' as iunitprice, '' as itaxprice, Inventory.iTaxRate as ipertaxrate From Inventory "
      "Left join venandinv on Inventory.cInvCode=venandinv.cInvCode and venandinv.cvencode='V01'");
  EXPECT_EQ(sent(), (std::vector<std::string>{kEditModeSql, kSourceSql}));
}

TEST_F(InventoryList, WithoutPriceColumnsTheUnitsAreFollowedByTheFrom) {
  settings("其他方式", "订单");
  EXPECT_EQ(BuildReferenceSql(0, 0, cnn.get(), "V01", "0", "A01", "", ""),
            kHeads[0] + kDefineTail + "Inventory.iGroupType,'' as Cunitid," + kMainUnit +
                "'' as cinva_unit, '' as iinvexchrate From Inventory Left join venandinv on "
                "Inventory.cInvCode=venandinv.cInvCode and venandinv.cvencode='V01'");
}

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
  };
  settings("其他方式", "订单");
  for (int voucher : {0, 1, 2, 3})
    for (const auto& c : cases)
      EXPECT_EQ(BuildReferenceSql(voucher, 0, cnn.get(), "V'1", c.mode, "I'1", "", ""),
                inventorySql(voucher, c.units, ""))
          << "voucher " << voucher << " mode " << c.mode;
}

TEST_F(InventoryList, UnitModeOutsideTheThreeGivesNothingAndTextIsAnError) {
  settings("手工录入", "订单");
  EXPECT_EQ(BuildReferenceSql(0, 0, cnn.get(), "V01", "3", "A01", "", ""), "");
  EXPECT_EQ(BuildReferenceSql(3, 0, cnn.get(), "V01", "-1", "A01", "", ""), "");
  EXPECT_EQ(errorNumber([&] { BuildReferenceSql(0, 0, cnn.get(), "V01", "abc", "A01", "", ""); }),
            err::TypeMismatch);
  EXPECT_EQ(errorNumber([&] { BuildReferenceSql(1, 0, cnn.get(), "V01", "", "A01", "", ""); }),
            err::TypeMismatch);
}

TEST_F(InventoryList, RequisitionListIsFixedAndReadsNoSetting) {
  const std::string expected =
      "SELECT Inventory.cInvCode,venandinv.cVenInvCode,cInvCCode,cInvAddcode,cInvName,cInvStd,"
      "ComputationUnit.cComUnitName as cinvm_unit,cInvDefine1,cInvDefine2,cInvDefine3,cInvDefine4,"
      "cInvDefine5,cInvDefine6,cInvDefine7,cInvDefine8,cInvDefine9,cInvDefine10,cInvDefine11,cInvDefine12,"
      "cInvDefine13,cInvDefine14,cInvDefine15,cInvDefine16,iTaxRate as iPerTaxRate  From Inventory left "
      "join ComputationUnit on  ComputationUnit.cComUnitCode = Inventory.cComUnitCode Left join venandinv "
      "on Inventory.cInvCode=venandinv.cInvCode and venandinv.cvencode='x'' OR ''1''=''1'";
  EXPECT_EQ(BuildReferenceSql(4, 0, cnn.get(), "x' OR '1'='1", "2", "A01", "委外专用发票", "D01"), expected);
  EXPECT_EQ(BuildReferenceSql(4, 0, nullptr, "x' OR '1'='1", "abc", "", "", ""), expected);
  EXPECT_TRUE(sent().empty());
}

TEST_F(InventoryList, UnknownVoucherKindGivesNothingWithoutAsking) {
  EXPECT_EQ(BuildReferenceSql(5, 0, cnn.get(), "V01", "0", "A01", "", ""), "");
  EXPECT_EQ(BuildReferenceSql(-1, 0, cnn.get(), "V01", "0", "A01", "", ""), "");
  EXPECT_TRUE(sent().empty());
}

TEST_F(InventoryList, MissingSettingsAndConnectionAreErrors) {
  EXPECT_EQ(errorNumber([&] { BuildReferenceSql(0, 0, nullptr, "V01", "0", "A01", "", ""); }),
            err::ObjectNotSet);

  // No rows at all: the cost edit mode is missing.
  EXPECT_EQ(errorNumber([&] { BuildReferenceSql(0, 0, cnn.get(), "V01", "0", "A01", "", ""); }), 3021);
  EXPECT_EQ(sent(), (std::vector<std::string>{kEditModeSql}));

  driver->sent.clear();
  answer("cOtherCostEditMode", {"cValue"}, {{Variant("最新价格")}});
  EXPECT_EQ(errorNumber([&] { BuildReferenceSql(3, 0, cnn.get(), "V01", "0", "A01", "", ""); }), 3021);
  EXPECT_EQ(sent(), (std::vector<std::string>{kEditModeSql, kSourceSql}));
}

TEST_F(InventoryList, DatabaseErrorOfTheInvoiceProbeLeaves) {
  settings("最新价格", "发票");
  failOn("cpbvbilltype");
  for (int voucher : {0, 1, 3})
    EXPECT_EQ(errorNumber([&] { BuildReferenceSql(voucher, 0, cnn.get(), "V01", "0", "A01", "", ""); }),
              err::Database);
}

// ---- Latest-price decision tables ---------------------------------------------------------------------

// One latest-price column over a source, written from the templates of the ERP's sources with the
// item I'1 and, per vendor, the vendor V'1 (both escaped). {e} is the expression, {a} the alias.
enum class Src { PurchaseOrder, Arrival, PurchaseInvoice, OmInvoice, OmOrder, OmOrderTax };

std::string col(Src src, bool perVendor, const std::string& expression, const std::string& alias) {
  std::string s;
  switch (src) {
    case Src::PurchaseOrder:
      s = perVendor ? "(select top 1 {e} from po_podetails inner join po_pomain on po_pomain.poid=po_podetails.poid "
                      "where po_podetails.cInvCode = 'I''1' and po_pomain.cvencode='V''1' order by po_podetails.id "
                      "desc) as {a}"
                    : "(select top 1 {e} from po_podetails where po_podetails.cInvCode = 'I''1' order by "
                      "po_podetails.id desc) as {a}";
      break;
    case Src::Arrival:
      s = perVendor ? "(select top 1 {e} from pu_arrivalvouchs inner join pu_arrivalvouch on "
                      "pu_arrivalvouch.id=pu_arrivalvouchs.id where pu_arrivalvouchs.cInvCode = 'I''1' and "
                      "pu_arrivalvouch.cvencode='V''1' order by pu_arrivalvouchs.autoid desc) as {a}"
                    : "(select top 1 {e} from pu_arrivalvouchs where pu_arrivalvouchs.cInvCode = 'I''1' order by "
                      "pu_arrivalvouchs.autoid desc) as {a}";
      break;
    case Src::PurchaseInvoice:
      s = perVendor ? "(select top 1 {e} from purbillvouchs inner join purbillvouch on "
                      "purbillvouch.pbvid=purbillvouchs.pbvid where purbillvouchs.cInvCode = 'I''1' and "
                      "purbillvouch.cvencode='V''1' order by purbillvouchs.id desc) as {a}"
                    : "(select top 1 {e} from purbillvouchs where purbillvouchs.cInvCode = 'I''1' order by "
                      "purbillvouchs.id desc) as {a}";
      break;
    case Src::OmInvoice:
      s = perVendor ? "(select top 1 {e} from om_purbillvouchs inner join om_purbillvouch on "
                      "om_purbillvouch.pbvid=om_purbillvouchs.pbvid where om_purbillvouchs.cInvCode = 'I''1' and "
                      "om_purbillvouch.cvencode='V''1' order by om_purbillvouchs.id desc) as {a}"
                    : "(select top 1 {e} from om_purbillvouchs where om_purbillvouchs.cInvCode = 'I''1' order by "
                      "om_purbillvouchs.id desc) as {a}";
      break;
    case Src::OmOrder:
      s = perVendor ? "(select top 1 {e} from om_pomain inner join om_productpo on om_productpo.id=om_pomain.id "
                      "where om_pomain.cInvCode = 'I''1' and om_productpo.cvencode='V''1' order by "
                      "om_pomain.mainid desc) as {a}"
                    : "(select top 1 {e} from om_pomain where om_pomain.cInvCode = 'I''1' order by "
                      "om_pomain.mainid desc) as {a}";
      break;
    case Src::OmOrderTax:
      s = perVendor ? "(select top 1 {e} from om_pomain inner join om_productpo on om_productpo.id=om_pomain.id "
                      "left join inventory on om_pomain.cinvcode=inventory.cinvcode where om_pomain.cInvCode = "
                      "'I''1' and om_productpo.cvencode='V''1' order by om_pomain.mainid desc) as {a}"
                    : "(select top 1 {e} from om_pomain left join inventory on om_pomain.cinvcode=inventory.cinvcode "
                      "where om_pomain.cInvCode = 'I''1' order by om_pomain.mainid desc) as {a}";
      break;
  }
  s.replace(s.find("{e}"), 3, expression);
  s.replace(s.find("{a}"), 3, alias);
  return s;
}

std::string cols(Src src, bool perVendor, const std::vector<std::string>& expressions,
                 const std::vector<std::string>& aliases) {
  std::string s;
  for (size_t i = 0; i < expressions.size(); ++i)
    s += (i ? ", " : "") + col(src, perVendor, expressions[i], aliases[i]);
  return s;
}

const std::vector<std::string> kOrderAliases{"iunitprice", "itaxprice", "ipertaxrate"};
const std::vector<std::string> kArrivalAliases{"ioricost", "ioritaxcost", "itaxrate"};
const std::string kWithTax = "ioricost * (1+itaxrate/100)";
const std::string kWithoutTax = "ioricost/(1+itaxrate/100)";

const std::string kPurchaseProbe =
    "select top 1 purbillvouch.cpbvbilltype from purbillvouch inner join purbillvouchs on "
    "purbillvouch.pbvid=purbillvouchs.pbvid where purbillvouchs.cInvCode = 'I''1' order by purbillvouchs.id desc";
const std::string kPurchaseProbeVendor =
    "select top 1 purbillvouch.cpbvbilltype from purbillvouch inner join purbillvouchs on "
    "purbillvouch.pbvid=purbillvouchs.pbvid where purbillvouchs.cInvCode = 'I''1' and "
    "purbillvouch.cvencode='V''1' order by purbillvouchs.id desc";
const std::string kOmProbe =
    "select top 1 om_purbillvouch.cpbvbilltype from om_purbillvouch inner join om_purbillvouchs on "
    "om_purbillvouch.pbvid=om_purbillvouchs.pbvid where om_purbillvouchs.cInvCode = 'I''1' order by "
    "om_purbillvouchs.id desc";
const std::string kOmProbeVendor =
    "select top 1 om_purbillvouch.cpbvbilltype from om_purbillvouch inner join om_purbillvouchs on "
    "om_purbillvouch.pbvid=om_purbillvouchs.pbvid where om_purbillvouchs.cInvCode = 'I''1' and "
    "om_purbillvouch.cvencode='V''1' order by om_purbillvouchs.id desc";

// The latest invoice's type: none, a Null type, or a text.
struct InvoiceType {
  bool exists = false;
  std::optional<std::string> type;
};
const InvoiceType kNoInvoice{};
InvoiceType invoice(std::string type) { return {true, std::move(type)}; }
const InvoiceType kNullType{true, std::nullopt};

struct PriceRow {
  int voucher;
  std::optional<std::string> editMode;  // nullopt: Null in the settings row
  std::optional<std::string> source;
  bool accord;
  std::string vendor;
  InvoiceType latestInvoice;
  std::string billType;
  std::string prices;
  std::vector<std::string> statements;  // after the two settings reads
};

const std::string kLatest = "最新价格";
const std::string kPriceList = "取自供应商存货价格表价格";
const std::string kByHand = "手工录入";

// Each row: scripted settings and latest invoice, then the whole statement and what was sent.
class PriceTables : public InventoryList {
 protected:
  void runRows(const std::vector<PriceRow>& rows);
};

TEST_F(PriceTables, OrderPrices) {
  const std::string priceList = "'' as iunitprice, '' as itaxprice, Inventory.iTaxRate as ipertaxrate";
  const std::vector<PriceRow> rows = {
      {0, kPriceList, "到货单", true, "V'1", kNoInvoice, "", priceList, {}},
      {0, kByHand, "发票", true, "V'1", kNoInvoice, "", priceList, {}},
      {0, std::nullopt, "发票", true, "V'1", kNoInvoice, "", priceList, {}},  // Null mode: by hand
      {0, kLatest, "订单", false, "V'1", kNoInvoice, "",
       cols(Src::PurchaseOrder, false, {"iunitprice", "itaxprice", "ipertaxrate"}, kOrderAliases), {kAccordSql}},
      {0, kLatest, "订单", true, "V'1", kNoInvoice, "",
       cols(Src::PurchaseOrder, true, {"iunitprice", "itaxprice", "ipertaxrate"}, kOrderAliases), {kAccordSql}},
      {0, kLatest, "订单", true, "", kNoInvoice, "",
       cols(Src::PurchaseOrder, false, {"iunitprice", "itaxprice", "ipertaxrate"}, kOrderAliases), {kAccordSql}},
      {0, kLatest, std::nullopt, false, "V'1", kNoInvoice, "",  // Null source: orders
       cols(Src::PurchaseOrder, false, {"iunitprice", "itaxprice", "ipertaxrate"}, kOrderAliases), {kAccordSql}},
      {0, kLatest, "到货单", true, "V'1", kNoInvoice, "",
       cols(Src::Arrival, true, {"ioricost", "ioritaxcost", "pu_arrivalvouchs.itaxrate"}, kOrderAliases),
       {kAccordSql}},
      {0, kLatest, "到货单", false, "V'1", kNoInvoice, "",
       cols(Src::Arrival, false, {"ioricost", "ioritaxcost", "pu_arrivalvouchs.itaxrate"}, kOrderAliases),
       {kAccordSql}},
      {0, kLatest, "发票", false, "V'1", kNoInvoice, "", priceList, {kAccordSql, kPurchaseProbe}},
      {0, kLatest, "发票", true, "V'1", invoice("01"), "",
       cols(Src::PurchaseInvoice, true, {"ioricost", kWithTax, "itaxrate"}, kOrderAliases),
       {kAccordSql, kPurchaseProbeVendor}},
      {0, kLatest, "发票", false, "V'1", invoice("02"), "",
       cols(Src::PurchaseInvoice, false, {kWithoutTax, "ioricost", "itaxrate"}, kOrderAliases),
       {kAccordSql, kPurchaseProbe}},
      {0, kLatest, "发票", true, "V'1", invoice("11"), "",
       cols(Src::OmInvoice, true, {"ioricost", kWithTax, "itaxrate"}, kOrderAliases),
       {kAccordSql, kPurchaseProbeVendor}},
      {0, kLatest, "发票", false, "V'1", invoice("12"), "",
       cols(Src::OmInvoice, false, {kWithoutTax, "ioricost", "itaxrate"}, kOrderAliases),
       {kAccordSql, kPurchaseProbe}},
      {0, kLatest, "发票", false, "V'1", invoice("21"), "", "", {kAccordSql, kPurchaseProbe}},
      {0, kLatest, "发票", false, "V'1", kNullType, "", "", {kAccordSql, kPurchaseProbe}},
      {0, kLatest, "其他", true, "V'1", kNoInvoice, "", "", {kAccordSql}},
      {0, "最新价", "订单", true, "V'1", kNoInvoice, "", "", {}},
      {0, "", "订单", true, "V'1", kNoInvoice, "", "", {}},
  };
  runRows(rows);
}

TEST_F(PriceTables, ArrivalPrices) {
  const std::string blanks = "'' as ioricost, '' as ioritaxcost, Inventory.iTaxRate as itaxrate";
  const std::vector<PriceRow> rows = {
      {3, kPriceList, "发票", true, "V'1", kNoInvoice, "",
       "'' as iunitprice, '' as itaxprice, Inventory.iTaxRate as itaxrate", {}},
      {3, kByHand, "发票", true, "V'1", kNoInvoice, "", blanks, {}},
      {3, std::nullopt, "订单", true, "V'1", kNoInvoice, "", blanks, {}},
      {3, kLatest, "订单", true, "V'1", kNoInvoice, "",
       cols(Src::PurchaseOrder, true, {"iunitprice", "itaxprice", "ipertaxrate"}, kArrivalAliases), {kAccordSql}},
      {3, kLatest, "到货单", false, "V'1", kNoInvoice, "",
       cols(Src::Arrival, false, {"ioricost", "ioritaxcost", "pu_arrivalvouchs.itaxrate"}, kArrivalAliases),
       {kAccordSql}},
      {3, kLatest, "发票", true, "V'1", kNoInvoice, "", blanks, {kAccordSql, kOmProbeVendor}},
      {3, kLatest, "发票", true, "V'1", invoice("11"), "",
       cols(Src::OmInvoice, true, {"ioricost", kWithTax, "itaxrate"}, kArrivalAliases),
       {kAccordSql, kOmProbeVendor}},
      {3, kLatest, "发票", false, "V'1", invoice("12"), "",
       cols(Src::OmInvoice, false, {kWithoutTax, "ioricost", "itaxrate"}, kArrivalAliases),
       {kAccordSql, kOmProbe}},
      {3, kLatest, "发票", false, "V'1", invoice("01"), "",
       cols(Src::OmInvoice, false, {kWithoutTax, "ioricost", "itaxrate"}, kArrivalAliases),
       {kAccordSql, kOmProbe}},
      {3, kLatest, "发票", true, "", kNullType, "",
       cols(Src::OmInvoice, false, {kWithoutTax, "ioricost", "itaxrate"}, kArrivalAliases),
       {kAccordSql, kOmProbe}},
      {3, kLatest, "入库单", true, "V'1", kNoInvoice, "", "", {kAccordSql}},
      {3, "其他", "订单", true, "V'1", kNoInvoice, "", "", {}},
  };
  runRows(rows);
}

TEST_F(PriceTables, InvoicePrices) {
  const std::string blanks = "'' as ioricost, Inventory.iTaxRate as itaxrate";
  const std::string special = "委外专用发票";
  const std::vector<std::string> aliases{"ioricost", "itaxrate"};
  const auto omInvoice = [&](bool perVendor, const std::string& cost) {
    return cols(Src::OmInvoice, perVendor, {cost, "itaxrate"}, aliases);
  };
  const auto omOrder = [](bool perVendor) {
    return col(Src::OmOrder, perVendor, "imakecharge", "ioricost") + ", " +
           col(Src::OmOrderTax, perVendor, "isnull(inventory.itaxrate,0)", "itaxrate");
  };
  std::vector<PriceRow> rows;
  for (int voucher : {1, 2}) {
    const std::vector<PriceRow> kindRows = {
        {voucher, kPriceList, "发票", true, "V'1", kNoInvoice, special, blanks, {}},
        {voucher, kByHand, "订单", true, "V'1", kNoInvoice, "", blanks, {}},
        {voucher, std::nullopt, "订单", true, "V'1", kNoInvoice, "", blanks, {}},
        {voucher, kLatest, "订单", false, "V'1", kNoInvoice, "", omOrder(false), {kAccordSql}},
        {voucher, kLatest, std::nullopt, true, "V'1", kNoInvoice, "", omOrder(true), {kAccordSql}},
        {voucher, kLatest, "订单", true, "", kNoInvoice, "", omOrder(false), {kAccordSql}},
        {voucher, kLatest, "到货单", true, "V'1", kNoInvoice, "", "", {kAccordSql}},
        {voucher, kLatest, "发票", true, "V'1", kNoInvoice, special, blanks, {kAccordSql, kOmProbeVendor}},
        {voucher, kLatest, "发票", true, "V'1", invoice("11"), special, omInvoice(true, "ioricost"),
         {kAccordSql, kOmProbeVendor}},
        {voucher, kLatest, "发票", false, "V'1", invoice("11"), "普通发票",
         omInvoice(false, "ioricost*(1+itaxrate/100)"), {kAccordSql, kOmProbe}},
        {voucher, kLatest, "发票", false, "V'1", invoice("12"), special, omInvoice(false, kWithoutTax),
         {kAccordSql, kOmProbe}},
        {voucher, kLatest, "发票", false, "V'1", invoice("02"), "", omInvoice(false, "ioricost"),
         {kAccordSql, kOmProbe}},
        {voucher, "其他", "发票", true, "V'1", kNoInvoice, special, "", {}},
    };
    rows.insert(rows.end(), kindRows.begin(), kindRows.end());
  }
  runRows(rows);
}

void PriceTables::runRows(const std::vector<PriceRow>& rows) {
  for (size_t i = 0; i < rows.size(); ++i) {
    const PriceRow& r = rows[i];
    driver->answers.clear();
    driver->sent.clear();
    if (r.latestInvoice.exists)
      answer("cpbvbilltype", {"cpbvbilltype"},
               {{r.latestInvoice.type ? Variant(*r.latestInvoice.type) : Variant::null()}});
    settings(r.editMode, r.source, r.accord);

    const std::string got = BuildReferenceSql(r.voucher, 0, cnn.get(), r.vendor, "0", "I'1", r.billType, "");
    const std::string vendor = r.vendor.empty() ? "" : "V''1";
    EXPECT_EQ(got, inventorySql(r.voucher, kUnits0, r.prices, vendor)) << "row " << i;

    std::vector<std::string> statements{kEditModeSql, kSourceSql};
    statements.insert(statements.end(), r.statements.begin(), r.statements.end());
    EXPECT_EQ(driver->sent, statements) << "row " << i;
  }
}

}  // namespace
}  // namespace tallyward
