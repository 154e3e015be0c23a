// Hostile numbers: texts beyond the range of a Double, NaN and Infinity, and values that a Long
// cannot hold. An overflow is run-time error 6 and never reads as a number that passes a rule.
#include <limits>

#include "support/temp_database.h"
#include "support/voucher_builder.h"
#include "tallyward/host.h"

namespace tallyward::test {
namespace {

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(HostileNumbers, LongsTakeOnlyWhatTheyHold) {
  const struct { const char* name; Variant value; const char* expected; } cases[] = {
      {"largest", Variant(2147483647L), "2147483647"},   {"smallest", Variant(-2147483648L), "-2147483648"},
      {"-2^31-1", Variant(-2147483649L), "error 6"},    {"text 2^32+3", Variant("4294967299"), "error 6"},
      {"NaN", Variant(kNaN), "error 6"},                 {"date infinity", Variant(Date{kInf}), "error 6"},
      {"rounds past", Variant(2147483647.5), "error 6"},
  };
  for (const auto& c : cases) {
    int32_t v = 0;
    const int error = errorNumber([&] { v = toLong(c.value); });
    EXPECT_EQ(error ? "error " + std::to_string(error) : std::to_string(v), c.expected) << c.name;
  }

  auto body = voucher({line({{"cinvcode", ""}, {"iquantity", "1"}})});
  for (const auto& [name, fieldEntry] : {std::pair{"ClsS_VerifyFPO", false}, {"ClsS_VerifyHPO", true}}) {
    std::shared_ptr<Object> check = createObject(name);
    std::vector<Variant> args{Variant("iquantity"), Variant(body)};
    if (fieldEntry) args.push_back(Variant::missing());
    args.emplace_back(4294967299L);
    EXPECT_EQ(errorNumber([&] { check->call("VerifyBody", std::span<Variant>(args)); }), err::Overflow) << name;
    EXPECT_EQ(errorNumber([&] { check->put("m_UseMode", Variant(4294967297L)); }), err::Overflow) << name;
  }
}

const Attributes kOrderHead{{"cpoid", "WW1"}, {"cexch_name", "人民币"}, {"nflat", "1"}, {"dpodate", "2026-11-20"},
                            {"cvenabbname", "华东精工"}, {"cdepname", "采购部"}, {"ibargain", "0"}, {"itaxrate", "13"}};
const Attributes kOrderLine{{"cinvcode", "P1001"}, {"iquantity", "100"}, {"igrouptype", "1"}, {"iinvexchrate", "10"},
                            {"cunitid", "箱"}, {"inum", "10"}, {"iunitprice", "1"}, {"inatunitprice", "1"},
                            {"itaxprice", "1"}, {"imoney", "1"}, {"inatmoney", "1"}, {"isum", "1"}, {"inatsum", "1"},
                            {"ipertaxrate", "13"}};

// Every whole-voucher rule reads its numbers through the frame's one reader: a head rule and a line
// rule stand for them, single-field and in a whole pass, in either mode.
TEST(HostileNumbers, OverflowFailsAWholeVoucherCheckAndNaNOrInfinityReadAsNoNumber) {
  const struct { const char* name; bool head; const char* field; Attributes row; } rules[] = {
      {"order head tax rate", true, "itaxrate", kOrderHead}, {"order line quantity", false, "iquantity", kOrderLine}};
  for (const auto& r : rules)
    for (const char* key : {r.field, "all"})
      for (UseMode mode : {CS, BS}) {
        const auto outcome = [&](const char* value) {
          const Attributes row = with(r.row, {{r.field, value}});
          return run("ClsS_VerifyFPO", {r.name, key, mode, r.head ? H(row) : B({line(row)}, Variant(1))});
        };
        SCOPED_TRACE(std::string(r.name) + " " + key + (mode == BS ? " BS" : " CS"));
        EXPECT_EQ(outcome("1e309"), "error 6");
        EXPECT_EQ(outcome("-1e309"), "error 6");
        EXPECT_EQ(outcome("NaN"), outcome("abc"));
        EXPECT_EQ(outcome("Infinity"), outcome("abc"));
      }
}

// Field entry reckons a line's tax itself, on the demo company: zero tax on a zero amount passes, so
// a hostile amount read as 0 would pass too.
TEST(HostileNumbers, FieldEntryFindsAnOverflowingAmountBeyondTheTolerance) {
  const TempDatabase db(TempDatabase::DemoCompany);
  std::shared_ptr<Object> check = createObject("ClsS_VerifyHPO");
  useDatabase(*check, db.connect());
  check->putRef("clsInfor", Variant(defaultSession()));
  const auto verdict = [&](const char* key, const char* amount) {
    auto body = voucher({line({{"cinvcode", "P1001"}, {"imoney", amount}, {"ipertaxrate", "0"}, {"itax", "0"}})});
    return toText(check->call("VerifyBody", {Variant(key), Variant(body), Variant(head({{"cvencode", "V001"}})), Variant(1)}));
  };
  for (const char* amount : {"1e309", "-1e309"}) {
    EXPECT_EQ(verdict("itax", amount), "第[1]行税额录入超出容差范围！") << amount;
    EXPECT_NE(verdict("all", amount), "") << amount;  // a whole pass may say something else first
  }
  for (const char* amount : {"NaN", "Infinity"}) {
    EXPECT_EQ(verdict("itax", amount), verdict("itax", "abc")) << amount;
    EXPECT_EQ(verdict("all", amount), verdict("all", "abc")) << amount;
  }
}

}  // namespace
}  // namespace tallyward::test
