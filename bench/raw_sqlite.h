// The raw side of the database benchmarks: a statement prepared once on SQLite's own API, then
// only stepped, read column by column and reset in each iteration.
#pragma once

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <string>

namespace tallyward::bench {

// Runs `sql` on the open database in every iteration; an error when it does not find one row.
inline void stepPrepared(benchmark::State& state, sqlite3* db, const std::string& sql) {
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v3(db, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr) != SQLITE_OK) {
    state.SkipWithError(sqlite3_errmsg(db));
    return;
  }
  for (auto _ : state) {
    int rows = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
      ++rows;
      for (int c = 0; c < sqlite3_column_count(stmt); ++c) benchmark::DoNotOptimize(sqlite3_column_text(stmt, c));
    }
    sqlite3_reset(stmt);
    if (rows != 1) state.SkipWithError("the statement did not find its row once");
  }
  sqlite3_finalize(stmt);
}

}  // namespace tallyward::bench
