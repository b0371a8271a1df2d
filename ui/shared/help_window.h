// The program's help: the HTML document "VerkoHelp.html" delivered with the program (beside
// the executable in the build folder, in the data folder when installed), shown in a window
// of our own. A context number selects the topic (1090: the batch window).
#pragma once

#include <QString>
#include <QWidget>

class QTextBrowser;

namespace verko {

inline constexpr int kHelpContents = 0;
inline constexpr int kHelpMainWindow = 1000;
inline constexpr int kHelpOptions = 1010;
inline constexpr int kHelpReport = 1020;
inline constexpr int kHelpSplitChars = 1030;
inline constexpr int kHelpWorkDrive = 1040;
inline constexpr int kHelpEditor = 1050;
inline constexpr int kHelpBatchWindow = 1090;

// The help document of the program in `appDir` (see DeliveredFile).
QString HelpDocumentPath(const QString& appDir);

// The anchor of a context number in the help document; "" (the top) for unknown numbers.
QString HelpAnchor(int contextId);

class HelpWindow : public QWidget {
 public:
  // `helpFile` is the full path of the HTML document.
  explicit HelpWindow(const QString& helpFile, QWidget* parent = nullptr);

  // Shows the window at the topic of `contextId`. False when the help file is missing.
  bool ShowTopic(int contextId);
  // The anchor shown last.
  QString CurrentAnchor() const { return anchor_; }

 private:
  QString helpFile_;
  QString anchor_;
  QTextBrowser* browser_;
};

}  // namespace verko
