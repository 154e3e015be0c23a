// Order head entry on a real ERP database: look-ups by name and code, refusals, data rights,
// clearing and value replies, the exchange rate of the order date, and the order code check.
#include "hpo_fixture.h"

namespace tallyward::test {
namespace {

class HpoHead : public HpoTest {
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

  std::string check(const std::string& key, const Attributes& row) {
    doc = head(row);
    return hpo.VerifyHead(key, *doc);
  }

  std::shared_ptr<Document> doc;
};

struct LookupCase {
  const char* key;
  const char* field;
  const char* name;
  const char* code;
  Pairs firstPairs;
  const char* refusal;
};

class HeadLookups : public HpoHead, public ::testing::WithParamInterface<LookupCase> {};

TEST_P(HeadLookups, NameOrCodeFillsTheHeadAndAnythingElseIsRefused) {
  const LookupCase& c = GetParam();
  for (const char* typed : {c.name, c.code}) {
    EXPECT_EQ(check(c.key, {{c.field, typed}}), "") << typed;
    const Pairs pairs = pairsOf(*doc);
    ASSERT_GE(pairs.size(), c.firstPairs.size()) << typed;
    EXPECT_EQ(Pairs(pairs.begin(), pairs.begin() + static_cast<long>(c.firstPairs.size())), c.firstPairs);
  }
  EXPECT_EQ(check(c.key, {{c.field, "没有这个"}}), c.refusal);
  EXPECT_EQ(doc->replacements(), 0u);
  // Leaving the field empty clears every column the look-up fills.
  EXPECT_EQ(check(c.key, {{c.field, ""}}), "");
  const Pairs cleared = pairsOf(*doc);
  ASSERT_FALSE(cleared.empty());
  EXPECT_EQ(cleared.front().first, c.firstPairs.front().first);
  for (const auto& [k, v] : cleared) EXPECT_EQ(v, "") << k;
  // A whole pass looks the same values up without filling anything in.
  EXPECT_EQ(check("ALL", {{c.field, c.name}}), "");
  EXPECT_EQ(doc->replacements(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, HeadLookups,
    ::testing::Values(
        LookupCase{"cVenAbbName", "cvenabbname", "华东精工", "V001",
                   {{"cVenCode", "V001"}, {"cVenAbbName", "华东精工"}}, "供应商录入不正确或已经停用，请检查！"},
        LookupCase{"cdepname", "cdepname", "采购部", "01", {{"cDepCode", "01"}, {"cDepName", "采购部"}},
                   "部门录入不正确或是非末级，请检查！"},
        LookupCase{"cpayname", "cpayname", "货到付款", "01", {{"cPayCode", "01"}, {"cPayName", "货到付款"}},
                   "付款条件录入不正确，请检查！"},
        LookupCase{"cptname", "cptname", "生产采购", "01", {{"cPTCode", "01"}, {"cPTName", "生产采购"}},
                   "采购类型录入不正确，请检查！"},
        LookupCase{"cpersonname", "cpersonname", "王磊", "0001",
                   {{"cPersonCode", "0001"}, {"cPersonName", "王磊"}, {"cDepCode", "01"}, {"cDepName", "采购部"}},
                   "业务员录入不正确，请检查！"},
        LookupCase{"cscname", "cscname", "汽运", "01", {{"cSCCode", "01"}, {"cSCName", "汽运"}},
                   "发运方式录入不正确，请检查！"}));

TEST_F(HpoHead, StoppedVendorAndNonLeafDepartmentAreRefusedAlthoughTheyExist) {
  EXPECT_EQ(check("cvenabbname", {{"cvenabbname", "V009"}}), "供应商录入不正确或已经停用，请检查！");
  EXPECT_EQ(check("cdepname", {{"cdepname", "03"}}), "部门录入不正确或是非末级，请检查！");
}

TEST_F(HpoHead, VendorReplyCarriesTheVendorsDependentFieldsInStatementOrder) {
  ASSERT_EQ(check("cvenabbname", {{"cvenabbname", "华东精工"}}), "");
  const Pairs pairs = pairsOf(*doc);
  ASSERT_EQ(pairs.size(), 35u);
  EXPECT_EQ(pairs[11], (std::pair<std::string, std::string>{"csccode", "01"}));
  EXPECT_EQ(pairs[12], (std::pair<std::string, std::string>{"cscname", "汽运"}));
  EXPECT_EQ(pairs[16], (std::pair<std::string, std::string>{"cPersonName", "王磊"}));
  EXPECT_EQ(pairs[18], (std::pair<std::string, std::string>{"cPayName", "货到付款"}));
  EXPECT_EQ(pairs[34].first, "cvendefine16");
}

TEST_F(HpoHead, AnEmptySalesmanClearsOnlyTheColumnsOfThePlainPersonList) {
  ASSERT_EQ(check("cpersonname", {{"cpersonname", ""}}), "");
  EXPECT_EQ(doc->xml(), replyText("head", {{"cPersonCode", ""}, {"cPersonName", ""}}));
}

TEST_F(HpoHead, ApostrophesAreLookedUpAsTextAndRepliedIntact) {
  ASSERT_EQ(check("cvenabbname", {{"cvenabbname", "O'Brien & <Co>"}}), "");
  EXPECT_EQ(pairsOf(*doc)[1].second, "O'Brien & <Co>");
  EXPECT_EQ(check("cvenabbname", {{"cvenabbname", "x' OR '1'='1"}}), "供应商录入不正确或已经停用，请检查！");
}

struct RightCase {
  const char* key;
  const char* field;
  const char* typed;
  const char* sessionSwitch;
  const char* kind;
  const char* code;
  const char* refusal;
};

class HeadRights : public HpoHead, public ::testing::WithParamInterface<RightCase> {};

TEST_P(HeadRights, TheOperatorNeedsTheRightOnlyWhenTheSwitchIsOn) {
  const RightCase& c = GetParam();
  int created = 0;
  ScopedHostFactory counting(countingHost(cnn, created));
  EXPECT_EQ(check(c.key, {{c.field, c.typed}}), "");
  EXPECT_EQ(created, 0);

  info->set(c.sessionSwitch, true);
  EXPECT_EQ(check(c.key, {{c.field, c.typed}}), c.refusal);
  EXPECT_EQ(doc->replacements(), 0u);
  EXPECT_EQ(created, 1);
  hpo.m_UseMode = UseMode::BS;
  EXPECT_EQ(check("all", {{c.field, c.typed}}), std::string(c.refusal) + "\r");

  sql(std::string("INSERT INTO tw_data_right VALUES ('demo', '") + c.kind + "', '" + c.code + "', 'W')");
  EXPECT_EQ(check(c.key, {{c.field, c.typed}}), "");
  EXPECT_EQ(doc->replacements(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, HeadRights,
    ::testing::Values(RightCase{"cvenabbname", "cvenabbname", "华东精工", "bCheckVendorAuth", "Vendor", "V001",
                                "对不起，您没有录入该供应商的权限！"},
                      RightCase{"cdepname", "cdepname", "采购部", "bCheckDepartAuth", "Department", "01",
                                "对不起，您没有录入该部门的权限！"},
                      RightCase{"cpersonname", "cpersonname", "王磊", "bCheckPersonAuth", "Person", "0001",
                                "对不起，您没有录入该业务员的权限！"}));

TEST_F(HpoHead, WholePassCollectsInBrowserModeAndStopsAtTheFirstInClientMode) {
  const Attributes row{{"cvenabbname", "无名"}, {"cexch_name", "英镑"}, {"dpodate", "2026-03-02T00:00:00"}};
  hpo.m_UseMode = UseMode::BS;
  EXPECT_EQ(check("all", row), "供应商录入不正确或已经停用，请检查！\r外币录入不正确，请检查！\r");
  hpo.m_UseMode = UseMode::CS;
  EXPECT_EQ(check("all", row), "供应商录入不正确或已经停用，请检查！");
  EXPECT_EQ(check("all", with(row, {{"cvenabbname", "V001"}, {"cexch_name", "USD"}})), "");
  EXPECT_EQ(doc->replacements(), 0u);
  EXPECT_FALSE(sentContaining("select ISNULL(t2.nflat,1) AS nflat From"));  // no order-date rule
}

TEST_F(HpoHead, OrderDateFillsTheDaysRateOrOne) {
  EXPECT_EQ(check("dpodate", {{"dpodate", "2026-03-02T00:00:00"}, {"cexch_name", "USD"}}), "");
  EXPECT_EQ(doc->xml(), replyText("head", {{"nflat", "7.0156"}}));
  EXPECT_EQ(check("dpodate", {{"dpodate", "2026-03-03"}, {"cexch_name", "美元"}}), "");
  EXPECT_EQ(pairsOf(*doc), (Pairs{{"nflat", "1"}}));
  // An unknown currency fills nothing; without a date or a currency nothing is asked.
  EXPECT_EQ(check("dpodate", {{"dpodate", "2026-03-02"}, {"cexch_name", "英镑"}}), "");
  EXPECT_EQ(doc->replacements(), 0u);
  cnn->clearStatements();
  EXPECT_EQ(check("dpodate", {{"dpodate", ""}, {"cexch_name", "美元"}}), "");
  EXPECT_TRUE(sent().empty());
}

TEST_F(HpoHead, PeriodRatesAreChosenByThePeriodOfTheDate) {
  setting("iXchgRateStl", "True");
  EXPECT_EQ(check("dpodate", {{"dpodate", "2026-03-20T00:00:00"}, {"cexch_name", "美元"}}), "");
  EXPECT_EQ(pairsOf(*doc), (Pairs{{"nflat", "7.02"}}));
}

TEST_F(HpoHead, CurrencyRepliesAndRefusals) {
  EXPECT_EQ(check("cexch_name", {{"cexch_name", "USD"}, {"dpodate", "2026-03-02T00:00:00"}}), "");
  EXPECT_EQ(doc->xml(), replyText("head", {{"cexch_name", "美元"}, {"cexch_code", "USD"}, {"nflat", "7.0156"}}));
  EXPECT_EQ(check("cexch_name", {{"cexch_name", ""}}), "");
  EXPECT_EQ(doc->xml(), replyText("head", {{"cexch_name", ""}, {"cexch_code", ""}, {"nflat", ""}}));
  EXPECT_EQ(check("cexch_name", {{"cexch_name", "英镑"}}), "外币录入不正确，请检查！");
}

TEST_F(HpoHead, RunTimeErrorsReachTheCaller) {
  auto errorOf = [&](const std::string& key, const Attributes& row) {
    try {
      check(key, row);
    } catch (const Error& e) {
      return e.number();
    }
    return 0;
  };
  sql("DELETE FROM accinformation WHERE cName='iXchgRateStl'");
  EXPECT_EQ(errorOf("cexch_name", {{"cexch_name", "USD"}}), 3021);
  EXPECT_EQ(errorOf("dpodate", {{"dpodate", "not a date"}, {"cexch_name", "USD"}}), 3021);
  hpo.m_Cnn.reset();
  EXPECT_EQ(errorOf("cdepname", {{"cdepname", "01"}}), err::ObjectNotSet);
  EXPECT_EQ(errorOf("csomething", {{"cdepname", "01"}}), 0);  // a key no rule names asks nothing
  hpo.clsInfor.reset();
  EXPECT_EQ(errorOf("csomething", {{"cdepname", "01"}}), err::ObjectNotSet);
}

TEST_F(HpoHead, UnreadableOrderDateIsAConversionError) {
  try {
    check("dpodate", {{"dpodate", "2026-13-45"}, {"cexch_name", "USD"}});
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), err::TypeMismatch);
  }
}

TEST_F(HpoHead, OrderCodeNamesAnAuditedOpenPurchaseOrder) {
  const std::pair<const char*, bool> cases[] = {
      {"CG01", true}, {"cg01", true}, {"CG02", false}, {"CG03", false}, {"CG04", false},
      {"CG99", false}, {"x' OR '1'='1", false}, {"", false}};
  for (const auto& [code, open] : cases) EXPECT_EQ(hpo.bVerifyPoCode(code), open) << code;
  cnn->clearStatements();
  EXPECT_FALSE(hpo.bVerifyPoCode(""));
  EXPECT_TRUE(sent().empty());
  EXPECT_TRUE(hpo.bVerifyPoCode("CG01"));
  hpo.m_Cnn.reset();
  EXPECT_FALSE(hpo.bVerifyPoCode("CG01"));
}

}  // namespace
}  // namespace tallyward::test
