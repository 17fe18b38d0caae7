#pragma once

#include <QListWidget>
#include <QPixmap>

#include "ui/browse/owner_draw.h"

namespace YVclCtrl {

// A list box whose items look like pushed buttons, each with a check-box glyph that shows
// whether the item is selected and whether the list is enabled.
class TYListBox : public QListWidget, public OwnerDrawClient {
  Q_OBJECT

 public:
  explicit TYListBox(QWidget* parent = nullptr);

  int pr_ItemHeight() const { return m_itemHeight; }
  void pw_ItemHeight(int height);

  void DrawItem(QPainter& painter, int index, const QRect& rect, OwnerDrawState state) override;
  void MeasureItem(int index, int& height) override;

  // Shows text in an error box captioned "TYListBox"; true.
  bool ShowErrMsgBox(const QString& text);

 private:
  int m_itemHeight = 24;
  QPixmap m_grayUnchecked;
  QPixmap m_grayChecked;
  QPixmap m_selUnchecked;
  QPixmap m_selChecked;
};

}  // namespace YVclCtrl
