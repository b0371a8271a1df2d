// What the batch window may ask of the main window: run one comparison of three named
// files in batch mode, and tell whether an interactive comparison is running. The batch
// window holds only this interface, never the main window itself.
#pragma once

#include <QString>

#include "compare/compare_run.h"

namespace verko {

class CompareRunner {
 public:
  virtual ~CompareRunner() = default;

  // Writes the three names into the main window's file fields and runs one comparison in
  // batch mode with the window's options: no overwrite question, histories left alone,
  // refusals returned in the result instead of shown. Must not be called while
  // InteractiveRunActive() is true.
  virtual CompareResult RunBatchCompare(const QString& oldName, const QString& newName,
                                        const QString& resultName) = 0;
  // True while a comparison started from the main window's start button is running.
  virtual bool InteractiveRunActive() const = 0;
};

}  // namespace verko
