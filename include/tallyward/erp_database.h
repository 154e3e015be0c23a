// The embedded ERP database: an SQLite file with the tables and columns that the checks read,
// the stand-in host's tables and, on request, a small demo company.
#pragma once

#include <string>
#include <string_view>

namespace tallyward {

// The SQL texts compiled into the library: the schema (every table, column and index) and the
// demo company's rows. Each is a script of statements separated by semicolons.
std::string_view erpSchemaSql();
std::string_view erpSampleSql();

// Creates an SQLite ERP database at `path` with the schema and, when `withSample` is true, the
// demo company. The database is built in a temporary file beside `path` (named
// ".tallyward-init-...") and moved into place only when complete, so a failure leaves nothing
// behind; the temporary files of earlier runs that were killed are removed first.
//
// An existing file is never touched unless `force` is true, in which case it is replaced as a
// whole. Only a regular file is replaced, or a symbolic link to one (the link's own entry, not
// the file it leads to); a folder, a FIFO, a device, a socket, or a link to anything but a
// regular file is refused and left as it is. Errors (tallyward::Error):
//   5     no path, the path names something other than a regular file (or a link to one), or
//         the file exists and `force` is false;
//   3001  the folder cannot be written, or SQLite refuses a statement (with its message).
void createErpDatabase(const std::string& path, bool withSample, bool force);

}  // namespace tallyward
