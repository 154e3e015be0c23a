#include "tallyward/database.h"

#include "platform/db/connection_string.h"
#include "platform/db/odbc_driver.h"
#include "platform/db/sqlite_driver.h"

namespace tallyward {

Connection::Connection(std::string connectionString, std::unique_ptr<Driver> driver)
    : connectionString_(std::move(connectionString)), driver_(std::move(driver)) {}

void Connection::Lock::lock() {
  const std::thread::id me = std::this_thread::get_id();
  if (owner_.load(std::memory_order_relaxed) == me) {
    ++depth_;
    return;
  }
  mutex_.lock();
  owner_.store(me, std::memory_order_relaxed);
  depth_ = 1;
}

void Connection::Lock::unlock() {
  if (--depth_ > 0) return;
  owner_.store(std::thread::id(), std::memory_order_relaxed);
  mutex_.unlock();
}

bool Connection::Lock::heldHere() const {
  return owner_.load(std::memory_order_relaxed) == std::this_thread::get_id();
}

std::shared_ptr<Recordset> Connection::execute(std::string_view sql) {
  Hold hold(lock_);
  // Letting a tenth go at a time keeps the cost of the trimming at a few moves per statement.
  if (statements_.size() >= kStatementLimit)
    statements_.erase(statements_.begin(), statements_.begin() + kStatementLimit / 10);
  statements_.emplace_back(sql);
  return std::make_shared<Recordset>(driver_->query(sql));
}

std::shared_ptr<Recordset> Connection::executeUnrecorded(std::string_view sql) {
  Hold hold(lock_);
  return std::make_shared<Recordset>(driver_->query(sql));
}

void Connection::beginRead() {
  lock_.lock();
  try {
    driver_->beginRead();
  } catch (...) {
    lock_.unlock();
    throw;
  }
  ++reads_;
}

void Connection::endRead() {
  if (!lock_.heldHere() || reads_ == 0) return;
  --reads_;
  driver_->endRead();
  lock_.unlock();
}

std::vector<std::string> Connection::statements() const {
  Hold hold(lock_);
  return statements_;
}

size_t Connection::statementCount() const {
  Hold hold(lock_);
  return statements_.size();
}

void Connection::clearStatements() {
  Hold hold(lock_);
  statements_.clear();
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
