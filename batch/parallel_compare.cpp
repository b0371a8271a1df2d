#include "batch/parallel_compare.h"

#include <sched.h>
#include <sys/stat.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <map>
#include <mutex>
#include <new>
#include <thread>

#include "batch/file_bytes.h"
#include "common/own_thread.h"
#include "common/path_parts.h"
#include "common/system_error.h"

namespace verko {
namespace {

constexpr const char* kTitleRunError = "比較処理でエラー";

// The host of one of many runs: nothing is shown, a stop of the whole command becomes the
// run's cancel request at its next progress step, and warnings are kept. A cut at the line
// limit is in the run's result.
class PairHost : public CompareHost {
 public:
  PairHost(const std::atomic<bool>& stop, RunFlags& flags, std::vector<std::string>& warnings)
      : stop_(stop), flags_(flags), warnings_(warnings) {}

  void ShowProgress(int) override {
    if (stop_) flags_.CancelRequested = true;
  }
  void SetPhaseText(const std::string&) override {}
  bool AskOverwrite(const std::string&, const std::string&) override { return true; }
  void ShowLineLimitMessage(const std::string&, const std::string&) override {}
  void ShowRunWarning(const std::string& text, const std::string& title) override {
    warnings_.push_back(title + "\n" + text);
  }

 private:
  const std::atomic<bool>& stop_;
  RunFlags& flags_;
  std::vector<std::string>& warnings_;
};

CompareResult Failure(std::string text) {
  CompareResult result;
  result.status = kStatusFailed;
  result.message = {std::move(text), MessageIcon::kExclamation, kTitleRunError};
  return result;
}

bool MakeResultFolder(const PairTask& task, PairRun& run) {
  const std::string folder = DirPart(task.resultPath);
  std::error_code error;
  if (!folder.empty()) std::filesystem::create_directories(folder, error);
  if (!error) return true;
  run.result = Failure("結果フォルダ\n   " + folder + "\nを作成できません。\n\n理由： " +
                       SystemErrorText(error.default_error_condition().value()));
  return false;
}

// Whether a pair of binary files is compared by its text all the same: documents, or files
// with a converter.
bool ByText(const PairTask& task, const CompareOptions& options) {
  return ComparedByText(task.oldPath, options.documents) ||
         ComparedByText(task.newPath, options.documents);
}

// One pair: its bytes first when the rules allow, then the compare run. `writesDatabase`:
// this pair's run writes the work database.
PairRun RunOne(const PairTask& task, const CompareOptions& options, const PairRules& rules,
               bool writesDatabase, const std::atomic<bool>& stop) {
  PairRun run;
  run.started = true;
  if (!task.refusal.empty()) {
    run.result = Failure(task.refusal);
    return run;
  }
  if (rules.byteShortcuts && !writesDatabase) {
    const FileBytes bytes = CompareFileBytes(task.oldPath, task.newPath);
    const bool binary = bytes.binary && !rules.text && !ByText(task, options);
    if (bytes.readable && bytes.equal && (binary || !rules.allReports)) return run;
    if (bytes.readable && binary) {
      run.binary = true;
      return run;
    }
  }
  if (task.makeResultFolder && !MakeResultFolder(task, run)) return run;
  RunFlags flags;
  flags.CommandStop = &stop;
  PairHost host(stop, flags, run.warnings);
  CompareRequest request{task.oldPath, task.newPath, task.resultPath, options, {}};
  request.options.workDatabase = writesDatabase;
  request.reportOnlyIfDifferent = !rules.allReports;
  try {
    run.result = ExecuteCompare(request, RunMode::kBatch, host, flags);
  } catch (const std::bad_alloc&) {
    run.result = Failure("比較処理を続けられません。\n\n理由： メモリが不足しています。");
  } catch (const std::exception& e) {
    run.result = Failure(std::string("比較処理を続けられません。\n\n理由： ") + e.what());
  }
  return run;
}

// The pair that writes the work database: the last in list order whose lines are compared
// (not refused, and not binary files the rules compare by bytes). SIZE_MAX: none.
std::size_t DatabasePair(const std::vector<PairTask>& tasks, const CompareOptions& options,
                         const PairRules& rules) {
  for (std::size_t i = tasks.size(); i-- > 0;) {
    if (!tasks[i].refusal.empty()) continue;
    if (rules.byteShortcuts && !rules.text) {
      if (PairLooksBinary(tasks[i].oldPath, tasks[i].newPath) && !ByText(tasks[i], options)) {
        continue;
      }
    }
    return i;
  }
  return SIZE_MAX;
}

// What identifies a file for the order of runs: the file itself when it exists, else its
// name in its folder, the folder identified the same way (a result folder holds many files
// yet to be written: it is looked up once), else the path it would get (absolute, links
// resolved as far as they exist).
class FileKeys {
 public:
  std::string Key(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) == 0) return InodeKey(st);
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos || slash + 1 == path.size()) return PathKey(path);
    return FolderKey(path.substr(0, slash + 1)) + path.substr(slash + 1);
  }

 private:
  // The key of a folder ("…/"), a missing one by its parent's key and its name.
  std::string FolderKey(const std::string& folder) {
    auto [known, added] = folders_.try_emplace(folder);
    if (!added) return known->second;
    std::string key;
    struct stat st;
    if (::stat(folder.c_str(), &st) == 0) {
      key = InodeKey(st) + "/";
    } else {
      const std::size_t slash = folder.rfind('/', folder.size() - 2);
      key = slash == std::string::npos || folder.size() < 2
                ? PathKey(folder) + "/"
                : FolderKey(folder.substr(0, slash + 1)) + folder.substr(slash + 1);
    }
    folders_[folder] = key;
    return key;
  }
  static std::string InodeKey(const struct stat& st) {
    return "i:" + std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
  }
  static std::string PathKey(const std::string& path) {
    std::error_code error;
    std::filesystem::path canonical = std::filesystem::weakly_canonical(path, error);
    return "p:" + (error ? path : canonical.string());
  }
  std::map<std::string, std::string> folders_;  // folder ("…/") -> its key
};

// For every task, the earlier tasks it must wait for: those that write a file it reads or
// writes, and those that read the file it writes.
std::vector<std::vector<std::size_t>> RunOrder(const std::vector<PairTask>& tasks) {
  struct Use {
    std::size_t writer = SIZE_MAX;
    std::vector<std::size_t> readers;  // since the last writer
  };
  std::map<std::string, Use> uses;
  FileKeys keys;
  std::vector<std::vector<std::size_t>> waits(tasks.size());
  for (std::size_t i = 0; i < tasks.size(); ++i) {
    if (!tasks[i].refusal.empty()) continue;
    const std::string written = keys.Key(tasks[i].resultPath);
    const std::string read[] = {keys.Key(tasks[i].oldPath), keys.Key(tasks[i].newPath)};
    for (const std::string& key : read) {
      const Use& use = uses[key];
      if (use.writer != SIZE_MAX) waits[i].push_back(use.writer);
    }
    Use& out = uses[written];
    if (out.writer != SIZE_MAX) waits[i].push_back(out.writer);
    waits[i].insert(waits[i].end(), out.readers.begin(), out.readers.end());
    for (const std::string& key : read) {
      if (key != written) uses[key].readers.push_back(i);
    }
    out.writer = i;
    out.readers.clear();
  }
  return waits;
}

class Scheduler {
 public:
  Scheduler(const std::vector<PairTask>& tasks, const CompareOptions& options,
            const PairRules& rules, const std::atomic<bool>& stop)
      : tasks_(tasks),
        options_(options),
        rules_(rules),
        databasePair_(DatabasePair(tasks, options, rules)),
        stop_(stop),
        waits_(RunOrder(tasks)),
        states_(tasks.size(), State::kWaiting),
        runs_(tasks.size()) {}

  // A worker: takes the first pair that may start, runs it, and so on until every pair has
  // started or the command is stopped.
  void Work() {
    std::unique_lock lock(mutex_);
    while (!stop_) {
      const std::size_t next = NextStartable();
      if (next == SIZE_MAX) {
        if (firstWaiting_ >= tasks_.size()) break;
        ++idleWorkers_;
        changed_.wait_for(lock, std::chrono::milliseconds(50));
        --idleWorkers_;
        continue;
      }
      states_[next] = State::kRunning;
      ++running_;
      lock.unlock();
      PairRun run = RunOne(tasks_[next], options_, rules_, next == databasePair_, stop_);
      lock.lock();
      runs_[next] = std::move(run);
      states_[next] = State::kDone;
      --running_;
      ++done_;
      // Only who waits for this pair is woken: the deliverer when it is the next to hand out
      // (or counts progress), an idle worker whose pair may now start.
      if (next == awaited_ || countsProgress_ || idleWorkers_ > 0 || stop_) changed_.notify_all();
    }
    changed_.notify_all();
  }

  // The caller's side: hands out the outcomes in list order as they become known.
  void Deliver(const PairCallbacks& callbacks) {
    const int total = static_cast<int>(tasks_.size());
    int shown = -1;
    std::size_t delivered = 0;
    std::unique_lock lock(mutex_);
    countsProgress_ = static_cast<bool>(callbacks.progress);
    while (delivered < tasks_.size()) {
      awaited_ = delivered;
      if (done_ != shown && callbacks.progress) {
        shown = done_;
        lock.unlock();
        callbacks.progress(shown, total);
        lock.lock();
        continue;
      }
      const bool ready = states_[delivered] == State::kDone;
      // After a stop, once nothing runs any more, no waiting pair will ever start.
      const bool abandoned = states_[delivered] == State::kWaiting && stop_ && running_ == 0;
      if (ready || abandoned) {
        PairRun run = ready ? std::move(runs_[delivered]) : PairRun{};
        lock.unlock();
        if (callbacks.finished) callbacks.finished(delivered, run);
        lock.lock();
        ++delivered;
        continue;
      }
      changed_.wait_for(lock, std::chrono::milliseconds(100));
    }
  }

 private:
  enum class State { kWaiting, kRunning, kDone };

  std::size_t NextStartable() {
    while (firstWaiting_ < tasks_.size() && states_[firstWaiting_] != State::kWaiting) {
      ++firstWaiting_;
    }
    for (std::size_t i = firstWaiting_; i < tasks_.size(); ++i) {
      if (states_[i] != State::kWaiting) continue;
      bool free = true;
      for (std::size_t wait : waits_[i]) free = free && states_[wait] == State::kDone;
      if (free) return i;
    }
    return SIZE_MAX;
  }

  const std::vector<PairTask>& tasks_;
  const CompareOptions& options_;
  const PairRules& rules_;
  const std::size_t databasePair_;
  const std::atomic<bool>& stop_;
  const std::vector<std::vector<std::size_t>> waits_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<State> states_;
  std::vector<PairRun> runs_;
  std::size_t firstWaiting_ = 0;
  int running_ = 0;
  int done_ = 0;
  int idleWorkers_ = 0;
  std::size_t awaited_ = 0;  // the pair the deliverer hands out next
  bool countsProgress_ = false;
};

}  // namespace

void RunPairs(const std::vector<PairTask>& tasks, const CompareOptions& options,
              const PairRules& rules, int jobs, const std::atomic<bool>& stop,
              const PairCallbacks& callbacks) {
  const std::size_t count = std::min<std::size_t>(std::max(jobs, 1), tasks.size());
  // Pairs side by side keep the cores busy themselves: a thread per run for its work
  // database would only add hand-overs between threads.
  CompareOptions pairOptions = options;
  pairOptions.workDatabaseThread = count <= 1;
  Scheduler scheduler(tasks, pairOptions, rules, stop);
  std::vector<std::thread> workers;
  for (std::size_t i = 0; i < count; ++i) {
    std::thread worker;
    // When the system allows no more threads, fewer pairs run at a time.
    if (!StartOwnThread(worker, [&scheduler] { scheduler.Work(); })) break;
    workers.push_back(std::move(worker));
  }
  if (workers.empty()) scheduler.Work();
  scheduler.Deliver(callbacks);
  for (std::thread& worker : workers) worker.join();
}

void OutcomeCounts::Add(PairOutcome outcome) {
  switch (outcome) {
    case PairOutcome::kSame:
      ++same;
      break;
    case PairOutcome::kDifferent:
      ++different;
      break;
    case PairOutcome::kCut:
      ++cut;
      break;
    case PairOutcome::kCancelled:
      ++cancelled;
      break;
    case PairOutcome::kBinary:
      ++binary;
      break;
    case PairOutcome::kError:
    case PairOutcome::kSkipped:
      ++error;
      break;
  }
}

PairOutcome OutcomeOf(const PairRun& run) {
  return run.binary ? PairOutcome::kBinary : OutcomeOf(run.result);
}

std::string PairOutcomeLine(const PairRun& run, std::string_view label) {
  return run.binary ? BinaryPairLine(label) : PairOutcomeLine(run.result, label);
}

int DefaultJobCount() {
  cpu_set_t set;
  if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0) return CPU_COUNT(&set);
  const unsigned cores = std::thread::hardware_concurrency();
  return cores > 0 ? static_cast<int>(cores) : 1;
}

}  // namespace verko
