// The ODBC stack the tests run on: unixODBC with the SQLite ODBC driver registered as "SQLite3"
// in a temporary odbcinst.ini (ODBCSYSINI), nothing taken from the machine's own registrations,
// and a data source kTestDsn over the file dsnDatabase().
#pragma once

#include <string>

namespace tallyward::test {

inline constexpr const char* kTestDsn = "tallyward_test";
const std::string& dsnDatabase();

}  // namespace tallyward::test
