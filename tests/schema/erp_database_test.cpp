// Creating the ERP database from the SQL built into the library.
#include <gtest/gtest.h>
#include "support/temp_database.h"
#include "tallyward/erp_database.h"

namespace tallyward::test {
namespace {

std::string vendors(const std::string& path) {
  return toText(Connection::open(path)->execute("SELECT count(*) FROM Vendor")->field(0));
}

TEST(ErpDatabase, TheBuiltInSqlIsTheTextOfTheFilesInDb) {
  EXPECT_EQ(erpSchemaSql(), readBytes(TW_SOURCE_DIR "/db/schema.sql"));
  EXPECT_EQ(erpSampleSql(), readBytes(TW_SOURCE_DIR "/db/sample.sql"));
}

// Each step leaves one whole database and nothing else in the folder (no temporary file, no
// journal); with force it replaces what was there, demo rows or a file that is no database, and
// without it an existing file stays byte for byte.
TEST(ErpDatabase, CreatedWholeAndReplacedOnlyWithForce) {
  TempFolder dir;
  const std::string path = dir.file("erp.db");
  const struct { const char* before; bool withSample, force; int error; bool demo; } steps[] = {
      {nullptr, false, false, 0, false}, {nullptr, true, true, 0, true}, {nullptr, false, true, 0, false},
      {"junk", true, true, 0, true},     {"keep me\n", true, false, 5, false}, {"", true, false, 5, false}};
  for (const auto& s : steps) {
    if (s.before) writeBytes(path, s.before);
    const std::string bytes = readBytes(path);
    std::string message;
    EXPECT_EQ(errorNumber([&] { createErpDatabase(path, s.withSample, s.force); }, &message), s.error) << message;
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"erp.db"});
    if (s.error) {
      EXPECT_EQ(message, "cannot create the ERP database " + path + ": the file exists (--force replaces it)");
      EXPECT_EQ(readBytes(path), bytes);
    } else {
      EXPECT_EQ(vendors(path) != "0", s.demo);
    }
  }
}

TEST(ErpDatabase, APathThatCannotBeADatabaseIsRefusedAndNothingIsCreated) {
  const struct { const char* what; std::string name; int number; } cases[] = {
      {"no path", "", err::InvalidArgument}, {"a path ending in /", "new/", err::InvalidArgument},
      {"a missing folder", "missing/erp.db", err::Database}};
  for (const auto& c : cases)
    for (bool force : {false, true}) {
      TempFolder dir;
      std::string message;
      EXPECT_EQ(errorNumber([&] { createErpDatabase(c.name.empty() ? "" : dir.file(c.name), false, force); }, &message),
                c.number) << c.what << " force=" << force;
      EXPECT_EQ(message.rfind("cannot create the ERP database", 0), 0u) << message;
      EXPECT_TRUE(dir.entries().empty()) << c.what;
    }
}

}  // namespace
}  // namespace tallyward::test
