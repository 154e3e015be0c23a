#include <gtest/gtest.h>

#include "whole/rules.h"
#include "whole/verdict.h"

namespace tallyward {
namespace {

// Two failing rules of the same way, one after the other, on a verdict that already holds a
// collected message "c\r": the verdict of each mode and kind of call. A verdict without the
// collected message is one where the first report ended the call.
struct WayCase {
  const char* name;
  Way way;
  const char* csSingle;
  const char* bsSingle;
  const char* csWhole;
  const char* bsWhole;
};

constexpr const char* kFirst = "第[1]行一";
constexpr const char* kNothing = "c\r";
constexpr const char* kCollected = "c\r第[1]行一\r第[2]行二\r";
constexpr const char* kAppended = "c\r第[1]行一第[2]行二";

TEST(Reporting, EachWayJoinsOrEndsAsItSays) {
  const WayCase cases[] = {
      {"A at once, collected in a BS pass", Way::AtOnceOrCollected, kFirst, kFirst, kFirst, kCollected},
      {"B at once, appended in a BS pass", Way::AtOnceOrAppended, kFirst, kFirst, kFirst, kAppended},
      {"C collected in a pass", Way::CollectedInPass, kNothing, kNothing, kCollected, kCollected},
      {"D collected in a BS pass", Way::CollectedInBsPass, kNothing, kNothing, kNothing, kCollected},
      {"E a CS pass ends with a CR", Way::PassEndsInCs, kNothing, kNothing, "第[1]行一\r", kCollected},
      {"F at once in CS, collected in BS", Way::AtOnceInCsCollectedInBs, kFirst, kCollected, kFirst, kCollected},
      {"G at once in CS, appended in BS", Way::AtOnceInCsAppendedInBs, kFirst, kAppended, kFirst, kAppended},
  };
  for (const WayCase& c : cases) {
    const std::pair<UseMode, bool> calls[] = {{UseMode::CS, false}, {UseMode::BS, false}, {UseMode::CS, true}, {UseMode::BS, true}};
    const char* const expected[] = {c.csSingle, c.bsSingle, c.csWhole, c.bsWhole};
    for (int k = 0; k < 4; ++k) {
      SCOPED_TRACE(std::string(c.name) + (calls[k].first == UseMode::CS ? ", CS" : ", BS") +
                   (calls[k].second ? " whole pass" : " single field"));
      Call call(calls[k].second ? "ALL" : "cInvCode", calls[k].first);
      call.append("c\r");
      const bool ended = !std::string_view(expected[k]).starts_with("c\r");
      EXPECT_EQ(call.report(c.way, "第[1", "]行一"), ended);
      if (!ended) call.report(c.way, "第[2", "]行二");
      EXPECT_EQ(call.verdict(), expected[k]);
      EXPECT_EQ(call.ended(), ended);
    }
  }
}

TEST(Reporting, CollectedWordingIsUsedOnlyWhenCollected) {
  Call atOnce("all", UseMode::CS);
  atOnce.report(Way::AtOnceOrCollected, "第[3", "]行小于0", "]行小于 0");
  EXPECT_EQ(atOnce.verdict(), "第[3]行小于0");
  Call collected("all", UseMode::BS);
  collected.report(Way::AtOnceOrCollected, "第[3", "]行小于0", "]行小于 0");
  EXPECT_EQ(collected.verdict(), "第[3]行小于 0\r");
}

TEST(Reporting, WholePassIsAllInAnyLetterCase) {
  EXPECT_TRUE(Call("All", UseMode::CS).wholePass());
  EXPECT_TRUE(Call("aLL", UseMode::CS).wholePass());
  EXPECT_FALSE(Call("all ", UseMode::CS).wholePass());
  EXPECT_EQ(Call("cInvCode", UseMode::CS).key(), "cinvcode");
}

TEST(Keys, ListedKeysExceptionsAndWholePassOnly) {
  const Keys quantity = Keys::on("iquantity all");
  const Keys wholeOnly = Keys::on("all");
  const Keys anyButItem = Keys::anyExcept("all cinvcode cvenabbname");
  const Call whole("ALL", UseMode::CS), qty("IQuantity", UseMode::CS), item("cInvCode", UseMode::CS),
      other("cFree1", UseMode::CS);
  EXPECT_TRUE(quantity.match(whole));
  EXPECT_TRUE(quantity.match(qty));
  EXPECT_FALSE(quantity.match(item));
  EXPECT_TRUE(wholeOnly.match(whole));
  EXPECT_FALSE(wholeOnly.match(qty));
  EXPECT_FALSE(anyButItem.match(whole));
  EXPECT_FALSE(anyButItem.match(item));
  EXPECT_TRUE(anyButItem.match(qty));
  EXPECT_TRUE(anyButItem.match(other));
  // A key is a whole word of the list, not a piece of one.
  EXPECT_FALSE(Keys::on("itaxprice all").match(Call("itax", UseMode::CS)));
}

}  // namespace
}  // namespace tallyward
