// Parts of a path as the program shows and combines them. Folders are separated by "/".
#pragma once

#include <string>
#include <string_view>

namespace verko {

// The path up to and including its last "/"; empty when there is none.
inline std::string DirPart(std::string_view path) {
  auto pos = path.rfind('/');
  return pos == std::string_view::npos ? std::string() : std::string(path.substr(0, pos + 1));
}

// The text after the last "/" (else after the last ":"), else the whole text.
inline std::string FileNamePart(std::string_view path) {
  auto pos = path.rfind('/');
  if (pos == std::string_view::npos) pos = path.rfind(':');
  return std::string(pos == std::string_view::npos ? path : path.substr(pos + 1));
}

// `name` in `folder`, joined by one "/" whether or not the folder ends with one; `name`
// alone for an empty folder (the current folder).
inline std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (!path.empty() && path.back() != '/') path += '/';
  return path.append(name);
}

// FileNamePart cut before its last ".", if any.
inline std::string BaseNamePart(std::string_view path) {
  std::string name = FileNamePart(path);
  auto pos = name.rfind('.');
  return pos == std::string::npos ? name : name.substr(0, pos);
}

}  // namespace verko
