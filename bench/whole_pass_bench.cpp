// A whole pass of each whole-voucher class over generated bodies, beside the bare cost of parsing
// the same text and selecting its rows. The ratio of the two is the price of the rules.
//
// The run closes with those ratios beside their limits, and with the peak memory of the command
// verifying a 100,000-line order body: `tallyward verify` runs as a child process and its peak
// resident size is taken from wait4, beside the size of the file it read.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <ctime>
#include <string>

#include "ratio_summary.h"
#include "rows/voucher.h"
#include "tallyward/classes.h"
#include "voucher_text.h"

extern char** environ;

namespace tallyward::bench {
namespace {

// The bare cost: parse the text and walk the selected rows.
void parseAndSelectOnce(const std::string& text) {
  auto doc = Document::parse(text);
  size_t rows = 0;
  for (pugi::xml_node row : SelectedRows(doc->dom())) {
    benchmark::DoNotOptimize(row);
    ++rows;
  }
  benchmark::DoNotOptimize(rows);
}

void parseAndSelect(benchmark::State& state, Kind kind, int lines) {
  const std::string& text = generated(kind, lines);
  for (auto _ : state) parseAndSelectOnce(text);
  state.SetItemsProcessed(state.iterations() * lines);
}

// The whole pass: parse the same text and run every line rule on every row.
template <class Class>
struct Pass {
  Pass() {
    check.m_UseMode = UseMode::BS;
    if constexpr (requires { check.m_bPositive; }) check.m_bPositive = true;
    if constexpr (requires { check.sBillType; }) check.sBillType = "wwpurbill";
  }
  void run(benchmark::State& state, const std::string& text) {
    auto doc = Document::parse(text);
    std::string verdict = check.VerifyBody(Variant("all"), Variant(doc));
    if (!verdict.empty()) state.SkipWithError("the generated body should pass");
    benchmark::DoNotOptimize(verdict);
  }
  Class check;
};

template <class Class>
void wholePass(benchmark::State& state, Kind kind, int lines) {
  const std::string& text = generated(kind, lines);
  Pass<Class> pass;
  for (auto _ : state) pass.run(state, text);
  state.SetItemsProcessed(state.iterations() * lines);
}

// The two above, alternated within each iteration: the ratio of their CPU times (kept as the
// counter "ratio") is taken with both in the same state of the allocator. Whether freeing a large
// document hands its pages back to the system, to be faulted in anew by the next parse, depends
// on what the program did before, so two benchmarks run one after the other can see different
// costs of memory for the same parse.
double threadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

std::map<std::string, double> pairedRatios;

template <class Class>
void paired(benchmark::State& state, Kind kind, int lines) {
  const std::string& text = generated(kind, lines);
  Pass<Class> check;
  double bare = 0, pass = 0;
  for (auto _ : state) {
    const double t0 = threadSeconds();
    parseAndSelectOnce(text);
    const double t1 = threadSeconds();
    check.run(state, text);
    const double t2 = threadSeconds();
    bare += t1 - t0;
    pass += t2 - t1;
  }
  state.counters["bare_us"] = benchmark::Counter(bare * 1e6, benchmark::Counter::kAvgIterations);
  state.counters["pass_us"] = benchmark::Counter(pass * 1e6, benchmark::Counter::kAvgIterations);
  state.counters["ratio"] = bare > 0 ? pass / bare : 0;
  constexpr const char* kNames[] = {"order", "invoice", "arrival", "requisition"};
  if (bare > 0) pairedRatios["paired " + std::string(kNames[kind]) + "/" + std::to_string(lines)] = pass / bare;
}

// ---- Peak memory of the command ----------------------------------------------------------------

constexpr int kMemoryLines = 100'000;
constexpr double kMemoryLimit = 3.0;  // peak resident size, in sizes of the body file
std::string memoryNote;

// Runs the command on the generated order body; its peak resident size in bytes, or -1.
long commandPeak(const std::string& bodyFile) {
  const std::string command = TALLYWARD_COMMAND;
  std::vector<std::string> args = {command, "verify", "--class", "ClsS_VerifyFPO", "--method", "VerifyBody",
                                   "--key", "all", "--mode", "BS",
                                   "--body", bodyFile, "--no-session"};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int rc = posix_spawn(&pid, command.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return -1;
  int status = 0;
  struct rusage usage {};
  if (::wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return usage.ru_maxrss * 1024L;
}

void commandPeakMemory(benchmark::State& state) {
  const std::filesystem::path file =
      std::filesystem::temp_directory_path() / ("tw_whole_pass_body_" + std::to_string(::getpid()) + ".xml");
  {
    // Written line by line: the measuring process stays small (see below).
    std::ofstream out(file, std::ios::binary);
    const std::string whole = body(0, orderLine);
    const size_t split = whole.find("</rs:data>");
    out << whole.substr(0, split);
    for (int i = 1; i <= kMemoryLines; ++i) out << orderLine(i);
    out << whole.substr(split);
  }
  // A child's peak resident size counts the memory of the process it was started from, up to
  // its exec: this benchmark runs first, before the others generate their bodies, and says how
  // large this process was.
  struct rusage self {};
  ::getrusage(RUSAGE_SELF, &self);
  const double spawnerBytes = static_cast<double>(self.ru_maxrss) * 1024.0;
  const double fileBytes = static_cast<double>(std::filesystem::file_size(file));
  long peak = 0;
  for (auto _ : state) {
    peak = commandPeak(file.string());
    if (peak < 0) {
      state.SkipWithError("the command failed on the generated order body");
      break;
    }
  }
  std::filesystem::remove(file);
  if (peak <= 0) return;
  constexpr double kMiB = 1024.0 * 1024.0;
  const double ratio = static_cast<double>(peak) / fileBytes;
  state.counters["peak_MiB"] = static_cast<double>(peak) / kMiB;
  state.counters["file_MiB"] = fileBytes / kMiB;
  state.counters["ratio"] = ratio;
  state.counters["spawner_MiB"] = spawnerBytes / kMiB;
  char note[300];
  std::snprintf(note, sizeof note,
                "  %-62s ratio %.2f (limit %.1f)%s   [%.1f MiB peak, %.1f MiB file; measured from a process of "
                "%.1f MiB]\n",
                "peak memory of tallyward verify, 100,000-line order", ratio, kMemoryLimit,
                ratio <= kMemoryLimit ? "" : "  OVER", static_cast<double>(peak) / kMiB, fileBytes / kMiB,
                spawnerBytes / kMiB);
  memoryNote = note;
}

struct Voucher {
  Kind kind;
  const char* name;
  void (*pass)(benchmark::State&, Kind, int);
  void (*paired)(benchmark::State&, Kind, int);
};

constexpr Voucher kVouchers[] = {
    {Order, "order", wholePass<ClsS_VerifyFPO>, paired<ClsS_VerifyFPO>},
    {Invoice, "invoice", wholePass<ClsS_VerifyBillF>, paired<ClsS_VerifyBillF>},
    {Arrival, "arrival", wholePass<ClsS_VerifyArriveF>, paired<ClsS_VerifyArriveF>},
    {Requisition, "requisition", wholePass<ClsS_VerifyApplyF>, paired<ClsS_VerifyApplyF>}};
constexpr int kSizes[] = {10, 1000, 100'000};
constexpr double kLimit = 1.5;  // whole pass, in times of parsing and selecting

}  // namespace
}  // namespace tallyward::bench

int main(int argc, char** argv) {
  using namespace tallyward::bench;
  std::vector<RatioSummary::Line> lines;
  benchmark::RegisterBenchmark("CommandPeakMemory/order/100000", commandPeakMemory)
      ->Iterations(1)
      ->Unit(benchmark::kMillisecond);
  for (const Voucher& v : kVouchers)
    for (int n : kSizes) {
      const std::string suffix = std::string(v.name) + "/" + std::to_string(n);
      benchmark::RegisterBenchmark(("ParseAndSelect/" + suffix).c_str(), parseAndSelect, v.kind, n)
          ->Unit(benchmark::kMicrosecond);
      benchmark::RegisterBenchmark(("WholePass/" + suffix).c_str(), v.pass, v.kind, n)
          ->Unit(benchmark::kMicrosecond);
      if (n >= 1000)
        benchmark::RegisterBenchmark(("Paired/" + suffix).c_str(), v.paired, v.kind, n)
            ->Unit(benchmark::kMicrosecond);
      if (n >= 1000)
        lines.push_back({"whole pass / parse and select, " + suffix, "WholePass/" + suffix,
                         "ParseAndSelect/" + suffix, kLimit});
    }

  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioSummary reporter(std::move(lines));
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.print();
  std::printf("Paired, whole pass / parse and select, CPU time of alternated iterations:\n");
  for (const auto& [name, ratio] : pairedRatios)
    std::printf("  %-62s ratio %.2f (limit %.1f)%s\n", name.c_str(), ratio, kLimit, ratio <= kLimit ? "" : "  OVER");
  std::fputs(memoryNote.c_str(), stdout);
  benchmark::Shutdown();
  return 0;
}
