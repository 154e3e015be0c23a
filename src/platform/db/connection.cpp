#include "tallyward/database.h"

namespace tallyward {

Connection::Connection(std::string connectionString, std::unique_ptr<Driver> driver)
    : connectionString_(std::move(connectionString)), driver_(std::move(driver)) {}

std::shared_ptr<Recordset> Connection::execute(std::string_view sql) {
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

// Until a driver is built in, no connection string can be opened.
std::shared_ptr<Connection> Connection::open(const std::string& connectionString) {
  throwError(err::Database, "No database driver in this build for: " + connectionString);
}

}  // namespace tallyward
