#include "ui/browse/ylistbox.h"

#include <QPainter>
#include <QStyleOptionButton>

#include "ui/browse/browse_glyphs.h"
#include "util/messages.h"

namespace YVclCtrl {

TYListBox::TYListBox(QWidget* parent)
    : QListWidget(parent),
      m_grayUnchecked(BrowseGlyph("GP_GRAY0")),
      m_grayChecked(BrowseGlyph("GP_Gray1")),
      m_selUnchecked(BrowseGlyph("GP_Sel0")),
      m_selChecked(BrowseGlyph("GP_Sel1")) {
  QPalette colours = palette();
  for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    colours.setColor(group, QPalette::Base, colours.color(group, QPalette::Button));
  }
  setPalette(colours);
  setUniformItemSizes(true);
  setItemDelegate(new OwnerDrawDelegate(*this, this));
}

void TYListBox::pw_ItemHeight(int height) {
  m_itemHeight = height;
  doItemsLayout();
}

void TYListBox::MeasureItem(int, int& height) {
  height = m_itemHeight;
}

void TYListBox::DrawItem(QPainter& painter, int index, const QRect& rect, OwnerDrawState state) {
  const bool disabled = state.testFlag(OwnerDraw::Disabled);
  const bool selected = state.testFlag(OwnerDraw::Selected);
  const int height = rect.height();
  painter.fillRect(rect, palette().color(QPalette::Base));

  QStyleOptionButton frame;
  frame.initFrom(this);
  frame.rect = rect.adjusted(0, 0, 0, -1);
  frame.state = QStyle::State_Sunken | QStyle::State_On;
  if (!disabled) {
    frame.state |= QStyle::State_Enabled;
  }
  style()->drawPrimitive(QStyle::PE_PanelButtonCommand, &frame, &painter, this);

  const QPixmap& glyph = disabled ? (selected ? m_grayChecked : m_grayUnchecked)
                                  : (selected ? m_selChecked : m_selUnchecked);
  const int glyphTop =
      height > kBrowseGlyphSize ? rect.top() + (height - kBrowseGlyphSize) / 2 : rect.top() + 2;
  painter.drawPixmap(rect.left() + 4, glyphTop, glyph);

  painter.setPen(disabled ? palette().color(QPalette::Disabled, QPalette::Text)
                          : palette().color(QPalette::ButtonText));
  painter.setFont(font());
  const int textHeight = FontTextHeight(font(), *this);
  const int textTop =
      textHeight < height ? rect.top() + (height - textHeight) / 2 - 1 : rect.top() + 2;
  const QListWidgetItem* entry = item(index);
  if (entry != nullptr) {
    painter.drawText(rect.left() + 24, textTop + painter.fontMetrics().ascent(), entry->text());
  }
}

bool TYListBox::ShowErrMsgBox(const QString& text) {
  YVclUtil::ShowErrMsgBox_Printf("TYListBox", "%s", text.toUtf8().constData());
  return true;
}

}  // namespace YVclCtrl
