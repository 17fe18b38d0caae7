#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>
#include <string>
#include <vector>

namespace tvx {

// A picture on the window, like the previews of the design: it keeps the last picture it was
// given, draws it stretched to its size or in proportion, optionally with the colour of its
// bottom-left pixel transparent (the overlays of the screen preview), and reports clicks and,
// once it accepts drops, the local files dropped on it.
class PictureBox : public QWidget {
  Q_OBJECT

 public:
  enum class Scaling { Stretch, Proportional };

  explicit PictureBox(QWidget* parent = nullptr);

  void setScaling(Scaling scaling);
  void setTransparent(bool transparent);
  // Drawn, with a dashed frame, while there is no picture (for previews one clicks).
  void setPlaceholder(const QString& text);
  bool transparent() const { return m_transparent; }

  void setPicture(const QImage& picture);
  // A plain picture of one colour (the background colour preview).
  void fill(const QColor& colour, QSize size);
  void clearPicture();
  const QImage& picture() const { return m_picture; }
  bool hasPicture() const { return !m_picture.isNull(); }
  // The file the picture came from (empty for a fill).
  const std::string& picturePath() const { return m_path; }
  void setPicturePath(std::string path) { m_path = std::move(path); }

 signals:
  void clicked();
  void doubleClicked();
  void filesDropped(const std::vector<std::string>& files);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  QImage m_picture;
  QImage m_shown;  // m_picture with the transparent colour taken out
  std::string m_path;
  QString m_placeholder;
  Scaling m_scaling = Scaling::Stretch;
  bool m_transparent = false;
};

// Reads a picture file of any format Qt reads (BMP included); a null image when the file is
// missing or unreadable.
QImage LoadPicture(const std::string& path);

// Shows a picture file in a preview. A relative path is taken from programDir. When the file
// is missing or cannot be read, the preview keeps what it showed and the answer is false.
bool ShowPicture(PictureBox& image, const std::string& path, const std::string& programDir);

}  // namespace tvx
