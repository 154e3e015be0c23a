// The ERP database as the checks reach it: a connection that runs statements and the recordsets
// they give, after the manner of ADO. A driver does the talking to a real database.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "tallyward/object.h"

namespace tallyward {

// What a driver hands back for one statement: column names as the server reports them, in
// order, and the rows of values (Null, Boolean, Long, Double, String).
struct ResultSet {
  std::vector<std::string> columns;
  std::vector<std::vector<Variant>> rows;
};

// One database behind a connection. A statement arrives as the component wrote it (T-SQL); a
// driver translates it where its database needs that. Failures are run-time errors (3001) that
// carry the driver's message.
class Driver {
 public:
  virtual ~Driver() = default;
  virtual ResultSet query(std::string_view sql) = 0;

  // A read spanning several statements, such as the look-ups of one check: between beginRead and
  // the matching endRead the statements see one state of the database, and a driver may take its
  // read lock once for all of them. Reads nest; a driver without the notion ignores them.
  virtual void beginRead() {}
  virtual void endRead() {}
};

// A static, read-only recordset over the rows of one statement.
class Recordset final : public Object {
 public:
  explicit Recordset(ResultSet result);

  const std::vector<std::string>& columns() const { return result_.columns; }
  size_t fieldCount() const { return result_.columns.size(); }
  long recordCount() const { return static_cast<long>(visible_.size()); }

  bool bof() const { return pos_ < 0 || visible_.empty(); }
  bool eof() const { return visible_.empty() || pos_ >= static_cast<long>(visible_.size()); }
  void moveFirst() { pos_ = 0; }
  void moveNext();
  void movePrevious();
  void moveLast() { pos_ = static_cast<long>(visible_.size()) - 1; }

  // The current record's value of a column, by name (case-insensitive) or position. Error 3021
  // when there is no current record, 3265 when there is no such column.
  const Variant& field(std::string_view name) const;
  const Variant& field(size_t index) const;
  bool hasField(std::string_view name) const;

  // An ADO filter such as cInvCode='A01' or a='x' AND (b<>'y' OR n>=2) (text compared without
  // regard to case); "" removes it. The first visible record becomes
  // current. Error 3001 for a filter that cannot be read or names no field of the recordset.
  void setFilter(std::string_view criteria);
  const std::string& filter() const { return filter_; }
  void close();
  bool isOpen() const { return open_; }

  std::string_view typeName() const override { return "Recordset"; }
  DispId GetIDsOfNames(std::string_view name) const override;
  Variant Invoke(DispId id, InvokeKind kind, std::span<Variant> args) override;

 private:
  const std::vector<Variant>& current() const;
  ResultSet result_;
  std::vector<size_t> visible_;
  long pos_ = 0;
  bool open_ = true;
  std::string filter_;
};

// The caller's open connection to the ERP database (m_Cnn).
//
// A connection may be shared by threads. Every use of it (a statement, the record of statements,
// a read) holds the connection's lock, so that one thread's statement never meets another's half
// way; a field-entry check holds the lock for its whole call (beginRead to endRead), so that the
// checks of several threads on one connection each see their own statements in order, one check
// after another. The lock is taken again freely by the thread that holds it. A class object itself
// is used by one thread at a time, as a screen uses it.
class Connection final : public Object {
 public:
  Connection(std::string connectionString, std::unique_ptr<Driver> driver);

  // Opens the database that a connection string names (keys in any letter case, a value in
  // {braces} when it holds a semicolon):
  //  - the embedded SQLite database: a path to an existing SQLite file, "Driver=SQLite;Database=PATH"
  //    or "Database=PATH" ("Data Source" for "Database");
  //  - any other "Key=Value;..." string through the ODBC driver manager: "DSN=erp;UID=...;PWD=...",
  //    "Driver={ODBC Driver 18 for SQL Server};Server=...;Database=...", or an SQLite file through
  //    the SQLite ODBC driver, "Driver=SQLite3;Database=PATH".
  // Error 3001 when the file is missing or is not a database (no database is ever created, the
  // SQLite ODBC driver is told not to either), when an embedded string has a key other than these,
  // or when the ODBC driver cannot connect (with its message; passwords are not repeated).
  // The embedded database is opened read-only: nothing the component does changes its file.
  static std::shared_ptr<Connection> open(const std::string& connectionString);

  const std::string& connectionString() const { return connectionString_; }

  // Runs a statement as the component wrote it and gives its rows.
  std::shared_ptr<Recordset> execute(std::string_view sql);

  // Runs a statement that is not the component's own (a host service's): its rows, without an
  // entry in the record of statements.
  std::shared_ptr<Recordset> executeUnrecorded(std::string_view sql);

  // A read spanning several statements on this thread (see Driver::beginRead): holds the lock
  // until the matching endRead. Reads nest. An endRead without a beginRead of this thread
  // changes nothing.
  void beginRead();
  void endRead();

  // The statements sent on this connection, in order, as the component wrote them: the most
  // recent ones only, so that a connection a host keeps open all day does not fill its memory.
  // At most kStatementLimit are kept; when that many are there, the oldest tenth is let go at
  // once (so the latest 9,000 are always there: every statement of one check or whole pass).
  // A copy, taken under the lock.
  std::vector<std::string> statements() const;
  size_t statementCount() const;
  void clearStatements();
  static constexpr size_t kStatementLimit = 10'000;

  // The driver itself, without the lock: for tools and tests that own the connection alone.
  Driver& driver() { return *driver_; }

  std::string_view typeName() const override { return "Connection"; }
  DispId GetIDsOfNames(std::string_view name) const override;
  Variant Invoke(DispId id, InvokeKind kind, std::span<Variant> args) override;

 private:
  // The lock: a mutex that the holding thread may take again (its depth counts how often).
  class Lock {
   public:
    void lock();
    void unlock();
    bool heldHere() const;  // whether this thread holds it

   private:
    std::mutex mutex_;
    std::atomic<std::thread::id> owner_{};
    int depth_ = 0;
  };
  using Hold = std::lock_guard<Lock>;

  std::string connectionString_;
  std::unique_ptr<Driver> driver_;
  mutable Lock lock_;
  int reads_ = 0;  // reads begun and not yet ended (by the thread that holds the lock)
  std::vector<std::string> statements_;
};

}  // namespace tallyward
