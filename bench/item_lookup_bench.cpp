// The item look-up of the order line check on a large generated company (100,000 items,
// 1,000,000 purchase-order lines, latest prices taken per vendor from purchase orders), run two
// ways:
//   - through our database layer, as the check sends it: the inventory list composed for the
//     line (three settings read on the connection), the item's WHERE text appended, and
//     Connection::execute (translation, statement cache, every value into a Recordset);
//   - on SQLite's own API: the same statement translated once, prepared once, and then only
//     reset, stepped and read column by column.
// The difference is the price of the layer. The statement's query plan is printed once to
// standard error, so that a reader sees whether the look-up scans the Inventory table, and a
// summary of the figures per look-up and their ratios closes the run.
//
// The raw statement is the one SQLite plans as the driver's: when the driver rewrites the
// look-up so that its indexes serve it, the raw side runs the rewritten text too (and, for
// comparison, the text without the rewrite).
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstring>
#include <iostream>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "erp/reference_sql.h"
#include "platform/db/sql_text.h"
#include "erp_generator.h"
#include "platform/db/sqlite_driver.h"
#include "platform/db/tsql_dialect.h"
#include "tallyward/database.h"
#include "tallyward/error.h"

#if __has_include("platform/db/joined_or_rewrite.h")
#include "platform/db/joined_or_rewrite.h"
#define TW_HAVE_JOINED_OR_REWRITE 1
#endif

namespace tallyward::bench {
namespace {

// The WHERE text of the order line check: the typed text as name, code, additional code or the
// vendor's own code, of an orderable item that is not stopped.
std::string itemWhere(std::string_view typed) {
  const std::string t = escapeSql(typed);
  return " WHERE (cInvName='" + t + "' OR Inventory.cInvCode='" + t + "' OR cInvAddCode='" + t +
         "' OR cVenInvCode='" + t + "')  AND (bPurchase=1 AND bService=0  AND bInvtype=0) AND dEDate IS NULL ";
}

// The vendor on the head of the order whose lines are typed.
constexpr int kOrderVendor = 7;

// One line's look-up: the item meant, the text typed for it and the item's unit mode.
struct Pick {
  int item;
  std::string typed;
  std::string unitMode;
  bool byVendorsCode;
};

// Items spread over the whole table, typed in turn by code, name, additional code and the order
// vendor's own code (the last from the items that vendor supplies, which have latest prices).
std::vector<Pick> makePicks(const ErpShape& s, int count) {
  std::vector<Pick> picks;
  picks.reserve(static_cast<size_t>(count));
  const int supplied = s.items / s.vendors;
  for (int k = 0; k < count; ++k) {
    const int form = k % 4;
    int i = form == 3 ? kOrderVendor + s.vendors * ((k / 4 * 97 + 13) % supplied)
                      : static_cast<int>((static_cast<int64_t>(k) * 24593 + 11) % s.items);
    while (!orderable(i)) i = (i + 1) % s.items;
    std::string typed = form == 0   ? itemCode(i)
                        : form == 1 ? itemName(i)
                        : form == 2 ? itemAddCode(i)
                                    : vendorItemCode(kOrderVendor, i);
    picks.push_back({i, std::move(typed), std::to_string(unitGroupType(i)), form == 3});
  }
  return picks;
}

// ---- Raw SQLite -------------------------------------------------------------------------------------

struct Statement {
  sqlite3_stmt* stmt = nullptr;
  Statement() = default;
  Statement(sqlite3* db, const std::string& sql) {
    if (sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &stmt, nullptr) != SQLITE_OK)
      throw std::runtime_error(std::string("cannot prepare: ") + sqlite3_errmsg(db) + "\n" + sql);
  }
  Statement(Statement&& o) noexcept : stmt(std::exchange(o.stmt, nullptr)) {}
  Statement& operator=(Statement&& o) noexcept {
    std::swap(stmt, o.stmt);
    return *this;
  }
  ~Statement() { sqlite3_finalize(stmt); }
};

std::vector<std::string> planOf(sqlite3* db, const std::string& sql) {
  Statement s(db, "EXPLAIN QUERY PLAN " + sql);
  std::vector<std::string> lines;
  while (sqlite3_step(s.stmt) == SQLITE_ROW)
    lines.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(s.stmt, 3)));
  return lines;
}

bool scansInventory(const std::vector<std::string>& plan) {
  for (const auto& line : plan) {
    std::string upper(line);
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
    if (upper.starts_with("SCAN INVENTORY")) return true;
  }
  return false;
}

// Every column of the current row, read as the driver reads it (by its storage type), folded into
// a number that the optimiser cannot drop.
uint64_t readRow(sqlite3_stmt* stmt) {
  uint64_t h = 0;
  const int n = sqlite3_column_count(stmt);
  for (int c = 0; c < n; ++c) {
    switch (sqlite3_column_type(stmt, c)) {
      case SQLITE_INTEGER: h += static_cast<uint64_t>(sqlite3_column_int64(stmt, c)); break;
      case SQLITE_FLOAT: {
        const double d = sqlite3_column_double(stmt, c);
        uint64_t bits;
        std::memcpy(&bits, &d, sizeof bits);
        h += bits;
        break;
      }
      case SQLITE_NULL: h += 1; break;
      default: {
        const unsigned char* text = sqlite3_column_text(stmt, c);
        h += static_cast<uint64_t>(sqlite3_column_bytes(stmt, c)) + (text ? text[0] : 0);
      }
    }
  }
  return h;
}

// Runs a prepared statement to its end; the number of rows, or -1 on a database error.
int runRaw(sqlite3_stmt* stmt, uint64_t& sink) {
  int rows = 0, rc;
  while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    sink += readRow(stmt);
    ++rows;
  }
  sqlite3_reset(stmt);
  return rc == SQLITE_DONE ? rows : -1;
}

uint64_t readRecordset(const Recordset& rs) {
  uint64_t h = 0;
  for (size_t c = 0; c < rs.fieldCount(); ++c) {
    const Variant& v = rs.field(c);
    switch (v.type()) {
      case VarType::Long: h += static_cast<uint64_t>(v.asLong()); break;
      case VarType::Double: h += static_cast<uint64_t>(v.asDouble()); break;
      case VarType::String: h += v.asString().size(); break;
      case VarType::Boolean: h += v.asBool(); break;
      default: h += 1;
    }
  }
  return h;
}

std::string replaceAll(std::string text, std::string_view what, std::string_view with) {
  size_t count = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size())) {
    text.replace(at, what.size(), with);
    ++count;
  }
  if (count == 0) throw std::runtime_error("placeholder " + std::string(what) + " not found in\n" + text);
  return text;
}

// ---- The company and the statements -------------------------------------------------------------------

constexpr int kPicks = 4096;
constexpr std::string_view kItemMarker = "tw_bench_item_code";
constexpr std::string_view kTypedMarker = "tw_bench_typed_text";

class Company {
 public:
  Company() : file_("tallyward_itembench") {
    const auto start = std::chrono::steady_clock::now();
    generateErp(file_.path(), shape_);
    const auto generated = std::chrono::steady_clock::now();
    std::cerr << "generated " << shape_.items << " items, " << shape_.orders * shape_.linesPerOrder
              << " purchase-order lines in "
              << std::chrono::duration<double>(generated - start).count() << " s (" << file_.path() << ", "
              << std::filesystem::file_size(file_.path()) / (1 << 20) << " MiB)\n";

    cnn_ = Connection::open(file_.path());
    if (sqlite3_open_v2(file_.path().c_str(), &raw_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
      throw std::runtime_error("cannot open " + file_.path());
    vendor_ = vendorCode(kOrderVendor);
    picks_ = makePicks(shape_, kPicks);
    composed_.reserve(picks_.size());
    for (const Pick& p : picks_) composed_.push_back(lookupSql(p));
    cnn_->clearStatements();

    choosePlanAndPrint();
    fixed_ = Statement(raw_, rawText(composed_[0]));
    if (rewritten_) unrewritten_ = Statement(raw_, sqlite::translate(composed_[0]));
    for (int mode = 0; mode < 3; ++mode) {
      std::string text =
          rawText(BuildReferenceSql({.voucher = VoucherKind::Order, .list = ReferenceKind::Inventory, .cnn = cnn_.get(), .venCode = vendor_, .unitMode = std::to_string(mode), .invCode = kItemMarker}) +
                  itemWhere(kTypedMarker));
      text = replaceAll(replaceAll(text, "'" + std::string(kItemMarker) + "'", "?1"),
                        "'" + std::string(kTypedMarker) + "'", "?2");
      bound_[mode] = Statement(raw_, text);
    }
    cnn_->clearStatements();
    rawTexts_.reserve(composed_.size());
    for (const std::string& sql : composed_) rawTexts_.push_back(rawText(sql));
    checkAgreement();
  }

  ~Company() {
    fixed_ = {};
    unrewritten_ = {};
    for (auto& s : bound_) s = {};
    sqlite3_close(raw_);
    cnn_.reset();
  }

  // The statement of a line's look-up, as the order line check composes it.
  std::string lookupSql(const Pick& p) {
    return BuildReferenceSql({.voucher = VoucherKind::Order, .list = ReferenceKind::Inventory, .cnn = cnn_.get(), .venCode = vendor_, .unitMode = p.unitMode, .invCode = itemCode(p.item)}) +
           itemWhere(p.typed);
  }

  // The written statement as the raw side runs it: translated, and rewritten where the driver
  // rewrites it (with a column lookup made afresh for each text).
  std::string rawText(const std::string& written) const {
    std::string text = sqlite::translate(written);
#ifdef TW_HAVE_JOINED_OR_REWRITE
    if (rewritten_) text = sqlite::indexJoinedOr(text, sqlite::columnsOf(raw_));
#endif
    return text;
  }

  Connection& cnn() { return *cnn_; }
  sqlite3* raw() const { return raw_; }
  const std::vector<std::string>& rawTexts() const { return rawTexts_; }
  const std::vector<Pick>& picks() const { return picks_; }
  const std::vector<std::string>& composed() const { return composed_; }
  sqlite3_stmt* fixed() const { return fixed_.stmt; }
  sqlite3_stmt* unrewritten() const { return unrewritten_.stmt; }
  sqlite3_stmt* bound(const Pick& p) const { return bound_[p.unitMode[0] - '0'].stmt; }
  bool rewritten() const { return rewritten_; }
  bool scans() const { return scans_; }
  const char* planLabel() const { return scans_ ? "scans Inventory" : "indexed"; }

 private:
  // Finds out what the driver does with the look-up (its plan), picks the raw text that SQLite
  // plans the same way, and prints the plan.
  void choosePlanAndPrint() {
    auto* driver = dynamic_cast<SqliteDriver*>(&cnn_->driver());
    if (!driver) throw std::runtime_error("the connection is not on the SQLite driver");
    const std::vector<std::string> driverPlan = driver->explainQueryPlan(composed_[0]);
    const std::vector<std::string> translatedPlan = planOf(raw_, sqlite::translate(composed_[0]));
    if (driverPlan != translatedPlan) {
#ifdef TW_HAVE_JOINED_OR_REWRITE
      rewritten_ = true;
      if (planOf(raw_, rawText(composed_[0])) != driverPlan)
        throw std::runtime_error("the driver plans the look-up differently from its rewritten text");
#else
      throw std::runtime_error("the driver plans the look-up differently from its translated text");
#endif
    }
    scans_ = scansInventory(driverPlan);

    std::cerr << "\nItem look-up of the order line check (vendor " << vendor_ << ", item typed as "
              << picks_[0].typed << "):\n"
              << composed_[0] << "\n\nEXPLAIN QUERY PLAN, as the driver runs it"
              << (rewritten_ ? " (rewritten by the driver)" : " (translated, not rewritten)") << ":\n";
    for (const auto& line : driverPlan) std::cerr << "  " << line << '\n';
    if (rewritten_) {
      std::cerr << "without the driver's rewrite:\n";
      for (const auto& line : translatedPlan) std::cerr << "  " << line << '\n';
    }
    std::cerr << "=> the look-up " << (scans_ ? "SCANS" : "does not scan") << " the Inventory table\n\n";
  }

  // Both sides must find the one item meant, with the same columns, before anything is timed;
  // the look-ups by the order vendor's own code must carry that vendor's latest price.
  void checkAgreement() {
    for (size_t k = 0; k < 8; ++k) {
      const Pick& p = picks_[k];
      auto rs = cnn_->execute(composed_[k]);
      const std::string code = itemCode(p.item);
      if (rs->recordCount() != 1 || toText(rs->field("cInvCode")) != code)
        throw std::runtime_error("the layer's look-up of " + p.typed + " does not find " + code);
      if (p.byVendorsCode && rs->field("iunitprice").isNull())
        throw std::runtime_error("no latest price for " + code + " from vendor " + vendor_);

      sqlite3_stmt* s = bound(p);
      sqlite3_bind_text(s, 1, code.data(), static_cast<int>(code.size()), SQLITE_STATIC);
      sqlite3_bind_text(s, 2, p.typed.data(), static_cast<int>(p.typed.size()), SQLITE_STATIC);
      if (sqlite3_column_count(s) != static_cast<int>(rs->fieldCount()))
        throw std::runtime_error("the raw statement has other columns than the layer's");
      int rows = 0;
      std::string found;
      while (sqlite3_step(s) == SQLITE_ROW) {
        ++rows;
        found = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
      }
      sqlite3_reset(s);
      if (rows != 1 || found != code)
        throw std::runtime_error("the raw look-up of " + p.typed + " does not find " + code);
    }
    uint64_t sink = 0;
    if (runRaw(fixed_.stmt, sink) != 1) throw std::runtime_error("the raw fixed statement finds no single row");
    cnn_->clearStatements();
  }

  TempDatabase file_;  // first in, last out: removed after every connection to it is closed
  ErpShape shape_;
  std::shared_ptr<Connection> cnn_;
  sqlite3* raw_ = nullptr;
  std::string vendor_;
  std::vector<Pick> picks_;
  std::vector<std::string> composed_;
  std::vector<std::string> rawTexts_;  // composed_ as the raw side runs them
  Statement fixed_, unrewritten_;
  Statement bound_[3];
  bool rewritten_ = false;
  bool scans_ = false;
};

Company* company = nullptr;

// Keeps the connection's record of sent statements from growing without end.
void trimRecord(Connection& cnn) {
  if (cnn.statementCount() > 1024) cnn.clearStatements();
}

// ---- Benchmarks ------------------------------------------------------------------------------------------

// (a) As the check does it: compose the line's statement, then execute it.
void BM_Layer_ComposeAndExecute(benchmark::State& state) {
  Company& c = *company;
  uint64_t sink = 0;
  size_t k = 0;
  for (auto _ : state) {
    const Pick& p = c.picks()[k++ % c.picks().size()];
    auto rs = c.cnn().execute(c.lookupSql(p));
    if (rs->recordCount() != 1) {
      state.SkipWithError(("no single row for " + p.typed).c_str());
      break;
    }
    sink += readRecordset(*rs);
    trimRecord(c.cnn());
  }
  benchmark::DoNotOptimize(sink);
  state.SetItemsProcessed(state.iterations());
  state.SetLabel(c.planLabel());
}

// The layer alone on the same statements, composed beforehand: each is new to the statement
// cache, as when a user types item after item.
void BM_Layer_Execute(benchmark::State& state) {
  Company& c = *company;
  uint64_t sink = 0;
  size_t k = 0;
  for (auto _ : state) {
    auto rs = c.cnn().execute(c.composed()[k++ % c.composed().size()]);
    if (rs->recordCount() != 1) {
      state.SkipWithError("no single row");
      break;
    }
    sink += readRecordset(*rs);
    trimRecord(c.cnn());
  }
  benchmark::DoNotOptimize(sink);
  state.SetItemsProcessed(state.iterations());
  state.SetLabel(c.planLabel());
}

// The layer on one statement again and again: found in the statement cache every time.
void BM_Layer_SameStatement(benchmark::State& state) {
  Company& c = *company;
  const std::string& sql = c.composed()[0];
  uint64_t sink = 0;
  for (auto _ : state) {
    auto rs = c.cnn().execute(sql);
    if (rs->recordCount() != 1) {
      state.SkipWithError("no single row");
      break;
    }
    sink += readRecordset(*rs);
    trimRecord(c.cnn());
  }
  benchmark::DoNotOptimize(sink);
  state.SetItemsProcessed(state.iterations());
  state.SetLabel(c.planLabel());
}

// (b) The same statement on SQLite's own API: prepared once, then reset, stepped and read.
void runFixed(benchmark::State& state, sqlite3_stmt* stmt, const char* label) {
  uint64_t sink = 0;
  for (auto _ : state) {
    if (runRaw(stmt, sink) != 1) {
      state.SkipWithError("no single row");
      break;
    }
  }
  benchmark::DoNotOptimize(sink);
  state.SetItemsProcessed(state.iterations());
  state.SetLabel(label);
}

void BM_Raw_SameStatement(benchmark::State& state) { runFixed(state, company->fixed(), company->planLabel()); }

// The raw statement without the driver's rewrite: what the look-up costs when it scans.
void BM_Raw_SameStatementUnrewritten(benchmark::State& state) {
  runFixed(state, company->unrewritten(), "translated only");
}

// What any statement written to the letter costs on SQLite's own API when each is new: the texts
// translated (and rewritten) beforehand, then prepared, stepped, read and finalised per look-up.
void BM_Raw_PrepareEach(benchmark::State& state) {
  Company& c = *company;
  uint64_t sink = 0;
  size_t k = 0;
  for (auto _ : state) {
    Statement s(c.raw(), c.rawTexts()[k++ % c.rawTexts().size()]);
    if (runRaw(s.stmt, sink) != 1) {
      state.SkipWithError("no single row");
      break;
    }
  }
  benchmark::DoNotOptimize(sink);
  state.SetItemsProcessed(state.iterations());
  state.SetLabel(c.planLabel());
}

// The text work alone: translating each statement, and rewriting it as the driver does when it
// compiles a statement it has not cached.
void BM_Translate(benchmark::State& state) {
  Company& c = *company;
  size_t k = 0, bytes = 0;
  for (auto _ : state) bytes += sqlite::translate(c.composed()[k++ % c.composed().size()]).size();
  benchmark::DoNotOptimize(bytes);
  state.SetItemsProcessed(state.iterations());
}

void BM_TranslateAndRewrite(benchmark::State& state) {
  Company& c = *company;
  size_t k = 0, bytes = 0;
  for (auto _ : state) bytes += c.rawText(c.composed()[k++ % c.composed().size()]).size();
  benchmark::DoNotOptimize(bytes);
  state.SetItemsProcessed(state.iterations());
}

// The raw best case across the table: one statement per unit mode, prepared once, with the item
// code and the typed text bound for each look-up.
void BM_Raw_Bound(benchmark::State& state) {
  Company& c = *company;
  uint64_t sink = 0;
  size_t k = 0;
  for (auto _ : state) {
    const Pick& p = c.picks()[k++ % c.picks().size()];
    const std::string code = itemCode(p.item);
    sqlite3_stmt* s = c.bound(p);
    sqlite3_bind_text(s, 1, code.data(), static_cast<int>(code.size()), SQLITE_STATIC);
    sqlite3_bind_text(s, 2, p.typed.data(), static_cast<int>(p.typed.size()), SQLITE_STATIC);
    if (runRaw(s, sink) != 1) {
      state.SkipWithError(("no single row for " + p.typed).c_str());
      break;
    }
  }
  benchmark::DoNotOptimize(sink);
  state.SetItemsProcessed(state.iterations());
  state.SetLabel(c.planLabel());
}

// The console output, plus each benchmark's time per look-up for the closing summary.
class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs)
      if (r.run_type == Run::RT_Iteration && !r.error_occurred) {
        const Times t{r.GetAdjustedRealTime(), r.GetAdjustedCPUTime()};
        auto [it, added] = micros_.emplace(r.benchmark_name(), t);
        if (!added) it->second = {std::min(it->second.real, t.real), std::min(it->second.cpu, t.cpu)};
      }
    ConsoleReporter::ReportRuns(runs);
  }

  // Real and CPU time: on a machine that others share, the CPU figures are the steadier ones.
  void printSummary(std::ostream& out, bool scans, bool rewritten) const {
    out << "\nPer look-up, real | CPU time in us (" << (scans ? "the statement scans Inventory" : "the statement does not scan")
        << (rewritten ? ", rewritten by the driver" : ", not rewritten by the driver") << "):\n";
    ratio(out, "BM_Layer_ComposeAndExecute", "BM_Raw_SameStatement",
          "(a) as the check sends it, items across the table / (b) raw, one statement prepared once");
    ratio(out, "BM_Layer_ComposeAndExecute", "BM_Raw_Bound",
          "(a) as the check sends it / raw, prepared once per unit mode, values bound, items across the table");
    ratio(out, "BM_Layer_Execute", "BM_Raw_PrepareEach",
          "layer / raw, each statement new (composed beforehand), items across the table");
    ratio(out, "BM_Layer_SameStatement", "BM_Raw_SameStatement", "one statement, cached / prepared once");
    ratio(out, "BM_Raw_SameStatementUnrewritten", "BM_Raw_SameStatement", "raw, without / with the rewrite");
  }

 private:
  struct Times {
    double real, cpu;
  };

  void ratio(std::ostream& out, const std::string& a, const std::string& b, const char* what) const {
    const auto x = micros_.find(a), y = micros_.find(b);
    if (x == micros_.end() || y == micros_.end()) return;
    const Times& p = x->second;
    const Times& q = y->second;
    out << "  " << what << ":\n      " << p.real << " | " << p.cpu << " against " << q.real << " | " << q.cpu
        << ", ratio " << p.real / q.real << " | " << p.cpu / q.cpu << "\n";
  }

  std::map<std::string, Times> micros_;
};

}  // namespace
}  // namespace tallyward::bench

int main(int argc, char** argv) {
  using namespace tallyward::bench;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  try {
    Company generated;
    company = &generated;
    for (auto [name, fn] : {std::pair{"BM_Layer_ComposeAndExecute", &BM_Layer_ComposeAndExecute},
                            {"BM_Layer_Execute", &BM_Layer_Execute},
                            {"BM_Raw_PrepareEach", &BM_Raw_PrepareEach},
                            {"BM_Translate", &BM_Translate},
                            {"BM_Raw_Bound", &BM_Raw_Bound},
                            {"BM_Layer_SameStatement", &BM_Layer_SameStatement},
                            {"BM_Raw_SameStatement", &BM_Raw_SameStatement}})
      benchmark::RegisterBenchmark(name, fn)->Unit(benchmark::kMicrosecond);
    if (generated.rewritten()) {
      benchmark::RegisterBenchmark("BM_TranslateAndRewrite", &BM_TranslateAndRewrite)
          ->Unit(benchmark::kMicrosecond);
      benchmark::RegisterBenchmark("BM_Raw_SameStatementUnrewritten", &BM_Raw_SameStatementUnrewritten)
          ->Unit(benchmark::kMicrosecond);
    }
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printSummary(std::cout, generated.scans(), generated.rewritten());
    company = nullptr;
  } catch (const std::exception& e) {
    std::cerr << "item look-up benchmark: " << e.what() << '\n';
    return 1;
  }
  benchmark::Shutdown();
  return 0;
}
