#include "odbc/odbc_stack.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

namespace tallyward::test {
namespace {

std::filesystem::path folder;

class OdbcStack : public ::testing::Environment {
 public:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "tw_odbc_XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder = pattern;
    std::ofstream(folder / "odbcinst.ini") << "[SQLite3]\nDescription=SQLite3 ODBC Driver\nDriver="
                                           << TW_SQLITE_ODBC_DRIVER << "\n";
    std::ofstream(folder / "odbc.ini") << "[" << kTestDsn << "]\nDriver=SQLite3\nDatabase=" << dsnDatabase()
                                       << "\nNoCreat=1\n";
    setenv("ODBCSYSINI", folder.c_str(), 1);
    setenv("ODBCINI", (folder / "odbc.ini").c_str(), 1);  // no user data sources from the home folder
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
  }
};

[[maybe_unused]] ::testing::Environment* const stack = ::testing::AddGlobalTestEnvironment(new OdbcStack);

}  // namespace

const std::string& dsnDatabase() {
  static const std::string path = (folder / "dsn.db").string();
  return path;
}

}  // namespace tallyward::test
