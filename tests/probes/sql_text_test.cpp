#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "platform/db/sql_text.h"
#include "support/run_time_error.h"
#include "tallyward/host.h"

namespace tallyward {
namespace {

using test::errorNumber;

// Reads the SQL text literal at the start of sql as a SQL Server parser does (two apostrophes
// stand for one): its content and the rest of the statement after it.
bool readLiteral(std::string_view sql, std::string& content, std::string& rest) {
  if (sql.empty() || sql[0] != '\'') return false;
  content.clear();
  for (size_t i = 1; i < sql.size(); ++i) {
    if (sql[i] != '\'') {
      content.push_back(sql[i]);
    } else if (i + 1 < sql.size() && sql[i + 1] == '\'') {
      content.push_back('\'');
      ++i;
    } else {
      rest = sql.substr(i + 1);
      return true;
    }
  }
  return false;  // never closed
}

// A typed or stored text cannot end its literal, whether the helper writes the quotes or the
// statement does; nothing but the apostrophe is changed.
TEST(SqlText, HostileTextStaysInsideItsLiteral) {
  for (const char* text : {"x' OR '1'='1", "'", "''", "A01'; DELETE FROM Inventory; --", "供应商'甲",
                           "end with quote'", "a''b", "back\\slash\"dq", ""}) {
    for (const std::string& sql : {sqlLiteral(text) + " AND 1=0", "'" + escapeSql(text) + "' AND 1=0"}) {
      std::string content, rest;
      ASSERT_TRUE(readLiteral(sql, content, rest)) << sql;
      EXPECT_EQ(content, text);
      EXPECT_EQ(rest, " AND 1=0") << sql;
    }
  }
}

TEST(SqlText, ValuesJoinAsEscapedTextWithNullAsEmpty) {
  const struct { Variant value; const char* text; } cases[] = {
      {Variant::null(), ""}, {Variant(), ""}, {Variant(7), "7"}, {Variant(2.5), "2.5"}, {Variant("O'Neil"), "O''Neil"}};
  for (const auto& c : cases) EXPECT_EQ(escapeSqlValue(c.value), c.text);
  EXPECT_EQ(errorNumber([] { escapeSqlValue(Variant(std::make_shared<SessionInformation>())); }), err::TypeMismatch);
}

// A bare number never carries SQL text of its own.
TEST(SqlText, BareNumbersAreWrittenShortestAndNothingElsePasses) {
  const struct { Variant value; const char* text; } numbers[] = {
      {Variant(2026), "2026"}, {Variant(2026.0), "2026"}, {Variant(-3.5), "-3.5"}, {Variant(" 2026 "), "2026"}};
  for (const auto& n : numbers) EXPECT_EQ(sqlNumber(n.value), n.text);
  for (const Variant& v : {Variant("2026 or 1=1"), Variant(""), Variant("abc"), Variant::null(), Variant(),
                           Variant(true), Variant(std::numeric_limits<double>::infinity()), Variant(std::nan(""))})
    EXPECT_EQ(errorNumber([&] { sqlNumber(v); }), err::TypeMismatch) << toText(v.isNull() ? Variant("Null") : v);
}

}  // namespace
}  // namespace tallyward
