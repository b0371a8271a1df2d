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

class CliRunner {
 public:
  // The work folder of every run is `dir` itself.
  explicit CliRunner(const TempDir& dir) : dir_(dir) {}

  // Starts verko-cli with `args`; returns its pid. `limits` are shell commands run first in
  // the child (such as "ulimit -v 40000"), so that a limit applies to verko-cli alone.
  pid_t Start(std::vector<std::string> args, const std::string& limits = "") const {
    args.insert(args.begin(), {VERKO_CLI_PATH, "--work-dir", dir_.Path()});
    if (!limits.empty()) {
      args.insert(args.begin(), {"/bin/sh", "-c", limits + "; exec \"$0\" \"$@\""});
    }
    pid_t pid = fork();
    if (pid == 0) {
      int out = open(dir_.File("stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      int err = open(dir_.File("stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      dup2(out, 1);
      dup2(err, 2);
      std::vector<char*> argv;
      for (auto& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      execv(argv[0], argv.data());
      _exit(127);
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

  CliOutcome Run(std::vector<std::string> args, const std::string& limits = "") const {
    return Wait(Start(std::move(args), limits));
  }

 private:
  const TempDir& dir_;
};

}  // namespace verko::test_support
