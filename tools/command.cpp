#include "command.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <optional>
#include <sstream>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "tallyward/classes.h"
#include "tallyward/database.h"
#include "tallyward/document.h"
#include "tallyward/erp_database.h"
#include "tallyward/host.h"
#include "tallyward/registry.h"
#include "rows/row_batches.h"

namespace tallyward::cli {

namespace {

using json = nlohmann::json;

// A problem with the command's input, told on standard error with exit status 2.
struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct VerifyOptions {
  std::string className;
  std::string method;
  std::optional<std::string> key;
  std::optional<std::string> headFile;
  std::optional<std::string> bodyFile;
  std::optional<std::string> row;
  std::string mode = "CS";
  std::vector<std::string> sets;
  std::optional<std::string> db;
  std::optional<std::string> sessionFile;
  bool noSession = false;
  std::optional<std::string> poCode;
  bool traceSql = false;
};

// The bytes of a file given with `option`. A path that cannot be read is told as what it is: a
// folder, or a file that cannot be opened or read (with the system's reason).
std::string readFile(const std::string& option, const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw UsageError(option + " " + path + ": cannot read the file: " + std::strerror(errno));
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode))
    throw UsageError(option + " " + path + ": is a folder, not a file");
  // Read straight into a text of the file's size, so that a large voucher is never held twice
  // while it is read (a file that grows meanwhile is read to its end all the same).
  std::string text(st.st_size > 0 ? static_cast<size_t>(st.st_size) : 0, '\0');
  size_t size = 0;
  char more[64 * 1024];
  for (;;) {
    // Into the text while it has room; then into `more`, so that a file of the size foreseen
    // ends without the text growing.
    const bool room = size < text.size();
    const ssize_t n = room ? ::read(fd, text.data() + size, text.size() - size) : ::read(fd, more, sizeof more);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      throw UsageError(option + " " + path + ": cannot read the file: " + std::strerror(errno));
    }
    if (!room) {
      text.resize(size);
      text.append(more, static_cast<size_t>(n));
      text.resize(std::max(text.size(), 2 * size));
    }
    size += static_cast<size_t>(n);
  }
  text.resize(size);
  return text;
}

std::shared_ptr<Document> parseDocument(const std::string& option, const std::string& path, std::string text) {
  try {
    return Document::parseInPlace(std::move(text));
  } catch (const Error& e) {
    throw UsageError(option + " " + path + ": " + e.description());
  }
}

std::shared_ptr<Document> readDocument(const std::string& option, const std::string& path) {
  return parseDocument(option, path, readFile(option, path));
}

bool hasMember(Object& o, std::string_view name) {
  try {
    o.GetIDsOfNames(name);
    return true;
  } catch (const Error&) {
    return false;
  }
}

// Sets the properties the options name; a property the class lacks or a value it cannot take is a
// usage error.
void setProperties(Object& target, const VerifyOptions& o) {
  if (o.mode != "CS" && o.mode != "BS") throw UsageError("--mode must be CS or BS, not " + o.mode);
  target.put("m_UseMode", Variant(o.mode == "BS" ? 1 : 0));
  for (const std::string& s : o.sets) {
    const auto eq = s.find('=');
    if (eq == std::string::npos || eq == 0) throw UsageError("--set wants NAME=VALUE, not " + s);
    const std::string name = s.substr(0, eq);
    const std::string value = s.substr(eq + 1);
    if (!hasMember(target, name))
      throw UsageError(std::string(target.typeName()) + " has no property " + name);
    try {
      target.put(name, Variant(value));
    } catch (const Error& e) {
      throw UsageError("--set " + s + ": " + e.description());
    }
  }
}

Variant rowArgument(const std::optional<std::string>& row) {
  if (!row) return Variant::missing();
  // A whole number is passed as a Long; any other text as it is, for the class to convert.
  char* end = nullptr;
  errno = 0;
  const long n = std::strtol(row->c_str(), &end, 10);
  if (!row->empty() && *end == '\0' && errno == 0) return Variant(n);
  return Variant(*row);
}

json documentText(const Document& d) {
  return json(d.xml());
}

int verify(const VerifyOptions& o, std::ostream& out) {
  const ClassInfo* info = findClass(o.className);
  if (!info) throw UsageError("unknown class " + o.className);
  std::shared_ptr<Object> object = info->create();
  if (!hasMember(*object, o.method) || o.method.starts_with("m_") || o.method == "clsInfor" ||
      o.method == "sBillType")
    throw UsageError(std::string(info->name) + " has no method " + o.method);
  setProperties(*object, o);

  std::shared_ptr<Connection> connection;
  if (info->fieldEntry) {
    std::optional<std::string> db = o.db;
    if (!db)
      if (const char* env = std::getenv("TALLYWARD_DB"); env && *env) db = env;
    if (db) {
      try {
        connection = Connection::open(*db);
      } catch (const Error& e) {
        throw UsageError("--db " + *db + ": " + e.description());
      }
      // m_login is a stand-in login: the due-date calculator reaches the database through it.
      useDatabase(*object, connection);
    }
    if (!o.noSession) {
      std::shared_ptr<Object> session;
      try {
        session = o.sessionFile ? loadSession(*o.sessionFile) : defaultSession();
      } catch (const Error& e) {
        throw UsageError("--session: " + e.description());
      }
      if (session) object->putRef("clsInfor", Variant(session));
    }
  }

  std::string method = o.method;
  for (char& c : method) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  std::shared_ptr<Document> head = o.headFile ? readDocument("--head", *o.headFile) : nullptr;
  // The body of a whole-voucher check is read a batch of rows at a time where its text allows:
  // a large body then needs little more memory than its text.
  std::shared_ptr<Document> body;
  std::shared_ptr<RowBatches> batches;
  if (o.bodyFile) {
    std::string text = readFile("--body", *o.bodyFile);
    if (!info->fieldEntry && method == "verifybody") batches = RowBatches::split(text);
    if (!batches) body = parseDocument("--body", *o.bodyFile, std::move(text));
  }

  std::vector<Variant> args;
  auto needKey = [&] {
    if (!o.key) throw UsageError(o.method + " needs --key (a field key or all)");
    args.emplace_back(*o.key);
  };
  if (method == "verifyhead") {
    needKey();
    if (!head) throw UsageError("VerifyHead needs --head FILE");
    args.emplace_back(head);
  } else if (method == "verifybody") {
    needKey();
    if (!body && !batches) throw UsageError("VerifyBody needs --body FILE");
    args.push_back(batches ? Variant(std::static_pointer_cast<Object>(batches)) : Variant(body));
    if (info->fieldEntry) args.push_back(head ? Variant(head) : Variant::missing());
    args.push_back(rowArgument(o.row));
  } else if (method == "bverifypocode") {
    if (!o.poCode) throw UsageError("bVerifyPoCode needs --po-code CODE");
    args.emplace_back(*o.poCode);
  }

  json result = json::object();
  int status = kOk;
  try {
    Variant answer;
    try {
      answer = object->call(o.method, std::span<Variant>(args));
    } catch (const Error&) {
      if (!batches || batches->wellFormed()) throw;
    }
    // A body whose batches do not all parse is refused as parsing it whole refuses it, whatever
    // the check found in the batches before; should it parse whole after all, it is checked whole.
    if (batches && !batches->wellFormed()) {
      args[1] = Variant(parseDocument("--body", *o.bodyFile, batches->release()));
      answer = object->call(o.method, std::span<Variant>(args));
    }
    if (method == "bverifypocode") {
      result["result"] = toBoolean(answer);
    } else {
      result["verdict"] = toText(answer);
      if (head && head->replacements() > 0) result["head"] = documentText(*head);
      if (body && body->replacements() > 0) result["body"] = documentText(*body);
    }
  } catch (const Error& e) {
    result = json::object();
    result["error"] = {{"number", e.number()}, {"description", e.description()}};
    status = kRunTime;
  }
  if (o.traceSql) {
    result["statements"] = connection ? connection->statements() : std::vector<std::string>{};
    // The steps a field-entry check left out because they failed (a missing table, a host service
    // that could not be asked): what the verdict alone does not show.
    if (const auto* trace = dynamic_cast<const FieldEntryTrace*>(object.get())) {
      json skipped = json::array();
      for (const SkippedStep& s : trace->skippedSteps())
        skipped.push_back({{"step", s.step}, {"number", s.number}, {"description", s.description}});
      result["skipped"] = std::move(skipped);
    }
  }
  out << result.dump(-1, ' ', false, json::error_handler_t::replace) << '\n';
  return status;
}

}  // namespace

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CLI::App app{"Tallyward: verifies the vouchers of the ERP's outsourcing module.", "tallyward"};
  app.require_subcommand(1);

  VerifyOptions v;
  CLI::App* verifyCmd = app.add_subcommand("verify", "Call VerifyHead, VerifyBody or bVerifyPoCode of a class");
  verifyCmd->add_option("--class", v.className, "Class name, ProgID or {CLSID}")->required();
  verifyCmd->add_option("--method", v.method, "VerifyHead | VerifyBody | bVerifyPoCode")->required();
  verifyCmd->add_option("--key", v.key, "sKey: the field just left, or all");
  verifyCmd->add_option("--head", v.headFile, "Head voucher document (XML file)");
  verifyCmd->add_option("--body", v.bodyFile, "Body voucher document (XML file)");
  verifyCmd->add_option("--row", v.row, "R, the row number of a single-field body check");
  verifyCmd->add_option("--mode", v.mode, "m_UseMode: CS (default) or BS");
  verifyCmd->add_option("--set", v.sets, "Another property, NAME=VALUE (repeatable)");
  verifyCmd->add_option("--db", v.db,
                        "ERP database for m_Cnn (default: $TALLYWARD_DB): an SQLite file (PATH or "
                        "Driver=SQLite;Database=PATH), or an ODBC connection string (DSN=erp;UID=...;PWD=..., "
                        "Driver={...};Server=...;Database=..., Driver=SQLite3;Database=PATH)");
  verifyCmd->add_option("--session", v.sessionFile, "JSON session information object");
  verifyCmd->add_flag("--no-session", v.noSession, "Leave clsInfor unset");
  verifyCmd->add_option("--po-code", v.poCode, "sPoCode of bVerifyPoCode");
  verifyCmd->add_flag("--trace-sql", v.traceSql,
                     "Add the statements sent, in order, and the steps a field-entry check skipped");

  std::string initPath;
  bool initSample = false;
  bool initForce = false;
  CLI::App* initCmd = app.add_subcommand("init-db", "Create an SQLite ERP database with the schema");
  initCmd->add_option("PATH", initPath, "The database file to create")->required();
  initCmd->add_flag("--sample", initSample, "Also load the demo company");
  initCmd->add_flag("--force", initForce, "Replace the file when it exists");

  std::vector<std::string> reversed(args.rbegin(), args.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::ParseError& e) {
    // Help goes to standard output with status 0; anything else is a usage error.
    return app.exit(e, out, err) == 0 ? kOk : kUsage;
  }

  try {
    if (verifyCmd->parsed()) return verify(v, out);
    if (initCmd->parsed()) {
      createErpDatabase(initPath, initSample, initForce);
      out << "created ERP database " << initPath << (initSample ? " with the demo company" : "")
          << "\n";
      return kOk;
    }
  } catch (const UsageError& e) {
    err << "tallyward: " << e.what() << "\n";
    return kUsage;
  } catch (const Error& e) {
    err << "tallyward: " << e.description() << "\n";
    return kUsage;
  }
  return kUsage;
}

}  // namespace tallyward::cli
