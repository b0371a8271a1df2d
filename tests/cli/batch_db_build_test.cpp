// The user's batch lists against the build: rebuilding leaves them alone, and the desktop
// program and verko-cli find the same lists in the user's data folder.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "batch/batch_db_location.h"
#include "batch/batch_list_store.h"
#include "common/path_parts.h"
#include "tests/support/cli_runner.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

namespace verko {
namespace {

using test_support::ReadFile;
using test_support::TempDir;
using test_support::WriteFile;

int RebuildDeliveredDatabase() {
  const std::string command = std::string("\"") + VERKO_CMAKE_COMMAND + "\" --build \"" +
                              VERKO_BUILD_DIR + "\" --target batch_list_db >/dev/null 2>&1";
  return std::system(command.c_str());
}

TEST(BatchListDbBuild, RebuildingKeepsTheUsersListsAndBothProgramsShareThem) {
  TempDir dir;
  test_support::ScopedEnv env;
  env.Set("HOME", dir.File("home")).Set("XDG_DATA_HOME", dir.File("data"));
  // The programs' folders: the desktop program's when it is built, verko-cli's always.
  const std::string cliFolder = DirPart(VERKO_CLI_PATH);
  const std::string guiFolder = std::string(VERKO_GUI_DIR).empty() ? cliFolder : VERKO_GUI_DIR;

  ASSERT_EQ(RebuildDeliveredDatabase(), 0);
  std::string path, cliPath;
  ASSERT_TRUE(LocateBatchListDb(guiFolder, &path).ok());
  ASSERT_TRUE(LocateBatchListDb(cliFolder, &cliPath).ok());
  EXPECT_EQ(path, cliPath);
  EXPECT_EQ(path, dir.File("data") + "/Verko/VerkoBatchList.mdb");
  {
    std::unique_ptr<BatchListStore> store;
    ASSERT_TRUE(BatchListStore::Open(path, &store).ok());
    int32_t id = 0;
    ASSERT_TRUE(store->AddList("mine", &id).ok());
    BatchListSettings settings;
    settings.oldPath = settings.newPath = settings.resultPath = dir.Path();
    ASSERT_TRUE(store->SaveSettings(id, settings).ok());
    ASSERT_TRUE(store->AddPairs(id, {{0, "old.txt", "new.txt", "result.txt"}}).ok());
  }
  struct stat delivered {};
  ASSERT_EQ(stat(DeliveredBatchListDb(guiFolder).c_str(), &delivered), 0);

  // Built twice more: the delivered file is not remade (nothing changed) and the user's
  // list is still there.
  ASSERT_EQ(RebuildDeliveredDatabase(), 0);
  ASSERT_EQ(RebuildDeliveredDatabase(), 0);
  struct stat after {};
  ASSERT_EQ(stat(DeliveredBatchListDb(guiFolder).c_str(), &after), 0);
  EXPECT_EQ(after.st_mtim.tv_sec, delivered.st_mtim.tv_sec);
  EXPECT_EQ(after.st_mtim.tv_nsec, delivered.st_mtim.tv_nsec);

  // verko-cli without --batch-db runs the list the window's database holds.
  WriteFile(dir.File("old.txt"), "alpha\r\n");
  WriteFile(dir.File("new.txt"), "alpha\r\nbravo\r\n");
  test_support::CliLaunch launch;
  launch.env = {{"HOME", dir.File("home")}, {"XDG_DATA_HOME", dir.File("data")}};
  test_support::CliOutcome outcome = test_support::CliRunner(dir).Run({"--batch", "mine"}, launch);
  EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
  EXPECT_NE(ReadFile(dir.File("result.txt")).find("bravo"), std::string::npos);
}

}  // namespace
}  // namespace verko
