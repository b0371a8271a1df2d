// The work folder as users on one machine meet it: the default folder is each user's own
// and private, runs side by side in one folder each write their own right report and leave
// one sound database, and a run touches no file but the ones it makes.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/cli_runner.h"
#include "tests/support/golden.h"
#include "tests/support/query_file.h"
#include "tests/support/temp_dir.h"

namespace verko {
namespace {

using test_support::CliLaunch;
using test_support::CliOutcome;
using test_support::CliRunner;
using test_support::MaskDate;
using test_support::ReadFile;
using test_support::TempDir;
using test_support::WriteFile;

// A pair of files that differ in a way of its own for each seed, large enough that runs
// started together overlap.
void WritePair(const std::string& oldPath, const std::string& newPath, int seed) {
  std::string oldText, newText;
  for (int i = 0; i < 6000; ++i) {
    const std::string line = "line " + std::to_string((i * (seed + 3)) % 4001) + "\r\n";
    oldText += line;
    if (i % (seed + 7) != 0) newText += line;
    if (i % (seed + 11) == 0) newText += "added " + std::to_string(seed) + "\r\n";
  }
  WriteFile(oldPath, oldText);
  WriteFile(newPath, newText);
}

mode_t ModeOf(const std::string& path) {
  struct stat st {};
  return lstat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// A launch with the user folders of `home` and, when given, a runtime folder.
CliLaunch DefaultsLaunch(const std::string& home, const char* runtime, const std::string& name) {
  CliLaunch launch;
  launch.ownWorkDir = false;
  launch.outputName = name;
  launch.env = {{"HOME", home},
                {"XDG_CACHE_HOME", std::nullopt},
                {"XDG_RUNTIME_DIR", runtime ? std::optional<std::string>(runtime) : std::nullopt}};
  return launch;
}

TEST(WorkFolder, RunsSideBySideInTheDefaultFolderEachWriteTheirOwnReport) {
  TempDir dir;
  CliRunner runner(dir);
  const std::string runtime = dir.File("run");
  ASSERT_EQ(mkdir(runtime.c_str(), 0700), 0);
  constexpr int kRuns = 6;
  std::vector<std::string> expected(kRuns);
  for (int i = 0; i < kRuns; ++i) {
    const std::string n = std::to_string(i);
    WritePair(dir.File("old" + n), dir.File("new" + n), i);
    // The report each pair gives alone, in a folder of its own.
    ASSERT_EQ(
        runner.Run({dir.File("old" + n), dir.File("new" + n), dir.File("alone" + n)}).exitCode, 1);
    expected[i] = MaskDate(ReadFile(dir.File("alone" + n)));
  }

  std::vector<pid_t> pids;
  std::vector<CliLaunch> launches;
  for (int i = 0; i < kRuns; ++i) {
    const std::string n = std::to_string(i);
    launches.push_back(DefaultsLaunch(dir.File("home"), runtime.c_str(), "run" + n));
    pids.push_back(runner.Start({dir.File("old" + n), dir.File("new" + n), dir.File("result" + n)},
                                launches.back()));
  }
  for (int i = 0; i < kRuns; ++i) {
    CliOutcome outcome = runner.Wait(pids[i], launches[i]);
    EXPECT_EQ(outcome.exitCode, 1) << outcome.err;
    EXPECT_EQ(MaskDate(ReadFile(dir.File("result" + std::to_string(i)))), expected[i]) << i;
  }

  // One complete database is left, private like its folder, and nothing else.
  const std::string folder = runtime + "/verko";
  EXPECT_EQ(Names(folder), std::vector<std::string>{"VerkoText.mdb"});
  EXPECT_EQ(ModeOf(folder), 0700u);
  EXPECT_EQ(ModeOf(folder + "/VerkoText.mdb"), 0600u);
  EXPECT_EQ(test_support::QueryFile(folder + "/VerkoText.mdb", "PRAGMA integrity_check"),
            std::vector<std::string>{"ok"});
  EXPECT_FALSE(std::filesystem::exists(dir.File("home") + "/.cache")) << "runtime folder first";
}

// Files beside the work database that only look like the database's own (an input named
// VerkoText.mdb-journal, for one) are the user's; a link planted at the database's name is
// replaced, never followed; a result named as the database is refused on the first run too.
TEST(WorkFolder, RunTouchesOnlyTheFilesItMakes) {
  TempDir dir;
  CliRunner runner(dir);
  WriteFile(dir.File("VerkoText.mdb-journal"), "alpha\r\nbravo\r\n");
  WriteFile(dir.File("VerkoText.mdb-wal"), "alpha\r\ncharlie\r\n");
  WriteFile(dir.File("VerkoText.mdb-shm"), "keep me");
  WriteFile(dir.File("victim"), "not a database");
  std::filesystem::create_symlink(dir.File("victim"), dir.File("VerkoText.mdb"));

  CliOutcome outcome = runner.Run(
      {dir.File("VerkoText.mdb-journal"), dir.File("VerkoText.mdb-wal"), dir.File("result.txt")});
  EXPECT_EQ(outcome.exitCode, 1) << outcome.err;
  EXPECT_EQ(ReadFile(dir.File("VerkoText.mdb-journal")), "alpha\r\nbravo\r\n");
  EXPECT_EQ(ReadFile(dir.File("VerkoText.mdb-wal")), "alpha\r\ncharlie\r\n");
  EXPECT_EQ(ReadFile(dir.File("VerkoText.mdb-shm")), "keep me");
  EXPECT_EQ(ReadFile(dir.File("victim")), "not a database");
  EXPECT_FALSE(std::filesystem::is_symlink(dir.File("VerkoText.mdb")));
  // SQLite would take the user's files for the database's journal: moved aside to read it.
  for (const char* suffix : {"-journal", "-wal", "-shm"}) {
    std::filesystem::rename(dir.File("VerkoText.mdb") + suffix, dir.File("input") + suffix);
  }
  EXPECT_EQ(test_support::QueryFile(dir.File("VerkoText.mdb"), "SELECT count(*) FROM OldText"),
            std::vector<std::string>{"2"});

  // A result named as the database, however spelt, before any database exists there.
  TempDir fresh;
  CliRunner freshRunner(fresh);
  WriteFile(fresh.File("old.txt"), "a\r\n");
  WriteFile(fresh.File("new.txt"), "b\r\n");
  for (const std::string& result :
       {fresh.File("VerkoText.mdb"), fresh.Path() + "./VerkoText.mdb"}) {
    outcome = freshRunner.Run({fresh.File("old.txt"), fresh.File("new.txt"), result});
    EXPECT_EQ(outcome.exitCode, 2) << result;
    EXPECT_NE(outcome.err.find("作業用データベース"), std::string::npos) << outcome.err;
    EXPECT_FALSE(std::filesystem::exists(fresh.File("VerkoText.mdb"))) << result;
  }
}

// Two users of one machine, each with the defaults: the second is not locked out by the
// first, and neither can read the other's work database.
TEST(WorkFolder, AnotherUserRunsWithTheDefaultsAfterTheFirst) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to run as another user";
  constexpr uid_t kOther = 65534;
  TempDir dir;
  CliRunner runner(dir);
  ASSERT_EQ(chmod(dir.Path().c_str(), 0755), 0);
  WriteFile(dir.File("old.txt"), "alpha\r\nbravo\r\n");
  WriteFile(dir.File("new.txt"), "alpha\r\ncharlie\r\n");
  // Both users share a temporary folder, as on any machine.
  const std::string shared = dir.File("tmp");
  ASSERT_EQ(mkdir(shared.c_str(), 0777), 0);
  ASSERT_EQ(chmod(shared.c_str(), 01777), 0);
  const std::string homes[] = {dir.File("first"), dir.File("second")};
  for (const std::string& home : homes) ASSERT_EQ(mkdir(home.c_str(), 0755), 0);
  ASSERT_EQ(chown(homes[1].c_str(), kOther, kOther), 0);
  // The other user must reach the program and the inputs (folders above may be private).
  pid_t probe = fork();
  if (probe == 0) {
    if (setgid(kOther) != 0 || setuid(kOther) != 0) _exit(2);
    _exit(access(VERKO_CLI_PATH, X_OK) == 0 && access(dir.File("old.txt").c_str(), R_OK) == 0 ? 0
                                                                                              : 1);
  }
  int probed = 0;
  waitpid(probe, &probed, 0);
  if (!WIFEXITED(probed) || WEXITSTATUS(probed) != 0) {
    GTEST_SKIP() << "another user cannot run verko-cli on the test's files here";
  }

  for (int user = 0; user < 2; ++user) {
    CliLaunch launch = DefaultsLaunch(homes[user], nullptr, "user" + std::to_string(user));
    launch.env.push_back({"TMPDIR", shared});
    launch.uid = user == 0 ? 0 : kOther;
    CliOutcome outcome =
        runner.Run({dir.File("old.txt"), dir.File("new.txt"), homes[user] + "/result.txt"}, launch);
    ASSERT_EQ(outcome.exitCode, 1) << "user " << user << ": " << outcome.err;
    const std::string folder = homes[user] + "/.cache/Verko";
    EXPECT_EQ(ModeOf(folder), 0700u);
    EXPECT_EQ(ModeOf(folder + "/VerkoText.mdb"), 0600u);
    EXPECT_NE(ReadFile(homes[user] + "/result.txt").find("charlie"), std::string::npos);
  }
  EXPECT_TRUE(std::filesystem::is_empty(shared)) << "nothing in the shared temporary folder";
}

// A default work folder that anyone else could read, or plant a file in for the run to write
// through, is refused with its name, and nothing is written there.
TEST(WorkFolder, DefaultFolderNotTheUsersOwnAndClosedIsRefused) {
  TempDir dir;
  CliRunner runner(dir);
  WriteFile(dir.File("old.txt"), "alpha\r\n");
  WriteFile(dir.File("new.txt"), "bravo\r\n");
  const std::string home = dir.File("home"), folder = home + "/.cache/Verko";
  const std::string elsewhere = dir.File("elsewhere");
  const struct {
    const char* reason;
    void (*make)(const std::string& folder, const std::string& elsewhere);
  } cases[] = {
      {"他のユーザーも開けます",
       [](const std::string& f, const std::string&) { chmod(f.c_str(), 0777); }},
      {"シンボリックリンク",
       [](const std::string& f, const std::string& e) {
         rmdir(f.c_str());
         EXPECT_EQ(symlink(e.c_str(), f.c_str()), 0);
       }},
      {"他のユーザーのもの",
       [](const std::string& f, const std::string&) {
         if (geteuid() == 0) {
           EXPECT_EQ(chown(f.c_str(), 65534, 65534), 0);
         }
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    std::filesystem::remove_all(home);
    std::filesystem::create_directories(folder);
    std::filesystem::create_directories(elsewhere);
    chmod(folder.c_str(), 0700);
    c.make(folder, elsewhere);
    if (geteuid() != 0 && std::string(c.reason) == "他のユーザーのもの") continue;
    CliOutcome outcome = runner.Run({dir.File("old.txt"), dir.File("new.txt"), dir.File("r.txt")},
                                    DefaultsLaunch(home, nullptr, "refused"));
    EXPECT_EQ(outcome.exitCode, 2);
    EXPECT_NE(outcome.err.find(folder), std::string::npos) << outcome.err;
    EXPECT_NE(outcome.err.find(c.reason), std::string::npos) << outcome.err;
    EXPECT_TRUE(std::filesystem::is_empty(elsewhere));
    EXPECT_FALSE(std::filesystem::exists(folder + "/VerkoText.mdb"));
  }
}

}  // namespace
}  // namespace verko
