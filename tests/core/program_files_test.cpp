// Where the program finds the files delivered with it: beside itself in the build folder,
// in ../share/verko/ when installed under any prefix.
#include "common/program_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "batch/batch_db_location.h"
#include "tests/support/temp_dir.h"

namespace verko {
namespace {

using test_support::ReadFile;
using test_support::TempDir;
using test_support::WriteFile;

TEST(ProgramFiles, DeliveredFileBesideTheProgramElseInTheInstalledDataFolder) {
  TempDir dir;
  namespace fs = std::filesystem;
  const std::string bin = dir.File("prefix/bin") + "/";
  const std::string share = dir.File("prefix/share/verko") + "/";
  fs::create_directories(bin);
  fs::create_directories(share);

  // Nowhere: the path beside the program, for the message that names it.
  EXPECT_EQ(DeliveredFile(bin, "VerkoHelp.html"), bin + "VerkoHelp.html");
  // A folder of that name is not the file.
  fs::create_directory(share + "VerkoHelp.html");
  EXPECT_EQ(DeliveredFile(bin, "VerkoHelp.html"), bin + "VerkoHelp.html");
  fs::remove(share + "VerkoHelp.html");

  // Installed: found in share/verko/, as a plain path (no "bin/../" left in it), with or
  // without the trailing "/" of the program folder.
  WriteFile(share + "VerkoHelp.html", "installed");
  EXPECT_EQ(DeliveredFile(bin, "VerkoHelp.html"), share + "VerkoHelp.html");
  EXPECT_EQ(DeliveredFile(dir.File("prefix/bin"), "VerkoHelp.html"), share + "VerkoHelp.html");

  // The build folder: the copy beside the program wins.
  WriteFile(bin + "VerkoHelp.html", "built");
  EXPECT_EQ(ReadFile(DeliveredFile(bin, "VerkoHelp.html")), "built");

  // The running test program's own folder is known and ends with "/".
  const std::string self = ProgramFolder();
  ASSERT_FALSE(self.empty());
  EXPECT_EQ(self.back(), '/');
  EXPECT_TRUE(fs::is_directory(self));
}

TEST(ProgramFiles, InstalledProgramSeedsTheUserBatchListsAndWritesNothingUnderItsPrefix) {
  TempDir dir;
  namespace fs = std::filesystem;
  // A prefix the user can write (cmake --install --prefix ~/.local): still nothing is
  // written under it.
  const std::string bin = dir.File("prefix/bin") + "/";
  fs::create_directories(bin);
  fs::create_directories(dir.File("prefix/share/verko"));
  WriteFile(dir.File("prefix/share/verko/VerkoBatchList.mdb"), "delivered");
  setenv("XDG_DATA_HOME", dir.File("data").c_str(), 1);

  std::string path;
  ASSERT_TRUE(LocateBatchListDb(bin, &path).ok());
  EXPECT_EQ(path, dir.File("data") + "/Verko/VerkoBatchList.mdb");
  EXPECT_EQ(ReadFile(path), "delivered");
  EXPECT_FALSE(fs::exists(bin + "VerkoBatchList.mdb"));

  // The user's lists are kept at the next start.
  WriteFile(path, "the user's lists");
  ASSERT_TRUE(LocateBatchListDb(bin, &path).ok());
  EXPECT_EQ(ReadFile(path), "the user's lists");
  unsetenv("XDG_DATA_HOME");
}

}  // namespace
}  // namespace verko
