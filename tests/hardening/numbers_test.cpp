// Hostile numbers: texts beyond the range of a Double, NaN and Infinity, and values that a Long
// cannot hold. An overflow is run-time error 6 and never reads as a number that passes a rule.
#include <cmath>
#include <limits>

#include "rows/voucher.h"
#include "support/temp_database.h"
#include "support/voucher_builder.h"
#include "tallyward/host.h"

namespace tallyward::test {
namespace {

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

bool isFieldEntry(std::string_view name) { return name.ends_with("H") || name == "ClsS_VerifyHPO"; }

// A reading's outcome: its number, or "error N".
std::string reading(const std::function<double()>& read) {
  double v = 0;
  const int error = errorNumber([&] { v = read(); });
  return error ? "error " + std::to_string(error) : formatNumber(v);
}

TEST(HostileNumbers, EveryReadingRefusesOverflowAndReadsNoInfinityOrNaN) {
  const struct {
    const char* text;
    const char* lenient;  // StrToDbl, VarToDbl, leadingNumber: 0 for a text that is no number
    const char* strict;   // textToDouble, toDouble: error 13 for a text that is no number
  } cases[] = {
      {"-1e309", "error 6", "error 6"}, {"1e99999999999999999999", "error 6", "error 6"},
      {"NaN", "0", "error 13"},         {"-Infinity", "0", "error 13"},       {"1e-400", "0", "0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(reading([&] { return StrToDbl(c.text); }), c.lenient);
    EXPECT_EQ(reading([&] { return VarToDbl(Variant(c.text)); }), c.lenient);
    EXPECT_EQ(reading([&] { return leadingNumber(c.text); }), c.lenient);
    EXPECT_EQ(reading([&] { return textToDouble(c.text); }), c.strict);
    EXPECT_EQ(reading([&] { return toDouble(Variant(c.text)); }), c.strict);
  }
  for (double d : {kInf, -kInf, kNaN}) EXPECT_EQ(reading([&] { return VarToDbl(Variant(d)); }), "error 6") << d;
}

TEST(HostileNumbers, LongsTakeOnlyWhatTheyHold) {
  const struct {
    const char* name;
    Variant value;
    const char* expected;
  } cases[] = {
      {"largest", Variant(2147483647L), "2147483647"},   {"smallest", Variant(-2147483648L), "-2147483648"},
      {"2^32+3", Variant(4294967299L), "error 6"},       {"2^31", Variant(2147483648.0), "error 6"},
      {"-2^31-1", Variant(-2147483649L), "error 6"},    {"text 2^32+3", Variant("4294967299"), "error 6"},
      {"NaN", Variant(kNaN), "error 6"},                 {"infinity", Variant(-kInf), "error 6"},
      {"date infinity", Variant(Date{kInf}), "error 6"}, {"rounds past", Variant(2147483647.5), "error 6"},
  };
  for (const auto& c : cases) EXPECT_EQ(reading([&] { return toLong(c.value); }), c.expected) << c.name;

  // Row numbers and the mode of every class.
  auto body = voucher({line({{"cinvcode", ""}, {"iquantity", "1"}})});
  for (const char* name : {"ClsS_VerifyFPO", "ClsS_VerifyHPO", "ClsS_VerifyArriveH"}) {
    std::shared_ptr<Object> check = createObject(name);
    const bool fieldEntry = isFieldEntry(name);
    for (const Variant& R : {Variant(4294967299L), Variant(kNaN), Variant(-kInf)}) {
      std::vector<Variant> args{Variant("iquantity"), Variant(body)};
      if (fieldEntry) args.push_back(Variant::missing());
      args.push_back(R);
      EXPECT_EQ(errorNumber([&] { check->call("VerifyBody", std::span<Variant>(args)); }), err::Overflow) << name;
    }
    for (const Variant& mode : {Variant(kNaN), Variant(kInf), Variant(4294967297L), Variant("1e10")})
      EXPECT_EQ(errorNumber([&] { check->put("m_UseMode", mode); }), err::Overflow) << name;
  }
}

// ---- The rules that read numbers ---------------------------------------------------------------

struct RuleCase {
  const char* name;
  const char* className;
  bool head;           // a head rule (else a line rule)
  const char* key;     // its single-field key
  const char* field;   // the field that carries the number
  Attributes row;      // the rest of the row, such that the rule reads the field
};

const Attributes kOrderHead{{"cpoid", "WW1"}, {"cexch_name", "人民币"}, {"nflat", "1"}, {"dpodate", "2026-11-20"},
                            {"cvenabbname", "华东精工"}, {"cdepname", "采购部"}, {"ibargain", "0"}, {"itaxrate", "13"}};
const Attributes kOrderLine{{"cinvcode", "P1001"}, {"iquantity", "100"}, {"igrouptype", "1"}, {"iinvexchrate", "10"},
                            {"cunitid", "箱"}, {"inum", "10"}, {"iunitprice", "1"}, {"inatunitprice", "1"},
                            {"itaxprice", "1"}, {"imoney", "1"}, {"inatmoney", "1"}, {"isum", "1"}, {"inatsum", "1"},
                            {"ipertaxrate", "13"}};

// The single-field check and a whole pass in each mode, with the field set to `value`.
std::vector<std::string> outcomes(const RuleCase& c, const std::string& value, const TempDatabase& db) {
  auto doc = c.head ? head(with(c.row, {{c.field, value}})) : voucher({line(with(c.row, {{c.field, value}}))});
  std::shared_ptr<Object> check = createObject(c.className);
  const bool fieldEntry = isFieldEntry(c.className);
  if (fieldEntry) {
    useDatabase(*check, db.connect());
    check->putRef("clsInfor", Variant(defaultSession()));
  }
  std::vector<std::string> out;
  for (const char* key : {c.key, "all", "all"}) {
    std::vector<Variant> args{Variant(key), Variant(doc)};
    if (fieldEntry && !c.head) args.emplace_back(head({{"cvencode", "V001"}}));
    if (!c.head) args.emplace_back(1);
    std::string verdict;
    const int error = errorNumber([&] { verdict = toText(check->call(c.head ? "VerifyHead" : "VerifyBody", std::span<Variant>(args))); });
    out.push_back(error ? "error " + std::to_string(error) : verdict);
    check->put("m_UseMode", Variant(1));
  }
  return out;
}

// Every whole-voucher rule reads its numbers through the frame's one reader: a head rule and a line
// rule stand for them. Field entry reckons a line's tax itself, on the demo company; zero tax on a
// zero amount passes, so a hostile number read as 0 would pass too.
TEST(HostileNumbers, OverflowNeverPassesARuleAndNaNOrInfinityReadAsNoNumber) {
  const TempDatabase db(TempDatabase::DemoCompany);
  const RuleCase rules[] = {
      {"order head tax rate", "ClsS_VerifyFPO", true, "itaxrate", "itaxrate", kOrderHead},
      {"order line quantity", "ClsS_VerifyFPO", false, "iquantity", "iquantity", kOrderLine},
      {"order entry amount", "ClsS_VerifyHPO", false, "itax", "imoney",
       {{"cinvcode", "P1001"}, {"imoney", "0"}, {"ipertaxrate", "0"}, {"itax", "0"}}},
  };
  for (const RuleCase& c : rules) {
    SCOPED_TRACE(c.name);
    const std::vector<std::string> noNumber = outcomes(c, "abc", db);
    for (const char* value : {"1e309", "-1e309"}) {
      const std::vector<std::string> got = outcomes(c, value, db);
      // The whole-voucher checks fail the call; field entry goes on and finds the line's tax
      // beyond any tolerance (a whole pass may say something else first, but never passes).
      if (!isFieldEntry(c.className)) EXPECT_EQ(got, std::vector<std::string>(3, "error 6")) << value;
      else EXPECT_EQ(got[0], "第[1]行税额录入超出容差范围！") << value;
      for (const std::string& verdict : got) EXPECT_NE(verdict, "") << value;
    }
    for (const char* value : {"NaN", "Infinity"}) EXPECT_EQ(outcomes(c, value, db), noNumber) << value;
  }
}

}  // namespace
}  // namespace tallyward::test
