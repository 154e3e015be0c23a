// The SQL Server dialect that the checks write, turned into statements SQLite runs with the same
// meaning and the same column names.
#pragma once

#include <string>
#include <string_view>

namespace tallyward::sqlite {

// Rewrites one T-SQL SELECT for SQLite:
//  - TOP n (also TOP (n), after ALL or DISTINCT) becomes LIMIT n at the end of its own SELECT,
//    at any depth of parenthesised sub-selects;
//  - ISNULL( becomes ifnull(;
//  - a database prefix (OrrerySystem..ua_period) and the dbo schema (dbo.PayCondition) are
//    dropped, so the table is found in the same file;
//  - every item of the outer select list gets the name SQL Server reports for it: its alias, else
//    the column as written without its table prefix, else "" for an unnamed expression; * keeps
//    the table's declared names.
// String literals, [bracketed] and "quoted" identifiers and comments are never touched.
// Anything that cannot be translated safely is refused with error 3001 rather than run as
// something else: more than one statement, a statement other than SELECT, N'..' literals, text
// joined with +, variables and parameters, functions without a same-meaning SQLite counterpart,
// table hints, SELECT INTO, TOP n PERCENT, TOP on a UNION, and names of more than two parts.
std::string translate(std::string_view tsql);

}  // namespace tallyward::sqlite
