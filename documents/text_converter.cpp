#include "documents/text_converter.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/system_error.h"

namespace verko {
namespace {

constexpr std::size_t kMaxOutput = 256u << 20;
constexpr std::size_t kMaxErrorText = 4096;

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

// `text` as one word of the shell, whatever it holds.
std::string ShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string CommandLine(const Converter& converter, const std::string& path) {
  std::string line;
  const std::string& command = converter.command;
  bool named = false;
  for (std::size_t i = 0; i < command.size(); ++i) {
    if (command[i] == '%' && i + 1 < command.size() && command[i + 1] == 'f') {
      line += ShellQuoted(path);
      named = true;
      ++i;
    } else {
      line += command[i];
    }
  }
  return named ? line : line + " " + ShellQuoted(path);
}

std::string FirstLine(const std::string& text) {
  const std::size_t start = text.find_first_not_of(" \t\r\n");
  if (start == std::string::npos) return "";
  return text.substr(start, text.find_first_of("\r\n", start) - start);
}

// Reads the child's standard output and error until both end or the time is up; false on
// the time limit or too much output.
bool Collect(int out, int err, std::chrono::milliseconds limit, std::string* text,
             std::string* errors, bool* tooLarge) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  pollfd fds[2] = {{out, POLLIN, 0}, {err, POLLIN, 0}};
  char buffer[64 * 1024];
  while (fds[0].fd >= 0 || fds[1].fd >= 0) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    const int ready = ::poll(fds, 2, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return false;
    for (pollfd& fd : fds) {
      if (fd.fd < 0 || fd.revents == 0) continue;
      const ssize_t got = ::read(fd.fd, buffer, sizeof buffer);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) {
        fd.fd = -1;
        continue;
      }
      std::string& into = &fd == &fds[0] ? *text : *errors;
      if (&fd == &fds[0] && into.size() + got > kMaxOutput) {
        *tooLarge = true;
        return false;
      }
      if (&fd == &fds[0] || into.size() < kMaxErrorText) into.append(buffer, got);
    }
  }
  return true;
}

}  // namespace

std::optional<Converter> ParseConverter(std::string_view text, std::string* message) {
  const std::size_t equals = text.find('=');
  std::string_view extension = equals == std::string_view::npos ? "" : text.substr(0, equals);
  if (!extension.empty() && extension[0] == '.') extension.remove_prefix(1);
  const std::string_view command = equals == std::string_view::npos ? "" : text.substr(equals + 1);
  if (extension.empty() || extension.find('/') != std::string_view::npos ||
      command.find_first_not_of(' ') == std::string_view::npos) {
    *message = "変換コマンドの指定「" + std::string(text) +
               "」が正しくありません（拡張子=コマンド の形で、例: doc=\"libreoffice --cat %f\"）。";
    return std::nullopt;
  }
  return Converter{Lower(extension), std::string(command)};
}

const Converter* ConverterFor(const std::vector<Converter>& converters, const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return nullptr;
  const std::string extension = Lower(path.substr(dot + 1));
  // The last one given for an extension wins, as a later option overrides an earlier one.
  for (auto it = converters.rbegin(); it != converters.rend(); ++it) {
    if (it->extension == extension) return &*it;
  }
  return nullptr;
}

Status RunConverter(const Converter& converter, const std::string& path, std::string* text,
                    std::chrono::milliseconds limit) {
  const std::string line = CommandLine(converter, path);
  const std::string named = "変換コマンド「" + converter.command + "」";
  int out[2], err[2];
  if (::pipe2(out, O_CLOEXEC) != 0)
    return Status::Error(named + "を起動できません（" + SystemErrorText(errno) + "）。");
  if (::pipe2(err, O_CLOEXEC) != 0) {
    const int saved = errno;
    ::close(out[0]);
    ::close(out[1]);
    return Status::Error(named + "を起動できません（" + SystemErrorText(saved) + "）。");
  }
  const pid_t pid = ::fork();
  if (pid == 0) {
    // A group of its own, so that what the shell starts is stopped with it.
    ::setpgid(0, 0);
    ::dup2(out[1], 1);
    ::dup2(err[1], 2);
    const int nothing = ::open("/dev/null", O_RDONLY);
    if (nothing >= 0) ::dup2(nothing, 0);
    ::execl("/bin/sh", "sh", "-c", line.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  const int forkError = errno;
  ::close(out[1]);
  ::close(err[1]);
  if (pid < 0) {
    ::close(out[0]);
    ::close(err[0]);
    return Status::Error(named + "を起動できません（" + SystemErrorText(forkError) + "）。");
  }
  ::setpgid(pid, pid);
  std::string errors;
  bool tooLarge = false;
  text->clear();
  const bool finished = Collect(out[0], err[0], limit, text, &errors, &tooLarge);
  ::close(out[0]);
  ::close(err[0]);
  if (!finished) ::kill(-pid, SIGKILL);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (tooLarge) return Status::Error(named + "の出力が大きすぎます（256 MB を超えました）。");
  if (!finished) {
    return Status::Error(named + "が " + std::to_string(limit.count() / 1000) +
                         " 秒以内に終わらないため中止しました。");
  }
  if (WIFSIGNALED(status)) {
    return Status::Error(named + "がシグナル " + std::to_string(WTERMSIG(status)) +
                         " で終了しました。");
  }
  if (WEXITSTATUS(status) != 0) {
    const std::string reason = FirstLine(errors);
    return Status::Error(named + "が失敗しました（終了コード " +
                         std::to_string(WEXITSTATUS(status)) +
                         (reason.empty() ? "" : ": " + reason) + "）。");
  }
  return Status::Ok();
}

}  // namespace verko
