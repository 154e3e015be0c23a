// The field-entry toolkit beneath the order's checks: the rewrite that lets indexes serve an OR
// reaching into a left-joined table (what it leaves alone, and the same rows found on a real
// database), the readings the rules share, and the placing of typed text into WHERE texts.
#include <gtest/gtest.h>
#include <set>
#include "entry/field_entry.h"
#include "entry/lookup.h"
#include "platform/db/joined_or_rewrite.h"
#include "platform/db/sqlite_driver.h"
#include "rows/voucher.h"
#include "support/erp_fixture.h"

namespace tallyward::test {
namespace {

using sqlite::indexJoinedOr;

// Inventory has cInvCode, cInvName; venandinv has cInvCode, cVenCode, cVenInvCode.
bool tinySchema(std::string_view table, std::string_view column) {
  const std::string t = lowerCase(table), c = lowerCase(column);
  if (t == "inventory") return c == "cinvcode" || c == "cinvname";
  if (t == "venandinv") return c == "cinvcode" || c == "cvencode" || c == "cveninvcode";
  return false;
}

constexpr std::string_view kFrom =
    "SELECT Inventory.cInvCode FROM Inventory Left join venandinv on Inventory.cInvCode=venandinv.cInvCode "
    "and venandinv.cvencode='V1' ";

TEST(JoinedOr, StatementsItDoesNotFullyUnderstandStayAsTheyAre) {
  const std::string unchanged[] = {
      std::string(kFrom) + "WHERE cInvName='x' OR cVenInvCode='x'",                      // OR outside parentheses
      std::string(kFrom) + "WHERE (cInvName='x' OR cVenInvCode LIKE 'x%')",               // not an equality
      std::string(kFrom) + "WHERE NOT (cInvName='x' OR cVenInvCode='x')",                 // negated group
      std::string(kFrom) + "WHERE (cInvName='x' OR cVenInvCode='x') AND 1 BETWEEN 0 AND 2",
      std::string(kFrom) + "WHERE (cInvName='x' OR cVenInvCode='x') UNION SELECT 'z'",
      "SELECT Inventory.cInvCode FROM Inventory left join venandinv on Inventory.cInvCode=venandinv.cInvCode "
      "OR 1=1 WHERE (cInvName='x' OR cVenInvCode='x')",                                   // ON with OR
      "SELECT 'unterminated FROM Inventory",
  };
  for (const std::string& sql : unchanged) EXPECT_EQ(indexJoinedOr(sql, tinySchema), sql) << sql;
}

// On 2,000 items the rewritten statement finds what the parts of its OR find on their own.
class JoinedOrOnErp : public EntryTest<ClsS_VerifyHPO> {};

TEST_F(JoinedOrOnErp, SameRowsAsThePartsOfTheOr) {
  sql(R"(
    WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000)
    INSERT INTO Inventory (cInvCode, cInvName, cInvAddCode) SELECT printf('I%04d', i), printf('N%d', i % 50), NULL FROM n;
    INSERT INTO venandinv (cInvCode, cVenCode, cVenInvCode) VALUES
      ('I0007', 'V1', 'N3'), ('I0008', 'V2', 'N3'), ('I0009', 'V1', 'vx'), ('I0010', 'V1', 'VX');
  )");
  SqliteDriver raw(path_);
  auto codesOf = [&](const std::string& where) {
    std::set<std::string> codes;
    for (const auto& row : raw.query(std::string(kFrom) + where).rows) codes.insert(toText(row[0]));
    return codes;
  };
  for (const std::string typed : {"N3", "vx", "I0008", "I0009", "none"}) {
    const std::string names = "cInvName='" + typed + "' OR Inventory.cInvCode='" + typed + "' OR cInvAddCode='" + typed + "'";
    std::set<std::string> expected = codesOf("WHERE (" + names + ") AND dEDate IS NULL");
    const std::set<std::string> joined = codesOf("WHERE cVenInvCode='" + typed + "' AND dEDate IS NULL");
    expected.insert(joined.begin(), joined.end());
    EXPECT_EQ(codesOf("WHERE (" + names + " OR cVenInvCode='" + typed + "') AND dEDate IS NULL"), expected) << typed;
  }
  EXPECT_EQ(codesOf("WHERE (cInvName='x' OR cVenInvCode='VX')"), (std::set<std::string>{"I0009", "I0010"}));
}

TEST(FieldEntryReadings, LeadingNumberAndCentsRoundedHalfAwayFromZeroOnTheDecimalForm) {
  const std::pair<const char*, double> numbers[] = {
      {"", 0}, {"abc", 0}, {"  -3x", -3}, {"17%", 17}, {"1e3", 1000}, {"1e", 1}, {"+.5", 0.5}, {"-", 0}, {"0x10", 0}};
  for (const auto& [text, value] : numbers) EXPECT_EQ(leadingNumber(text), value) << text;
  const std::pair<double, double> cents[] = {
      {2.675, 2.68}, {-2.675, -2.68}, {0.0049, 0}, {0.005, 0.01}, {17.02 - 17, 0.02}, {123456.785, 123456.79}, {1e20, 1e20}};
  for (const auto& [value, rounded] : cents) EXPECT_EQ(roundCents(value), rounded) << value;
}

TEST(FieldEntryReadings, DatesOfRatesAndValuesPlacedEscaped) {
  EXPECT_EQ(datePart("2026-03-02T10:20:30"), "2026-03-02");
  EXPECT_EQ(datePart("2026-03-02t1"), "2026-03-02t1");  // only a capital T ends the date
  EXPECT_EQ(rateDate("2026-3-2"), "2026.03.02");
  EXPECT_EQ(rateDate(""), "");
  EXPECT_THROW(rateDate("2026-02-30"), Error);
  const std::string_view more[] = {"b'1"};
  EXPECT_EQ(fillWhere(" WHERE (a='{0}' OR b='{0}') and c='{1}' and d={x}", "it's", more),
            " WHERE (a='it''s' OR b='it''s') and c='b''1' and d={x}");
  EXPECT_THROW(fillWhere("a='{2}'", "v", more), Error);
}

}  // namespace
}  // namespace tallyward::test
