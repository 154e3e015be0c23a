// Arrival head entry on a real ERP database: the look-ups of the order's lists with their refusals
// and replies, the rate of the note's date, the currency, and run-time errors.
#include "arriveh_fixture.h"
#include "rows/voucher.h"

namespace tallyward::test {
namespace {

class ArriveHHead : public ArriveHTest {
 protected:
  ArriveHHead() {
    headMasterData();
    sql("INSERT INTO Vendor (cVenCode, cVenAbbName, cVenDepart, cVenPerson, dEndDate) VALUES "
        "('V001', '华东精工', '01', NULL, NULL), ('V002', 'O''Brien', NULL, 'a<b & ''c''', NULL), "
        "('V009', '东方五金', NULL, NULL, '2025-12-31 00:00:00')");
  }
  std::string check(const std::string& key, const Attributes& row) {
    doc = head(row);
    return arrive.VerifyHead(key, *doc);
  }
  std::shared_ptr<Document> doc;
};

TEST_F(ArriveHHead, EachLookUpFillsByNameOrCodeClearsWhenEmptiedAndRefusesTheRest) {
  struct Case { const char* field; const char* name; const char* code; Pairs first; const char* wrong; const char* refusal; };
  const Case cases[] = {
      {"cVenAbbName", "华东精工", "v001", {{"cVenCode", "V001"}, {"cVenAbbName", "华东精工"}}, "东方五金", "供应商录入不正确或已经停用，请检查！"},
      {"cDepName", "采购部", "01", {{"cDepCode", "01"}, {"cDepName", "采购部"}}, "生产中心", "部门录入不正确或是非末级，请检查！"},
      {"cPayName", "货到付款", "01", {{"cPayCode", "01"}, {"cPayName", "货到付款"}}, "x' OR '1'='1", "付款条件录入不正确，请检查！"},
      {"cPTName", "生产采购", "01", {{"cPTCode", "01"}, {"cPTName", "生产采购"}}, "02", "采购类型录入不正确，请检查！"},
      {"cPersonName", "王磊", "0001", {{"cPersonCode", "0001"}, {"cPersonName", "王磊"}, {"cDepCode", "01"}}, "张三", "业务员录入不正确，请检查！"},
      {"cSCName", "汽运", "01", {{"cSCCode", "01"}, {"cSCName", "汽运"}}, "空运", "发运方式录入不正确，请检查！"}};
  for (const Case& c : cases) {
    const std::string field = lowerCase(c.field);
    for (const char* typed : {c.name, c.code}) {
      ASSERT_EQ(check(c.field, {{field, typed}}), "") << typed;
      const Pairs pairs = pairsOf(*doc);
      EXPECT_EQ(Pairs(pairs.begin(), pairs.begin() + static_cast<long>(c.first.size())), c.first) << typed;
    }
    ASSERT_EQ(check(c.field, {{field, ""}}), "");
    EXPECT_EQ(pairsOf(*doc).front(), (std::pair<std::string, std::string>{c.first.front().first, ""})) << c.field;
    for (UseMode mode : {UseMode::CS, UseMode::BS}) {
      arrive.m_UseMode = mode;
      EXPECT_EQ(check(c.field, {{field, c.wrong}}), c.refusal) << c.field;
      EXPECT_EQ(doc->replacements(), 0u);
    }
    EXPECT_EQ(check("ALL", {{field, c.wrong}, {"cexch_name", "英镑"}}), std::string(c.refusal) + "\r外币录入不正确，请检查！\r");
    EXPECT_EQ(check("all", {{field, c.name}}), "");
    EXPECT_EQ(doc->replacements(), 0u);
    arrive.m_UseMode = UseMode::CS;
  }
  EXPECT_TRUE(sentContaining(" WHERE (cVenAbbName='v001' OR cVenCode='v001') AND (dEndDate IS NULL)"));
  // Apostrophes are looked up as text and come back intact in the reply.
  ASSERT_EQ(check("cvenabbname", {{"cvenabbname", "O'Brien"}}), "");
  EXPECT_EQ(pairsOf(*doc)[7], (std::pair<std::string, std::string>{"cVenPerson", "a<b & 'c'"}));
  EXPECT_NE(doc->xml().find("<R K='cVenAbbName' V='O&apos;Brien'/>\r"), std::string::npos);
}

TEST_F(ArriveHHead, ARightRefusalIsCollectedInABrowserWholePass) {
  info->set("bCheckDepartAuth", true);
  EXPECT_EQ(check("cdepname", {{"cdepname", "01"}}), "对不起，您没有录入该部门的权限！");
  arrive.m_UseMode = UseMode::BS;
  EXPECT_EQ(check("all", {{"cdepname", "01"}, {"cptname", "9"}}), "对不起，您没有录入该部门的权限！\r采购类型录入不正确，请检查！\r");
}

TEST_F(ArriveHHead, NoteDateFillsTheRateOfItsDayOrPeriodOrOneAndTheCurrencyCarriesIt) {
  struct Case { const char* perPeriod; const char* date; const char* currency; const char* rate; };
  const Case cases[] = {{"False", "2026-03-02T00:00:00", "USD", "7.0156"}, {"False", "2026-03-03", "美元", "1"},
                        {"True", "2026-03-20T00:00:00", "美元", "7.02"},   {"True", "2026-05-20", "美元", "1"},
                        {"False", "2026-03-02", "英镑", nullptr},          {"False", "", "USD", nullptr}};
  for (const Case& c : cases) {
    setting("iXchgRateStl", c.perPeriod);
    ASSERT_EQ(check("dDate", {{"ddate", c.date}, {"cexch_name", c.currency}}), "");
    EXPECT_EQ(doc->replacements(), c.rate ? 1u : 0u) << c.date << c.currency;
    if (c.rate) {
      EXPECT_EQ(doc->xml(), replyText("head", {{"iExchRate", c.rate}})) << c.date;
    }
  }
  EXPECT_EQ(check("cexch_name", {{"cexch_name", "USD"}, {"ddate", "2026-03-02"}}), "");
  EXPECT_EQ(doc->xml(), replyText("head", {{"cexch_name", "美元"}, {"cexch_code", "USD"}, {"iExchRate", "7.0156"}}));
  EXPECT_EQ(check("cexch_name", {{"cexch_name", ""}}), "");
  EXPECT_EQ(doc->xml(), replyText("head", {{"cexch_name", ""}, {"cexch_code", ""}, {"iExchRate", ""}}));
  EXPECT_EQ(check("all", {{"ddate", "2026-03-02"}, {"cexch_name", "USD"}}), "");  // no date rule in a pass
  EXPECT_EQ(doc->replacements(), 0u);
}

TEST_F(ArriveHHead, RunTimeErrorsReachTheCaller) {
  setting("iXchgRateStl", "True");
  EXPECT_EQ(errorOf([&] { check("ddate", {{"ddate", "2026-13-45"}, {"cexch_name", "USD"}}); }), err::TypeMismatch);
  sql("DELETE FROM accinformation WHERE cName='iXchgRateStl'");
  EXPECT_EQ(errorOf([&] { check("cexch_name", {{"cexch_name", "USD"}}); }), err::NoCurrentRecord);
  arrive.m_Cnn.reset();
  EXPECT_EQ(errorOf([&] { check("cptname", {{"cptname", "01"}}); }), err::ObjectNotSet);
  EXPECT_EQ(errorOf([&] { check("cother", {}); }), 0);
  arrive.clsInfor.reset();
  EXPECT_EQ(errorOf([&] { check("cother", {}); }), err::ObjectNotSet);
}

}  // namespace
}  // namespace tallyward::test
