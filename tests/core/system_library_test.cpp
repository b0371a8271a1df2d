#include "platform/system_library.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <link.h>

#include <filesystem>
#include <string>

#include "tests/support/temp_dir.h"

namespace verko {
namespace {

using test_support::TempDir;

// Where the system's maths library is, to stand for a package installed while the program
// runs.
std::string MathLibraryPath() {
  void* handle = ::dlopen("libm.so.6", RTLD_NOW | RTLD_LOCAL);
  link_map* map = nullptr;
  if (handle == nullptr || ::dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0) return {};
  return map->l_name;
}

struct MathFunctions {
  double (*cos)(double);
};

// A library that fails to load names the system's reason, and is tried again on its next
// use: once its file is there, it loads in the same process.
TEST(LibraryLoader, FailsWithTheSystemsReasonThenLoadsOnceInstalled) {
  TempDir dir;
  const std::string path = dir.File("libverko-probe.so.1");
  static const char* const names[] = {"cos"};
  LibraryLoader<MathFunctions> loader({path.c_str(), "libverko-probe1"}, names,
                                      [](MathFunctions& functions, void* const at[]) {
                                        functions.cos = reinterpret_cast<double (*)(double)>(at[0]);
                                      });
  std::string failure;
  ASSERT_FALSE(loader.Load(&failure));
  EXPECT_NE(failure.find("パッケージ libverko-probe1 をインストールしてください"),
            std::string::npos)
      << failure;
  EXPECT_NE(failure.find("libverko-probe.so.1: cannot open shared object file"), std::string::npos)
      << failure;

  const std::string installed = MathLibraryPath();
  ASSERT_FALSE(installed.empty());
  std::filesystem::create_symlink(installed, path);
  ASSERT_TRUE(loader.Load(&failure)) << failure;
  EXPECT_EQ(loader.functions().cos(0.0), 1.0);
  EXPECT_TRUE(loader.Load(nullptr));
}

}  // namespace
}  // namespace verko
