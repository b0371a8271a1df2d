// Dropping files onto a file field: a drag that carries a list of local files is offered
// as a copy, anything else is refused; on drop the field takes the first local file.
#pragma once

#include <QObject>
#include <QString>

class QComboBox;
class QMimeData;

namespace verko {

// The first local file of the dragged data, or an empty text when it holds none.
QString FirstDroppedFile(const QMimeData* data);

// Lets `field` (and not its text box, which would insert the dropped text) take file drops.
void AcceptFileDrops(QComboBox* field);

class FileDropFilter : public QObject {
 public:
  explicit FileDropFilter(QComboBox* field);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QComboBox* field_;
};

}  // namespace verko
