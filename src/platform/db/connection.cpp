#include "tallyward/database.h"

#include "platform/db/sqlite_driver.h"

namespace tallyward {

Connection::Connection(std::string connectionString, std::unique_ptr<Driver> driver)
    : connectionString_(std::move(connectionString)), driver_(std::move(driver)) {}

std::shared_ptr<Recordset> Connection::execute(std::string_view sql) {
  // Letting a tenth go at a time keeps the cost of the trimming at a few moves per statement.
  if (statements_.size() >= kStatementLimit)
    statements_.erase(statements_.begin(), statements_.begin() + kStatementLimit / 10);
  statements_.emplace_back(sql);
  return std::make_shared<Recordset>(driver_->query(sql));
}

namespace {
constexpr DispId kConnectionString = 1;
constexpr DispId kExecute = 2;
}  // namespace

DispId Connection::GetIDsOfNames(std::string_view name) const {
  if (DispatchTable<Connection>::equalsNoCase(name, "ConnectionString")) return kConnectionString;
  if (DispatchTable<Connection>::equalsNoCase(name, "Execute")) return kExecute;
  throwError(err::NoSuchMember, "Object doesn't support this property or method: " + std::string(name));
}

Variant Connection::Invoke(DispId id, InvokeKind kind, std::span<Variant> args) {
  if (id == kConnectionString && kind != InvokeKind::PropertyPut && kind != InvokeKind::PropertyPutRef)
    return connectionString_;
  if (id == kExecute && kind == InvokeKind::Method) {
    requireArgs(args, 1, "Execute");
    return Variant(execute(toText(args[0])));
  }
  throwError(err::NoSuchMember, "Object doesn't support this property or method");
}

namespace {

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool sameKey(std::string_view a, std::string_view b) { return DispatchTable<Connection>::equalsNoCase(a, b); }

bool isKnownKey(std::string_view key) {
  return sameKey(key, "Driver") || sameKey(key, "Database") || sameKey(key, "Data Source");
}

// The database file that a connection string names: the string itself when it is a plain path,
// else the Database value of a "Key=Value;..." string whose driver is SQLite.
std::string databasePath(const std::string& connectionString) {
  const std::string_view text = trimmed(connectionString);
  const size_t eq = text.find('=');
  if (eq == std::string_view::npos || !isKnownKey(trimmed(text.substr(0, eq)))) return std::string(text);
  std::string driver, database;
  bool haveDatabase = false;
  size_t at = 0;
  while (at < text.size()) {
    const size_t keyEnd = text.find('=', at);
    if (keyEnd == std::string_view::npos) {
      if (trimmed(text.substr(at)).empty()) break;
      throwError(err::Database, "Connection string part without '=': " + std::string(text.substr(at)));
    }
    const std::string_view key = trimmed(text.substr(at, keyEnd - at));
    size_t valueStart = keyEnd + 1;
    while (valueStart < text.size() && (text[valueStart] == ' ' || text[valueStart] == '\t')) ++valueStart;
    std::string value;
    if (valueStart < text.size() && text[valueStart] == '{') {
      const size_t close = text.find('}', valueStart + 1);
      if (close == std::string_view::npos)
        throwError(err::Database, "Connection string value not closed with '}': " + connectionString);
      value = std::string(text.substr(valueStart + 1, close - valueStart - 1));
      at = close + 1;
      while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
      if (at < text.size() && text[at] != ';')
        throwError(err::Database, "Unexpected text after '}' in connection string: " + connectionString);
    } else {
      const size_t semi = text.find(';', valueStart);
      const size_t end = semi == std::string_view::npos ? text.size() : semi;
      value = std::string(trimmed(text.substr(valueStart, end - valueStart)));
      at = end;
    }
    if (at < text.size()) ++at;  // the ';'
    if (sameKey(key, "Driver")) {
      driver = value;
    } else if (sameKey(key, "Database") || sameKey(key, "Data Source")) {
      database = value;
      haveDatabase = true;
    } else {
      throwError(err::Database, "Unknown key in connection string: " + std::string(key));
    }
  }
  if (!driver.empty() && !sameKey(driver, "SQLite") && !sameKey(driver, "SQLite3"))
    throwError(err::Database, "Driver not available in this build: " + driver);
  if (!haveDatabase || database.empty())
    throwError(err::Database, "Connection string names no Database: " + connectionString);
  return database;
}

}  // namespace

std::shared_ptr<Connection> Connection::open(const std::string& connectionString) {
  auto driver = std::make_unique<SqliteDriver>(databasePath(connectionString));
  return std::make_shared<Connection>(connectionString, std::move(driver));
}

}  // namespace tallyward
