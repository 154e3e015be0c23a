// Requisition head entry on a real ERP database: each look-up by name and code, its refusal and
// clearing reply, the data rights, the whole pass in both modes and the failures it lets out.
#include "applyh_fixture.h"

namespace tallyward::test {
namespace {

class ApplyHHead : public ApplyHTest {
 protected:
  std::string check(const std::string& key, const Attributes& row) {
    doc = head(row);
    return apply.VerifyHead(key, *doc);
  }
  std::shared_ptr<Document> doc;
};

struct HeadCase {
  const char* name;
  const char* key;
  const char* field;
  const char* typed;
  const char* verdict;
  Pairs reply;  // values as the reply text writes them; none: the head is left as it was
};

class HeadLookups : public ApplyHHead, public ::testing::WithParamInterface<HeadCase> {};

TEST_P(HeadLookups, AnswersWithTheReplyOrTheRefusal) {
  const HeadCase& c = GetParam();
  EXPECT_EQ(check(c.key, {{c.field, c.typed}}), c.verdict);
  if (c.reply.empty())
    EXPECT_EQ(doc->replacements(), 0u);
  else
    EXPECT_EQ(doc->xml(), replyText("head", c.reply));
}

const char* const kDep = "部门录入不正确或是非末级，请检查！";
const char* const kPay = "付款条件录入不正确，请检查！";
const char* const kPT = "采购类型录入不正确，请检查！";
const char* const kPerson = "业务员录入不正确，请检查！";

INSTANTIATE_TEST_SUITE_P(
    Rules, HeadLookups,
    ::testing::Values(
        HeadCase{"DepartmentByName", "cDepName", "cdepname", "采购部", "", {{"cDepCode", "01"}, {"cDepName", "采购部"}}},
        HeadCase{"DepartmentByCode", "cdepname", "cdepname", "01", "", {{"cDepCode", "01"}, {"cDepName", "采购部"}}},
        HeadCase{"DepartmentNotALeaf", "cdepname", "cdepname", "03", kDep, {}},
        HeadCase{"DepartmentUnknown", "cdepname", "cdepname", "99", kDep, {}},
        HeadCase{"DepartmentCleared", "cdepname", "cdepname", "", "", {{"cDepCode", ""}, {"cDepName", ""}}},
        HeadCase{"DepartmentWithApostrophe", "cdepname", "cdepname", "O'Brien & <Co>", "",
                 {{"cDepCode", "07"}, {"cDepName", "O&apos;Brien &amp; &lt;Co>"}}},
        HeadCase{"DepartmentInjected", "cdepname", "cdepname", "x' OR '1'='1", kDep, {}},
        HeadCase{"PaymentByName", "CPAYNAME", "cpayname", "货到付款", "", {{"cPayCode", "01"}, {"cPayName", "货到付款"}}},
        HeadCase{"PaymentByCode", "cpayname", "cpayname", "01", "", {{"cPayCode", "01"}, {"cPayName", "货到付款"}}},
        HeadCase{"PaymentUnknown", "cpayname", "cpayname", "月结", kPay, {}},
        HeadCase{"PaymentCleared", "cpayname", "cpayname", "", "", {{"cPayCode", ""}, {"cPayName", ""}}},
        HeadCase{"PurchaseTypeByName", "cptname", "cptname", "生产采购", "", {{"cPTCode", "01"}, {"cPTName", "生产采购"}}},
        HeadCase{"PurchaseTypeByCode", "cptname", "cptname", "01", "", {{"cPTCode", "01"}, {"cPTName", "生产采购"}}},
        HeadCase{"PurchaseTypeUnknown", "cptname", "cptname", "x' OR '1'='1", kPT, {}},
        HeadCase{"PurchaseTypeCleared", "cptname", "cptname", "", "", {{"cPTCode", ""}, {"cPTName", ""}}},
        HeadCase{"SalesmanByName", "cPersonName", "cpersonname", "王磊", "",
                 {{"cPersonCode", "0001"}, {"cPersonName", "王磊"}, {"cDepCode", "01"}, {"cDepName", "采购部"}}},
        HeadCase{"SalesmanByCodeWithoutDepartment", "cpersonname", "cpersonname", "0002", "",
                 {{"cPersonCode", "0002"}, {"cPersonName", "赵敏"}, {"cDepCode", ""}, {"cDepName", ""}}},
        HeadCase{"SalesmanUnknown", "cpersonname", "cpersonname", "张三", kPerson, {}},
        HeadCase{"SalesmanCleared", "cpersonname", "cpersonname", "", "", {{"cPersonCode", ""}, {"cPersonName", ""}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ApplyHHead, WholePassLooksEverythingUpWithoutFillingIn) {
  const Attributes row{{"cdepname", "03"}, {"cpayname", "01"}, {"cptname", "无"}, {"cpersonname", "王磊"}};
  apply.m_UseMode = UseMode::BS;
  EXPECT_EQ(check("all", row), std::string(kDep) + "\r" + kPT + "\r");
  apply.m_UseMode = UseMode::CS;
  EXPECT_EQ(check("All", row), kDep);
  EXPECT_EQ(check("all", with(row, {{"cdepname", "采购部"}, {"cptname", "01"}})), "");
  EXPECT_EQ(check("all", {{"cdepname", ""}, {"cpayname", ""}, {"cptname", ""}, {"cpersonname", ""}}), "");
  EXPECT_EQ(doc->replacements(), 0u);
}

TEST_F(ApplyHHead, AKeyWithoutARuleSendsNoStatement) {
  cnn->clearStatements();
  EXPECT_EQ(check("ddate", {{"ddate", "2026-03-02"}}), "");
  EXPECT_TRUE(sent().empty());
}

class HeadRights : public ApplyHHead, public ::testing::WithParamInterface<DataRightCase> {};

TEST_P(HeadRights, AreAskedOnlyWhenTheSwitchIsOn) {
  const DataRightCase& c = GetParam();
  int created = 0;
  ScopedHostFactory counting(countingHost(cnn, created));
  EXPECT_EQ(check(c.key, {{c.key, c.typed}}), "");
  EXPECT_EQ(created, 0);

  info->set(c.sessionSwitch, true);
  EXPECT_EQ(check(c.key, {{c.key, c.typed}}), c.refusal);
  EXPECT_EQ(doc->replacements(), 0u);
  EXPECT_EQ(created, 1);
  // Collected in a browser-mode whole pass, and the other rules still run.
  apply.m_UseMode = UseMode::BS;
  EXPECT_EQ(check("all", {{c.key, c.typed}, {"cptname", "无"}}), c.passVerdict);

  grant(c.kind, c.code);
  EXPECT_EQ(check(c.key, {{c.key, c.typed}}), "");
  EXPECT_EQ(doc->replacements(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, HeadRights,
    ::testing::Values(DataRightCase{"Department", "cdepname", "采购部", "bCheckDepartAuth", "Department", "01",
                                "对不起，您没有录入该部门的权限！",
                                "对不起，您没有录入该部门的权限！\r采购类型录入不正确，请检查！\r"},
                      DataRightCase{"Salesman", "cpersonname", "王磊", "bCheckPersonAuth", "Person", "0001",
                                "对不起，您没有录入该业务员的权限！",
                                "采购类型录入不正确，请检查！\r对不起，您没有录入该业务员的权限！\r"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ApplyHHead, RunTimeErrorsReachTheCaller) {
  auto errorOf = [&](const std::string& key, const std::shared_ptr<Document>& d) {
    try {
      apply.VerifyHead(key, *d);
    } catch (const Error& e) {
      return e.number();
    }
    return 0;
  };
  sql("DROP TABLE PurchaseType");
  EXPECT_EQ(errorOf("cptname", head({{"cptname", "01"}})), err::Database);
  info->set("bCheckDepartAuth", true);
  sql("DROP TABLE tw_data_right");
  EXPECT_EQ(errorOf("cdepname", head({{"cdepname", "01"}})), err::Database);
  EXPECT_EQ(errorOf("cdepname", voucher({})), err::ObjectNotSet);  // a head without a row
  apply.m_Cnn.reset();
  EXPECT_EQ(errorOf("cpayname", head({{"cpayname", "01"}})), err::ObjectNotSet);
  apply.clsInfor.reset();
  EXPECT_EQ(errorOf("ddate", head({})), err::ObjectNotSet);
}

}  // namespace
}  // namespace tallyward::test
