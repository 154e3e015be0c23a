// The database as the component meets it: a file it must never change, and recordset filters of
// any length.
#include <pthread.h>

#include <functional>

#include "support/temp_database.h"
#include "support/voucher_builder.h"
#include "tallyward/host.h"

namespace tallyward::test {
namespace {

// Every file of a database that holds its data (the file, its log, its journal) and a digest of
// its bytes. (The log's shared-memory index is rebuilt by every reader.)
std::map<std::string, size_t> filesOf(const std::string& path) {
  std::map<std::string, size_t> out;
  for (const char* suffix : {"", "-wal", "-journal"})
    if (std::filesystem::exists(path + suffix)) out[suffix] = std::hash<std::string>()(readBytes(path + suffix));
  return out;
}

TEST(DatabaseFile, ChecksOnADatabaseInWalModeLeaveItsBytesAsTheyWere) {
  const TempDatabase demo(TempDatabase::DemoCompany);
  const TempFolder dir;
  const std::string path = dir.file("erp.db");
  std::filesystem::copy_file(demo.path(), path);
  // A writer that leaves its latest changes in the log, as a busy ERP's database has them.
  sqlite3* writer = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &writer), SQLITE_OK);
  sqlite3_db_config(writer, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
  ASSERT_EQ(sqlite3_exec(writer, "PRAGMA journal_mode = WAL; PRAGMA wal_autocheckpoint = 0;"
                         "UPDATE Vendor SET dEndDate = '2026-01-01 00:00:00' WHERE cVenCode = 'V001'",
                         nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(writer);
  const auto before = filesOf(path);
  ASSERT_TRUE(before.count("-wal")) << "the writer left no log";

  // Through the embedded driver and through the SQLite ODBC driver alike.
  for (const std::string& connection : {path, "Driver=SQLite3;Database=" + path}) {
    auto cnn = Connection::open(connection);
    std::shared_ptr<Object> hpo = createObject("ClsS_VerifyHPO");
    useDatabase(*hpo, cnn);
    hpo->putRef("clsInfor", Variant(defaultSession()));
    auto hd = head({{"cvenabbname", "V001"}});
    const Variant verdict = hpo->call("VerifyHead", {Variant("cVenAbbName"), Variant(hd)});
    cnn.reset();
    hpo.reset();
    // The check saw the change waiting in the log (V001 stopped), and no byte changed.
    EXPECT_EQ(toText(verdict), "供应商录入不正确或已经停用，请检查！") << connection;
    EXPECT_EQ(filesOf(path), before) << connection;
  }
}

// Runs f on a thread with a small stack, as a host's worker threads may have.
void onSmallStack(std::function<void()> f) {
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_attr_setstacksize(&attr, 256 * 1024);
  pthread_t thread;
  ASSERT_EQ(pthread_create(&thread, &attr, [](void* p) -> void* { (*static_cast<std::function<void()>*>(p))(); return nullptr; }, &f), 0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attr);
}

TEST(DatabaseFile, FiltersOfTensOfThousandsOfTermsNeedNoDeepStack) {
  ResultSet r;
  r.columns = {"cInvCode"};
  r.rows = {{"A01"}, {"B01"}, {"C10"}};
  std::string anyOf, allOf;
  for (int i = 0; i < 50'000; ++i) {
    anyOf += (i ? " OR cInvCode='X" : "cInvCode='X") + std::to_string(i) + "'";
    allOf += (i ? " AND cInvCode<>'X" : "cInvCode<>'X") + std::to_string(i) + "'";
  }
  const struct { std::string filter; std::string codes; } cases[] = {
      {anyOf + " OR cInvCode='B01'", "B01"},
      {allOf, "A01,B01,C10"},
      {"(" + anyOf + " OR cInvCode='C10') AND " + allOf, "C10"},
      {std::string(10'000, '(') + "cInvCode='A01'" + std::string(10'000, ')'), "error 3001"},
  };
  onSmallStack([&] {
    for (const auto& c : cases) {
      Recordset rs{r};
      std::string codes;
      const int error = errorNumber([&] {
        rs.setFilter(c.filter);
        for (; !rs.eof(); rs.moveNext()) codes += (codes.empty() ? "" : ",") + toText(rs.field(size_t{0}));
      });
      EXPECT_EQ(error ? "error " + std::to_string(error) : codes, c.codes) << c.filter.substr(0, 40);
    }
  });
}

}  // namespace
}  // namespace tallyward::test
