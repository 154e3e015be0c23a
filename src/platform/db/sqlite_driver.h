// The embedded database: an SQLite file that holds the ERP's tables, reached with the native API.
#pragma once

#include <cstddef>
#include <list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/db/joined_or_rewrite.h"
#include "platform/db/literal_shape.h"
#include "tallyward/database.h"

struct sqlite3;
struct sqlite3_stmt;

namespace tallyward {

// Runs the component's T-SQL on an SQLite file: each statement is translated (see
// tsql_dialect.h), prepared once and kept in a small per-connection cache, and its values come
// back as the ERP's platform delivered them: BIT columns as Booleans, whole numbers as Long (Double
// beyond 32 bits), reals as Double, text as String, DATETIME text as Date, Null as Null.
// The database is only read: statements that would change it are refused.
class SqliteDriver final : public Driver {
 public:
  // Opens an existing database file. Error 3001 when the file is missing, is a folder or is not
  // an SQLite database; a database is never created here.
  explicit SqliteDriver(const std::string& path);
  ~SqliteDriver() override;
  SqliteDriver(const SqliteDriver&) = delete;
  SqliteDriver& operator=(const SqliteDriver&) = delete;

  ResultSet query(std::string_view sql) override;
  // A read transaction around the statements in between: SQLite takes its shared lock once.
  void beginRead() override;
  void endRead() override;

  // The lines of SQLite's EXPLAIN QUERY PLAN for a statement as the component writes it (after
  // translation), such as "SEARCH Vendor USING INDEX ..." or "SCAN Inventory".
  std::vector<std::string> explainQueryPlan(std::string_view sql);

  const std::string& path() const { return path_; }

  // How many statements have been compiled on this connection.
  size_t preparedCount() const { return prepared_; }

  // Statements kept compiled; the least recently used one leaves when the cache is full.
  static constexpr size_t kCacheSize = 64;

  // Statements that differ only in the literals they compare with (the typed code of one look-up
  // and of the next) share one compiled statement: the literals are bound as its parameters (see
  // literal_shape.h). On by default; off, every statement is compiled from its own text, which
  // gives the same rows, names and values and serves to compare the two.
  void shareShapes(bool on) { shareShapes_ = on; }
  bool sharesShapes() const { return shareShapes_; }

 private:
  struct Cached {
    std::string key;     // the shape, or the statement as written
    bool shaped;
    sqlite3_stmt* stmt;  // nullptr: a shape that cannot be compiled; its statements run as written
  };
  using Index = std::unordered_map<std::string_view, std::list<Cached>::iterator>;
  sqlite3_stmt* compile(const std::string& translated, std::string_view written);
  sqlite3_stmt* prepareWritten(const std::string& written);
  sqlite3_stmt* prepareShape(const std::string& shape, size_t values);
  // Runs BEGIN or COMMIT, compiling it on first use; SQLite's answer.
  int runControl(sqlite3_stmt*& stmt, const char* sql);
  Cached* find(const Index& index, std::string_view key);
  Cached& keep(bool shaped, std::string key, sqlite3_stmt* stmt);
  ResultSet run(sqlite3_stmt* stmt, std::string_view sql);
  // Error 3001 with SQLite's message, the statement as the component wrote it and, where it
  // differs, the statement as SQLite was given it.
  [[noreturn]] void fail(std::string_view what, std::string_view sql, std::string_view translated = {}) const;

  std::string path_;
  sqlite3* db_ = nullptr;
  // Which tables have which columns, for the joined-OR rewrite: read once per table for the life
  // of the connection. The schema of an open ERP database does not change under the checks; a
  // table altered afterwards is seen anew only by a new connection (the statements stay right:
  // the rewrite only adds conditions that it can prove, and SQLite itself recompiles a cached
  // statement after a schema change).
  sqlite::ColumnLookup columns_;
  sqlite::ShapeCache shapes_;  // used under the connection's lock, as the statement cache is
  std::list<Cached> lru_;  // most recently used first
  // Shapes and written texts are looked up apart, so that a written text is never taken for a shape.
  Index shaped_, written_;
  size_t prepared_ = 0;
  int reads_ = 0;  // nesting of beginRead
  // BEGIN and COMMIT of a read, compiled once for the life of the connection.
  sqlite3_stmt* begin_ = nullptr;
  sqlite3_stmt* commit_ = nullptr;
  bool shareShapes_ = true;
};

}  // namespace tallyward
