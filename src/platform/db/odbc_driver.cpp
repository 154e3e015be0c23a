#include "platform/db/odbc_driver.h"

#include <sql.h>
#include <sqlext.h>

#include <charconv>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

#include "platform/db/column_values.h"
#include "platform/db/connection_string.h"
#include "platform/db/sql_tokens.h"
#include "platform/db/tsql_reads.h"

namespace tallyward {

namespace {

using dbvalues::ColumnKind;

// One environment for the process, made on first use and never freed: connections that static
// objects hold may still be closed while the program ends.
SQLHENV environment() {
  static const SQLHENV env = [] {
    SQLHENV h = SQL_NULL_HENV;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &h)))
      throwError(err::Database, "Cannot start the ODBC driver manager");
    SQLSetEnvAttr(h, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    return h;
  }();
  return env;
}

// The diagnostic records of a handle: "[state] message", joined by "; ".
std::string diagnostics(SQLSMALLINT type, SQLHANDLE handle) {
  std::string out;
  for (SQLSMALLINT i = 1; i <= 8; ++i) {
    SQLCHAR state[6] = {};
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    std::string message(512, '\0');
    SQLRETURN rc = SQLGetDiagRec(type, handle, i, state, &native, reinterpret_cast<SQLCHAR*>(message.data()),
                                 static_cast<SQLSMALLINT>(message.size()), &length);
    if (rc == SQL_SUCCESS_WITH_INFO && length >= static_cast<SQLSMALLINT>(message.size())) {
      message.assign(static_cast<size_t>(length) + 1, '\0');
      rc = SQLGetDiagRec(type, handle, i, state, &native, reinterpret_cast<SQLCHAR*>(message.data()),
                         static_cast<SQLSMALLINT>(message.size()), &length);
    }
    if (!SQL_SUCCEEDED(rc)) break;
    message.resize(std::min(static_cast<size_t>(std::max<SQLSMALLINT>(length, 0)), message.size() - 1));
    if (!out.empty()) out += "; ";
    out += "[" + std::string(reinterpret_cast<const char*>(state)) + "] " + message;
  }
  return out.empty() ? "the driver gave no diagnostic record" : out;
}

[[noreturn]] void fail(SQLSMALLINT type, SQLHANDLE handle, std::string_view what, std::string_view sql) {
  throwError(err::Database, std::string(what) + ": " + diagnostics(type, handle) + " (statement: " +
                                std::string(sql) + ")");
}

// A statement handle for one statement, freed (its cursor with it) whatever happens.
class Statement {
 public:
  explicit Statement(SQLHDBC dbc) {
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &handle_)))
      throwError(err::Database, "Cannot make a statement: " + diagnostics(SQL_HANDLE_DBC, dbc));
  }
  ~Statement() { SQLFreeHandle(SQL_HANDLE_STMT, handle_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  SQLHSTMT get() const { return handle_; }

 private:
  SQLHSTMT handle_ = SQL_NULL_HSTMT;
};

// How a column's values are read, by the SQL type the driver reports for it.
enum class Read { Text, Whole, Real, Bit, DateTime, Bytes };

Read readOf(SQLSMALLINT type) {
  switch (type) {
    case SQL_BIT:
      return Read::Bit;
    case SQL_TINYINT:
    case SQL_SMALLINT:
    case SQL_INTEGER:
    case SQL_BIGINT:
      return Read::Whole;
    case SQL_DECIMAL:
    case SQL_NUMERIC:
    case SQL_FLOAT:
    case SQL_REAL:
    case SQL_DOUBLE:
      return Read::Real;
    case SQL_DATETIME:  // also SQL_DATE of ODBC 2
    case SQL_TIMESTAMP:
    case SQL_TYPE_DATE:
    case SQL_TYPE_TIMESTAMP:
      return Read::DateTime;
    case SQL_BINARY:
    case SQL_VARBINARY:
    case SQL_LONGVARBINARY:
      return Read::Bytes;
    default:
      return Read::Text;
  }
}

// The whole value of a column of the current row, in pieces as long as it takes: false for
// NULL. Character data comes with a terminating NUL in each piece; binary data without.
bool readWhole(SQLHSTMT stmt, SQLUSMALLINT column, SQLSMALLINT cType, std::string& out, std::string_view sql) {
  const size_t terminator = cType == SQL_C_CHAR ? 1 : 0;
  out.clear();
  size_t room = 256;  // most values are codes and names: one call
  for (;;) {
    const size_t have = out.size();
    out.resize(have + room + terminator);
    SQLLEN indicator = 0;
    const SQLRETURN rc = SQLGetData(stmt, column, cType, out.data() + have,
                                    static_cast<SQLLEN>(room + terminator), &indicator);
    if (rc == SQL_NO_DATA) {  // every piece was read before
      out.resize(have);
      return true;
    }
    if (!SQL_SUCCEEDED(rc)) fail(SQL_HANDLE_STMT, stmt, "Cannot read a value", sql);
    if (indicator == SQL_NULL_DATA) {
      out.clear();
      return false;
    }
    const bool more = indicator == SQL_NO_TOTAL || static_cast<size_t>(indicator) > room;
    if (!more) {
      out.resize(have + static_cast<size_t>(indicator));
      return true;
    }
    // Truncated: this piece filled the room; take the rest in one piece when its size is known.
    out.resize(have + room);
    room = indicator == SQL_NO_TOTAL ? room * 2 : static_cast<size_t>(indicator) - room;
    room = std::max<size_t>(room, 256);
  }
}

// A whole-number column's text: Long or Double as the number's size asks. SQLite keeps what it
// is given, so a fraction or a text there is read as the embedded driver reads it.
Variant wholeOrText(const std::string& text) {
  int64_t whole = 0;
  const char* end = text.data() + text.size();
  if (auto [p, ec] = std::from_chars(text.data(), end, whole); ec == std::errc() && p == end && !text.empty())
    return dbvalues::wholeNumber(whole);
  double d = 0;
  if (auto [p, ec] = std::from_chars(text.data(), end, d); ec == std::errc() && p == end && !text.empty())
    return Variant(d);
  return Variant(text);
}

Variant valueOf(SQLHSTMT stmt, SQLUSMALLINT column, Read read, std::string& buffer, std::string_view sql) {
  if (read == Read::Real) {
    double d = 0;
    SQLLEN indicator = 0;
    if (!SQL_SUCCEEDED(SQLGetData(stmt, column, SQL_C_DOUBLE, &d, sizeof d, &indicator)))
      fail(SQL_HANDLE_STMT, stmt, "Cannot read a value", sql);
    return indicator == SQL_NULL_DATA ? Variant::null() : Variant(d);
  }
  if (!readWhole(stmt, column, read == Read::Bytes ? SQL_C_BINARY : SQL_C_CHAR, buffer, sql)) return Variant::null();
  switch (read) {
    case Read::Whole:
      return wholeOrText(buffer);
    case Read::Bit:
      return dbvalues::textValue(buffer, ColumnKind::Bit);
    case Read::DateTime:
      return dbvalues::textValue(buffer, ColumnKind::DateTime);
    default:
      return Variant(buffer);
  }
}

std::string infoText(SQLHDBC dbc, SQLUSMALLINT what) {
  char text[256] = {};
  SQLSMALLINT length = 0;
  if (!SQL_SUCCEEDED(SQLGetInfo(dbc, what, text, sizeof text, &length))) return {};
  return std::string(text, std::min<size_t>(static_cast<size_t>(std::max<SQLSMALLINT>(length, 0)), sizeof text - 1));
}

bool startsWithNoCase(std::string_view text, std::string_view start) {
  return text.size() >= start.size() && sqlite::sqltokens::same(text.substr(0, start.size()), start);
}

// A pair as a connection string writes it: the value in braces when it could not stand bare.
std::string pairText(const connstr::Pair& p) {
  const bool braces = p.value.find_first_of(";{}") != std::string::npos;
  if (!braces) return p.key + "=" + p.value + ";";
  std::string value;
  for (char c : p.value) value += c == '}' ? std::string("}}") : std::string(1, c);
  return p.key + "={" + value + "};";
}

// An SQLite database file opened read-only, as an SQLite URI: a connection that may write would
// fold a waiting write-ahead log into the file when it closes, or roll back a journal a writer
// left behind, and so change the file although the component never writes.
std::string readOnlyUri(std::string_view path) {
  std::string uri = "file:";
  for (char c : path) {
    if (c == '%' || c == '?' || c == '#') {
      static constexpr char kHex[] = "0123456789ABCDEF";
      const auto b = static_cast<unsigned char>(c);
      uri += '%';
      uri += kHex[b >> 4];
      uri += kHex[b & 15];
    } else {
      uri += c;
    }
  }
  return uri + "?mode=ro";
}

// The string handed to the driver manager. The SQLite ODBC driver creates a missing database file
// unless told not to (a mistyped path must not give an empty database that finds nothing), and
// opens its file for writing unless given a read-only URI: both are added for it.
std::string connectText(const std::string& connectionString) {
  const auto pairs = connstr::pairsOf(connectionString);
  if (!pairs) return connectionString;
  const std::optional<std::string> driver = connstr::valueOf(*pairs, "Driver");
  std::string name = driver.value_or("");
  for (char& c : name) c = sqlite::sqltokens::lower(c);
  if (name.find("sqlite") == std::string::npos) return connectionString;
  std::string text;
  for (connstr::Pair p : *pairs) {
    if (connstr::sameKey(p.key, "Database") && !p.value.empty() && !startsWithNoCase(p.value, "file:"))
      p.value = readOnlyUri(p.value);
    text += pairText(p);
  }
  if (!connstr::valueOf(*pairs, "NoCreat")) text += "NoCreat=1";
  return text;
}

// The column names of a table, from the source's catalog.
std::vector<std::string> catalogColumns(SQLHDBC dbc, const std::string& table) {
  std::vector<std::string> names;
  Statement stmt(dbc);
  if (!SQL_SUCCEEDED(SQLColumns(stmt.get(), nullptr, 0, nullptr, 0,
                                reinterpret_cast<SQLCHAR*>(const_cast<char*>(table.c_str())), SQL_NTS, nullptr, 0)))
    return names;
  std::string name;
  while (SQL_SUCCEEDED(SQLFetch(stmt.get())))
    if (readWhole(stmt.get(), 4, SQL_C_CHAR, name, "SQLColumns")) names.push_back(name);  // COLUMN_NAME
  return names;
}

}  // namespace

OdbcDriver::OdbcDriver(const std::string& connectionString) {
  SQLHDBC dbc = SQL_NULL_HDBC;
  if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, environment(), &dbc)))
    throwError(err::Database, "Cannot make an ODBC connection: " + diagnostics(SQL_HANDLE_ENV, environment()));
  dbc_ = dbc;
  try {
    // A hint that most drivers take or ignore; the statements themselves are held to reads.
    SQLSetConnectAttr(dbc, SQL_ATTR_ACCESS_MODE, reinterpret_cast<SQLPOINTER>(SQL_MODE_READ_ONLY), 0);
    const std::string text = connectText(connectionString);
    if (text.size() > static_cast<size_t>(std::numeric_limits<SQLSMALLINT>::max()))
      throwError(err::Database, "Connection string too long");
    const SQLRETURN rc = SQLDriverConnect(dbc, nullptr, reinterpret_cast<SQLCHAR*>(const_cast<char*>(text.c_str())),
                                          static_cast<SQLSMALLINT>(text.size()), nullptr, 0, nullptr,
                                          SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(rc))
      throwError(err::Database, "Cannot connect through ODBC (" + connstr::withoutSecrets(text) +
                                    "): " + diagnostics(SQL_HANDLE_DBC, dbc));
    connected_ = true;
    dbms_ = infoText(dbc, SQL_DBMS_NAME);
    translates_ = startsWithNoCase(dbms_, "SQLite");
    SQLUSMALLINT capable = SQL_TC_NONE;
    if (SQL_SUCCEEDED(SQLGetInfo(dbc, SQL_TXN_CAPABLE, &capable, sizeof capable, nullptr)))
      transactions_ = capable != SQL_TC_NONE;
    if (translates_) {
      Statement stmt(dbc);
      const std::string readOnly = "PRAGMA query_only = ON";
      if (!SQL_SUCCEEDED(SQLExecDirect(stmt.get(), reinterpret_cast<SQLCHAR*>(const_cast<char*>(readOnly.c_str())),
                                       SQL_NTS)))
        fail(SQL_HANDLE_STMT, stmt.get(), "Cannot make the connection read-only", readOnly);
      columns_ = sqlite::rememberedColumns([dbc](const std::string& table) { return catalogColumns(dbc, table); });
    }
  } catch (...) {
    release();
    throw;
  }
}

OdbcDriver::~OdbcDriver() { release(); }

void OdbcDriver::release() {
  if (!dbc_) return;
  if (connected_) {
    if (reads_ > 0 && transactions_) SQLEndTran(SQL_HANDLE_DBC, dbc_, SQL_ROLLBACK);
    SQLDisconnect(dbc_);
  }
  SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
  dbc_ = nullptr;
  connected_ = false;
}

std::string OdbcDriver::textFor(std::string_view sql) {
  tsql::requireRead(sql);
  return translates_ ? sqlite::runnableOnSqlite(sql, columns_) : std::string(sql);
}

ResultSet OdbcDriver::query(std::string_view sql) {
  const std::string text = textFor(sql);
  if (text.size() > static_cast<size_t>(std::numeric_limits<SQLINTEGER>::max()))
    throwError(err::Database, "Statement too long");
  Statement stmt(dbc_);
  const SQLHSTMT h = stmt.get();
  SQLRETURN rc = SQLExecDirect(h, reinterpret_cast<SQLCHAR*>(const_cast<char*>(text.data())),
                               static_cast<SQLINTEGER>(text.size()));
  ResultSet result;
  if (rc == SQL_NO_DATA) return result;
  if (!SQL_SUCCEEDED(rc)) fail(SQL_HANDLE_STMT, h, "Statement refused by the database", text);
  SQLSMALLINT n = 0;
  if (!SQL_SUCCEEDED(SQLNumResultCols(h, &n))) fail(SQL_HANDLE_STMT, h, "Cannot read the columns", text);
  std::vector<Read> reads;
  reads.reserve(static_cast<size_t>(n));
  result.columns.reserve(static_cast<size_t>(n));
  for (SQLUSMALLINT i = 1; i <= static_cast<SQLUSMALLINT>(n); ++i) {
    std::string name(128, '\0');
    SQLSMALLINT length = 0, type = 0, digits = 0, nullable = 0;
    SQLULEN size = 0;
    for (;;) {
      if (!SQL_SUCCEEDED(SQLDescribeCol(h, i, reinterpret_cast<SQLCHAR*>(name.data()),
                                        static_cast<SQLSMALLINT>(name.size()), &length, &type, &size, &digits,
                                        &nullable)))
        fail(SQL_HANDLE_STMT, h, "Cannot read the columns", text);
      if (length < static_cast<SQLSMALLINT>(name.size())) break;
      name.assign(static_cast<size_t>(length) + 1, '\0');
    }
    name.resize(static_cast<size_t>(std::max<SQLSMALLINT>(length, 0)));
    result.columns.push_back(std::move(name));
    reads.push_back(readOf(type));
  }
  std::string buffer;
  while ((rc = SQLFetch(h)) != SQL_NO_DATA) {
    if (!SQL_SUCCEEDED(rc)) fail(SQL_HANDLE_STMT, h, "Cannot read a row", text);
    std::vector<Variant>& row = result.rows.emplace_back();
    row.reserve(static_cast<size_t>(n));
    for (SQLUSMALLINT i = 1; i <= static_cast<SQLUSMALLINT>(n); ++i)
      row.push_back(valueOf(h, i, reads[i - 1], buffer, text));
  }
  return result;
}

void OdbcDriver::beginRead() {
  if (reads_++ > 0 || !transactions_) return;
  if (!SQL_SUCCEEDED(SQLSetConnectAttr(dbc_, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0))) {
    --reads_;
    throwError(err::Database, "Cannot begin a read: " + diagnostics(SQL_HANDLE_DBC, dbc_));
  }
}

void OdbcDriver::endRead() {
  if (reads_ == 0 || --reads_ > 0 || !transactions_) return;
  // Nothing was written; rolling back keeps it that way and lets the read's locks go.
  SQLEndTran(SQL_HANDLE_DBC, dbc_, SQL_ROLLBACK);
  SQLSetConnectAttr(dbc_, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0);
}

}  // namespace tallyward
