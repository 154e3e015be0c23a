// Helpers of the schema tests: a temporary folder, and an SQLite file read through the C API
// (these tests check the database itself, not the driver that the checks use).
#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "tallyward/erp_database.h"

namespace tallyward::test {

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tw-schema-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~TempFolder() { std::filesystem::remove_all(path_); }
  std::string file(const std::string& name) const { return (path_ / name).string(); }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

inline std::string readBytes(const std::string& path) {
  std::ostringstream ss;
  ss << std::ifstream(path, std::ios::binary).rdbuf();
  return ss.str();
}

inline void writeBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::vector<std::string> folderEntries(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

using Row = std::vector<std::string>;  // every value as text, "NULL" for Null

class SqliteFile {
 public:
  explicit SqliteFile(const std::string& path) {
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
      throw std::runtime_error("cannot open " + path);
  }
  ~SqliteFile() { sqlite3_close(db_); }

  // The rows of a statement (and the lower-case column names); a refused statement fails the test.
  std::vector<Row> rows(const std::string& sql, Row* names = nullptr) const {
    std::vector<Row> result;
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
      ADD_FAILURE() << sqlite3_errmsg(db_) << "\n  in: " << sql;
      return result;
    }
    for (int i = 0; names && i < sqlite3_column_count(stmt); ++i) {
      std::string name = sqlite3_column_name(stmt, i);
      for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      names->push_back(name);
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

  std::string value(const std::string& sql) const {
    auto r = rows(sql);
    return r.empty() || r[0].empty() ? "" : r[0][0];
  }

  std::vector<std::string> tables() const {
    std::vector<std::string> names;
    for (auto& r : rows("SELECT name FROM sqlite_master WHERE type='table' ORDER BY name")) names.push_back(r[0]);
    return names;
  }

  sqlite3* handle() const { return db_; }

 private:
  sqlite3* db_ = nullptr;
};

// The demo company, created once for the tests of a program.
class DemoCompany : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = std::make_unique<TempFolder>();
    createErpDatabase(dir_->file("demo.db"), true, false);
    db_ = std::make_unique<SqliteFile>(dir_->file("demo.db"));
  }
  static void TearDownTestSuite() {
    db_.reset();
    dir_.reset();
  }
  static inline std::unique_ptr<TempFolder> dir_;
  static inline std::unique_ptr<SqliteFile> db_;
};

}  // namespace tallyward::test
