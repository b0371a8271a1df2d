// Opens a report file for the viewer: the whole file read, its encoding recognised and
// its lines read (report/report_reader.h). Nothing is ever written to the file.
#pragma once

#include <string>

#include "common/status.h"
#include "report/report_decoding.h"
#include "report/report_reader.h"

namespace verko {

struct LoadedReport {
  ReportDocument document;
  ReportEncoding encoding = ReportEncoding::kCp932;
};

// Reads the file at `path` into `report`. A missing, unreadable file or a folder gives
// the system's reason; a pipe, a device or a file larger than any report is refused at once,
// before anything is read (see LargestReportBytes), and never waited for.
Status LoadReportFile(const std::string& path, LoadedReport* report);

}  // namespace verko
