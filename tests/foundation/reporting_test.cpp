#include <gtest/gtest.h>

#include "whole/rules.h"
#include "whole/verdict.h"

namespace tallyward {
namespace {

// Two failing rules of the same way, one after the other, on a verdict that already holds a
// collected message "c\r": what the verdict is and whether the call ended after the first.
struct WayCase {
  Way way;
  UseMode mode;
  bool wholePass;
  std::string verdict;
  bool endedAtFirst;
};

class ReportingWays : public ::testing::TestWithParam<WayCase> {};

TEST_P(ReportingWays, JoinOrEndAsTheWaySays) {
  const WayCase& c = GetParam();
  Call call(c.wholePass ? "ALL" : "cInvCode", c.mode);
  call.append("c\r");
  const bool endedFirst = call.report(c.way, "第[1", "]行一");
  EXPECT_EQ(endedFirst, c.endedAtFirst);
  if (!endedFirst) call.report(c.way, "第[2", "]行二");
  EXPECT_EQ(call.verdict(), c.verdict);
  EXPECT_EQ(call.ended(), c.endedAtFirst);
}

constexpr UseMode CS = UseMode::CS;
constexpr UseMode BS = UseMode::BS;
constexpr bool kWhole = true;
constexpr bool kSingle = false;

INSTANTIATE_TEST_SUITE_P(
    AllWays, ReportingWays,
    ::testing::Values(
        // A: at once, except collected in a BS whole pass.
        WayCase{Way::AtOnceOrCollected, CS, kSingle, "第[1]行一", true}, WayCase{Way::AtOnceOrCollected, BS, kSingle, "第[1]行一", true},
        WayCase{Way::AtOnceOrCollected, CS, kWhole, "第[1]行一", true},
        WayCase{Way::AtOnceOrCollected, BS, kWhole, "c\r第[1]行一\r第[2]行二\r", false},
        // B: as A, but appended without a carriage return in a BS whole pass.
        WayCase{Way::AtOnceOrAppended, CS, kSingle, "第[1]行一", true}, WayCase{Way::AtOnceOrAppended, BS, kSingle, "第[1]行一", true},
        WayCase{Way::AtOnceOrAppended, CS, kWhole, "第[1]行一", true},
        WayCase{Way::AtOnceOrAppended, BS, kWhole, "c\r第[1]行一第[2]行二", false},
        // C: whole pass only, collected in both modes.
        WayCase{Way::CollectedInPass, CS, kSingle, "c\r", false}, WayCase{Way::CollectedInPass, BS, kSingle, "c\r", false},
        WayCase{Way::CollectedInPass, CS, kWhole, "c\r第[1]行一\r第[2]行二\r", false},
        WayCase{Way::CollectedInPass, BS, kWhole, "c\r第[1]行一\r第[2]行二\r", false},
        // D: whole pass only, and only in BS.
        WayCase{Way::CollectedInBsPass, CS, kSingle, "c\r", false}, WayCase{Way::CollectedInBsPass, BS, kSingle, "c\r", false},
        WayCase{Way::CollectedInBsPass, CS, kWhole, "c\r", false},
        WayCase{Way::CollectedInBsPass, BS, kWhole, "c\r第[1]行一\r第[2]行二\r", false},
        // E: whole pass only; in CS the message and a CR alone end the call.
        WayCase{Way::PassEndsInCs, CS, kSingle, "c\r", false}, WayCase{Way::PassEndsInCs, BS, kSingle, "c\r", false},
        WayCase{Way::PassEndsInCs, CS, kWhole, "第[1]行一\r", true},
        WayCase{Way::PassEndsInCs, BS, kWhole, "c\r第[1]行一\r第[2]行二\r", false},
        // F: at once in CS, collected in BS, in both kinds of call.
        WayCase{Way::AtOnceInCsCollectedInBs, CS, kSingle, "第[1]行一", true},
        WayCase{Way::AtOnceInCsCollectedInBs, BS, kSingle, "c\r第[1]行一\r第[2]行二\r", false},
        WayCase{Way::AtOnceInCsCollectedInBs, CS, kWhole, "第[1]行一", true},
        WayCase{Way::AtOnceInCsCollectedInBs, BS, kWhole, "c\r第[1]行一\r第[2]行二\r", false},
        // G: at once in CS, appended without CR in BS, in both kinds of call.
        WayCase{Way::AtOnceInCsAppendedInBs, CS, kSingle, "第[1]行一", true},
        WayCase{Way::AtOnceInCsAppendedInBs, BS, kSingle, "c\r第[1]行一第[2]行二", false},
        WayCase{Way::AtOnceInCsAppendedInBs, CS, kWhole, "第[1]行一", true},
        WayCase{Way::AtOnceInCsAppendedInBs, BS, kWhole, "c\r第[1]行一第[2]行二", false}));

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
