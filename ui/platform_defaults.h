// The settings' defaults that depend on this platform or on the core: the work folder, the
// editor command line and the split pattern of a fresh store.
#pragma once

#include <QString>

namespace verko {

// The user's own work folder, made on first use (see DefaultWorkFolder).
QString DefaultWorkPath();
// The command that opens the result file: "xdg-open %1" here.
QString DefaultEditorSetting();
// The split-character pattern of a fresh store.
QString DefaultSplitChar();
// The folder in which the editor dialog's browse starts.
QString SystemProgramFolder();
// The pattern whose matches the editor dialog removes from a chosen program path (the
// system's program folder: such programs are found by name alone).
QString SystemProgramFolderPattern();

}  // namespace verko
