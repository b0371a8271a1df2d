// Runs verko-cli as a user would, with its output captured in files of a test folder.
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
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

class CliRunner {
 public:
  // The work folder of every run is `dir` itself.
  explicit CliRunner(const TempDir& dir) : dir_(dir) {}

  // Starts verko-cli with `args`; returns its pid.
  pid_t Start(std::vector<std::string> args) const {
    args.insert(args.begin(), {VERKO_CLI_PATH, "--work-dir", dir_.Path()});
    pid_t pid = fork();
    if (pid == 0) {
      int out = open(dir_.File("stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      int err = open(dir_.File("stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      dup2(out, 1);
      dup2(err, 2);
      ExecArgs(args);
    }
    return pid;
  }

  CliOutcome Wait(pid_t pid) const {
    int status = 0;
    waitpid(pid, &status, 0);
    CliOutcome outcome;
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    outcome.out = ReadFile(dir_.File("stdout"));
    outcome.err = ReadFile(dir_.File("stderr"));
    return outcome;
  }

  CliOutcome Run(std::vector<std::string> args) const { return Wait(Start(std::move(args))); }

 private:
  const TempDir& dir_;
};

}  // namespace verko::test_support
