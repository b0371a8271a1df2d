// Two files straight into the report viewer (`verko --view OLD NEW`, and a viewer's 再比較):
// the pair compared with the options stored by the main window into a report in the work
// folder, named after the pair so that each pair keeps its own report. No question is
// asked and no history is touched.
#pragma once

#include <QString>
#include <QStringList>

#include "common/status.h"
#include "compare/compare_run.h"

namespace verko {

class SettingsStore;

struct ViewPair {
  QString oldPath, newPath;  // as given
  QString reportPath;        // in the work folder
  CompareOptions options;
};

// The pair with the options in `store` (`appDir`: the program's folder, ending in "/").
ViewPair PrepareViewPair(const SettingsStore& store, const QString& appDir, const QString& oldPath,
                         const QString& newPath);

// The pair compared with `options` (the main window's as they stand) into its report in
// the options' work folder; always the report format, never an editor.
ViewPair MakeViewPair(const CompareOptions& options, const QString& oldPath,
                      const QString& newPath);

// Compares the pair into its report. A refusal or failure gives the run's message as the
// reason; `warnings` (may be null) receives what the run would have shown on its way (a
// file cut at the line limit, a split pattern too slow).
Status CompareViewPair(const ViewPair& pair, QStringList* warnings = nullptr);

}  // namespace verko
