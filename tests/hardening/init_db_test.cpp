// What `init-db --force` may replace, and the temporary files of runs that did not finish.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

#include "support/temp_database.h"

namespace tallyward::test {
namespace {

namespace fs = std::filesystem;

// What stands at a path, told so that any change shows: its kind, its link target, its bytes.
std::string stateOf(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return "nothing";
  if (S_ISLNK(st.st_mode)) return "link to " + fs::read_symlink(path).string();
  if (S_ISREG(st.st_mode)) return "file " + readBytes(path);
  return "mode " + std::to_string(st.st_mode & S_IFMT);
}

TEST(InitDb, ForceReplacesOnlyARegularFileOrALinkToOne) {
  const struct {
    const char* name;
    std::function<bool(const TempFolder&, const std::string&)> make;  // true when made
    const char* says;  // "" when it is replaced
  } cases[] = {
      {"file", [](auto&, auto& p) { writeBytes(p, "old"); return true; }, ""},
      {"link to a file", [](auto& d, auto& p) { writeBytes(d.file("notes"), "keep"); fs::create_symlink(d.file("notes"), p); return true; }, ""},
      {"folder", [](auto&, auto& p) { return fs::create_directory(p); }, "the path names a folder, not a file"},
      {"fifo", [](auto&, auto& p) { return ::mkfifo(p.c_str(), 0600) == 0; },
       "the path names a FIFO (named pipe), not a database file; it is left as it is"},
      {"link to a folder", [](auto& d, auto& p) { fs::create_directory(d.file("dir")); fs::create_directory_symlink(d.file("dir"), p); return true; },
       "the path is a symbolic link to a folder, not to a database file; it is left as it is"},
      {"dangling link", [](auto& d, auto& p) { fs::create_symlink(d.file("gone"), p); return true; },
       "the path is a symbolic link that leads nowhere (No such file or directory); it is left as it is"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder dir;
    const std::string path = dir.file("erp.db");
    ASSERT_TRUE(c.make(dir, path));
    const std::string before = stateOf(path);
    const auto entries = dir.entries();
    std::string why;
    const int error = errorNumber([&] { createErpDatabase(path, false, true); }, &why);
    if (!*c.says) {
      EXPECT_EQ(error, 0) << why;
      EXPECT_TRUE(stateOf(path).starts_with("file SQLite format 3")) << stateOf(path);
      if (fs::exists(dir.file("notes"))) {
        EXPECT_EQ(readBytes(dir.file("notes")), "keep");
      }
      continue;
    }
    EXPECT_EQ(error, err::InvalidArgument);
    EXPECT_EQ(why, "cannot create the ERP database " + path + ": " + c.says);
    EXPECT_EQ(stateOf(path), before);
    EXPECT_EQ(dir.entries(), entries);
  }
}

// A killed run's temporary files (nobody holds them) go at the next run; those of a run still
// building (it holds its file) and anything else in the folder stay.
TEST(InitDb, AKilledRunsFilesAreRemovedByTheNextRun) {
  TempFolder dir;
  for (const char* name : {".tallyward-init-erp.db.4242-0-17", ".tallyward-init-erp.db.4242-0-17-journal",
                           ".tallyward-init-other.db.77-3-5", ".tallyward-init-gone.db.1-1-1-journal"})
    writeBytes(dir.file(name), "half-built");
  for (const char* name : {".tallyward-init-erp.db.5-0-1", ".tallyward-init-erp.db.5-0-1-journal", "mine.txt"})
    writeBytes(dir.file(name), "keep");
  const int held = ::open(dir.file(".tallyward-init-erp.db.5-0-1").c_str(), O_RDONLY);
  ASSERT_EQ(::flock(held, LOCK_EX), 0);
  createErpDatabase(dir.file("erp.db"), false, false);
  ::close(held);
  EXPECT_EQ(dir.entries(), (std::vector<std::string>{".tallyward-init-erp.db.5-0-1",
                                                     ".tallyward-init-erp.db.5-0-1-journal", "erp.db", "mine.txt"}));
}

}  // namespace
}  // namespace tallyward::test
