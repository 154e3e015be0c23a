#include "tallyward/database.h"

#include "platform/db/connection_string.h"
#include "platform/db/odbc_driver.h"
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

std::shared_ptr<Connection> Connection::open(const std::string& connectionString) {
  const connstr::Target target = connstr::targetOf(connectionString);
  std::unique_ptr<Driver> driver;
  if (target.embedded)
    driver = std::make_unique<SqliteDriver>(target.path);
  else
    driver = std::make_unique<OdbcDriver>(connectionString);
  return std::make_shared<Connection>(connectionString, std::move(driver));
}

}  // namespace tallyward
