#include "batch/folder_pairs.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <set>
#include <system_error>
#include <utility>

#include "batch/file_pairing.h"
#include "batch/result_naming.h"
#include "common/system_error.h"

namespace verko {
namespace {

constexpr const char* kTitleFolderName = "フォルダ指定ミス";
constexpr const char* kTitleCannotOpen = "フォルダを開けない";

using FileId = std::pair<dev_t, ino_t>;

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

// "role\n   name\nphrase", with the system's reason when there is one: the shape of the
// compare run's messages about one file.
std::string FolderMessage(const char* role, const std::string& name, const char* phrase,
                          int errnum = 0) {
  std::string text = std::string(role) + "\n   " + name + "\n" + phrase;
  if (errnum != 0) text += "\n\n理由： " + SystemErrorText(errnum);
  return text;
}

// One entry of a folder, its kind seen through symbolic links.
struct Entry {
  std::string name;
  bool folder = false;
  bool regular = false;  // a plain file (false for devices, pipes, and links that lead nowhere)
  bool known = false;    // the entry could be examined; else it counts as a file of its own
  FileId id{};
};

struct Listing {
  std::vector<Entry> entries;  // sorted by name
  int error = 0;               // errno when the folder could not be read
};

Listing ReadFolder(const std::string& path) {
  Listing listing;
  DIR* dir = ::opendir(path.c_str());
  if (dir == nullptr) {
    listing.error = errno;
    return listing;
  }
  const int fd = ::dirfd(dir);
  errno = 0;
  while (dirent* item = ::readdir(dir)) {
    std::string name = item->d_name;
    if (name == "." || name == "..") continue;
    Entry entry;
    entry.name = std::move(name);
    struct stat st;
    if (::fstatat(fd, entry.name.c_str(), &st, 0) == 0) {
      entry.known = true;
      entry.folder = S_ISDIR(st.st_mode);
      entry.regular = S_ISREG(st.st_mode);
      entry.id = {st.st_dev, st.st_ino};
    }
    listing.entries.push_back(std::move(entry));
    errno = 0;
  }
  if (errno != 0) listing.error = errno;
  ::closedir(dir);
  std::sort(listing.entries.begin(), listing.entries.end(),
            [](const Entry& a, const Entry& b) { return a.name < b.name; });
  return listing;
}

bool FolderId(const std::string& path, FileId* id) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  *id = {st.st_dev, st.st_ino};
  return true;
}

// Whether `inner` is `outer` or lies inside it, both made absolute with their links resolved
// as far as they exist.
bool IsSameOrInside(const std::string& inner, const std::string& outer) {
  std::error_code error;
  std::filesystem::path in = std::filesystem::weakly_canonical(inner, error);
  if (error) return false;
  std::filesystem::path out = std::filesystem::weakly_canonical(outer, error);
  if (error) return false;
  auto o = out.begin(), i = in.begin();
  for (; o != out.end() && i != in.end(); ++o, ++i) {
    if (o->empty()) break;  // the trailing "/" of a folder
    if (*o != *i) return false;
  }
  return o == out.end() || o->empty();
}

class FolderWalk {
 public:
  FolderWalk(const std::string& oldDir, const std::string& newDir, const std::string& resultDir,
             const FolderScanOptions& options)
      : oldDir_(WithSlash(oldDir)),
        newDir_(WithSlash(newDir)),
        resultDir_(WithSlash(resultDir)),
        options_(options) {}

  FolderComparison Run() {
    std::vector<FileId> oldTrail, newTrail;
    FileId id;
    if (FolderId(oldDir_, &id)) oldTrail.push_back(id);
    if (FolderId(newDir_, &id)) newTrail.push_back(id);
    Walk("", &oldTrail, &newTrail);
    GuardInputs();
    return std::move(result_);
  }

 private:
  bool TakesPart(const std::string& name) const {
    if (options_.filePatterns.empty()) return true;
    return std::any_of(options_.filePatterns.begin(), options_.filePatterns.end(),
                       [&](const std::string& pattern) { return WildcardMatch(pattern, name); });
  }

  // One folder on both sides (a side is absent when its trail is null): its files are paired
  // and its subfolders walked, all in name order.
  void Walk(const std::string& rel, std::vector<FileId>* oldTrail, std::vector<FileId>* newTrail) {
    Listing oldList, newList;
    if (oldTrail) oldList = ReadFolder(oldDir_ + rel);
    if (newTrail) newList = ReadFolder(newDir_ + rel);
    if (oldList.error != 0 || newList.error != 0) {
      const bool oldFailed = oldList.error != 0;
      result_.problems.push_back(
          {rel, FolderMessage(oldFailed ? "旧フォルダ" : "新フォルダ",
                              (oldFailed ? oldDir_ : newDir_) + rel, "を読み取ることができません。",
                              oldFailed ? oldList.error : newList.error)});
      return;
    }
    Remember(oldList);
    Remember(newList);

    const std::vector<Entry> oldFiles = Files(oldList), newFiles = Files(newList);
    std::vector<std::string> partners = Partners(oldFiles, newFiles);
    std::vector<std::string> resultNames = ResultNames(oldFiles, partners);

    std::set<std::string> names;
    for (const Listing* listing : {&oldList, &newList}) {
      for (const Entry& entry : listing->entries) names.insert(entry.name);
    }
    std::set<std::string> paired(partners.begin(), partners.end());
    for (const std::string& name : names) {
      const Entry* oldEntry = Find(oldFiles, name);
      const Entry* newEntry = Find(newFiles, name);
      if (oldEntry) {
        const std::size_t i = static_cast<std::size_t>(oldEntry - oldFiles.data());
        if (partners[i].empty()) {
          result_.oldOnly.push_back(rel + name);
        } else {
          AddPair(rel, *oldEntry, *Find(newFiles, partners[i]), resultNames[i]);
        }
      }
      if (newEntry && !paired.count(name)) result_.newOnly.push_back(rel + name);
      if (options_.recursive) Descend(rel, name, oldList, newList, oldTrail, newTrail);
    }
  }

  void Descend(const std::string& rel, const std::string& name, const Listing& oldList,
               const Listing& newList, std::vector<FileId>* oldTrail,
               std::vector<FileId>* newTrail) {
    const Entry* oldFolder = FindFolder(oldList, name);
    const Entry* newFolder = FindFolder(newList, name);
    if (!oldFolder && !newFolder) return;
    const std::string sub = rel + name + "/";
    // A folder that is one of its own parents (through a link) would be walked forever.
    for (auto [entry, trail] : {std::pair{oldFolder, oldTrail}, std::pair{newFolder, newTrail}}) {
      if (entry && std::find(trail->begin(), trail->end(), entry->id) != trail->end()) {
        result_.problems.push_back(
            {sub,
             FolderMessage(trail == oldTrail ? "旧フォルダ" : "新フォルダ",
                           (trail == oldTrail ? oldDir_ : newDir_) + sub,
                           "はそれを含むフォルダへのリンクです（循環するため比較しません）。")});
        return;
      }
    }
    if (oldFolder) oldTrail->push_back(oldFolder->id);
    if (newFolder) newTrail->push_back(newFolder->id);
    Walk(sub, oldFolder ? oldTrail : nullptr, newFolder ? newTrail : nullptr);
    if (oldFolder) oldTrail->pop_back();
    if (newFolder) newTrail->pop_back();
  }

  // The files of a folder that take part: everything but folders, by the --files patterns.
  std::vector<Entry> Files(const Listing& listing) const {
    std::vector<Entry> files;
    for (const Entry& entry : listing.entries) {
      if (!entry.folder && TakesPart(entry.name)) files.push_back(entry);
    }
    return files;
  }

  // The partner of every old file by the same-name rule of the batch pairing; empty when
  // the new side has none. The rule looks names up as wildcards, so a name holding "*" or
  // "?" is taken only by an entry of exactly that name.
  static std::vector<std::string> Partners(const std::vector<Entry>& oldFiles,
                                           const std::vector<Entry>& newFiles) {
    std::vector<PairRow> rows;
    for (const Entry& entry : oldFiles)
      rows.push_back({0, entry.name, std::string(UnpairedMark), ""});
    std::vector<std::string> entries;
    for (const Entry& entry : newFiles) entries.push_back(entry.name);
    BatchListSettings sameName;
    sameName.pairingMethod = 1;
    std::vector<std::string> partners(rows.size());
    for (const auto& [row, partner] :
         AutoPairFiles(rows, PairSide::kNew, sameName, entries).found) {
      if (partner == rows[row].oldFile) partners[row] = partner;
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
      if (partners[i].empty() && Find(newFiles, rows[i].oldFile)) partners[i] = rows[i].oldFile;
    }
    return partners;
  }

  // The result name of every paired file: the old file's name (naming by the old name).
  static std::vector<std::string> ResultNames(const std::vector<Entry>& oldFiles,
                                              const std::vector<std::string>& partners) {
    std::vector<PairRow> rows;
    for (std::size_t i = 0; i < oldFiles.size(); ++i) {
      rows.push_back({0, oldFiles[i].name, partners[i], std::string(UndecidedMark)});
    }
    BatchListSettings sameAsOld;
    sameAsOld.resultMethod = kResultSameAsOld;
    std::vector<std::string> names;
    NamingRefusal unused;
    GenerateResultNames(rows, sameAsOld, &names, &unused);
    return names;
  }

  void AddPair(const std::string& rel, const Entry& oldEntry, const Entry& newEntry,
               const std::string& resultName) {
    FolderPair pair;
    pair.name = rel + oldEntry.name;
    pair.oldPath = oldDir_ + pair.name;
    pair.newPath = newDir_ + rel + newEntry.name;
    pair.resultPath = resultDir_ + rel + resultName + options_.resultExtension;
    // A device or a pipe is not read: a pipe without a writer would hold the run forever.
    for (auto [entry, role] :
         {std::pair{&oldEntry, "旧ファイル"}, std::pair{&newEntry, "新ファイル"}}) {
      if (entry->known && !entry->regular && pair.refusal.empty()) {
        pair.refusal = FolderMessage(role, entry == &oldEntry ? pair.oldPath : pair.newPath,
                                     "は通常のファイルではありません。");
      }
    }
    result_.pairs.push_back(std::move(pair));
  }

  void Remember(const Listing& listing) {
    for (const Entry& entry : listing.entries) {
      if (entry.known && !entry.folder) inputs_.insert(entry.id);
    }
  }

  // A result file that already exists as one of the compared folders' files (through a link,
  // or a result folder that holds an input folder) would overwrite it: such a pair is
  // refused.
  void GuardInputs() {
    for (FolderPair& pair : result_.pairs) {
      struct stat st;
      if (!pair.refusal.empty() || ::stat(pair.resultPath.c_str(), &st) != 0) continue;
      if (inputs_.count({st.st_dev, st.st_ino})) {
        pair.refusal = FolderMessage("結果ファイル", pair.resultPath,
                                     "は比較するフォルダのファイルです。上書きしません。");
      }
    }
  }

  static const Entry* Find(const std::vector<Entry>& files, const std::string& name) {
    auto it = std::lower_bound(files.begin(), files.end(), name,
                               [](const Entry& e, const std::string& n) { return e.name < n; });
    return it != files.end() && it->name == name ? &*it : nullptr;
  }

  static const Entry* FindFolder(const Listing& listing, const std::string& name) {
    const Entry* entry = Find(listing.entries, name);
    return entry && entry->folder ? entry : nullptr;
  }

  const std::string oldDir_, newDir_, resultDir_;
  const FolderScanOptions& options_;
  FolderComparison result_;
  std::set<FileId> inputs_;
};

}  // namespace

FolderRefusal PrepareFolders(const std::string& oldDir, const std::string& newDir,
                             const std::string& resultDir) {
  struct {
    const char* role;
    const std::string& path;
  } inputs[] = {{"旧フォルダ", oldDir}, {"新フォルダ", newDir}};
  for (const auto& input : inputs) {
    DIR* dir = ::opendir(input.path.c_str());
    if (dir == nullptr) {
      return {FolderMessage(input.role, input.path, "を読み取ることができません。", errno),
              kTitleCannotOpen};
    }
    ::closedir(dir);
  }
  FileId oldId, newId;
  if (FolderId(oldDir, &oldId) && FolderId(newDir, &newId) && oldId == newId) {
    return {"旧フォルダと新フォルダが同じです。", kTitleFolderName};
  }
  for (const auto& input : inputs) {
    if (IsSameOrInside(resultDir, input.path)) {
      const std::string phrase = std::string("が") + input.role +
                                 "と同じか、その中にあります。\n別のフォルダを指定してください。";
      return {FolderMessage("結果フォルダ", resultDir, phrase.c_str()), kTitleFolderName};
    }
  }
  struct stat st;
  if (::stat(resultDir.c_str(), &st) == 0) {
    if (!S_ISDIR(st.st_mode)) {
      return {FolderMessage("結果フォルダ", resultDir, "はフォルダではありません。"),
              kTitleFolderName};
    }
  } else {
    std::error_code error;
    std::filesystem::create_directories(resultDir, error);
    if (error) {
      return {FolderMessage("結果フォルダ", resultDir, "を作成できません。",
                            error.default_error_condition().value()),
              kTitleCannotOpen};
    }
  }
  if (::access(resultDir.c_str(), W_OK | X_OK) != 0) {
    return {FolderMessage("結果フォルダ", resultDir, "に書き込むことができません。", errno),
            kTitleCannotOpen};
  }
  return {};
}

FolderComparison PairFolders(const std::string& oldDir, const std::string& newDir,
                             const std::string& resultDir, const FolderScanOptions& options) {
  return FolderWalk(oldDir, newDir, resultDir, options).Run();
}

}  // namespace verko
