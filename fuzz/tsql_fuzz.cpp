// A statement as the component might write it, through the steps the SQLite driver takes before
// SQLite sees it: the T-SQL translation, the joined-OR rewrite (against the ERP schema's columns),
// and the shaping that lifts typed literals into parameters. A refusal (error 3001) is an answer;
// anything else that escapes, or a sanitizer's report, is a finding.
#include <sqlite3.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/db/joined_or_rewrite.h"
#include "platform/db/literal_shape.h"
#include "platform/db/tsql_dialect.h"
#include "tallyward/erp_database.h"
#include "tallyward/error.h"

using namespace tallyward;

namespace {

// The columns of the ERP schema, read from an in-memory database that holds it.
const sqlite::ColumnLookup& columns() {
  static sqlite3* db = [] {
    sqlite3* d = nullptr;
    sqlite3_open(":memory:", &d);
    const std::string schema(erpSchemaSql());
    if (sqlite3_exec(d, schema.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) std::abort();
    return d;
  }();
  static const sqlite::ColumnLookup lookup = sqlite::columnsOf(db);
  return lookup;
}

void rewrite(std::string_view sql) {
  try {
    (void)sqlite::indexJoinedOr(sqlite::translate(sql), columns());
  } catch (const Error&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view sql(reinterpret_cast<const char*>(data), size);
  rewrite(sql);
  if (const std::optional<sqlite::Shape> shape = sqlite::shapeOf(sql)) {
    try {
      const std::string translated = sqlite::indexJoinedOr(sqlite::translate(shape->text), columns());
      (void)sqlite::withParameters(translated, shape->values.size());
    } catch (const Error&) {
    }
  }
  return 0;
}
