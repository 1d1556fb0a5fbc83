#include "app/ui/toolbarflowlayout.h"

#include <QWidget>

#include <memory>

TToolbarFlowLayout::TToolbarFlowLayout(QWidget* parent) : QLayout(parent)
{
    setSpacing(0);
}

TToolbarFlowLayout::~TToolbarFlowLayout()
{
    // The layout owns its items (not their widgets).
    while (QLayoutItem* item = takeAt(0)) {
        const std::unique_ptr<QLayoutItem> owned(item);
    }
}

void TToolbarFlowLayout::setWrap(bool wrap)
{
    m_wrap = wrap;
    invalidate();
}

void TToolbarFlowLayout::addItem(QLayoutItem* item)
{
    m_items.append(item);
}

int TToolbarFlowLayout::count() const
{
    return int(m_items.size());
}

QLayoutItem* TToolbarFlowLayout::itemAt(int index) const
{
    return m_items.value(index);
}

QLayoutItem* TToolbarFlowLayout::takeAt(int index)
{
    return index >= 0 && index < m_items.size() ? m_items.takeAt(index) : nullptr;
}

Qt::Orientations TToolbarFlowLayout::expandingDirections() const
{
    return {};
}

bool TToolbarFlowLayout::hasHeightForWidth() const
{
    return m_wrap;
}

int TToolbarFlowLayout::heightForWidth(int width) const
{
    return arrange(QRect(0, 0, width, 0), false);
}

QSize TToolbarFlowLayout::minimumSize() const
{
    // Wrapping, the narrowest toolbar still shows its widest button; otherwise it may be cut.
    QSize size;
    for (const QLayoutItem* item : m_items)
        size = size.expandedTo(item->minimumSize());
    const QMargins m = contentsMargins();
    return m_wrap ? size.grownBy(m) : QSize(0, size.height() + m.top() + m.bottom());
}

QSize TToolbarFlowLayout::sizeHint() const
{
    int width = 0;
    int height = 0;
    for (const QLayoutItem* item : m_items) {
        width += item->sizeHint().width() + spacing();
        height = std::max(height, item->sizeHint().height());
    }
    const QMargins m = contentsMargins();
    return QSize(width, height).grownBy(m);
}

void TToolbarFlowLayout::setGeometry(const QRect& rect)
{
    QLayout::setGeometry(rect);
    arrange(rect, true);
}

int TToolbarFlowLayout::arrange(const QRect& rect, bool apply) const
{
    const QRect area = rect.marginsRemoved(contentsMargins());
    int x = area.x();
    int y = area.y();
    int rowHeight = 0;
    for (QLayoutItem* item : m_items) {
        const QSize size = item->sizeHint();
        if (m_wrap && x > area.x() && x + size.width() > area.right() + 1) {
            x = area.x();
            y += rowHeight + spacing();
            rowHeight = 0;
        }
        if (apply) {
            const bool fits = m_wrap || x + size.width() <= area.right() + 1;
            item->setGeometry(QRect(QPoint(x, y), size));
            if (QWidget* widget = item->widget())
                widget->setVisible(fits);
        }
        x += size.width() + spacing();
        rowHeight = std::max(rowHeight, size.height());
    }
    const QMargins m = contentsMargins();
    return y + rowHeight - rect.y() + m.bottom();
}
