// Temporary SQLite databases in folders of their own: the ERP schema, empty or with the demo company,
// or a test's own SQL. Tests write through SQLite itself, beside the component, which only reads.
#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <stdlib.h>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>
#include "tallyward/database.h"
#include "tallyward/erp_database.h"
#include "tallyward/error.h"

namespace tallyward::test {

// The number of the run-time error that f raises (0: none), and its description.
inline int errorNumber(const std::function<void()>& f, std::string* description = nullptr) {
  try {
    f();
  } catch (const Error& e) {
    return (description ? *description = e.description() : ""), e.number();
  }
  return 0;
}

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tw_test_XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
    path_ = pattern;
  }
  ~TempFolder() { std::error_code ec; std::filesystem::remove_all(path_, ec); }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  std::string file(const std::string& name) const { return (path_ / name).string(); }
  const std::filesystem::path& path() const { return path_; }
  std::vector<std::string> entries() const {  // the names of what it holds, sorted
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(path_)) names.push_back(e.path().filename().string());
    return std::sort(names.begin(), names.end()), names;
  }
 private:
  std::filesystem::path path_;
};

inline std::string readBytes(const std::string& path) { return (std::ostringstream() << std::ifstream(path, std::ios::binary).rdbuf()).str(); }
inline void writeBytes(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

using Row = std::vector<std::string>;  // every value as text, "NULL" for Null

class TempDatabase {
 public:
  enum Start { EmptyErp, DemoCompany };
  explicit TempDatabase(Start start = EmptyErp) {
    std::filesystem::copy_file(made(start == DemoCompany), path_);
    open();
  }
  explicit TempDatabase(const std::string& schemaSql) { open(), sql(schemaSql); }
  ~TempDatabase() { sqlite3_close(db_); }
  const std::string& path() const { return path_; }
  std::shared_ptr<Connection> connect() const { return Connection::open(path_); }
  // Runs statements that change the file; a statement SQLite refuses fails the test.
  void sql(const std::string& statements) const { exec(statements, nullptr, nullptr); }
  // The rows of a query, read past the component's driver.
  std::vector<Row> rows(const std::string& query) const {
    std::vector<Row> result;
    exec(query, [](void* out, int n, char** values, char**) {
      Row& row = static_cast<std::vector<Row>*>(out)->emplace_back();
      for (int i = 0; i < n; ++i) row.emplace_back(values[i] ? values[i] : "NULL");
      return 0;
    }, &result);
    return result;
  }
  sqlite3* handle() const { return db_; }
 private:
  void exec(const std::string& statements, int (*each)(void*, int, char**, char**), void* out) const {
    char* message = nullptr;
    if (sqlite3_exec(db_, statements.c_str(), each, out, &message) != SQLITE_OK)
      ADD_FAILURE() << (message ? message : "refused") << "\n  in: " << statements;
    sqlite3_free(message);
  }
  void open() {
    if (sqlite3_open(path_.c_str(), &db_) != SQLITE_OK) throw std::runtime_error("cannot open " + path_);
    sqlite3_exec(db_, "PRAGMA synchronous = OFF", nullptr, nullptr, nullptr);  // a throw-away file
  }
  static const std::string& made(bool demo) {
    struct Template {
      explicit Template(bool withSample) { createErpDatabase(path, withSample, false); }
      TempFolder folder;
      std::string path = folder.file("erp.db");
    };
    if (demo) {
      static const Template sample(true);
      return sample.path;
    }
    static const Template empty(false);
    return empty.path;
  }
  TempFolder folder_;
  std::string path_ = folder_.file("erp.db");
  sqlite3* db_ = nullptr;
};

}  // namespace tallyward::test
