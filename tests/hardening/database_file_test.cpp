// The database as the component meets it: a file it must never change, a path `init-db --force` may
// not replace, recordset filters of any length, and a failing statement shown as it was written.
#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include "support/temp_database.h"
#include "support/voucher_builder.h"
#include "tallyward/host.h"

namespace tallyward::test {
namespace {

namespace fs = std::filesystem;

// A digest of each file that holds the database's data: the file, its log, its journal (not the log's index).
std::map<std::string, size_t> filesOf(const std::string& path) {
  std::map<std::string, size_t> out;
  for (const char* suffix : {"", "-wal", "-journal"})
    if (fs::exists(path + suffix)) out[suffix] = std::hash<std::string>()(readBytes(path + suffix));
  return out;
}

TEST(DatabaseFile, ChecksOnADatabaseInWalModeLeaveItsBytesAsTheyWere) {
  const TempDatabase demo(TempDatabase::DemoCompany);
  const TempFolder dir;
  const std::string path = dir.file("erp.db");
  fs::copy_file(demo.path(), path);
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
    const Variant verdict = hpo->call("VerifyHead", {Variant("cVenAbbName"), Variant(head({{"cvenabbname", "V001"}}))});
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
  const ResultSet r{{"cInvCode"}, {{Variant("A01")}, {Variant("B01")}, {Variant("C10")}}};
  std::string anyOf, allOf;
  for (int i = 0; i < 50'000; ++i) {
    anyOf += (i ? " OR cInvCode='X" : "cInvCode='X") + std::to_string(i) + "'";
    allOf += (i ? " AND cInvCode<>'X" : "cInvCode<>'X") + std::to_string(i) + "'";
  }
  const struct { std::string filter; std::string codes; } cases[] = {
      {anyOf + " OR cInvCode='B01'", "B01"},
      {allOf, "A01,B01,C10"},
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

// A database error shows the statement as the component wrote it, the text --trace-sql lists.
TEST(Command, DatabaseErrorsShowTheStatementAsWritten) {
  TempDatabase db(TempDatabase::DemoCompany);
  db.sql("ALTER TABLE Vendor RENAME COLUMN cVenPostCode TO cPostCode");
  TempFolder dir;
  const std::string hd = dir.file("head.xml");
  writeBytes(hd, voucherXml({{{"cvenabbname", "华东精工"}}}));
  std::ostringstream out, err;
  cli::run({"verify", "--class", "ClsS_VerifyHPO", "--method", "VerifyHead", "--key", "cVenAbbName", "--head", hd, "--db",
            db.path(), "--trace-sql"}, out, err);
  const nlohmann::json answer = nlohmann::json::parse(out.str());
  ASSERT_EQ(answer["error"]["number"], 3001) << answer;
  const std::string description = answer["error"]["description"];
  EXPECT_NE(description.find("(statement: " + answer["statements"].back().get<std::string>() + ")"), std::string::npos)
      << description;
}

// What stands at a path, told so that any change shows: its kind and its link target.
std::string stateOf(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return "nothing";
  if (S_ISLNK(st.st_mode)) return "link to " + fs::read_symlink(path).string();
  return "mode " + std::to_string(st.st_mode & S_IFMT);
}

TEST(InitDb, ForceReplacesNoFolderFifoOrLinkThatLeadsToNoFile) {
  TempFolder dir;
  ASSERT_EQ(::mkfifo(dir.file("fifo.db").c_str(), 0600), 0);
  fs::create_directory(dir.file("folder.db"));
  fs::create_directory_symlink(dir.file("folder.db"), dir.file("link.db"));
  fs::create_symlink(dir.file("gone"), dir.file("dangling.db"));
  const std::pair<const char*, const char*> cases[] = {
      {"fifo.db", "the path names a FIFO (named pipe), not a database file; it is left as it is"},
      {"folder.db", "the path names a folder, not a file"},
      {"link.db", "the path is a symbolic link to a folder, not to a database file; it is left as it is"},
      {"dangling.db", "the path is a symbolic link that leads nowhere (No such file or directory); it is left as it is"}};
  const auto entries = dir.entries();
  for (const auto& [name, says] : cases) {
    const std::string path = dir.file(name), before = stateOf(path);
    std::string why;
    EXPECT_EQ(errorNumber([&] { createErpDatabase(path, false, true); }, &why), err::InvalidArgument) << name;
    EXPECT_EQ(why, "cannot create the ERP database " + path + ": " + says);
    EXPECT_EQ(stateOf(path), before) << name;
  }
  EXPECT_EQ(dir.entries(), entries);
}

// A killed run's temporary files (nobody holds them) go at the next run; those of a run still
// building (it holds its file) and anything else in the folder stay.
TEST(InitDb, AKilledRunsFilesAreRemovedByTheNextRun) {
  TempFolder dir;
  for (const char* name : {".tallyward-init-erp.db.4242-0-17", ".tallyward-init-erp.db.4242-0-17-journal",
                           ".tallyward-init-other.db.77-3-5", ".tallyward-init-gone.db.1-1-1-journal"})
    writeBytes(dir.file(name), "half-built");
  for (const char* name : {".tallyward-init-erp.db.5-0-1", ".tallyward-init-erp.db.5-0-1-journal", "mine.txt"})
    writeBytes(dir.file(name), "keep");
  const int held = ::open(dir.file(".tallyward-init-erp.db.5-0-1").c_str(), O_RDONLY);
  ASSERT_EQ(::flock(held, LOCK_EX), 0);
  createErpDatabase(dir.file("erp.db"), false, false);
  ::close(held);
  EXPECT_EQ(dir.entries(), (std::vector<std::string>{".tallyward-init-erp.db.5-0-1",
                                                     ".tallyward-init-erp.db.5-0-1-journal", "erp.db", "mine.txt"}));
}

}  // namespace
}  // namespace tallyward::test
