// The tallyward command: each invocation's exit status and what it writes, in-process and as the
// installed program a shell runs.
#include <gtest/gtest.h>
#include <sstream>
#include <nlohmann/json.hpp>
#include "command.h"
#include "tallyward/classes.h"
#include "support/temp_database.h"
#include "support/voucher_builder.h"

namespace tallyward::test {
namespace {

using json = nlohmann::json;

// The arguments (DIR stands for a temporary folder with the files below), the exit status, and the
// exact JSON written for a status 0 or 3, or a piece of the message for a status 2.
TEST(Command, EachInvocationGivesItsStatusAndAnswer) {
  TempFolder folder;
  const std::string dir = folder.path().string();
  writeBytes(dir + "/body.xml", voucherXml({line({{"cinvcode", ""}, {"iquantity", "1"}, {"igrouptype", "0"}, {"iunitprice", "-1"}})}));
  writeBytes(dir + "/qty.xml", voucherXml({line({{"cinvcode", "A"}, {"iquantity", "1"}, {"ireceivedqty", "2"}, {"igrouptype", "0"}})}));
  writeBytes(dir + "/head.xml", voucherXml({{{"cpoid", ""}}}));
  writeBytes(dir + "/broken.xml", "<xml><z:row cpoid='1'></xml>");
  writeBytes(dir + "/bad.json", "{\"bQMStart\": ");
  writeBytes(dir + "/precious.db", "precious");
  const std::vector<std::string> fpo = {"verify", "--class", "ClsS_VerifyFPO", "--method"};
  const auto with = [](std::vector<std::string> a, std::vector<std::string> b) { return a.insert(a.end(), b.begin(), b.end()), a; };
  const struct { std::vector<std::string> args; int status; std::string answer; } cases[] = {
      {with(fpo, {"VerifyBody", "--key", "all", "--body", "DIR/body.xml", "--mode", "BS"}), 0,
       R"({"verdict":"第[1]行存货不能为空，请检查！\r第[1]行原币单价必须大于 0，请检查！\r第[1]行税率未输入，请检查！！\r"})"},
      {{"verify", "--class", "Tallyward.ClsS_VerifyFPO", "--method", "verifybody", "--key", "iquantity", "--row", "3",
        "--body", "DIR/qty.xml", "--set", "m_bAlterPO=true"}, 0, R"({"verdict":"第[3]行数量不能小于累计入库数量，请检查！"})"},
      {{"verify", "--class", "{86C8CA90-D6F8-46D0-8607-DC469D276005}", "--method", "VerifyHead", "--key", "all",
        "--head", "DIR/head.xml", "--trace-sql"}, 0, R"({"verdict":"订单编号不能为空，请检查！","statements":[]})"},
      {with(fpo, {"VerifyBody", "--key", "iquantity", "--body", "DIR/qty.xml"}), 3,
       R"x({"error":{"number":13,"description":"Type mismatch: a required argument is missing (Double)"}})x"},
      {{"verify", "--class", "ClsS_Nothing", "--method", "VerifyHead", "--key", "all", "--head", "DIR/head.xml"}, 2, "unknown class"},
      {with(fpo, {"Check", "--key", "all", "--head", "DIR/head.xml"}), 2, "no method"},
      {with(fpo, {"VerifyHead", "--key", "all", "--head", "DIR/none.xml"}), 2, "--head DIR/none.xml: cannot read the file: No such"},
      {with(fpo, {"VerifyBody", "--key", "all", "--body", "DIR"}), 2, "tallyward: --body DIR: is a folder, not a file"},
      {with(fpo, {"VerifyHead", "--key", "all", "--head", "DIR/broken.xml"}), 2, "not well-formed"},
      {with(fpo, {"VerifyHead", "--key", "all"}), 2, "--head"},
      {with(fpo, {"VerifyHead", "--key", "all", "--head", "DIR/head.xml", "--mode", "XS"}), 2, "CS or BS"},
      {with(fpo, {"VerifyHead", "--key", "all", "--head", "DIR/head.xml", "--set", "m_bPositive=1"}), 2, "no property"},
      {with(fpo, {"VerifyHead", "--key", "all", "--head", "DIR/head.xml", "--set", "m_bAlterPO=maybe"}), 2, "m_bAlterPO"},
      {{"verify", "--class", "ClsS_VerifyHPO", "--method", "VerifyHead", "--key", "cvenabbname", "--head", "DIR/head.xml",
        "--session", "DIR/bad.json"}, 2, "session file DIR/bad.json: not valid JSON"},
      {{"verify", "--class", "ClsS_VerifyHPO", "--method", "VerifyHead", "--key", "cvenabbname", "--head", "DIR/head.xml",
        "--session", "DIR/none.json"}, 2, "DIR/none.json: cannot be read: No such file"},
      {{"verify", "--method", "VerifyHead"}, 2, "--class"},
      {{"frobnicate"}, 2, ""},
      {{"init-db", "DIR/demo.db", "--sample"}, 0, "created ERP database DIR/demo.db with the demo company\n"},
      {{"init-db", "DIR/precious.db", "--sample"}, 2, "exists (--force replaces it)"},
      {{"init-db"}, 2, "PATH"},
  };
  const auto inDir = [&](std::string s) {
    for (size_t at; (at = s.find("DIR")) != std::string::npos;) s.replace(at, 3, dir);
    return s;
  };
  for (const auto& c : cases) {
    std::vector<std::string> args;
    for (const std::string& a : c.args) args.push_back(inDir(a));
    SCOPED_TRACE(c.args.empty() ? "no arguments" : c.args.back());
    std::ostringstream out, err;
    EXPECT_EQ(cli::run(args, out, err), c.status) << err.str();
    if (c.status == 2) {
      EXPECT_EQ(out.str(), "");
      EXPECT_NE(err.str().find(inDir(c.answer)), std::string::npos) << err.str();
    } else if (c.args[0] == "init-db") {
      EXPECT_EQ(out.str(), inDir(c.answer));
    } else if (c.answer.front() == '{') {
      EXPECT_EQ(json::parse(out.str()), json::parse(c.answer));
      EXPECT_EQ(out.str().back(), '\n');
    } else {
      EXPECT_NE(out.str().find(c.answer), std::string::npos) << out.str();
    }
  }
  EXPECT_EQ(readBytes(dir + "/precious.db"), "precious");
  EXPECT_EQ(folder.entries(), (std::vector<std::string>{"bad.json", "body.xml", "broken.xml", "demo.db", "head.xml",
                                                          "precious.db", "qty.xml"}));
  for (const std::vector<std::string>& args : {std::vector<std::string>{"--help"}, {"verify", "--help"}}) {
    std::ostringstream out, err;
    EXPECT_EQ(cli::run(args, out, err), 0);
    EXPECT_NE(out.str().find(args.size() == 1 ? "verify" : "--trace-sql"), std::string::npos) << "help on standard output";
  }
}

// A body of more rows than a batch holds is checked a batch at a time: the verdict is the whole
// document's (rows numbered on, invoice totals summed across batches, a CS pass ending in a later
// batch), and a body that does not parse in a later batch is refused as parsing it whole refuses it.
TEST(Command, ALargeBodyIsCheckedInBatchesAsItIsWhole) {
  TempFolder dir;
  std::vector<Attributes> lines;
  for (int i = 1; i <= 5000; ++i)
    lines.push_back(line({{"cinvcode", i == 2049 || i == 4096 || i == 4097 ? "" : "P"},
                          {"ipbvquantity", i == 1 ? "10000" : i == 4500 ? "-10000" : "0"}, {"iorimoney", "1"},
                          {"igrouptype", "0"}, {"cunitid", ""}, {"binvtype", "False"}, {"bservice", "False"},
                          {"itaxrate", "13"}, {"iorisum", "1"}, {"isum", "1"}, {"imoney", "1"}}));
  const std::string text = voucherXml(lines);
  std::string broken = text;
  broken.insert(broken.rfind("/>"), " 5x='1'");
  writeBytes(dir.file("body.xml"), text);
  writeBytes(dir.file("broken.xml"), broken);
  for (const char* mode : {"BS", "CS"}) {
    ClsS_VerifyBillF whole;
    whole.m_UseMode = mode == std::string("BS") ? BS : CS;
    whole.sBillType = "wwpurbill";
    const std::string expected = whole.VerifyBody(Variant("all"), Variant(Document::parse(text)));
    EXPECT_EQ(expected.find("第[2049]行"), 0u) << expected.substr(0, 300);
    std::ostringstream out, err;
    ASSERT_EQ(cli::run({"verify", "--class", "ClsS_VerifyBillF", "--method", "VerifyBody", "--key", "all", "--mode", mode,
                        "--set", "sBillType=wwpurbill", "--body", dir.file("body.xml")}, out, err), 0) << err.str();
    EXPECT_EQ(json::parse(out.str())["verdict"], expected);
  }
  std::ostringstream out, err;
  EXPECT_EQ(cli::run({"verify", "--class", "ClsS_VerifyBillF", "--method", "VerifyBody", "--key", "all", "--mode", "CS",
                      "--body", dir.file("broken.xml")}, out, err), 2);
  const Error refusal = [&] { try { Document::parse(broken); } catch (const Error& e) { return e; } return Error(0, ""); }();
  EXPECT_EQ(err.str(), "tallyward: --body " + dir.file("broken.xml") + ": " + refusal.description() + "\n");
}

// A field-entry check on a database that lacks a table: the verdict alone says only that the entry
// is refused; --trace-sql shows the step that failed and why.
TEST(Command, TraceShowsTheStepsAFieldEntryCheckSkipped) {
  TempDatabase db(TempDatabase::DemoCompany);
  db.sql("DROP TABLE tw_data_right");
  TempFolder dir;
  writeBytes(dir.file("session.json"), R"({"OperaterCode": "demo", "bCheckInvAuth": true})");
  writeBytes(dir.file("body.xml"), voucherXml({line({{"cinvcode", "P1001"}})}));
  writeBytes(dir.file("head.xml"), voucherXml({{{"cbustype", "普通采购"}}}));
  std::ostringstream out, err;
  ASSERT_EQ(cli::run({"verify", "--class", "ClsS_VerifyHPO", "--method", "VerifyBody", "--key", "cinvcode", "--row", "1",
                      "--body", dir.file("body.xml"), "--head", dir.file("head.xml"), "--db", db.path(), "--session",
                      dir.file("session.json"), "--trace-sql"}, out, err), 0) << err.str();
  const json answer = json::parse(out.str());
  EXPECT_EQ(answer["verdict"], "对不起，您没有录入该存货的权限！");
  ASSERT_EQ(answer["skipped"].size(), 1u) << answer;
  EXPECT_EQ(answer["skipped"][0]["step"], "checking the data right of cInvCode");
  EXPECT_EQ(answer["skipped"][0]["number"], 3001);
  EXPECT_NE(answer["skipped"][0]["description"].get<std::string>().find("tw_data_right"), std::string::npos);
}

// The program itself, run by a shell from a folder without the sources: its output and exit status.
TEST(Command, TheProgramAnswersOnStandardOutputWithItsStatus) {
  TempFolder dir;
  writeBytes(dir.file("body.xml"), voucherXml({line({{"cinvcode", ""}})}));
  const struct { const char* args; int status; const char* output; } cases[] = {
      {"verify --class ClsS_VerifyFPO --method VerifyBody --key all --body body.xml", 0,
       "{\"verdict\":\"第[1]行存货不能为空，请检查！\"}\n"},
      {"init-db relative.db --sample", 0, "created ERP database relative.db with the demo company\n"},
      {"init-db relative.db", 2, ""},
  };
  for (const auto& c : cases) {
    const std::string command = "cd '" + dir.path().string() + "' && '" TW_COMMAND "' " + c.args + " >out.txt 2>/dev/null";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status)) << c.args;
    EXPECT_EQ(WEXITSTATUS(status), c.status) << c.args;
    EXPECT_EQ(readBytes(dir.file("out.txt")), c.output) << c.args;
  }
  EXPECT_NE(Connection::open(dir.file("relative.db"))->execute("SELECT count(*) FROM Vendor")->field(0), Variant(0));
}

}  // namespace
}  // namespace tallyward::test
