// Helpers of the schema tests: a temporary folder, and an SQLite file read through the C API
// (these tests check the database itself, not the driver that the checks use).
#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <cctype>
#include <filesystem>
#include <map>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace tallyward::test {

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tw-schema-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  std::string file(const std::string& name) const { return (path_ / name).string(); }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

inline std::string readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

inline void writeBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// One row of a result, every value as text ("NULL" for Null).
using Row = std::vector<std::string>;

class SqliteFile {
 public:
  explicit SqliteFile(const std::string& path) {
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
      throw std::runtime_error("cannot open " + path);
  }
  ~SqliteFile() { sqlite3_close(db_); }
  SqliteFile(const SqliteFile&) = delete;
  SqliteFile& operator=(const SqliteFile&) = delete;

  sqlite3* handle() const { return db_; }

  // The rows of a statement; a statement SQLite refuses fails the test with its message.
  std::vector<Row> rows(const std::string& sql) const {
    std::vector<Row> result;
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
      ADD_FAILURE() << sqlite3_errmsg(db_) << "\n  in: " << sql;
      return result;
    }
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
      Row row;
      for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
        const unsigned char* text = sqlite3_column_text(stmt, i);
        row.emplace_back(text ? reinterpret_cast<const char*>(text) : "NULL");
      }
      result.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE) ADD_FAILURE() << sqlite3_errmsg(db_) << "\n  in: " << sql;
    sqlite3_finalize(stmt);
    return result;
  }

  // The first value of the first row, or "" when there is none.
  std::string value(const std::string& sql) const {
    auto r = rows(sql);
    return r.empty() || r[0].empty() ? "" : r[0][0];
  }

  // The first row as column name (lower case) and value; empty when there is no row.
  std::map<std::string, std::string> firstRow(const std::string& sql) const {
    std::map<std::string, std::string> row;
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
      ADD_FAILURE() << sqlite3_errmsg(db_) << "\n  in: " << sql;
      return row;
    }
    if (sqlite3_step(stmt) == SQLITE_ROW) {
      for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
        std::string name = sqlite3_column_name(stmt, i);
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        const unsigned char* text = sqlite3_column_text(stmt, i);
        row[name] = text ? reinterpret_cast<const char*>(text) : "NULL";
      }
    }
    sqlite3_finalize(stmt);
    return row;
  }

  // The message SQLite gives when it refuses to prepare the statement, or "" when it accepts it.
  std::string prepareError(const std::string& sql) const {
    sqlite3_stmt* stmt = nullptr;
    const int rc = sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr);
    sqlite3_finalize(stmt);
    return rc == SQLITE_OK ? "" : sqlite3_errmsg(db_);
  }

  std::vector<std::string> tables() const {
    std::vector<std::string> names;
    for (auto& r : rows("SELECT name FROM sqlite_master WHERE type='table' ORDER BY name"))
      names.push_back(r[0]);
    return names;
  }

 private:
  sqlite3* db_ = nullptr;
};

}  // namespace tallyward::test
