// The b-trees of the work database: built from its content, table by table, written to the
// file as they are built where the content allows, and handed over whole to write the file.
#pragma once

#include <vector>

#include "common/status.h"
#include "compare/lines/work_content.h"
#include "platform/sqlite_file_writer.h"

namespace verko {

// Builds the trees of every table changed since they were last built. `whileIdle`: between
// writes, when tables still empty are left alone (their rows are yet to come, and a tree
// written before them would have to be written again).
Status BuildAllTrees(WorkContent& content, bool whileIdle = false);

// After a written tree was built again, every tree is built anew and kept for one write
// of the whole file over the pages written so far.
void RebuildForOneWrite(WorkContent& content);

// The schema with its trees, ready for the file. The trees move out of the content, so
// its tables count as changed again.
std::vector<SchemaEntry> TakeSchemaEntries(WorkContent& content);

}  // namespace verko
