// Hostile input and faults: a database file the component must never change, paths `init-db --force`
// may not replace, recordset filters of any length, failing statements shown as written, numbers
// beyond a Double or a Long, and one connection shared by threads (scripts/sanitize.sh runs this
// program under ThreadSanitizer too).
#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <limits>
#include <thread>

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
        for (; !rs.eof(); rs.moveNext()) codes.append(codes.empty() ? "" : ",").append(toText(rs.field(size_t{0})));
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

// Hostile numbers: texts beyond the range of a Double, NaN and Infinity, and values that a Long
// cannot hold. An overflow is run-time error 6 and never reads as a number that passes a rule.
const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(HostileNumbers, LongsTakeOnlyWhatTheyHold) {
  const struct { const char* name; Variant value; const char* expected; } cases[] = {
      {"largest", Variant(2147483647L), "2147483647"},   {"smallest", Variant(-2147483648L), "-2147483648"},
      {"-2^31-1", Variant(-2147483649L), "error 6"},    {"text 2^32+3", Variant("4294967299"), "error 6"},
      {"NaN", Variant(kNaN), "error 6"},                 {"date infinity", Variant(Date{kInf}), "error 6"},
      {"rounds past", Variant(2147483647.5), "error 6"},
  };
  for (const auto& c : cases) {
    int32_t v = 0;
    const int error = errorNumber([&] { v = toLong(c.value); });
    EXPECT_EQ(error ? "error " + std::to_string(error) : std::to_string(v), c.expected) << c.name;
  }

  auto body = voucher({line({{"cinvcode", ""}, {"iquantity", "1"}})});
  for (const auto& [name, fieldEntry] : {std::pair{"ClsS_VerifyFPO", false}, {"ClsS_VerifyHPO", true}}) {
    std::shared_ptr<Object> check = createObject(name);
    std::vector<Variant> args{Variant("iquantity"), Variant(body)};
    if (fieldEntry) args.push_back(Variant::missing());
    args.emplace_back(4294967299L);
    EXPECT_EQ(errorNumber([&] { check->call("VerifyBody", std::span<Variant>(args)); }), err::Overflow) << name;
    EXPECT_EQ(errorNumber([&] { check->put("m_UseMode", Variant(4294967297L)); }), err::Overflow) << name;
  }
}

const Attributes kOrderHead{{"cpoid", "WW1"}, {"cexch_name", "人民币"}, {"nflat", "1"}, {"dpodate", "2026-11-20"},
                            {"cvenabbname", "华东精工"}, {"cdepname", "采购部"}, {"ibargain", "0"}, {"itaxrate", "13"}};
const Attributes kOrderLine{{"cinvcode", "P1001"}, {"iquantity", "100"}, {"igrouptype", "1"}, {"iinvexchrate", "10"},
                            {"cunitid", "箱"}, {"inum", "10"}, {"iunitprice", "1"}, {"inatunitprice", "1"},
                            {"itaxprice", "1"}, {"imoney", "1"}, {"inatmoney", "1"}, {"isum", "1"}, {"inatsum", "1"},
                            {"ipertaxrate", "13"}};

// Every whole-voucher rule reads its numbers through the frame's one reader: a head rule and a line
// rule stand for them, single-field and in a whole pass, in either mode.
TEST(HostileNumbers, OverflowFailsAWholeVoucherCheckAndNaNOrInfinityReadAsNoNumber) {
  const struct { const char* name; bool head; const char* field; Attributes row; } rules[] = {
      {"order head tax rate", true, "itaxrate", kOrderHead}, {"order line quantity", false, "iquantity", kOrderLine}};
  for (const auto& r : rules)
    for (const char* key : {r.field, "all"})
      for (UseMode mode : {CS, BS}) {
        const auto outcome = [&](const char* value) {
          const Attributes row = with(r.row, {{r.field, value}});
          return run("ClsS_VerifyFPO", {r.name, key, mode, r.head ? H(row) : B({line(row)}, Variant(1)), ""});
        };
        SCOPED_TRACE(std::string(r.name) + " " + key + (mode == BS ? " BS" : " CS"));
        EXPECT_EQ(outcome("1e309"), "error 6");
        EXPECT_EQ(outcome("-1e309"), "error 6");
        EXPECT_EQ(outcome("NaN"), outcome("abc"));
        EXPECT_EQ(outcome("Infinity"), outcome("abc"));
      }
}

// Field entry reckons a line's tax itself, on the demo company: zero tax on a zero amount passes, so
// a hostile amount read as 0 would pass too.
TEST(HostileNumbers, FieldEntryFindsAnOverflowingAmountBeyondTheTolerance) {
  const TempDatabase db(TempDatabase::DemoCompany);
  std::shared_ptr<Object> check = createObject("ClsS_VerifyHPO");
  useDatabase(*check, db.connect());
  check->putRef("clsInfor", Variant(defaultSession()));
  const auto verdict = [&](const char* key, const char* amount) {
    auto body = voucher({line({{"cinvcode", "P1001"}, {"imoney", amount}, {"ipertaxrate", "0"}, {"itax", "0"}})});
    return toText(check->call("VerifyBody", {Variant(key), Variant(body), Variant(head({{"cvencode", "V001"}})), Variant(1)}));
  };
  for (const char* amount : {"1e309", "-1e309"}) {
    EXPECT_EQ(verdict("itax", amount), "第[1]行税额录入超出容差范围！") << amount;
    EXPECT_NE(verdict("all", amount), "") << amount;  // a whole pass may say something else first
  }
  for (const char* amount : {"NaN", "Infinity"}) {
    EXPECT_EQ(verdict("itax", amount), verdict("itax", "abc")) << amount;
    EXPECT_EQ(verdict("all", amount), verdict("all", "abc")) << amount;
  }
}

// One connection shared by threads, each with field-entry objects of its own: every answer must be
// the one a single thread gets. scripts/sanitize.sh runs this program under ThreadSanitizer too.
// A field-entry check as scripts/demo.sh runs it on the demo company, with examples/ documents.
struct Check {
  const char* className;
  const char* key;
  const char* head;
  const char* body = nullptr;
};

const Check kChecks[] = {
    {"ClsS_VerifyHPO", "cVenAbbName", "hpo_head_vendor.xml"},
    {"ClsS_VerifyHPO", "cVenAbbName", "hpo_head_stopped.xml"},
    {"ClsS_VerifyBillH", "cInvCode", "billh_head_invoice.xml", "billh_body_item.xml"},
    {"ClsS_VerifyApplyH", "all", "applyh_head.xml", "applyh_body_faulty.xml"},
    {"ClsS_VerifyArriveH", "all", "arriveh_head_note.xml", "arriveh_body_faulty.xml"},
};

std::string example(const char* name) { return readBytes(std::string(TW_SOURCE_DIR) + "/examples/" + name); }

// The verdict (or run-time error) of a check and the documents as it left them.
std::string answerOf(const Check& c, const std::shared_ptr<Connection>& cnn) {
  std::shared_ptr<Object> check = createObject(c.className);
  useDatabase(*check, cnn);
  check->putRef("clsInfor", Variant(defaultSession()));
  check->put("m_UseMode", Variant(1));
  auto hd = Document::parse(example(c.head));
  auto body = c.body ? Document::parse(example(c.body)) : nullptr;
  std::vector<Variant> args{Variant(c.key)};
  if (body) args.insert(args.end(), {Variant(body), Variant(hd), Variant(1)});
  else args.emplace_back(hd);
  std::string answer;
  try {
    answer = toText(check->call(body ? "VerifyBody" : "VerifyHead", std::span<Variant>(args)));
  } catch (const Error& e) {
    answer = "error " + std::to_string(e.number()) + ": " + e.description();
  }
  return answer + "\n" + hd->xml() + "\n" + (body ? body->xml() : "");
}

TEST(SharedConnection, ChecksOnSeveralThreadsAnswerAsOnOne) {
  const TempDatabase db(TempDatabase::DemoCompany);
  std::vector<std::string> expected;
  for (const Check& c : kChecks) expected.push_back(answerOf(c, db.connect()));
  ASSERT_NE(expected[1].find('\n'), 0u) << "the stopped vendor is refused: answers all alike would prove nothing";

  constexpr size_t kThreads = 6, kRounds = 3, kCount = std::size(kChecks);
  const std::shared_ptr<Connection> shared = db.connect();
  std::vector<std::vector<std::string>> answers(kThreads);
  std::vector<std::thread> threads;
  for (size_t t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      // Each thread starts at another check, so that different look-ups meet on the connection.
      for (size_t k = 0; k < kCount * kRounds; ++k) answers[t].push_back(answerOf(kChecks[(k + t) % kCount], shared));
    });
  for (std::thread& th : threads) th.join();
  for (size_t t = 0; t < kThreads; ++t)
    for (size_t k = 0; k < answers[t].size(); ++k)
      ASSERT_EQ(answers[t][k], expected[(k + t) % kCount]) << "thread " << t << ": " << kChecks[(k + t) % kCount].head;
}

}  // namespace
}  // namespace tallyward::test
