#include "tallyward/erp_database.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

#include "tallyward/error.h"
#include "tallyward_generated/erp_sql.h"

namespace tallyward {

namespace {

std::string_view embedded(const unsigned char* bytes, std::size_t size) {
  return {reinterpret_cast<const char*>(bytes), size};
}

[[noreturn]] void fail(int number, const std::string& path, const std::string& why) {
  throwError(number, "cannot create the ERP database " + path + ": " + why);
}

std::string folderOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// Creates an empty file with a fresh name in `folder` and returns its path. The name starts with
// a dot so that a listing does not show a half-built database.
std::string createTemporaryFile(const std::string& folder, const std::string& path) {
  static std::atomic<unsigned> counter{0};
  std::random_device entropy;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string candidate = folder + "/.tallyward-init-" + std::to_string(::getpid()) + "-" +
                                  std::to_string(counter++) + "-" + std::to_string(entropy() % 1000000);
    const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      ::close(fd);
      return candidate;
    }
    if (errno != EEXIST) fail(err::Database, path, "cannot write in the folder " + folder + ": " + std::strerror(errno));
  }
  fail(err::Database, path, "cannot find a free temporary name in " + folder);
}

void removeTemporary(const std::string& temporary) {
  ::unlink(temporary.c_str());
  ::unlink((temporary + "-journal").c_str());
}

// Runs a script of statements on the open database; `what` names the script in the message.
void runScript(sqlite3* db, std::string_view script, const char* what, const std::string& path) {
  const std::string text(script);  // sqlite3_exec wants a terminated string
  char* message = nullptr;
  if (sqlite3_exec(db, text.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    std::string why = std::string(what) + ": " + (message ? message : sqlite3_errmsg(db));
    sqlite3_free(message);
    fail(err::Database, path, why);
  }
}

void loadDatabase(const std::string& file, bool withSample, const std::string& path) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
    std::string why = db ? sqlite3_errmsg(db) : "out of memory";
    sqlite3_close(db);
    fail(err::Database, path, why);
  }
  try {
    runScript(db, "BEGIN", "start", path);
    runScript(db, erpSchemaSql(), "schema", path);
    if (withSample) runScript(db, erpSampleSql(), "demo company", path);
    runScript(db, "COMMIT", "commit", path);
  } catch (...) {
    sqlite3_close(db);
    throw;
  }
  if (sqlite3_close(db) != SQLITE_OK) fail(err::Database, path, "the database could not be closed");
}

// Moves the finished file to `path`. Without `force` the move must not replace anything, even a
// file that appeared while the database was being built.
void moveIntoPlace(const std::string& temporary, const std::string& path, bool force) {
  if (force) {
    if (::rename(temporary.c_str(), path.c_str()) != 0)
      fail(err::Database, path, std::strerror(errno));
    return;
  }
  if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0) return;
  int error = errno;
  if (error == EINVAL || error == ENOSYS) {
    // A file system without an atomic no-replace move: a hard link refuses an existing name too.
    if (::link(temporary.c_str(), path.c_str()) == 0) {
      ::unlink(temporary.c_str());
      return;
    }
    error = errno;
  }
  if (error == EEXIST) fail(err::InvalidArgument, path, "the file exists (--force replaces it)");
  fail(err::Database, path, std::strerror(error));
}

}  // namespace

std::string_view erpSchemaSql() {
  return embedded(generated::kErpSchemaSql, generated::kErpSchemaSqlSize);
}

std::string_view erpSampleSql() {
  return embedded(generated::kErpSampleSql, generated::kErpSampleSqlSize);
}

void createErpDatabase(const std::string& path, bool withSample, bool force) {
  if (path.empty()) throwError(err::InvalidArgument, "cannot create the ERP database: no file named");
  if (path.back() == '/') fail(err::InvalidArgument, path, "the path names a folder, not a file");

  struct stat existing {};
  if (::lstat(path.c_str(), &existing) == 0) {
    if (S_ISDIR(existing.st_mode)) fail(err::InvalidArgument, path, "the path names a folder, not a file");
    if (!force) fail(err::InvalidArgument, path, "the file exists (--force replaces it)");
  } else if (errno != ENOENT) {
    fail(err::Database, path, std::strerror(errno));
  }

  const std::string folder = folderOf(path);
  struct stat folderState {};
  if (::stat(folder.c_str(), &folderState) != 0)
    fail(err::Database, path, "the folder " + folder + " cannot be reached: " + std::strerror(errno));
  if (!S_ISDIR(folderState.st_mode)) fail(err::Database, path, folder + " is not a folder");

  const std::string temporary = createTemporaryFile(folder, path);
  try {
    loadDatabase(temporary, withSample, path);
    moveIntoPlace(temporary, path, force);
  } catch (...) {
    removeTemporary(temporary);
    throw;
  }
}

}  // namespace tallyward
