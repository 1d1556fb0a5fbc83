#include "app/ui/statuslamp.h"

#include <QPainter>

FilterLamp::FilterLamp(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FilterLamp"));
    setFixedSize(sizeHint());
    setFiltered(false);
}

void FilterLamp::setFiltered(bool filtered)
{
    m_filtered = filtered;
    setToolTip(filtered ? QStringLiteral("Filter applied") : QStringLiteral("All records shown"));
    update();
}

void FilterLamp::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(64, 64, 64), 1));
    painter.setBrush(m_filtered ? QColor(255, 0, 0) : QColor(0, 255, 0));
    const int d = std::min(width(), height()) - 4;
    painter.drawEllipse(QRectF((width() - d) / 2.0, (height() - d) / 2.0, d, d));
}
