// Converters: commands the user names for a file extension that write a file's text to their
// standard output (`%f` stands for the file), as git's textconv does; for formats Verko does
// not read itself (.doc, .xls through LibreOffice) or to prefer another reading of a PDF.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/status.h"

namespace verko {

struct Converter {
  std::string extension;  // lower case, without the dot: "doc"
  std::string command;    // run by /bin/sh; %f is the file, quoted for the shell
};

// How long a converter may run before it is stopped and its file refused.
inline constexpr std::chrono::seconds kConverterTimeLimit{60};

// Parses "EXT=COMMAND" ("doc=libreoffice --cat %f"); nullopt with *message (Japanese) when
// it is not of that form.
std::optional<Converter> ParseConverter(std::string_view text, std::string* message);

// The converter for `path`'s extension (letter case ignored), or null.
const Converter* ConverterFor(const std::vector<Converter>& converters, const std::string& path);

// Runs `converter` on `path` and sets *text to what it wrote to standard output. Fails,
// naming the command, when it cannot start, ends with a failure (with the first line it
// wrote to standard error), is killed, writes more than 256 MB, or runs longer than
// `limit`; then it and everything it started are stopped.
Status RunConverter(const Converter& converter, const std::string& path, std::string* text,
                    std::chrono::milliseconds limit = kConverterTimeLimit);

}  // namespace verko
