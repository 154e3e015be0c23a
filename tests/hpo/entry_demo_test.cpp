// The field-entry examples of examples/ through the tallyward command, on the demo company that
// `tallyward init-db --sample` creates: no refusal, and how the reply the document got begins or ends.
#include <nlohmann/json.hpp>

#include "command.h"
#include "support/database_route.h"
#include "support/temp_database.h"

namespace tallyward::test {
namespace {

struct DemoCase {
  const char* name;
  const char* cls;
  std::vector<std::string> args;  // after `verify --class cls --db DEMO`; a name ending in .xml is a file of examples/
  const char* document;           // "head" or "body": the document that carries the reply
  std::string piece;
};
void PrintTo(const DemoCase& c, std::ostream* os) { *os << c.name; }

const DemoCase kCases[] = {
    {"OrderVendorByName", "ClsS_VerifyHPO", {"--method", "VerifyHead", "--key", "cVenAbbName", "--head", "hpo_head_vendor.xml"},
     "head", "<?xml version='1.0' encoding='GB2312'?>\r<head>\r<R K='cVenCode' V='V001'/>\r"},
    // The vendor's latest order price, its local price, and the price list's price for 1,200.
    {"OrderItemByCode", "ClsS_VerifyHPO", {"--method", "VerifyBody", "--key", "cInvCode", "--head", "hpo_head_order.xml", "--body",
     "hpo_body_item.xml", "--row", "1"}, "body",
     "<R K='iunitprice' V='4.2'/>\r<R K='itaxprice' V='4.746'/>\r<R K='ipertaxrate' V='13'/>\r<R K='iNatUnitPrice' V='4.2'/>\r"
     "<R K='iNum' V=''/>\r<R K='iUnitPrice' V='4.05'/>\r<R K='iPerTaxRate' V='13'/>\r<R K='bTaxCost' V='0'/>\r</Body>"},
};

class EntryDemo : public ::testing::TestWithParam<DemoCase> {
 protected:
  static void SetUpTestSuite() {
    std::ostringstream out, err;
    ASSERT_EQ(cli::run({"init-db", folder_.file("demo.db"), "--sample", "--force"}, out, err), cli::kOk) << err.str();
  }
  static inline TempFolder folder_;
};

TEST_P(EntryDemo, Example) {
  const DemoCase& c = GetParam();
  std::vector<std::string> args{"verify", "--class", c.cls, "--db", connectionTo(folder_.file("demo.db"))};
  for (const std::string& a : c.args) args.push_back(a.ends_with(".xml") ? std::string(TW_SOURCE_DIR) + "/examples/" + a : a);
  std::ostringstream out, err;
  ASSERT_EQ(cli::run(args, out, err), cli::kOk) << err.str();
  const nlohmann::json answer = nlohmann::json::parse(out.str());
  EXPECT_EQ(answer["verdict"], "");
  const std::string reply = answer.value(c.document, "");
  EXPECT_TRUE(reply.starts_with(c.piece) || reply.ends_with(c.piece)) << reply;
}

INSTANTIATE_TEST_SUITE_P(Examples, EntryDemo, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tallyward::test
