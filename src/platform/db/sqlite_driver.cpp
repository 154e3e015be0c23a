#include "platform/db/sqlite_driver.h"

#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <limits>
#include <optional>
#include <system_error>

#include "platform/db/column_values.h"
#include "platform/db/joined_or_rewrite.h"
#include "platform/db/literal_shape.h"
#include "platform/db/tsql_dialect.h"

namespace tallyward {

namespace {

bool sameNoCase(const char* a, std::string_view b) {
  if (!a) return false;
  size_t i = 0;
  for (; a[i] && i < b.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return a[i] == '\0' && i == b.size();
}

using dbvalues::ColumnKind;

ColumnKind kindOf(sqlite3_stmt* stmt, int column) {
  const char* declared = sqlite3_column_decltype(stmt, column);
  if (sameNoCase(declared, "BIT")) return ColumnKind::Bit;
  if (sameNoCase(declared, "DATETIME") || sameNoCase(declared, "SMALLDATETIME")) return ColumnKind::DateTime;
  return ColumnKind::Plain;
}

std::string_view textOf(sqlite3_stmt* stmt, int column) {
  const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
  return p ? std::string_view(p, static_cast<size_t>(sqlite3_column_bytes(stmt, column))) : std::string_view();
}

// One value as the ERP's platform delivers it.
Variant valueOf(sqlite3_stmt* stmt, int column, ColumnKind kind) {
  switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_NULL:
      return Variant::null();
    case SQLITE_INTEGER: {
      const sqlite3_int64 v = sqlite3_column_int64(stmt, column);
      if (kind == ColumnKind::Bit) return Variant(v != 0);
      return dbvalues::wholeNumber(v);
    }
    case SQLITE_FLOAT: {
      const double d = sqlite3_column_double(stmt, column);
      if (kind == ColumnKind::Bit) return Variant(d != 0);
      return Variant(d);
    }
    case SQLITE_TEXT:
      return dbvalues::textValue(textOf(stmt, column), kind);
    default: {  // a blob: its bytes as they are
      const auto* p = static_cast<const char*>(sqlite3_column_blob(stmt, column));
      return Variant(std::string(p ? p : "", static_cast<size_t>(sqlite3_column_bytes(stmt, column))));
    }
  }
}

// Leaves a statement ready for its next use whatever happens while it runs.
// Values bound for one run are let go, so that no statement keeps pointing at them.
struct ResetOnExit {
  sqlite3_stmt* stmt;
  ~ResetOnExit() {
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
  }
};

}  // namespace

SqliteDriver::SqliteDriver(const std::string& path) : path_(path) {
  if (path.empty()) throwError(err::Database, "No database file named");
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (!std::filesystem::exists(status))
    throwError(err::Database, "Database file not found: " + path);
  if (!std::filesystem::is_regular_file(status))
    throwError(err::Database, "Not a database file: " + path);
  // Read-only, so that nothing the component does changes the file: a connection that may write
  // would, on closing, fold a waiting write-ahead log into the file, and on opening roll back a
  // journal left behind by a writer. (Without SQLITE_OPEN_CREATE a wrong path never yields a new
  // empty database either.) The ERP's own writers go on as before; reads see what they committed.
  const int rc = sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    const std::string why = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
    sqlite3_close(db_);
    db_ = nullptr;
    throwError(err::Database, "Cannot open database " + path + ": " + why);
  }
  // No checkpoint when the connection closes, even where SQLite would attempt one.
  sqlite3_db_config(db_, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
  // Double-quoted text names a column, never a string that SQLite guesses when no column matches.
  sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
  sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
  sqlite3_busy_timeout(db_, 5000);
  char* message = nullptr;
  if (sqlite3_exec(db_, "PRAGMA query_only = ON; SELECT count(*) FROM sqlite_master", nullptr, nullptr,
                   &message) != SQLITE_OK) {
    const int code = sqlite3_extended_errcode(db_);
    const std::string why = message ? message : sqlite3_errmsg(db_);
    sqlite3_free(message);
    sqlite3_close(db_);
    db_ = nullptr;
    if (code == SQLITE_READONLY_ROLLBACK)
      throwError(err::Database, "Cannot read database " + path +
                                    ": a writer left an unfinished transaction in its journal, which only a "
                                    "connection that may write can roll back (" + why + ")");
    if (code == SQLITE_NOTADB)
      throwError(err::Database, "Not an SQLite database: " + path + " (" + why + ")");
    throwError(err::Database, "Cannot read database " + path + ": " + why);
  }
  columns_ = sqlite::columnsOf(db_);
}

SqliteDriver::~SqliteDriver() {
  for (Cached& c : lru_) sqlite3_finalize(c.stmt);
  sqlite3_finalize(begin_);
  sqlite3_finalize(commit_);
  sqlite3_close(db_);
}

void SqliteDriver::fail(std::string_view what, std::string_view sql, std::string_view translated) const {
  std::string description = std::string(what) + ": " + sqlite3_errmsg(db_) + " (statement: " + std::string(sql) + ")";
  if (!translated.empty() && translated != sql) description += " (as run on SQLite: " + std::string(translated) + ")";
  throwError(err::Database, std::move(description));
}

// Compiles a statement already in SQLite's dialect: one reading statement, nothing after it.
// A refusal names the statement as the component wrote it, `written`, and what SQLite was given.
sqlite3_stmt* SqliteDriver::compile(const std::string& translated, std::string_view written) {
  sqlite3_stmt* stmt = nullptr;
  const char* tail = nullptr;
  if (sqlite3_prepare_v3(db_, translated.c_str(), static_cast<int>(translated.size()),
                         SQLITE_PREPARE_PERSISTENT, &stmt, &tail) != SQLITE_OK) {
    sqlite3_finalize(stmt);
    fail("Statement refused by the database", written, translated);
  }
  ++prepared_;
  if (!stmt) throwError(err::Database, "Empty statement: " + std::string(written));
  const char* end = translated.c_str() + translated.size();
  for (; tail && tail < end; ++tail)
    if (*tail != ' ' && *tail != '\t' && *tail != '\r' && *tail != '\n') {
      sqlite3_finalize(stmt);
      throwError(err::Database, "More than one statement: " + std::string(written));
    }
  if (!sqlite3_stmt_readonly(stmt)) {
    sqlite3_finalize(stmt);
    throwError(err::Database, "Only reading statements are run: " + std::string(written));
  }
  return stmt;
}

sqlite3_stmt* SqliteDriver::prepareWritten(const std::string& written) {
  // Look-ups whose OR reaches into a left-joined table get conditions the indexes can serve.
  return compile(sqlite::runnableOnSqlite(written, columns_), written);
}

// A shape goes through the same translation and rewrite as a statement; its marks then become
// parameters. Nothing when any step refuses it: the statement then runs as written, so that a
// refusal reads exactly as it always has.
sqlite3_stmt* SqliteDriver::prepareShape(const std::string& shape, size_t values) {
  std::optional<std::string> text;
  try {
    text = sqlite::withParameters(sqlite::runnableOnSqlite(shape, columns_), values);
    if (!text) return nullptr;
    sqlite3_stmt* stmt = compile(*text, shape);
    if (sqlite3_bind_parameter_count(stmt) != static_cast<int>(values)) {
      sqlite3_finalize(stmt);
      return nullptr;
    }
    return stmt;
  } catch (const Error&) {
    return nullptr;
  }
}

SqliteDriver::Cached* SqliteDriver::find(const Index& index, std::string_view key) {
  const auto it = index.find(key);
  if (it == index.end()) return nullptr;
  lru_.splice(lru_.begin(), lru_, it->second);
  return &*it->second;
}

SqliteDriver::Cached& SqliteDriver::keep(bool shaped, std::string key, sqlite3_stmt* stmt) {
  if (lru_.size() >= kCacheSize) {
    const Cached& last = lru_.back();
    (last.shaped ? shaped_ : written_).erase(last.key);
    sqlite3_finalize(last.stmt);
    lru_.pop_back();
  }
  lru_.push_front({std::move(key), shaped, stmt});
  (shaped ? shaped_ : written_).emplace(lru_.front().key, lru_.begin());
  return lru_.front();
}

ResultSet SqliteDriver::query(std::string_view sql) {
  if (shareShapes_) {
    if (const sqlite::Shape* shape = shapes_.shapeOf(sql)) {
      Cached* entry = find(shaped_, shape->text);
      if (!entry) entry = &keep(true, shape->text, prepareShape(shape->text, shape->values.size()));
      if (sqlite3_stmt* stmt = entry->stmt) {
        for (size_t i = 0; i < shape->values.size(); ++i) {
          const std::string& v = shape->values[i];
          if (sqlite3_bind_text(stmt, static_cast<int>(i + 1), v.data(), static_cast<int>(v.size()),
                                SQLITE_STATIC) != SQLITE_OK) {
            sqlite3_clear_bindings(stmt);
            fail("Cannot bind a value", sql);
          }
        }
        return run(stmt, sql);
      }
    }
  }
  Cached* entry = find(written_, sql);
  if (!entry) entry = &keep(false, std::string(sql), prepareWritten(std::string(sql)));
  return run(entry->stmt, sql);
}

ResultSet SqliteDriver::run(sqlite3_stmt* stmt, std::string_view sql) {
  ResetOnExit reset{stmt};
  ResultSet result;
  const int n = sqlite3_column_count(stmt);
  std::vector<ColumnKind> kinds(static_cast<size_t>(n));
  result.columns.reserve(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    const char* name = sqlite3_column_name(stmt, i);
    result.columns.emplace_back(name ? name : "");
    kinds[static_cast<size_t>(i)] = kindOf(stmt, i);
  }
  for (;;) {
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_DONE) break;
    if (rc != SQLITE_ROW) fail("Database error", sql);
    std::vector<Variant>& row = result.rows.emplace_back();
    row.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) row.push_back(valueOf(stmt, i, kinds[static_cast<size_t>(i)]));
  }
  return result;
}

int SqliteDriver::runControl(sqlite3_stmt*& stmt, const char* sql) {
  if (!stmt && sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr) != SQLITE_OK) {
    sqlite3_finalize(stmt);
    stmt = nullptr;
    return sqlite3_errcode(db_);
  }
  const int rc = sqlite3_step(stmt);
  sqlite3_reset(stmt);
  return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

void SqliteDriver::beginRead() {
  if (reads_++ == 0 && sqlite3_get_autocommit(db_) && runControl(begin_, "BEGIN") != SQLITE_OK) {
    --reads_;
    fail("Cannot begin a read", "BEGIN");
  }
}

void SqliteDriver::endRead() {
  if (reads_ > 0 && --reads_ == 0 && !sqlite3_get_autocommit(db_)) runControl(commit_, "COMMIT");
}

std::vector<std::string> SqliteDriver::explainQueryPlan(std::string_view sql) {
  const std::string translated =
      "EXPLAIN QUERY PLAN " + sqlite::runnableOnSqlite(sql, columns_);
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db_, translated.c_str(), static_cast<int>(translated.size()), &stmt, nullptr) !=
      SQLITE_OK) {
    sqlite3_finalize(stmt);
    fail("Statement refused by the database", sql, translated);
  }
  std::vector<std::string> lines;
  int rc;
  while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) lines.emplace_back(textOf(stmt, 3));
  sqlite3_finalize(stmt);
  if (rc != SQLITE_DONE) fail("Database error", sql, translated);
  return lines;
}

}  // namespace tallyward
