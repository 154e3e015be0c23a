// The command's messages for input that is not what it should be.
#include "support/temp_database.h"
#include "support/voucher_builder.h"

namespace tallyward::test {
namespace {

using nlohmann::json;

struct Outcome {
  int status;
  std::string out, err;
};

Outcome run(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int status = cli::run(args, out, err);
  return {status, out.str(), err.str()};
}

TEST(Command, AFolderOrAnUnreadableFileIsToldAsSuch) {
  TempFolder dir;
  const std::string good = dir.file("good.xml"), folder = dir.file("folder.xml"), missing = dir.file("missing.xml");
  writeBytes(good, voucherXml({line({{"cinvcode", "A"}})}));
  std::filesystem::create_directory(folder);
  const struct { const char* option; std::string path, says; } cases[] = {
      {"--head", folder, "--head " + folder + ": is a folder, not a file"},
      {"--body", folder, "--body " + folder + ": is a folder, not a file"},
      {"--body", missing, "--body " + missing + ": cannot read the file: No such file or directory"},
      {"--head", "/proc/self/mem", "--head /proc/self/mem: cannot read the file: "},  // unreadable by anyone
  };
  for (const auto& c : cases) {
    std::vector<std::string> args{"verify", "--class", "ClsS_VerifyFPO", "--method", "VerifyBody", "--key", "all",
                                  "--body", good, "--head", good};
    args[std::string(c.option) == "--head" ? 10 : 8] = c.path;
    const Outcome o = run(args);
    EXPECT_EQ(o.status, cli::kUsage) << c.path;
    EXPECT_EQ(o.err.rfind("tallyward: " + c.says, 0), 0u) << o.err;
  }
}

TEST(Command, RowNumbersBeyond32BitsAreAnOverflowNotAnotherRow) {
  TempFolder dir;
  const std::string body = dir.file("body.xml");
  writeBytes(body, voucherXml({line({{"cinvcode", ""}, {"iquantity", "1"}})}));
  for (const char* row : {"4294967299", "-4294967299", "2147483648", "99999999999999999999", "1e10", "2147483647"}) {
    const Outcome o = run({"verify", "--class", "ClsS_VerifyFPO", "--method", "VerifyBody", "--key", "iquantity",
                           "--row", row, "--body", body});
    const json expected = std::string_view(row) == "2147483647" ? json{{"verdict", "第[2147483647]行请先录入存货！"}}
                                                                 : json{{"number", 6}};
    const json answer = json::parse(o.out);
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
  const Outcome o = run({"verify", "--class", "ClsS_VerifyHPO", "--method", "VerifyHead", "--key", "cVenAbbName",
                         "--head", hd, "--db", db.path(), "--trace-sql"});
  const json answer = json::parse(o.out);
  ASSERT_EQ(answer["error"]["number"], 3001) << o.out;
  const std::string description = answer["error"]["description"];
  EXPECT_NE(description.find("(statement: " + answer["statements"].back().get<std::string>() + ")"), std::string::npos)
      << description;
}

}  // namespace
}  // namespace tallyward::test
