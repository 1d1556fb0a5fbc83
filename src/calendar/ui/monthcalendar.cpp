#include "calendar/ui/monthcalendar.h"

#include "calendar/calendarpanel.h"
#include "core/clock.h"
#include "core/formatsettings.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStatusTipEvent>
#include <QWheelEvent>

#include <QtMath>

#include <algorithm>

namespace {

constexpr int GridSize = MonthLayout::Rows; // rows and columns alike

const QColor weekendColor(176, 48, 48);
const QColor todayColor(214, 72, 24);

// Sunday = 0 ... Saturday = 6 of a grid column.
int weekdayOfColumn(int weekStart, int column)
{
    return (weekStart + column) % 7;
}

bool isWeekend(int weekday)
{
    return weekday == 0 || weekday == 6;
}

void paintStar(QPainter& painter, const QRectF& rect)
{
    const QPointF centre = rect.center();
    const qreal outer = std::min(rect.width(), rect.height()) / 2.0;
    const qreal inner = outer * 0.45;
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const qreal radius = i % 2 == 0 ? outer : inner;
        const qreal angle = -M_PI / 2 + i * M_PI / 5;
        star << centre + QPointF(radius * std::cos(angle), radius * std::sin(angle) + outer * 0.08);
    }
    painter.setPen(QPen(QColor(196, 120, 0), 0.8));
    painter.setBrush(QColor(250, 176, 5));
    painter.drawPolygon(star);
}

void paintLeaf(QPainter& painter, const QRectF& rect)
{
    const QPointF stem(rect.left() + 0.5, rect.bottom() - 0.5);
    const QPointF tip(rect.right() - 0.5, rect.top() + 0.5);
    QPainterPath leaf(stem);
    leaf.quadTo(rect.topLeft(), tip);
    leaf.quadTo(rect.bottomRight(), stem);
    painter.setPen(QPen(QColor(35, 120, 50), 0.8));
    painter.setBrush(QColor(64, 170, 80));
    painter.drawPath(leaf);
    painter.setPen(QPen(QColor(200, 240, 200), 0.7));
    painter.drawLine(stem + QPointF(1.5, -1.2), tip - QPointF(1.5, -1.2));
}

// The resting colour of a day tile: a faint shade of the base, warmer at the weekend.
QColor mixedTile(const QPalette& pal, bool weekend)
{
    const QColor base = pal.color(QPalette::Base);
    const QColor tint = weekend ? weekendColor : pal.color(QPalette::Highlight);
    const qreal share = weekend ? 0.05 : 0.06;
    return QColor::fromRgbF(float(base.redF() + (tint.redF() - base.redF()) * share),
                            float(base.greenF() + (tint.greenF() - base.greenF()) * share),
                            float(base.blueF() + (tint.blueF() - base.blueF()) * share));
}

} // namespace

TMonthCalendar::TMonthCalendar(const CalendarPanel& panel, QWidget* parent) : QWidget(parent), m_panel(panel)
{
    setObjectName(QStringLiteral("Calendar"));
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

QSize TMonthCalendar::sizeHint() const
{
    return {257, GridSize * (fontMetrics().height() + 6)};
}

QSize TMonthCalendar::minimumSizeHint() const
{
    return {GridSize * 24, GridSize * 10};
}

QRect TMonthCalendar::cellRect(int row, int column) const
{
    // Cells share the size equally; the remainder pixels spread over the grid.
    const int left = column * width() / GridSize;
    const int right = (column + 1) * width() / GridSize;
    const int top = row * height() / GridSize;
    const int bottom = (row + 1) * height() / GridSize;
    return {left, top, right - left, bottom - top};
}

bool TMonthCalendar::cellAt(const QPoint& pos, int* row, int* column) const
{
    if (!rect().contains(pos) || width() <= 0 || height() <= 0)
        return false;
    *column = std::min(GridSize - 1, pos.x() * GridSize / width());
    *row = std::min(GridSize - 1, pos.y() * GridSize / height());
    return true;
}

QPoint TMonthCalendar::dayCentre(int day) const
{
    int row = 0;
    int column = 0;
    if (!m_panel.monthLayout().cellOfDay(day, &row, &column))
        return {};
    return cellRect(row, column).center();
}

void TMonthCalendar::paintMark(QPainter& painter, MarkImage image, const QRectF& rect)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    switch (image) {
    case MarkImage::Task: {
        // A small red tab in the corner: something is due that day.
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(224, 49, 49));
        painter.drawRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), 2.0, 2.0);
        break;
    }
    case MarkImage::Day:
        paintStar(painter, rect);
        break;
    case MarkImage::Leaf:
        paintLeaf(painter, rect);
        break;
    case MarkImage::BothDay:
        paintStar(painter, QRectF(rect.topLeft(), QSizeF(9, 9)));
        paintLeaf(painter, QRectF(rect.topLeft() + QPointF(10, 1), QSizeF(9, 7)));
        break;
    }
    painter.restore();
}

void TMonthCalendar::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    const QPalette& pal = palette();
    painter.fillRect(rect(), pal.color(QPalette::Base));

    const QRect header = cellRect(0, 0).united(cellRect(0, GridSize - 1));
    QColor band = pal.color(QPalette::Highlight);
    band.setAlpha(38);
    painter.fillRect(header, band);
    QColor line = pal.color(QPalette::Highlight);
    line.setAlpha(90);
    painter.setPen(line);
    painter.drawLine(header.bottomLeft(), header.bottomRight());

    for (int row = 0; row < GridSize; ++row)
        for (int column = 0; column < GridSize; ++column)
            paintCell(painter, row, column);
}

void TMonthCalendar::paintCell(QPainter& painter, int row, int column)
{
    const MonthLayout layout = m_panel.monthLayout();
    const QRect cell = cellRect(row, column);
    const QPalette& pal = palette();
    const int weekday = weekdayOfColumn(layout.weekStart(), column);
    const int pixelSize = std::clamp(cell.height() * 55 / 100, 8, 16);

    QFont font = this->font();
    font.setPixelSize(pixelSize);
    if (row == 0) {
        font.setBold(true);
        font.setPixelSize(std::max(8, pixelSize - 1));
        painter.setFont(font);
        painter.setPen(isWeekend(weekday) ? weekendColor : pal.color(QPalette::Text));
        painter.drawText(cell, Qt::AlignCenter, layout.cellText(row, column, FormatSettings::current()));
        return;
    }

    const int day = layout.dayAt(row, column);
    if (day == 0)
        return;
    const QDate date(layout.year(), layout.month(), day);
    const bool selected = date == m_panel.CalendarDate();
    const bool today = date == Clock::current().today();
    // Each day is a tile, so the marks at a tile's right edge clearly belong to its day.
    const QRect tile = cell.adjusted(1, 1, -1, -1);
    const QRectF inner(tile);

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QColor fill = mixedTile(pal, isWeekend(weekday));
    if (selected) {
        fill = pal.color(QPalette::Highlight);
        if (!hasFocus())
            fill = fill.lighter(112);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(inner, 3.0, 3.0);
    if (today) {
        painter.setPen(QPen(selected ? pal.color(QPalette::HighlightedText) : todayColor, 1.6));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(inner.adjusted(0.8, 0.8, -0.8, -0.8), 3.0, 3.0);
    }
    painter.restore();

    const DayMarkInfo& info = m_panel.monthDayInfo().day(day);
    font.setBold(selected || today || info.HasTasks);
    painter.setFont(font);
    QColor text = pal.color(QPalette::Text);
    if (selected)
        text = pal.color(QPalette::HighlightedText);
    else if (today)
        text = todayColor;
    else if (isWeekend(weekday))
        text = weekendColor;
    painter.setPen(text);
    // The number sits at the cell's left with a small indent; the marks take the right edge.
    painter.drawText(tile.adjusted(2 + 1, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, QString::number(day));

    for (const MarkPlacement& mark : markPlacements(info, tile))
        paintMark(painter, mark.image, QRectF(mark.rect));
}

void TMonthCalendar::mousePressEvent(QMouseEvent* event)
{
    int row = 0;
    int column = 0;
    if (event->button() == Qt::LeftButton && cellAt(event->position().toPoint(), &row, &column)) {
        const MonthLayout layout = m_panel.monthLayout();
        if (const int day = layout.dayAt(row, column); day > 0)
            Q_EMIT dayClicked(QDate(layout.year(), layout.month(), day));
    }
    QWidget::mousePressEvent(event);
}

void TMonthCalendar::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        Q_EMIT doubleClicked();
}

void TMonthCalendar::mouseMoveEvent(QMouseEvent* event)
{
    updateHint(event->position().toPoint());
    QWidget::mouseMoveEvent(event);
}

void TMonthCalendar::updateHint(const QPoint& pos)
{
    int row = 0;
    int column = 0;
    if (!cellAt(pos, &row, &column))
        return;
    // Over the header or an empty cell the last day's hint stays.
    const std::optional<QString> hint = m_panel.cellHint(row, column);
    if (!hint || *hint == m_hint)
        return;
    m_hint = *hint;
    setToolTip(m_hint);
    QStatusTipEvent tip(m_hint);
    QCoreApplication::sendEvent(this, &tip);
}

void TMonthCalendar::keyPressEvent(QKeyEvent* event)
{
    const QDate date = m_panel.CalendarDate();
    switch (event->key()) {
    case Qt::Key_Left:
        Q_EMIT dayClicked(date.addDays(-1));
        break;
    case Qt::Key_Right:
        Q_EMIT dayClicked(date.addDays(1));
        break;
    case Qt::Key_Up:
        Q_EMIT dayClicked(date.addDays(-7));
        break;
    case Qt::Key_Down:
        Q_EMIT dayClicked(date.addDays(7));
        break;
    case Qt::Key_PageUp:
        Q_EMIT monthStepRequested(-1);
        break;
    case Qt::Key_PageDown:
        Q_EMIT monthStepRequested(1);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void TMonthCalendar::wheelEvent(QWheelEvent* event)
{
    m_wheelAngle += event->angleDelta().y();
    while (std::abs(m_wheelAngle) >= 120) {
        const int step = m_wheelAngle > 0 ? -1 : 1; // rolling away goes back in time
        m_wheelAngle += step * 120;
        Q_EMIT monthStepRequested(step);
    }
    event->accept();
}
