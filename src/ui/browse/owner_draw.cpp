#include "ui/browse/owner_draw.h"

#include <QFont>
#include <QPainter>
#include <QWidget>

namespace YVclCtrl {

OwnerDrawDelegate::OwnerDrawDelegate(OwnerDrawClient& client, QObject* parent)
    : QStyledItemDelegate(parent), m_client(client) {}

void OwnerDrawDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
  OwnerDrawState state;
  if (option.state.testFlag(QStyle::State_Selected)) {
    state |= OwnerDraw::Selected;
  }
  if (!option.state.testFlag(QStyle::State_Enabled)) {
    state |= OwnerDraw::Disabled;
  }
  if (option.state.testFlag(QStyle::State_HasFocus)) {
    state |= OwnerDraw::Focused;
  }
  painter->save();
  painter->setClipRect(option.rect);
  m_client.DrawItem(*painter, index.row(), option.rect, state);
  painter->restore();
}

QSize OwnerDrawDelegate::sizeHint(const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
  int height = 0;
  m_client.MeasureItem(index.row(), height);
  return {option.rect.width(), height};
}

int FontTextHeight(const QFont& font, const QWidget& widget) {
  if (font.pointSizeF() > 0) {
    return static_cast<int>(font.pointSizeF() * widget.logicalDpiY() / 72.0);
  }
  return font.pixelSize();
}

ItemColours ItemColoursFor(const QWidget& widget, OwnerDrawState state) {
  const QPalette& palette = widget.palette();
  if (state.testFlag(OwnerDraw::Selected)) {
    return {palette.color(QPalette::Active, QPalette::Highlight),
            palette.color(QPalette::Active, QPalette::HighlightedText)};
  }
  if (state.testFlag(OwnerDraw::Disabled)) {
    return {palette.color(QPalette::Button), palette.color(QPalette::Disabled, QPalette::Text)};
  }
  return {palette.color(QPalette::Base), palette.color(QPalette::Text)};
}

}  // namespace YVclCtrl
