#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>
#include <sqlite3.h>

#include "command.h"
#include "tallyward/erp_database.h"
#include "support/voucher_builder.h"

namespace tallyward {
namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;

struct Outcome {
  int status;
  std::string out;
  std::string err;
  json answer() const { return json::parse(out); }
};

Outcome run(std::vector<std::string> args) {
  std::ostringstream out, err;
  const int status = cli::run(args, out, err);
  return {status, out.str(), err.str()};
}

class VerifyCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("tw_cmd_" + std::to_string(::getpid()) + "_" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string file(const std::string& name, const std::string& text) {
    const fs::path p = dir_ / name;
    std::ofstream(p, std::ios::binary) << text;
    return p.string();
  }

  fs::path dir_;
};

TEST_F(VerifyCommand, VerdictWithCarriageReturnsAsJson) {
  const std::string body = file("body.xml", test::voucherXml({test::line(
      {{"cinvcode", ""}, {"iquantity", "1"}, {"igrouptype", "0"}, {"iunitprice", "-1"}})}));
  Outcome o = run({"verify", "--class", "ClsS_VerifyFPO", "--method", "VerifyBody", "--key", "all",
                   "--body", body, "--mode", "BS"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.answer(), json({{"verdict",
                               "第[1]行存货不能为空，请检查！\r第[1]行原币单价必须大于 0，请检查！\r第[1]行税率未输入，请检查！！\r"}}));
  EXPECT_NE(o.out.find("\\r"), std::string::npos) << "a CR is written as \\r";
  EXPECT_NE(o.out.find("存货"), std::string::npos) << "UTF-8 text stays readable";
  EXPECT_EQ(o.out.back(), '\n');
}

TEST_F(VerifyCommand, ClassByProgIdOrClsidAndPropertiesBySet) {
  const std::string body = file("body.xml", test::voucherXml({test::line(
      {{"cinvcode", "A"}, {"iquantity", "1"}, {"ireceivedqty", "2"}, {"igrouptype", "0"}, {"ipertaxrate", "1"}})}));
  for (const char* cls : {"Tallyward.ClsS_VerifyFPO", "{86C8CA90-D6F8-46D0-8607-DC469D276005}"}) {
    Outcome o = run({"verify", "--class", cls, "--method", "verifybody", "--key", "iquantity", "--row", "3",
                     "--body", body, "--set", "m_bAlterPO=true"});
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.answer()["verdict"], "第[3]行数量不能小于累计入库数量，请检查！") << cls;
  }
}

TEST_F(VerifyCommand, AHeadVerdictHasNoDocumentsBesideIt) {
  const std::string head = file("head.xml", test::voucherXml({{{"cpoid", ""}}}));
  Outcome o = run({"verify", "--class", "ClsS_VerifyFPO", "--method", "VerifyHead", "--key", "all",
                   "--head", head, "--trace-sql"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.answer(), json({{"verdict", "订单编号不能为空，请检查！"}, {"statements", json::array()}}));
}

// A field-entry check on a database that lacks a table: the verdict alone says only that the entry
// is refused; --trace-sql shows the step that failed and why.
TEST_F(VerifyCommand, TraceShowsTheStepsAFieldEntryCheckSkipped) {
  const std::string db = (dir_ / "erp.db").string();
  createErpDatabase(db, true, false);
  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open(db.c_str(), &raw), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(raw, "DROP TABLE tw_data_right", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(raw);
  const std::string session = file("session.json", R"({"OperaterCode": "demo", "bCheckInvAuth": true})");
  const std::string body = file("body.xml", test::voucherXml({test::line({{"cinvcode", "P1001"}})}));
  const std::string head = file("head.xml", test::voucherXml({{{"cbustype", "普通采购"}}}));
  Outcome o = run({"verify", "--class", "ClsS_VerifyHPO", "--method", "VerifyBody", "--key", "cinvcode",
                   "--row", "1", "--body", body, "--head", head, "--db", db, "--session", session,
                   "--trace-sql"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.answer()["verdict"], "对不起，您没有录入该存货的权限！");
  const json skipped = o.answer()["skipped"];
  ASSERT_EQ(skipped.size(), 1u) << skipped;
  EXPECT_EQ(skipped[0]["step"], "checking the data right of cInvCode");
  EXPECT_EQ(skipped[0]["number"], 3001);
  EXPECT_NE(skipped[0]["description"].get<std::string>().find("tw_data_right"), std::string::npos);
}

TEST_F(VerifyCommand, RunTimeErrorsExitWithStatus3) {
  const std::string body = file("body.xml", test::voucherXml({test::line({{"cinvcode", "A"}})}));
  Outcome o = run({"verify", "--class", "ClsS_VerifyFPO", "--method", "VerifyBody", "--key", "iquantity",
                   "--body", body});
  EXPECT_EQ(o.status, 3);
  EXPECT_EQ(o.answer()["error"]["number"], 13);
  EXPECT_FALSE(o.answer()["error"]["description"].get<std::string>().empty());
  EXPECT_FALSE(o.answer().contains("verdict"));

  const std::string rowless = file("rowless.xml", "<xml><rs:data/></xml>");
  o = run({"verify", "--class", "ClsS_VerifyFPO", "--method", "VerifyHead", "--key", "all", "--head", rowless});
  EXPECT_EQ(o.status, 3);
  EXPECT_EQ(o.answer()["error"]["number"], 91);
}

TEST_F(VerifyCommand, UsageErrorsExitWithStatus2AndSayWhy) {
  const std::string good = file("good.xml", test::voucherXml({{{"cpoid", "1"}}}));
  const std::string broken = file("broken.xml", "<xml><z:row cpoid='1'></xml>");
  const std::string missing = (dir_ / "missing.xml").string();
  const struct {
    std::vector<std::string> args;
    std::string says;
  } cases[] = {
      {{"verify", "--class", "ClsS_Nothing", "--method", "VerifyHead", "--key", "all", "--head", good}, "unknown class"},
      {{"verify", "--class", "ClsS_VerifyFPO", "--method", "Check", "--key", "all", "--head", good}, "no method"},
      {{"verify", "--class", "ClsS_VerifyFPO", "--method", "m_bAlterPO", "--key", "all", "--head", good}, "no method"},
      {{"verify", "--class", "ClsS_VerifyFPO", "--method", "VerifyHead", "--key", "all", "--head", missing}, "cannot read"},
      {{"verify", "--class", "ClsS_VerifyFPO", "--method", "VerifyHead", "--key", "all", "--head", broken}, "not well-formed"},
      {{"verify", "--class", "ClsS_VerifyFPO", "--method", "VerifyHead", "--key", "all"}, "--head"},
      {{"verify", "--class", "ClsS_VerifyFPO", "--method", "VerifyBody", "--key", "all", "--head", good}, "--body"},
      {{"verify", "--class", "ClsS_VerifyFPO", "--method", "VerifyHead", "--head", good}, "--key"},
      {{"verify", "--class", "ClsS_VerifyFPO", "--method", "VerifyHead", "--key", "all", "--head", good, "--mode", "XS"}, "CS or BS"},
      {{"verify", "--class", "ClsS_VerifyFPO", "--method", "VerifyHead", "--key", "all", "--head", good, "--set", "m_bPositive=1"}, "no property"},
      {{"verify", "--class", "ClsS_VerifyFPO", "--method", "VerifyHead", "--key", "all", "--head", good, "--set", "m_bAlterPO=maybe"}, "m_bAlterPO"},
      {{"verify", "--class", "ClsS_VerifyFPO", "--method", "VerifyHead", "--key", "all", "--head", good, "--set", "novalue"}, "NAME=VALUE"},
      {{"verify", "--method", "VerifyHead"}, "--class"},
      {{"frobnicate"}, ""},
      {{}, ""},
  };
  for (const auto& c : cases) {
    Outcome o = run(c.args);
    EXPECT_EQ(o.status, 2) << c.says;
    EXPECT_TRUE(o.out.empty()) << c.says << ": " << o.out;
    EXPECT_NE(o.err.find(c.says), std::string::npos) << "expected '" << c.says << "' in: " << o.err;
  }
}

TEST_F(VerifyCommand, HelpGoesToStandardOutput) {
  for (const std::vector<std::string>& args : {std::vector<std::string>{"--help"}, {"verify", "--help"}}) {
    Outcome o = run(args);
    EXPECT_EQ(o.status, 0);
    EXPECT_NE(o.out.find("verify"), std::string::npos);
  }
  EXPECT_NE(run({"verify", "--help"}).out.find("--trace-sql"), std::string::npos);
}

// The real program, as a shell or a test harness calls it.
TEST_F(VerifyCommand, TheProgramWritesOneJsonLineAndItsStatus) {
  const std::string body = file("body.xml", test::voucherXml({test::line({{"cinvcode", ""}})}));
  const std::string cmd = std::string(TW_COMMAND) + " verify --class ClsS_VerifyFPO --method VerifyBody --key all --body " +
                          body + " 2>/dev/null";
  FILE* p = popen(cmd.c_str(), "r");
  ASSERT_NE(p, nullptr);
  std::string out;
  char buf[256];
  while (size_t n = fread(buf, 1, sizeof buf, p)) out.append(buf, n);
  const int status = pclose(p);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(json::parse(out), json({{"verdict", "第[1]行存货不能为空，请检查！"}}));

  FILE* q = popen((std::string(TW_COMMAND) + " verify --class X --method VerifyHead 2>&1").c_str(), "r");
  ASSERT_NE(q, nullptr);
  out.clear();
  while (size_t n = fread(buf, 1, sizeof buf, q)) out.append(buf, n);
  EXPECT_EQ(WEXITSTATUS(pclose(q)), 2);
  EXPECT_NE(out.find("unknown class X"), std::string::npos);
}

}  // namespace
}  // namespace tallyward
