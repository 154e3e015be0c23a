// The guard in front of a server that runs T-SQL as it is sent: only a single reading statement
// passes, so that nothing sent through this layer can change the ERP's database.
#pragma once

#include <string_view>

namespace tallyward::tsql {

// Error 3001 unless the text is one SELECT statement (a final ';' allowed) that neither writes
// (INTO, INSERT, UPDATE, DELETE, MERGE), runs code (EXEC), changes the session or the schema
// (SET, USE, CREATE, ALTER, DROP, ...), manages transactions or reaches another server
// (OPENQUERY, OPENROWSET, OPENDATASOURCE). These words are reserved in T-SQL, so a reading
// statement can only hold them quoted ([Update]) or inside literals and comments, which pass.
void requireRead(std::string_view sql);

}  // namespace tallyward::tsql
