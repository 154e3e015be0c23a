// The ERP's own database through an ODBC driver manager (unixODBC): SQL Server through FreeTDS or
// the server maker's driver, or an SQLite file through the SQLite ODBC driver.
#pragma once

#include <string>
#include <string_view>

#include "platform/db/joined_or_rewrite.h"
#include "tallyward/database.h"

namespace tallyward {

// Statements go to a server that speaks T-SQL as the component wrote them; when the source is
// SQLite (its SQL_DBMS_NAME), they go through the embedded driver's translation first. Either way
// only a single reading statement is sent (see tsql_reads.h), and the connection is opened
// read-only where the driver allows it (SQLite: query_only).
//
// Values come back as the embedded driver gives them: bit -> Boolean, whole-number kinds -> Long
// (Double past 32 bits), decimal, numeric and floating kinds -> Double, date-time kinds -> Date
// (text that is no date stays text), text -> String read whole whatever its length, binary ->
// its bytes, NULL -> Null. Text is taken as the driver delivers it and must be UTF-8 (FreeTDS:
// ClientCharset=UTF-8).
//
// A failure gives error 3001 with the driver's diagnostic records (state and message); a
// statement either gives all its rows or fails.
class OdbcDriver final : public Driver {
 public:
  // Connects with an ODBC connection string (DSN=...;UID=...;PWD=... or Driver={...};...).
  // Error 3001 with the driver manager's or the driver's message when it cannot connect.
  explicit OdbcDriver(const std::string& connectionString);
  ~OdbcDriver() override;
  OdbcDriver(const OdbcDriver&) = delete;
  OdbcDriver& operator=(const OdbcDriver&) = delete;

  ResultSet query(std::string_view sql) override;
  // A transaction around the statements in between, rolled back at the end: on SQLite the
  // statements see one state of the file; anywhere, nothing in it can be kept.
  void beginRead() override;
  void endRead() override;

  // The database system the source reports (SQL_DBMS_NAME), such as "Microsoft SQL Server".
  const std::string& dbmsName() const { return dbms_; }
  // Whether statements are translated for SQLite before they are sent.
  bool translates() const { return translates_; }
  // The text sent for a statement as the component wrote it; error 3001 when it is not a read or
  // cannot be translated.
  std::string textFor(std::string_view sql);

 private:
  void release();

  void* dbc_ = nullptr;  // the SQLHDBC
  bool connected_ = false;
  std::string dbms_;
  bool translates_ = false;
  bool transactions_ = false;  // the source has transactions
  int reads_ = 0;              // nesting of beginRead
  sqlite::ColumnLookup columns_;
};

}  // namespace tallyward
