// Lets SQLite's indexes serve a look-up whose OR reaches into a left-joined table.
//
// The item look-up of the field-entry checks reads
//
//   ... FROM Inventory Left join venandinv on Inventory.cInvCode=venandinv.cInvCode and ...
//   WHERE (cInvName='x' OR Inventory.cInvCode='x' OR cInvAddCode='x' OR cVenInvCode='x') AND ...
//
// SQLite answers an OR from indexes only when every branch can be looked up in an index of the
// same table; the branch on venandinv's column cannot, so the whole Inventory table is scanned.
// This step gives such a branch a companion condition on the outer table that is true whenever
// the branch is:
//
//   ... OR (cVenInvCode='x' AND Inventory.cInvCode IN
//             (SELECT tw_or_1.cInvCode FROM venandinv AS tw_or_1 WHERE tw_or_1.cVenInvCode='x'))
//
// which the planner serves with the index of Inventory.cInvCode. The rows selected stay the same:
// the companion only drops rows whose branch was not true.
//
// The step rewrites only what it fully understands, and leaves any other statement as it is:
//  - the outer SELECT of a statement without UNION, EXCEPT or INTERSECT;
//  - a FROM of plain table names, joined with JOIN, INNER JOIN or LEFT [OUTER] JOIN ... ON;
//  - a left-joined table whose ON is a chain of AND terms, one of them written
//    earlier.column = joined.column (the earlier table's column first, so that the comparison
//    keeps its collation);
//  - a WHERE made of AND terms (no OR, BETWEEN or CASE outside parentheses), one of which is a
//    parenthesised OR of branches  column = literal  or  literal = column;
//  - a branch whose column belongs to that left-joined table alone (by its qualifier, or, when it
//    has none, by the tables' columns).
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace tallyward::sqlite {

// Whether a table has a column of that name (names compared without regard to case).
using ColumnLookup = std::function<bool(std::string_view table, std::string_view column)>;

// The statement with companion conditions added as described above; the statement unchanged when
// there is nothing to add.
std::string indexJoinedOr(std::string_view sql, const ColumnLookup& hasColumn);

// A lookup over `read`, which gives the column names of a table (asked with the table's name in
// lower case; nothing for an unknown table). Each table is read once; answers are remembered for
// the life of the lookup.
ColumnLookup rememberedColumns(std::function<std::vector<std::string>(const std::string& table)> read);

// The columns of the tables of an open SQLite database.
ColumnLookup columnsOf(sqlite3* db);

// A statement as the component writes it, made ready for SQLite: translated from T-SQL (see
// tsql_dialect.h), then given the companion conditions above. Both ways of reaching an SQLite
// database (the embedded driver and an ODBC source) run this text.
std::string runnableOnSqlite(std::string_view tsql, const ColumnLookup& hasColumn);

}  // namespace tallyward::sqlite
