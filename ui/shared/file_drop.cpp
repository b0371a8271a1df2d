#include "ui/shared/file_drop.h"

#include <QComboBox>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>

namespace verko {

QString FirstDroppedFile(const QMimeData* data) {
  if (!data || !data->hasUrls()) return QString();
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) return url.toLocalFile();
  }
  return QString();
}

void AcceptFileDrops(QComboBox* field) {
  field->setAcceptDrops(true);
  if (field->lineEdit()) field->lineEdit()->setAcceptDrops(false);
  field->installEventFilter(new FileDropFilter(field));
}

FileDropFilter::FileDropFilter(QComboBox* field) : QObject(field), field_(field) {}

bool FileDropFilter::eventFilter(QObject* watched, QEvent* event) {
  if (watched != field_) return false;
  // Only the drag and drop events are this filter's; every other type of event goes on.
  const QEvent::Type type = event->type();
  if (type == QEvent::DragEnter || type == QEvent::DragMove) {
    auto* drag = static_cast<QDragMoveEvent*>(event);
    if (FirstDroppedFile(drag->mimeData()).isEmpty()) {
      drag->ignore();
    } else {
      drag->setDropAction(Qt::CopyAction);
      drag->accept();
    }
    return true;
  }
  if (type == QEvent::Drop) {
    auto* drop = static_cast<QDropEvent*>(event);
    const QString file = FirstDroppedFile(drop->mimeData());
    if (file.isEmpty()) {
      drop->ignore();
    } else {
      field_->setEditText(file);
      drop->setDropAction(Qt::CopyAction);
      drop->accept();
    }
    return true;
  }
  return false;
}

}  // namespace verko
