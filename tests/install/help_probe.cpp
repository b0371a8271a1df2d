// A test tool for the installed desktop program, never installed itself: a Qt generic plugin
// that the program loads when started with QT_QPA_GENERIC_PLUGINS=verkohelpprobe (and this
// plugin's folder in QT_PLUGIN_PATH). Once the main window is up it presses the help button
// and prints the document the help window shows ("help: PATH"), or the message shown
// instead ("message: TEXT"), and ends the program: status 0 when the help window shows a
// document, 1 otherwise.
#include <QAbstractButton>
#include <QApplication>
#include <QGenericPlugin>
#include <QMessageBox>
#include <QTextBrowser>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace {

QWidget* TopLevel(const char* name) {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->objectName() == QLatin1String(name)) return widget;
  }
  return nullptr;
}

class HelpProbe : public QObject {
 public:
  HelpProbe() {
    QTimer::singleShot(0, this, [this] { Probe(); });
  }

 private:
  void Probe() {
    QWidget* main = TopLevel("VerkoMain");
    if (!main || !main->isVisible()) {
      if (++attempts_ > 200) return Finish(QStringLiteral("message: no main window"), 1);
      QTimer::singleShot(50, this, [this] { Probe(); });
      return;
    }
    auto* button = main->findChild<QAbstractButton*>(QStringLiteral("CmdHelp"));
    if (!button) return Finish(QStringLiteral("message: no help button"), 1);
    // A missing document is reported in a modal message box: read it from inside its loop.
    QTimer::singleShot(0, this, [this] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        Finish(QStringLiteral("message: ") + box->text().simplified(), 1);
      }
    });
    button->click();
    if (finished_) return;
    QWidget* help = TopLevel("VerkoHelp");
    auto* text = help ? help->findChild<QTextBrowser*>(QStringLiteral("HelpText")) : nullptr;
    if (!help || !help->isVisible() || !text || text->source().isEmpty()) {
      return Finish(QStringLiteral("message: no help window"), 1);
    }
    Finish(QStringLiteral("help: ") + text->source().toLocalFile(), 0);
  }

  void Finish(const QString& line, int status) {
    std::printf("%s\n", line.toLocal8Bit().constData());
    std::fflush(stdout);
    finished_ = true;
    QCoreApplication::exit(status);
  }

  int attempts_ = 0;
  bool finished_ = false;
};

}  // namespace

class HelpProbePlugin : public QGenericPlugin {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "help_probe.json")

 public:
  QObject* create(const QString& key, const QString&) override {
    return key.compare(QLatin1String("verkohelpprobe"), Qt::CaseInsensitive) == 0 ? new HelpProbe
                                                                                  : nullptr;
  }
};

#include "help_probe.moc"
