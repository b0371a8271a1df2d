#include "compare/lines/work_database.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>

#include "common/failure_reason.h"
#include "common/fresh_file.h"
#include "common/own_thread.h"
#include "common/system_error.h"
#include "compare/lines/work_content.h"
#include "compare/lines/work_trees.h"
#include "platform/sqlite_file_writer.h"

namespace verko {
namespace {

using Job = std::function<Status(WorkContent&)>;

// A folder at the database's path could never be replaced by the finished file.
Status CheckNotAFolder(const std::string& path) {
  struct stat st;
  if (::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    return Status::Error(SystemErrorText(EISDIR));
  }
  return Status::Ok();
}

}  // namespace

// The file's content and its writer thread. Writes change the content in the order queued;
// after the first failure the remaining ones are skipped and the failure is kept for
// Finish(). While no write waits, the thread builds the b-trees of changed tables, so that
// Finish() has little left to do but write the pages.
class WorkDatabase::Impl {
 public:
  Impl(std::unique_ptr<SqliteFileWriter> file, WorkContent content, bool ownThread,
       std::string formerFile)
      : file_(std::move(file)),
        content_(std::move(content)),
        threadAllowed_(ownThread),
        formerFile_(std::move(formerFile)) {}

  // Without a thread of its own the writes wait, and Finish() does them.
  void StartWriter(bool ownThread) {
    if (writerDecided_) return;
    writerDecided_ = true;
    if (ownThread && threadAllowed_ && StartOwnThread(writer_, [this] { RunJobs(); })) return;
    RemoveFormerFile();
  }

  ~Impl() { Finish(); }

  void Enqueue(Job job) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (closing_) return;  // after Finish nothing more is written
      jobs_.push_back(std::move(job));
    }
    wake_.notify_one();
  }

  void Complete() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (closing_) return;
      closing_ = true;
    }
    wake_.notify_one();
  }

  Status Finish() {
    writerDecided_ = true;
    Complete();
    if (writer_.joinable()) {
      writer_.join();
    } else if (!written_) {
      RunJobs();  // without a thread of its own, everything is written now
    }
    written_ = true;
    return failure_;
  }

 private:
  // A failure here (too little memory) must not end the program: it becomes the status
  // that Finish() returns, and the file is written as far as it can be.
  void RunJobs() {
    RemoveFormerFile();
    try {
      RunJobsUntilClosed();
    } catch (...) {
      if (failure_.ok()) failure_ = Status::Error(CurrentFailureReason());
    }
    try {
      WriteFile();
    } catch (...) {
      if (failure_.ok()) failure_ = Status::Error(CurrentFailureReason());
      (void)file_->Close();
    }
  }

  void RunJobsUntilClosed() {
    for (;;) {
      Job job;
      bool idle = false;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        if (jobs_.empty() && !closing_) idle = true;
        if (!idle) {
          if (jobs_.empty()) break;
          job = std::move(jobs_.front());
          jobs_.pop_front();
        }
      }
      if (idle) {
        // A failure here shows again when the file is written.
        (void)BuildAllTrees(content_, true);
        std::unique_lock<std::mutex> lock(mutex_);
        wake_.wait(lock, [this] { return closing_ || !jobs_.empty(); });
        continue;
      }
      if (failure_.ok()) failure_ = job(content_);
    }
  }

  // Writes the file as the content stands (up to the first failure) and puts it in place
  // of the database. A tree that cannot be built in order writes nothing: the temporary
  // file is removed and the database's name is left alone.
  void WriteFile() {
    if (content_.writtenTreeRebuilt) RebuildForOneWrite(content_);
    Status status = BuildAllTrees(content_);
    if (status.ok()) {
      std::vector<SchemaEntry> entries = TakeSchemaEntries(content_);
      status = file_->Write(&entries);
    }
    if (status.ok()) status = file_->Commit();
    file_.reset();
    if (failure_.ok()) failure_ = status;
  }

  // The former database, moved aside when this one began: removed by the writer before it
  // writes (removing a large file takes time, which a thread of its own spends meanwhile).
  void RemoveFormerFile() {
    if (formerFile_.empty()) return;
    ::unlink(formerFile_.c_str());
    formerFile_.clear();
  }

  std::unique_ptr<SqliteFileWriter> file_;
  WorkContent content_;  // used by the writer thread only
  const bool threadAllowed_;
  bool writerDecided_ = false;  // StartWriter or Finish has run (on the caller's thread)
  std::string formerFile_;      // used by one thread at a time: the caller's, then the writer
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Job> jobs_;  // guarded by mutex_
  bool closing_ = false;  // guarded by mutex_
  // Written by the writer thread only, read after it has been joined.
  Status failure_ = Status::Ok();
  bool written_ = false;  // Finish has run (on this thread)
  std::thread writer_;
};

std::unique_ptr<WorkDatabase> WorkDatabase::Open(const std::string& path, int splitWidth,
                                                 Status* status, bool ownThread) {
  *status = CheckNotAFolder(path);
  if (!status->ok()) return nullptr;
  // Nothing at the path is deleted: the finished file replaces it by a rename, and files
  // beside it belong to others (another run's, or a user's that only looks like ours).
  std::unique_ptr<SqliteFileWriter> file = SqliteFileWriter::CreateBeside(path, status);
  if (file == nullptr) return nullptr;
  // The former database is moved aside now, so that the finished file takes the free name
  // at once, and removed by the writer; where it cannot be moved, the finished file
  // replaces it when put in place.
  std::string formerFile;
  MoveAside(path, &formerFile);
  // The two empty tables come first, so a run refused later leaves just them.
  WorkContent content;
  content.splitWidth = splitWidth;
  content.file = file.get();
  AddLineTable(content, "OldText");
  AddLineTable(content, "NewText");
  return std::unique_ptr<WorkDatabase>(new WorkDatabase(std::make_unique<Impl>(
      std::move(file), std::move(content), ownThread, std::move(formerFile))));
}

WorkDatabase::WorkDatabase(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

WorkDatabase::~WorkDatabase() = default;

void WorkDatabase::CreateLineTable(const std::string& table) {
  impl_->Enqueue([table](WorkContent& content) { return AddLineTable(content, table); });
}

void WorkDatabase::AppendLines(const std::string& table, const LineTable& source,
                               std::vector<int> lineIds) {
  impl_->Enqueue([table, &source, lineIds = std::move(lineIds)](WorkContent& content) {
    return AppendRecords(content, table, static_cast<int>(lineIds.size()),
                         [&](int i) -> const LineRecord* {
                           int lineId = lineIds[i];
                           if (lineId < 1 || lineId > source.Count()) return nullptr;
                           return &source.Line(lineId);
                         });
  });
}

void WorkDatabase::AppendAllLines(const std::string& table, const LineTable& source) {
  impl_->Enqueue([table, &source](WorkContent& content) {
    return AppendRecords(content, table, source.Count(),
                         [&](int i) { return &source.Records()[i]; });
  });
}

void WorkDatabase::CreateTextOrderIndex(const std::string& table) {
  impl_->Enqueue([table](WorkContent& content) { return AddTextOrder(content, table); });
}

void WorkDatabase::CreateTextOrderIndex(const std::string& table, std::vector<int> lineIdsInOrder) {
  impl_->Enqueue([table, ids = std::move(lineIdsInOrder)](WorkContent& content) mutable {
    return AddTextOrder(content, table, std::move(ids));
  });
}

void WorkDatabase::StartWriter(bool ownThread) {
  impl_->StartWriter(ownThread);
}

void WorkDatabase::SetTextFold(TextFold fold) {
  impl_->Enqueue([fold = std::move(fold)](WorkContent& content) {
    content.fold = fold;
    return Status::Ok();
  });
}

void WorkDatabase::Complete() {
  impl_->Complete();
}

Status WorkDatabase::Finish() {
  return impl_->Finish();
}

}  // namespace verko
