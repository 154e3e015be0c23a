// How the field-entry tests reach their database file: the file itself (the embedded driver), or in
// the program that runs them through ODBC (tests/odbc), the SQLite ODBC driver it registers.
#pragma once

#include <string>

namespace tallyward::test {

#ifdef TW_THROUGH_ODBC
inline std::string connectionTo(const std::string& path) { return "Driver=SQLite3;Database=" + path; }
#else
inline std::string connectionTo(const std::string& path) { return path; }
#endif

}  // namespace tallyward::test
