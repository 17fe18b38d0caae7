#include "ui/window/picture_box.h"

#include <QBuffer>
#include <QDropEvent>
#include <QImageReader>
#include <QMouseEvent>
#include <QPainter>

#include "project/paths.h"
#include "ui/window/dropped_files.h"
#include "util/file_bytes.h"

namespace tvx {

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TranslucentBackground);
}

void PictureBox::setScaling(Scaling scaling) {
  m_scaling = scaling;
  update();
}

void PictureBox::setTransparent(bool transparent) {
  m_transparent = transparent;
  setPicture(m_picture);
}

void PictureBox::setPlaceholder(const QString& text) {
  m_placeholder = text;
  update();
}

void PictureBox::setPicture(const QImage& picture) {
  m_picture = picture;
  m_shown = picture;
  if (m_transparent && !picture.isNull()) {
    m_shown = picture.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = m_shown.pixel(0, m_shown.height() - 1) | 0xFF000000u;
    for (int y = 0; y < m_shown.height(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(m_shown.scanLine(y));
      for (int x = 0; x < m_shown.width(); ++x) {
        if ((line[x] | 0xFF000000u) == key) {
          line[x] = 0;
        }
      }
    }
  }
  update();
}

void PictureBox::fill(const QColor& colour, QSize size) {
  QImage plain(size, QImage::Format_RGB32);
  plain.fill(colour);
  m_path.clear();
  setPicture(plain);
}

void PictureBox::clearPicture() {
  m_path.clear();
  setPicture(QImage());
}

void PictureBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (m_shown.isNull()) {
    if (!m_placeholder.isEmpty()) {
      painter.setPen(QPen(palette().color(QPalette::Mid), 1, Qt::DashLine));
      painter.drawRect(rect().adjusted(0, 0, -1, -1));
      painter.setPen(palette().color(QPalette::PlaceholderText));
      painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, m_placeholder);
    }
    return;
  }
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  QRect target = rect();
  if (m_scaling == Scaling::Proportional) {
    const QSize scaled = m_shown.size().scaled(size(), Qt::KeepAspectRatio);
    target =
        QRect(QPoint((width() - scaled.width()) / 2, (height() - scaled.height()) / 2), scaled);
  }
  painter.drawImage(target, m_shown);
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    emit clicked();
  }
  QWidget::mousePressEvent(event);
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    emit doubleClicked();
  }
  QWidget::mouseDoubleClickEvent(event);
}

void PictureBox::dragEnterEvent(QDragEnterEvent* event) {
  if (!DroppedFiles(event->mimeData()).empty()) {
    event->acceptProposedAction();
  }
}

void PictureBox::dropEvent(QDropEvent* event) {
  const std::vector<std::string> files = DroppedFiles(event->mimeData());
  if (files.empty()) {
    return;
  }
  event->acceptProposedAction();
  emit filesDropped(files);
}

QImage LoadPicture(const std::string& path) {
  // Read through the path's own bytes: a path from a Windows project may not be UTF-8.
  const Result<std::vector<std::uint8_t>> bytes = ReadFileBytes(path);
  if (!bytes) {
    return QImage();
  }
  QByteArray data(reinterpret_cast<const char*>(bytes->data()),
                  static_cast<qsizetype>(bytes->size()));
  QBuffer buffer(&data);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  reader.setAutoTransform(true);
  return reader.read();
}

bool ShowPicture(PictureBox& image, const std::string& path, const std::string& programDir) {
  const std::string full = IsAbsolutePath(path) ? path : programDir + path;
  const QImage picture = LoadPicture(full);
  if (picture.isNull()) {
    return false;
  }
  image.setPicture(picture);
  image.setPicturePath(full);
  return true;
}

}  // namespace tvx
