// Runs verko-cli as a user would, with its output captured in files of a test folder.
#pragma once

#include <fcntl.h>
#include <grp.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/temp_dir.h"

namespace verko::test_support {

struct CliOutcome {
  int exitCode = -1;
  std::string out, err;
};

// In a forked child: runs args[0] with `args`; never returns.
[[noreturn]] inline void ExecArgs(std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  execv(argv[0], argv.data());
  _exit(127);
}

// How one run is started, beyond its arguments.
struct CliLaunch {
  bool ownWorkDir = true;  // pass the test's folder as --work-dir
  // Variables set (a value) or removed (none) for the run only.
  std::vector<std::pair<std::string, std::optional<std::string>>> env;
  std::string outputName = "std";  // output captured in <name>out and <name>err
  uid_t uid = 0;                   // when not 0, the run's user and group (as root only)
  // Shell commands run first in the child (such as "ulimit -v 40000"), so that a limit
  // applies to verko-cli alone.
  std::string limits;
  // A command that runs verko-cli (such as "strace -f -e inject=..."), its words as the
  // shell splits them.
  std::string wrapper;
};

class CliRunner {
 public:
  // The work folder of every run is `dir` itself unless the launch says otherwise.
  explicit CliRunner(const TempDir& dir) : dir_(dir) {}

  // Starts verko-cli with `args`; returns its pid.
  pid_t Start(std::vector<std::string> args, const CliLaunch& launch = CliLaunch()) const {
    args.insert(args.begin(), VERKO_CLI_PATH);
    if (launch.ownWorkDir) args.insert(args.begin() + 1, {"--work-dir", dir_.Path()});
    if (!launch.limits.empty() || !launch.wrapper.empty()) {
      args.insert(args.begin(),
                  {"/bin/sh", "-c", launch.limits + "\nexec " + launch.wrapper + " \"$0\" \"$@\""});
    }
    pid_t pid = fork();
    if (pid == 0) {
      int out =
          open(dir_.File(launch.outputName + "out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      int err =
          open(dir_.File(launch.outputName + "err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      dup2(out, 1);
      dup2(err, 2);
      for (const auto& [name, value] : launch.env) {
        if (value) {
          setenv(name.c_str(), value->c_str(), 1);
        } else {
          unsetenv(name.c_str());
        }
      }
      if (launch.uid != 0 &&
          (setgroups(0, nullptr) != 0 || setgid(launch.uid) != 0 || setuid(launch.uid) != 0)) {
        _exit(126);
      }
      ExecArgs(args);
    }
    return pid;
  }

  CliOutcome Wait(pid_t pid, const CliLaunch& launch = CliLaunch()) const {
    int status = 0;
    waitpid(pid, &status, 0);
    CliOutcome outcome;
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    outcome.out = ReadFile(dir_.File(launch.outputName + "out"));
    outcome.err = ReadFile(dir_.File(launch.outputName + "err"));
    return outcome;
  }

  CliOutcome Run(std::vector<std::string> args, const CliLaunch& launch = CliLaunch()) const {
    return Wait(Start(std::move(args), launch), launch);
  }

 private:
  const TempDir& dir_;
};

}  // namespace verko::test_support
