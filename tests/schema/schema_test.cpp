// The schema with the demo company: every statement of the checks and the stand-in host runs on it
// and finds the demo's codes, look-ups are served by indexes, and columns follow the conventions
// that the driver and the tests rely on.
#include <gtest/gtest.h>

#include <map>

#include "schema/sqlite_file.h"
#include "schema/statements.h"
#include "tallyward/erp_database.h"

namespace tallyward::test {
namespace {

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

using Schema = DemoCompany;

// A missing column, or a column name that two joined tables share, makes SQLite refuse a
// statement as it would make SQL Server refuse it. A look-up that reads a table whole is too slow
// on a real company (an OR branch without an index is enough to make it so). The demo company
// answers with the codes a demo uses.
TEST_F(Schema, EveryStatementRunsUsesIndexesAndFindsTheDemoCodes) {
  for (const auto& s : sql::everyStatement()) {
    Row names;  // a statement that SQLite refuses fails here
    const auto rows = db_->rows(s.sql, &names);
    EXPECT_EQ(rows.empty(), s.row.empty()) << s.what;
    for (const auto& [name, value] : s.row) {
      const auto at = std::find(names.begin(), names.end(), name);
      const std::string got = at == names.end() ? "<no column>" : rows.empty() ? "<no row>" : rows[0][at - names.begin()];
      EXPECT_EQ(got, value ? value : got == "<no column>" ? "" : got) << s.what << ": " << name;
    }
    if (std::string(s.mayScan) == "*") continue;
    for (const Row& step : db_->rows("EXPLAIN QUERY PLAN " + s.sql)) {
      // An automatic index is built by reading the table whole, for every run of the statement.
      const std::string& detail = step[3];
      EXPECT_EQ(detail.find("AUTOMATIC"), std::string::npos) << s.what << " reads a table whole: " << detail;
      if (detail.rfind("SCAN ", 0) != 0) continue;
      const std::string scanned = detail.substr(5, detail.find(' ', 5) - 5);
      EXPECT_EQ(lower(scanned), lower(s.mayScan)) << s.what << " reads a table whole: " << detail;
    }
  }
}

// The driver converts by declared type, so a column's type follows the ERP's name prefix: b flag
// (0 or 1 in the demo company), c text (compared without regard to case, as on the ERP's server),
// d date (date-time text that SQLite reads back unchanged), i/f/n number. A test may insert a row
// naming only its key: every other column is nullable or has a default.
TEST_F(Schema, EveryColumnFollowsTheConventions) {
  const std::map<char, std::string> types = {{'b', " BIT "},          {'c', " TEXT "},          {'d', " DATETIME "},
                                             {'i', " INTEGER REAL "}, {'f', " INTEGER REAL "}, {'n', " INTEGER REAL "}};
  db_->rows("SAVEPOINT keys");
  for (const std::string& t : db_->tables()) {
    std::string names, values;
    for (const Row& c : db_->rows("PRAGMA table_info('" + t + "')")) {
      const std::string &col = c[1], &type = c[2], where = t + "." + col + " " + type;
      const auto allowed = types.count(col[0]) ? types.at(col[0]) : " TEXT BIT DATETIME INTEGER REAL ";
      EXPECT_NE(allowed.find(" " + type + " "), std::string::npos) << where;
      const char* collation = nullptr;
      sqlite3_table_column_metadata(db_->handle(), "main", t.c_str(), col.c_str(), nullptr, &collation, nullptr,
                                    nullptr, nullptr);
      EXPECT_STREQ(type == "TEXT" ? collation : "NOCASE", "NOCASE") << where;
      const std::string bad = type == "DATETIME" ? "typeof(" + col + ") not in ('null', 'text') or datetime(" + col +
                                                       ") <> " + col
                              : type == "BIT" ? "typeof(" + col + ") not in ('null', 'integer') or " + col + " not in (0, 1)"
                                              : "0";
      const auto held = db_->rows("select " + col + " from " + t + " where " + bad);
      EXPECT_TRUE(held.empty()) << where << " holds " << held[0][0];
      const bool required = c[3] == "1" && c[4] == "NULL", key = c[5] != "0";
      EXPECT_TRUE(!required || key) << where << " is required but not part of the key";
      if (!key) continue;
      names += (names.empty() ? "" : ",") + col;
      values += (values.empty() ? "" : ",") + std::string(type == "INTEGER" ? "987654321" : "'KEY ONLY'");
    }
    db_->rows(names.empty() ? "INSERT INTO " + t + " DEFAULT VALUES"
                            : "INSERT INTO " + t + " (" + names + ") VALUES (" + values + ")");
  }
  db_->rows("ROLLBACK TO keys");
  db_->rows("RELEASE keys");
}

}  // namespace
}  // namespace tallyward::test
