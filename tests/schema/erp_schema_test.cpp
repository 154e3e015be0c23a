// The ERP database: created from the SQL built into the library, and with the demo company, its
// statements served by indexes and its columns following the conventions the driver relies on.
#include <gtest/gtest.h>
#include <map>
#include <set>
#include "platform/db/sqlite_driver.h"
#include "support/temp_database.h"
#include "support/voucher_builder.h"
#include "tallyward/classes.h"
#include "tallyward/erp_database.h"
#include "tallyward/host.h"

namespace tallyward::test {
namespace {

// Runs field-entry checks on the demo company and gives every statement they sent.
std::set<std::string> statementsOfTheChecks(TempDatabase& db) {
  auto cnn = db.connect();
  ClsS_VerifyHPO order;
  order.m_Cnn = cnn;
  order.clsInfor = defaultSession();
  order.m_UseMode = UseMode::BS;
  const Attributes orderHead{{"cvenabbname", "华东精工"}, {"cvencode", "V001"}, {"cdepname", "外协部"}, {"cpayname", "月结30天"},
                             {"cptname", "委外加工"}, {"cpersonname", "张伟"}, {"cscname", "汽运"}, {"cexch_name", "美元"},
                             {"dpodate", "2026-03-02"}, {"cbustype", "普通采购"}, {"itaxrate", "13"}};
  const std::vector<Attributes> orderLines{
      line({{"cinvcode", "P1002"}, {"cinva_unit", "箱"}, {"iquantity", "20"}, {"citem_class", "97"}, {"citemcode", "RD2601"}}),
      line({{"cinvcode", "喷涂外壳"}, {"cfree1", "红色"}, {"cfree2", "PS"}, {"iquantity", "5"}}), line({{"cinvcode", "HD-XT-100"}})};
  for (const char* key : {"all", "dpodate", "cexch_name"}) order.VerifyHead(key, *head(orderHead));
  for (const char* key : {"all", "cinvcode", "iquantity"})
    for (int32_t row : {1, 2, 3}) order.VerifyBody(key, *voucher(orderLines), head(orderHead).get(), row);
  order.bVerifyPoCode("CG2601001");
  db.sql("UPDATE accinformation SET cValue='True' WHERE cName='iXchgRateStl'");  // rates by period
  order.VerifyHead("dpodate", *head(orderHead));
  const std::vector<std::string> sent = cnn->statements();
  return {sent.begin(), sent.end()};
}

// A look-up that reads a table whole is too slow on a real company: an OR branch without an index
// is enough to make it so, and an automatic index is built by reading the table whole each time.
TEST(Schema, TheStatementsOfTheChecksUseIndexes) {
  TempDatabase db(TempDatabase::DemoCompany);
  const std::set<std::string> statements = statementsOfTheChecks(db);
  EXPECT_GE(statements.size(), 40u) << "the checks ran their look-ups";
  SqliteDriver driver(db.path());
  const auto plan = driver.explainQueryPlan("SELECT top 1 cVenCode FROM dbo.Vendor WHERE cVenPPerson='x'");
  ASSERT_EQ(plan.size(), 1u);
  EXPECT_EQ(plan[0].rfind("SCAN ", 0), 0u) << "a plan shows a table read whole: " << plan[0];
  for (const std::string& sql : statements)
    for (const std::string& step : driver.explainQueryPlan(sql)) {
      EXPECT_EQ(step.find("AUTOMATIC"), std::string::npos) << sql << "\n  reads a table whole: " << step;
      EXPECT_NE(step.rfind("SCAN ", 0), 0u) << sql << "\n  reads a table whole: " << step;
    }
}

// The driver converts by declared type, so a column's type follows the ERP's name prefix: b flag
// (0 or 1 in the demo company), c text (compared without regard to case, as on the ERP's server),
// d date (date-time text that SQLite reads back unchanged), i/f/n number. A test may insert a row
// naming only its key: every other column is nullable or has a default.
TEST(Schema, EveryColumnFollowsTheConventions) {
  TempDatabase db(TempDatabase::DemoCompany);
  const std::map<char, std::string> types = {{'b', " BIT "}, {'c', " TEXT "}, {'d', " DATETIME "},
                                             {'i', " INTEGER REAL "}, {'f', " INTEGER REAL "}, {'n', " INTEGER REAL "}};
  for (const Row& table : db.rows("SELECT name FROM sqlite_master WHERE type='table' ORDER BY name")) {
    const std::string& t = table[0];
    for (const Row& c : db.rows("PRAGMA table_info('" + t + "')")) {
      const std::string &col = c[1], &type = c[2], where = t + "." + col + " " + type;
      const auto allowed = types.count(col[0]) ? types.at(col[0]) : " TEXT BIT DATETIME INTEGER REAL ";
      EXPECT_NE(allowed.find(" " + type + " "), std::string::npos) << where;
      const char* collation = nullptr;
      sqlite3_table_column_metadata(db.handle(), "main", t.c_str(), col.c_str(), nullptr, &collation, nullptr,
                                    nullptr, nullptr);
      EXPECT_STREQ(type == "TEXT" ? collation : "NOCASE", "NOCASE") << where;
      const std::string bad = type == "DATETIME" ? "typeof(" + col + ") not in ('null', 'text') or datetime(" + col +
                                                       ") <> " + col
                              : type == "BIT" ? "typeof(" + col + ") not in ('null', 'integer') or " + col + " not in (0, 1)"
                                              : "0";
      const auto held = db.rows("select " + col + " from " + t + " where " + bad);
      EXPECT_TRUE(held.empty()) << where << " holds " << held[0][0];
      EXPECT_TRUE(c[3] == "0" || c[4] != "NULL" || c[5] != "0") << where << " is required but not part of the key";
    }
  }
}

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
