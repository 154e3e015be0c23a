// The command's messages for input that is not what it should be.
#include "support/temp_database.h"
#include "support/voucher_builder.h"

namespace tallyward::test {
namespace {

using nlohmann::json;

// What the command writes on standard output.
json answerTo(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  cli::run(args, out, err);
  return json::parse(out.str());
}

TEST(Command, RowNumbersBeyond32BitsAreAnOverflowNotAnotherRow) {
  TempFolder dir;
  const std::string body = dir.file("body.xml");
  writeBytes(body, voucherXml({line({{"cinvcode", ""}, {"iquantity", "1"}})}));
  for (const char* row : {"4294967299", "-4294967299", "99999999999999999999", "1e10", "2147483647"}) {
    const json answer = answerTo({"verify", "--class", "ClsS_VerifyFPO", "--method", "VerifyBody", "--key", "iquantity",
                                  "--row", row, "--body", body});
    const json expected = std::string_view(row) == "2147483647" ? json{{"verdict", "第[2147483647]行请先录入存货！"}}
                                                                 : json{{"number", 6}};
    const json got = answer.contains("error") ? json{{"number", answer["error"]["number"]}} : answer;
    EXPECT_EQ(got, expected) << row;
  }
}

// A database error shows the statement as the component wrote it, the text --trace-sql lists.
TEST(Command, DatabaseErrorsShowTheStatementAsWritten) {
  TempDatabase db(TempDatabase::DemoCompany);
  db.sql("ALTER TABLE Vendor RENAME COLUMN cVenPostCode TO cPostCode");
  TempFolder dir;
  const std::string hd = dir.file("head.xml");
  writeBytes(hd, voucherXml({{{"cvenabbname", "华东精工"}}}));
  const json answer = answerTo({"verify", "--class", "ClsS_VerifyHPO", "--method", "VerifyHead", "--key", "cVenAbbName",
                                "--head", hd, "--db", db.path(), "--trace-sql"});
  ASSERT_EQ(answer["error"]["number"], 3001) << answer;
  const std::string description = answer["error"]["description"];
  EXPECT_NE(description.find("(statement: " + answer["statements"].back().get<std::string>() + ")"), std::string::npos)
      << description;
}

}  // namespace
}  // namespace tallyward::test
