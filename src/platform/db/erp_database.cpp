#include "tallyward/erp_database.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <string_view>
#include <vector>

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

// The temporary files of init-db: ".tallyward-init-" (a dot, so that a listing does not show a
// half-built database), the first part of the target's name, a dot and a unique ending; SQLite
// adds "-journal" for its journal. While a run builds its file it holds an exclusive flock on it,
// so a file of that name that nobody holds was left behind by a run that was killed.
constexpr std::string_view kTemporaryPrefix = ".tallyward-init-";
constexpr std::string_view kJournalSuffix = "-journal";

std::string baseNameOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool sameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// A temporary file being built: its path and the descriptor that holds its lock.
struct Temporary {
  std::string path;
  int lockFd = -1;

  Temporary() = default;
  Temporary(const Temporary&) = delete;
  Temporary& operator=(const Temporary&) = delete;
  ~Temporary() {
    if (lockFd >= 0) ::close(lockFd);
  }

  // Removes the file and its journal (a failed build).
  void remove() const {
    ::unlink(path.c_str());
    ::unlink((path + std::string(kJournalSuffix)).c_str());
  }
};

// Creates an empty file with a fresh name in `folder`, locked for this run.
void createTemporaryFile(const std::string& folder, const std::string& path, Temporary& out) {
  static std::atomic<unsigned> counter{0};
  std::random_device entropy;
  // Short enough that the name and SQLite's suffix stay within a file name's limit.
  const std::string target = baseNameOf(path).substr(0, 100);
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string candidate = folder + "/" + std::string(kTemporaryPrefix) + target + "." +
                                  std::to_string(::getpid()) + "-" + std::to_string(counter++) + "-" +
                                  std::to_string(entropy() % 1000000);
    const int fd = ::open(candidate.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      fail(err::Database, path, "cannot write in the folder " + folder + ": " + std::strerror(errno));
    }
    // Until the lock is held another run may take the file for a left-over one and remove it:
    // once locked, the name must still be this file.
    struct stat mine {}, named {};
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::fstat(fd, &mine) != 0 ||
        ::stat(candidate.c_str(), &named) != 0 || !sameFile(mine, named)) {
      ::close(fd);
      continue;
    }
    out.path = candidate;
    out.lockFd = fd;
    return;
  }
  fail(err::Database, path, "cannot find a free temporary name in " + folder);
}

// Removes the temporary files in `folder` that killed runs left behind: those no run holds.
// Nothing else in the folder is touched, and whatever cannot be read or removed stays (this is
// tidying, not part of creating the database).
void removeLeftovers(const std::string& folder) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  std::vector<std::string> names;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (name.starts_with(kTemporaryPrefix)) names.emplace_back(name);
  }
  ::closedir(dir);
  for (const std::string& name : names) {
    const std::string file = folder + "/" + name;
    if (name.ends_with(kJournalSuffix)) {
      // A journal whose database is gone: its run has ended.
      struct stat base {};
      const std::string basePath = file.substr(0, file.size() - kJournalSuffix.size());
      if (::lstat(basePath.c_str(), &base) != 0 && errno == ENOENT) ::unlink(file.c_str());
      continue;
    }
    const int fd = ::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat held {}, named {};
    if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        ::lstat(file.c_str(), &named) == 0 && sameFile(held, named)) {
      ::unlink(file.c_str());
      ::unlink((file + std::string(kJournalSuffix)).c_str());
    }
    ::close(fd);
  }
}

// What stands at a path, for a refusal.
std::string kindOf(const struct stat& st) {
  if (S_ISDIR(st.st_mode)) return "a folder";
  if (S_ISFIFO(st.st_mode)) return "a FIFO (named pipe)";
  if (S_ISCHR(st.st_mode)) return "a character device";
  if (S_ISBLK(st.st_mode)) return "a block device";
  if (S_ISSOCK(st.st_mode)) return "a socket";
  if (S_ISLNK(st.st_mode)) return "a symbolic link";
  return "not a regular file";
}

// Whether what stands at `path` may be replaced: a regular file, or a symbolic link (the link's
// own entry) that leads to one. Anything else is refused and left as it is.
void checkReplaceable(const std::string& path, const struct stat& entry) {
  if (S_ISREG(entry.st_mode)) return;
  if (S_ISDIR(entry.st_mode)) fail(err::InvalidArgument, path, "the path names a folder, not a file");
  if (!S_ISLNK(entry.st_mode))
    fail(err::InvalidArgument, path,
         "the path names " + kindOf(entry) + ", not a database file; it is left as it is");
  struct stat target {};
  if (::stat(path.c_str(), &target) != 0)
    fail(err::InvalidArgument, path,
         std::string("the path is a symbolic link that leads nowhere (") + std::strerror(errno) +
             "); it is left as it is");
  if (!S_ISREG(target.st_mode))
    fail(err::InvalidArgument, path,
         "the path is a symbolic link to " + kindOf(target) + ", not to a database file; it is left as it is");
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
    // What stands there now, should it have changed while the database was being built.
    struct stat existing {};
    if (::lstat(path.c_str(), &existing) == 0) checkReplaceable(path, existing);
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
    checkReplaceable(path, existing);
    if (!force) fail(err::InvalidArgument, path, "the file exists (--force replaces it)");
  } else if (errno != ENOENT) {
    fail(err::Database, path, std::strerror(errno));
  }

  const std::string folder = folderOf(path);
  struct stat folderState {};
  if (::stat(folder.c_str(), &folderState) != 0)
    fail(err::Database, path, "the folder " + folder + " cannot be reached: " + std::strerror(errno));
  if (!S_ISDIR(folderState.st_mode)) fail(err::Database, path, folder + " is not a folder");

  removeLeftovers(folder);
  Temporary temporary;
  createTemporaryFile(folder, path, temporary);
  try {
    loadDatabase(temporary.path, withSample, path);
    moveIntoPlace(temporary.path, path, force);
  } catch (...) {
    temporary.remove();
    throw;
  }
}

}  // namespace tallyward
