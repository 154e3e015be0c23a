// Order head entry on a real ERP database, one case per line (look-ups, refusals, replies, rights,
// rates, whole passes); then the errors the caller receives and the order code check.
#include "support/erp_fixture.h"

namespace tallyward::test {
namespace {

class HpoHead : public EntryTest<ClsS_VerifyHPO> {
 protected:
  HpoHead() {
    headMasterData();
    sql(R"(
      INSERT INTO Vendor (cVenCode, cVenAbbName, cVenDepart, cVenPPerson, cVenPayCond, cVenIType) VALUES
        ('V001', '华东精工', '01', '0001', '01', '01'), ('V002', 'O''Brien & <Co>', NULL, NULL, NULL, NULL);
      INSERT INTO Vendor (cVenCode, cVenAbbName, dEndDate) VALUES ('V009', '东方五金', '2025-12-31 00:00:00');
      INSERT INTO PO_Pomain (POID, cPOID, cVerifier, cCloser) VALUES
        (1, 'CG01', '李娜', NULL), (2, 'CG02', NULL, NULL), (3, 'CG03', '李娜', '李娜'), (4, 'CG04', '', NULL);
    )");
  }
};

const char* const kVendor = "供应商录入不正确或已经停用，请检查！";
const Attributes kDay{{"dpodate", "2026-03-02T00:00:00"}, {"cexch_name", "USD"}};

const EntryCase kCases[] = {
    {"VendorByName", "cVenAbbName", {{"cvenabbname", "华东精工"}}, {}, "",
     {{"cVenCode", "V001"}, {"cVenAbbName", "华东精工"}, {"csccode", "01"}, {"cscname", "汽运"}, {"cPersonName", "王磊"}, {"cPayName", "货到付款"}, {"cvendefine16", ""}},
     35},
    {"VendorWithApostrophe", "cvenabbname", {{"cvenabbname", "O'Brien & <Co>"}}, {}, "",
     {{"cVenCode", "V002"}, {"cVenAbbName", "O'Brien & <Co>"}}, 35},
    {"VendorCleared", "cvenabbname", {{"cvenabbname", ""}}, {}, "", {{"cVenCode", ""}, {"cVenAbbName", ""}, {"cPayName", ""}}, 35},
    // Only the columns of the plain person list, without the department.
    {"SalesmanCleared", "cpersonname", {{"cpersonname", ""}}, {}, "", {{"cPersonCode", ""}, {"cPersonName", ""}}},
    {"ShippingByName", "cscname", {{"cscname", "汽运"}}, {}, "", {{"cSCCode", "01"}, {"cSCName", "汽运"}}, 2},
    {"OrderDatePeriodRate", "dpodate", {{"dpodate", "2026-03-20T00:00:00"}, {"cexch_name", "美元"}}, {}, "", {{"nflat", "7.02"}},
     -1, CS, 1, {}, setTo("iXchgRateStl", "True")},
    {"OrderDateEmpty", "dpodate", {{"dpodate", ""}, {"cexch_name", "美元"}}},
    {"Currency", "cexch_name", kDay, {}, "", {{"cexch_name", "美元"}, {"cexch_code", "USD"}, {"nflat", "7.0156"}}},
    {"CurrencyCleared", "cexch_name", {{"cexch_name", ""}}, {}, "", {{"cexch_name", ""}, {"cexch_code", ""}, {"nflat", ""}}},
    // Whole passes look everything up, fill nothing in and leave the order date alone.
    {"WholePassBS", "all", {{"cvenabbname", "V009"}, {"cdepname", "03"}, {"cpersonname", "张三"}, {"cscname", "空运"}, {"cexch_name", "英镑"}},
     {}, std::string(kVendor) + "\r部门录入不正确或是非末级，请检查！\r业务员录入不正确，请检查！\r发运方式录入不正确，请检查！\r"
     "外币录入不正确，请检查！\r", {}, -1, BS},
    {"WholePassFillsNothing", "all", with(kDay, {{"cvenabbname", "V001"}, {"cdepname", ""}, {"cpersonname", "王磊"}})},
};

TEST_P(HpoHead, Case) { run(GetParam()); }
INSTANTIATE_TEST_SUITE_P(Order, HpoHead, ::testing::ValuesIn(kCases), entryName);

TEST_F(HpoHead, RunTimeErrorsReachTheCaller) {
  EXPECT_EQ(errorNumber([&] { verifyHead("dpodate", {{"dpodate", "2026-13-45"}, {"cexch_name", "USD"}}); }), err::TypeMismatch);
  sql("DELETE FROM accinformation WHERE cName='iXchgRateStl'");
  EXPECT_EQ(errorNumber([&] { verifyHead("dpodate", kDay); }), err::NoCurrentRecord);
  obj.m_Cnn.reset();
  EXPECT_EQ(errorNumber([&] { verifyHead("cdepname", {{"cdepname", "01"}}); }), err::ObjectNotSet);
  EXPECT_EQ(errorNumber([&] { verifyHead("csomething", {{"cdepname", "01"}}); }), 0);  // a key no rule names asks nothing
}

TEST_F(HpoHead, OrderCodeNamesAnAuditedOpenPurchaseOrder) {
  const std::pair<const char*, bool> cases[] = {
      {"CG01", true}, {"cg01", true}, {"CG02", false}, {"CG03", false}, {"CG04", false},
      {"CG99", false}, {"x' OR '1'='1", false}, {"", false}};
  for (const auto& [code, open] : cases) EXPECT_EQ(obj.bVerifyPoCode(code), open) << code;
  obj.m_Cnn.reset();
  EXPECT_FALSE(obj.bVerifyPoCode("CG01"));
}

}  // namespace
}  // namespace tallyward::test
