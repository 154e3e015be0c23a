// Checks run through the tallyward command on the demo company that `tallyward init-db --sample`
// creates, with the example vouchers of examples/ (as scripts/demo.sh runs them).
#pragma once

#include <nlohmann/json.hpp>
#include "command.h"
#include "support/database_route.h"
#include "support/temp_database.h"

namespace tallyward::test {

class DemoCommandTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::ostringstream out, err;
    ASSERT_EQ(cli::run({"init-db", folder_.file("demo.db"), "--sample", "--force"}, out, err), cli::kOk) << err.str();
  }
  // `tallyward verify --class cls --db DEMO args...`, its JSON answer; an argument ending in .xml
  // names a file of examples/.
  static nlohmann::json verify(const std::string& cls, std::vector<std::string> args) {
    std::vector<std::string> all{"verify", "--class", cls, "--db", connectionTo(folder_.file("demo.db"))};
    for (std::string& a : args) all.push_back(a.ends_with(".xml") ? std::string(TW_SOURCE_DIR) + "/examples/" + a : a);
    std::ostringstream out, err;
    EXPECT_EQ(cli::run(all, out, err), cli::kOk) << err.str();
    return nlohmann::json::parse(out.str());
  }
  static inline TempFolder folder_;
};

}  // namespace tallyward::test
