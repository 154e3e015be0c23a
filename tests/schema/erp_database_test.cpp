// Creating the ERP database: the library call and `tallyward init-db`.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "command.h"
#include "schema/sqlite_file.h"
#include "tallyward/erp_database.h"
#include "tallyward/error.h"

namespace tallyward::test {
namespace {

namespace fs = std::filesystem;

int errorNumberOf(const std::string& path, bool withSample, bool force, std::string* message = nullptr) {
  try {
    createErpDatabase(path, withSample, force);
  } catch (const Error& e) {
    if (message) *message = e.description();
    return e.number();
  }
  return 0;
}

size_t rowCount(const std::string& path, const std::string& table) {
  return std::stoul(SqliteFile(path).value("SELECT count(*) FROM " + table));
}

std::vector<std::string> folderEntries(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(EmbeddedSql, IsTheTextOfTheFilesInDb) {
  EXPECT_EQ(erpSchemaSql(), readBytes(TW_SOURCE_DIR "/db/schema.sql"));
  EXPECT_EQ(erpSampleSql(), readBytes(TW_SOURCE_DIR "/db/sample.sql"));
}

TEST(CreateErpDatabase, SchemaAloneHasTablesButNoRows) {
  TempFolder dir;
  const std::string path = dir.file("erp.db");
  createErpDatabase(path, false, false);
  SqliteFile db(path);
  EXPECT_EQ(db.value("PRAGMA integrity_check"), "ok");
  EXPECT_GE(db.tables().size(), 30u);
  EXPECT_EQ(db.value("SELECT count(*) FROM Vendor"), "0");
  EXPECT_EQ(db.value("SELECT count(*) FROM accinformation"), "0");
}

TEST(CreateErpDatabase, SampleFillsTheDemoCompany) {
  TempFolder dir;
  const std::string path = dir.file("demo.db");
  createErpDatabase(path, true, false);
  EXPECT_GT(rowCount(path, "Vendor"), 0u);
  EXPECT_GT(rowCount(path, "Inventory"), 0u);
  EXPECT_GT(rowCount(path, "tw_data_right"), 0u);
  // Nothing but the database is left in the folder (no temporary file, no journal).
  EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string>{"demo.db"});
}

struct ExistingFile {
  const char* what;
  std::string bytes;  // "" with `database` false: an empty file
  bool database;      // a database made by an earlier call
};

class RefusesToOverwrite : public ::testing::TestWithParam<ExistingFile> {};

TEST_P(RefusesToOverwrite, AndKeepsTheFileByteForByte) {
  TempFolder dir;
  const std::string path = dir.file("erp.db");
  if (GetParam().database)
    createErpDatabase(path, false, false);
  else
    writeBytes(path, GetParam().bytes);
  const std::string before = readBytes(path);

  for (bool withSample : {false, true}) {
    std::string message;
    EXPECT_EQ(errorNumberOf(path, withSample, false, &message), 5) << GetParam().what;
    EXPECT_NE(message.find(path), std::string::npos) << message;
    EXPECT_NE(message.find("exists"), std::string::npos) << message;
    EXPECT_NE(message.find("--force"), std::string::npos) << message;
  }
  EXPECT_EQ(readBytes(path), before);
  EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string>{"erp.db"});
}

INSTANTIATE_TEST_SUITE_P(
    CreateErpDatabase, RefusesToOverwrite,
    ::testing::Values(ExistingFile{"a text file", "keep me\nplease\n", false},
                      ExistingFile{"an empty file", "", false},
                      ExistingFile{"an ERP database", "", true}));

TEST(CreateErpDatabase, ForceReplacesAnExistingFileWhole) {
  TempFolder dir;
  const std::string path = dir.file("erp.db");
  writeBytes(path, "not a database");
  createErpDatabase(path, true, true);
  EXPECT_EQ(SqliteFile(path).value("PRAGMA integrity_check"), "ok");
  EXPECT_GT(rowCount(path, "Inventory"), 0u);

  // Replacing a demo database by an empty one drops the demo rows.
  createErpDatabase(path, false, true);
  EXPECT_EQ(rowCount(path, "Inventory"), 0u);
  EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string>{"erp.db"});
}

TEST(CreateErpDatabase, ForceOnANewPathCreatesIt) {
  TempFolder dir;
  createErpDatabase(dir.file("new.db"), false, true);
  EXPECT_TRUE(fs::exists(dir.file("new.db")));
}

struct BadPath {
  const char* what;
  std::string (*path)(const TempFolder&);
  int number;
};

class RefusesBadPath : public ::testing::TestWithParam<BadPath> {};

TEST_P(RefusesBadPath, WithAClearErrorAndNothingCreated) {
  TempFolder dir;
  fs::create_directory(dir.file("folder"));
  writeBytes(dir.file("plain"), "x");
  const auto before = folderEntries(dir.path());
  for (bool force : {false, true}) {
    std::string message;
    EXPECT_EQ(errorNumberOf(GetParam().path(dir), false, force, &message), GetParam().number)
        << GetParam().what << " force=" << force << ": " << message;
    EXPECT_NE(message.find("cannot create the ERP database"), std::string::npos) << message;
  }
  EXPECT_EQ(folderEntries(dir.path()), before);
  EXPECT_TRUE(fs::is_empty(dir.file("folder")));
}

INSTANTIATE_TEST_SUITE_P(
    CreateErpDatabase, RefusesBadPath,
    ::testing::Values(
        BadPath{"no path", [](const TempFolder&) { return std::string(); }, 5},
        BadPath{"a folder", [](const TempFolder& d) { return d.file("folder"); }, 5},
        BadPath{"a path ending in /", [](const TempFolder& d) { return d.file("new") + "/"; }, 5},
        BadPath{"a missing folder", [](const TempFolder& d) { return d.file("missing/erp.db"); }, 3001},
        BadPath{"under a plain file", [](const TempFolder& d) { return d.file("plain/erp.db"); }, 3001}));

// The command, in process.
struct CommandResult {
  int status;
  std::string out;
  std::string err;
};

CommandResult runCommand(std::vector<std::string> args) {
  std::ostringstream out, err;
  const int status = cli::run(args, out, err);
  return {status, out.str(), err.str()};
}

TEST(InitDbCommand, CreatesTheDatabaseAndSaysSoInOneLine) {
  TempFolder dir;
  const std::string path = dir.file("demo.db");
  const auto r = runCommand({"init-db", path, "--sample"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1) << r.out;
  EXPECT_NE(r.out.find(path), std::string::npos) << r.out;
  EXPECT_GT(rowCount(path, "Vendor"), 0u);

  const auto plain = runCommand({"init-db", dir.file("plain.db")});
  EXPECT_EQ(plain.status, 0) << plain.err;
  EXPECT_EQ(rowCount(dir.file("plain.db"), "Vendor"), 0u);
}

TEST(InitDbCommand, RefusesAnExistingFileWithStatus2) {
  TempFolder dir;
  const std::string path = dir.file("erp.db");
  writeBytes(path, "precious");
  const auto r = runCommand({"init-db", path, "--sample"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("exists"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("--force"), std::string::npos) << r.err;
  EXPECT_EQ(readBytes(path), "precious");

  const auto forced = runCommand({"init-db", path, "--force"});
  EXPECT_EQ(forced.status, 0) << forced.err;
  EXPECT_EQ(SqliteFile(path).value("PRAGMA integrity_check"), "ok");
}

TEST(InitDbCommand, UsageErrorsGiveStatus2) {
  TempFolder dir;
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"init-db"},                                  // no path
           {"init-db", dir.file("missing/erp.db")},      // unwritable: no such folder
           {"init-db", dir.file("a.db"), "--unknown"}}) {
    const auto r = runCommand(args);
    EXPECT_EQ(r.status, 2) << args.back();
    EXPECT_NE(r.err, "") << args.back();
  }
  EXPECT_TRUE(fs::is_empty(dir.path()));
}

// The installed command carries its SQL: it works from a folder that holds no db/*.sql.
TEST(InitDbCommand, WorksFromAnyFolder) {
  TempFolder dir;
  const std::string command = std::string("cd '") + dir.path().string() + "' && '" TW_COMMAND
                              "' init-db relative.db --sample >out.txt 2>err.txt";
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << readBytes(dir.file("err.txt"));
  EXPECT_GT(rowCount(dir.file("relative.db"), "Inventory"), 0u);

  const int again = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(again));
  EXPECT_EQ(WEXITSTATUS(again), 2);
  EXPECT_NE(readBytes(dir.file("err.txt")).find("exists"), std::string::npos);
}

}  // namespace
}  // namespace tallyward::test
