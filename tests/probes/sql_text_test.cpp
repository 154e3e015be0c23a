#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "common/sql_text.h"
#include "tallyward/error.h"
#include "tallyward/object.h"

namespace tallyward {
namespace {

// Reads the SQL text literal that starts at the beginning of sql the way a SQL Server parser does
// (two apostrophes stand for one); gives its content and how many characters it spans.
bool readLiteral(std::string_view sql, std::string& content, size_t& length) {
  if (sql.empty() || sql[0] != '\'') return false;
  content.clear();
  for (size_t i = 1; i < sql.size(); ++i) {
    if (sql[i] != '\'') {
      content.push_back(sql[i]);
      continue;
    }
    if (i + 1 < sql.size() && sql[i + 1] == '\'') {
      content.push_back('\'');
      ++i;
      continue;
    }
    length = i + 1;
    return true;
  }
  return false;  // never closed
}

const char* const kHostile[] = {
    "x' OR '1'='1",
    "'",
    "''",
    "A01'; DELETE FROM Inventory; --",
    "供应商'甲",
    "end with quote'",
    "'start with quote",
    "a''b",
};

TEST(EscapeSql, DoublesEveryApostropheAndNothingElse) {
  const struct { const char* in; const char* out; } cases[] = {
      {"", ""},
      {"A01", "A01"},
      {"x' OR '1'='1", "x'' OR ''1''=''1"},
      {"'", "''"},
      {"''", "''''"},
      {"供应商'甲", "供应商''甲"},
      {"back\\slash\"dq", "back\\slash\"dq"},
  };
  for (const auto& c : cases) EXPECT_EQ(escapeSql(c.in), c.out) << c.in;
}

TEST(SqlLiteral, HostileTextStaysInsideItsLiteral) {
  for (const char* text : kHostile) {
    // The literal followed by more statement: a parser must end the literal exactly where we did.
    const std::string sql = sqlLiteral(text) + " AND 1=0";
    std::string content;
    size_t length = 0;
    ASSERT_TRUE(readLiteral(sql, content, length)) << text;
    EXPECT_EQ(content, text);
    EXPECT_EQ(sql.substr(length), " AND 1=0") << text;
  }
}

TEST(SqlLiteral, EscapedValueBetweenFixedQuotesIsOneLiteral) {
  for (const char* text : kHostile) {
    const std::string sql = "'" + escapeSql(text) + "' OR x='y'";
    std::string content;
    size_t length = 0;
    ASSERT_TRUE(readLiteral(sql, content, length)) << text;
    EXPECT_EQ(content, text);
    EXPECT_EQ(sql.substr(length), " OR x='y'") << text;
  }
}

class Dummy : public Object {
 public:
  std::string_view typeName() const override { return "Dummy"; }
  DispId GetIDsOfNames(std::string_view) const override { return 0; }
  Variant Invoke(DispId, InvokeKind, std::span<Variant>) override { return {}; }
};

TEST(EscapeSqlValue, JoinsValuesAsTextWithNullAsEmpty) {
  EXPECT_EQ(escapeSqlValue(Variant::null()), "");
  EXPECT_EQ(escapeSqlValue(Variant()), "");
  EXPECT_EQ(escapeSqlValue(Variant(7)), "7");
  EXPECT_EQ(escapeSqlValue(Variant(2.5)), "2.5");
  EXPECT_EQ(escapeSqlValue(Variant("O'Neil")), "O''Neil");
  try {
    escapeSqlValue(Variant(std::make_shared<Dummy>()));
    FAIL() << "an object has no text";
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), err::TypeMismatch);
  }
}

TEST(SqlNumber, WritesNumbersAndRefusesEverythingElse) {
  EXPECT_EQ(sqlNumber(Variant(2026)), "2026");
  EXPECT_EQ(sqlNumber(Variant(2026.0)), "2026");
  EXPECT_EQ(sqlNumber(Variant(-3.5)), "-3.5");
  EXPECT_EQ(sqlNumber(Variant("2026")), "2026");
  EXPECT_EQ(sqlNumber(Variant(" 2026 ")), "2026");

  const Variant refused[] = {
      Variant("2026 or 1=1"),
      Variant("2026; DROP TABLE gl_mend"),
      Variant(""),
      Variant("abc"),
      Variant::null(),
      Variant(),
      Variant(true),
      Variant(std::numeric_limits<double>::infinity()),
      Variant(std::nan("")),
  };
  for (const Variant& v : refused) {
    try {
      const std::string s = sqlNumber(v);
      ADD_FAILURE() << "accepted as a number: " << s;
    } catch (const Error& e) {
      EXPECT_EQ(e.number(), err::TypeMismatch);
    }
  }
}

}  // namespace
}  // namespace tallyward
