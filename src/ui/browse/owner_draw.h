#pragma once

#include <QColor>
#include <QFlags>
#include <QRect>
#include <QStyledItemDelegate>

class QFont;
class QPainter;
class QWidget;

namespace YVclCtrl {

// What an owner-drawn item is showing.
enum class OwnerDraw : unsigned {
  Selected = 1,
  Disabled = 2,
  Focused = 4,
  ComboBoxEdit = 8,  // the edit field of a combo box rather than a row of its list
};
Q_DECLARE_FLAGS(OwnerDrawState, OwnerDraw)
Q_DECLARE_OPERATORS_FOR_FLAGS(OwnerDrawState)

// A control that draws and measures its own items.
class OwnerDrawClient {
 public:
  virtual void DrawItem(QPainter& painter, int index, const QRect& rect, OwnerDrawState state) = 0;
  virtual void MeasureItem(int index, int& height) = 0;

 protected:
  ~OwnerDrawClient() = default;
};

// Hands the painting and measuring of a view's rows to its owner-drawing control.
class OwnerDrawDelegate : public QStyledItemDelegate {
 public:
  OwnerDrawDelegate(OwnerDrawClient& client, QObject* parent);

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 private:
  OwnerDrawClient& m_client;
};

// Text height in pixels as the controls lay it out: font size x pixels per inch / 72.
int FontTextHeight(const QFont& font, const QWidget& widget);

// Background and text colours of a drawn row: selected rows in the highlight colours,
// disabled ones in button face and grey text, others in the control's colours.
struct ItemColours {
  QColor background;
  QColor text;
};
ItemColours ItemColoursFor(const QWidget& widget, OwnerDrawState state);

}  // namespace YVclCtrl
