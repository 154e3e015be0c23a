// Creating the ERP database: the library call and `tallyward init-db`.
#include <gtest/gtest.h>

#include <sstream>

#include "command.h"
#include "support/run_time_error.h"
#include "support/temp_database.h"
#include "tallyward/database.h"
#include "tallyward/erp_database.h"
#include "tallyward/error.h"

namespace tallyward::test {
namespace {

namespace fs = std::filesystem;

// The error number of the call (0: none) and its description.
int errorOf(const std::string& path, bool withSample, bool force, std::string* message = nullptr) {
  return errorNumber([&] { createErpDatabase(path, withSample, force); }, message);
}

std::string vendors(const std::string& path) {
  return toText(Connection::open(path)->execute("SELECT count(*) FROM Vendor")->field(0));
}

TEST(EmbeddedSql, IsTheTextOfTheFilesInDb) {
  EXPECT_EQ(erpSchemaSql(), readBytes(TW_SOURCE_DIR "/db/schema.sql"));
  EXPECT_EQ(erpSampleSql(), readBytes(TW_SOURCE_DIR "/db/sample.sql"));
}

// Each step leaves one whole database and nothing else in the folder (no temporary file, no
// journal); with force it replaces what was there, demo rows or a file that is no database.
TEST(CreateErpDatabase, CreatesOrWithForceReplacesTheFileWhole) {
  TempFolder dir;
  const std::string path = dir.file("erp.db");
  const struct { bool garbage, withSample, force; } steps[] = {
      {false, false, false}, {false, true, true}, {false, false, true}, {true, true, true}};
  for (const auto& [garbage, withSample, force] : steps) {
    if (garbage) writeBytes(path, "not a database");
    createErpDatabase(path, withSample, force);
    auto db = Connection::open(path);
    EXPECT_GE(toLong(db->execute("SELECT count(*) FROM sqlite_master WHERE type='table'")->field(0)), 30);
    EXPECT_EQ(vendors(path) != "0", withSample);
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"erp.db"});
  }
}

TEST(CreateErpDatabase, RefusesAnExistingFileAndLeavesItByteForByte) {
  for (const char* existing : {"keep me\n", "", "database"}) {
    TempFolder dir;
    const std::string path = dir.file("erp.db");
    if (std::string(existing) == "database")
      createErpDatabase(path, false, false);
    else
      writeBytes(path, existing);
    const std::string before = readBytes(path);
    for (bool withSample : {false, true}) {
      std::string message;
      EXPECT_EQ(errorOf(path, withSample, false, &message), err::InvalidArgument) << existing;
      EXPECT_EQ(message, "cannot create the ERP database " + path + ": the file exists (--force replaces it)");
    }
    EXPECT_EQ(readBytes(path), before) << existing;
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"erp.db"});
  }
}

TEST(CreateErpDatabase, RefusesAPathThatCannotBeADatabaseAndCreatesNothing) {
  const struct { const char* what; std::string name; int number; } cases[] = {
      {"no path", "", err::InvalidArgument},
      {"a folder", "folder", err::InvalidArgument},
      {"a path ending in /", "new/", err::InvalidArgument},
      {"a missing folder", "missing/erp.db", err::Database},
      {"under a plain file", "plain/erp.db", err::Database},
  };
  for (const auto& c : cases)
    for (bool force : {false, true}) {
      TempFolder dir;
      fs::create_directory(dir.file("folder"));
      writeBytes(dir.file("plain"), "x");
      std::string message;
      EXPECT_EQ(errorOf(c.name.empty() ? "" : dir.file(c.name), false, force, &message), c.number)
          << c.what << " force=" << force << ": " << message;
      EXPECT_EQ(message.rfind("cannot create the ERP database", 0), 0u) << message;
      EXPECT_EQ(dir.entries(), (std::vector<std::string>{"folder", "plain"})) << c.what;
      EXPECT_TRUE(fs::is_empty(dir.file("folder"))) << c.what;
    }
}

TEST(InitDbCommand, StatusOutputAndFiles) {
  TempFolder dir;
  const std::string demo = dir.file("demo.db"), plain = dir.file("plain.db");
  writeBytes(plain, "precious");
  const struct { std::vector<std::string> args; int status; const char* errHas; } cases[] = {
      {{"init-db", demo, "--sample"}, 0, ""},
      {{"init-db", plain, "--sample"}, 2, "exists (--force replaces it)"},
      {{"init-db"}, 2, "PATH"},
      {{"init-db", dir.file("missing/erp.db")}, 2, "cannot create the ERP database"},
      {{"init-db", dir.file("a.db"), "--unknown"}, 2, "--unknown"},
  };
  for (const auto& c : cases) {
    std::ostringstream out, err;
    EXPECT_EQ(cli::run(c.args, out, err), c.status) << c.args.back();
    EXPECT_NE(err.str().find(c.errHas), std::string::npos) << c.args.back() << ": " << err.str();
    EXPECT_EQ(out.str(), c.status ? "" : "created ERP database " + demo + " with the demo company\n");
    EXPECT_EQ(err.str().empty(), c.status == 0) << err.str();
  }
  EXPECT_NE(vendors(demo), "0");
  EXPECT_EQ(readBytes(plain), "precious");
  EXPECT_EQ(dir.entries(), (std::vector<std::string>{"demo.db", "plain.db"}));

  std::ostringstream out, err;
  EXPECT_EQ(cli::run({"init-db", plain, "--force"}, out, err), 0) << err.str();
  EXPECT_EQ(vendors(plain), "0");
}

// The installed command carries its SQL: it works from a folder without db/*.sql, on a path
// relative to that folder.
TEST(InitDbCommand, WorksFromAnyFolderOnARelativePath) {
  TempFolder dir;
  const std::string command =
      "cd '" + dir.path().string() + "' && '" TW_COMMAND "' init-db relative.db --sample >out.txt 2>err.txt";
  int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << readBytes(dir.file("err.txt"));
  EXPECT_NE(vendors(dir.file("relative.db")), "0");
  status = std::system(command.c_str());
  EXPECT_EQ(WEXITSTATUS(status), 2);
}

}  // namespace
}  // namespace tallyward::test
