#include "tasks/ui/taskitemdelegate.h"

#include "core/clock.h"
#include "core/daynumber.h"
#include "core/settingsnames.h"
#include "core/settingsstore.h"
#include "core/tasktable.h"
#include "core/ui/programicons.h"
#include "tasks/columnlayout.h"
#include "tasks/taskview.h"
#include "tasks/ui/tasklistmodel.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>
#include <QPalette>
#include <QPixmap>

#include <algorithm>
#include <cmath>

namespace {

QColor settingsColor(const SettingsStore& settings, QLatin1String name, int defaultNumber)
{
    return SettingsStore::colorFromNumber(settings.readColor(Settings::Colors, name, defaultNumber));
}

constexpr int MarkSize = 9;

QPixmap drawMark(TaskItemDelegate::Mark mark)
{
    // From the program's picture set, at the screen's pixel ratio so they stay sharp when scaled.
    static const char* const names[] = {"markleaf", "markattach", "markrecurrence", "markalarm"};
    return programImage(names[int(mark)]).pixmap(QSize(MarkSize, MarkSize), qApp->devicePixelRatio());
}

} // namespace

TaskListStyle TaskListStyle::fromSettings(const SettingsStore& settings)
{
    TaskListStyle style;
    const QString family = settings.readString(Settings::Font, Settings::Name, QStringLiteral("Ms Sans Serif"));
    // The named font may not exist here; the system's interface font stands in for it.
    style.font = QFontDatabase::families().contains(family, Qt::CaseInsensitive) ? QFont(family) : QApplication::font();
    const int size = settings.readInteger(Settings::Font, Settings::Size, 8);
    if (size > 0)
        style.font.setPointSize(size);
    style.font.setBold(settings.readBool(Settings::Font, Settings::Bold, false));
    style.font.setItalic(settings.readBool(Settings::Font, Settings::Italic, false));
    style.lowColor = settingsColor(settings, Settings::Low, 0xFF0000);
    style.mediumColor = settingsColor(settings, Settings::Medium, 0x008000);
    style.highColor = settingsColor(settings, Settings::High, 0x000080);
    style.otherColor = settingsColor(settings, Settings::Advanced, 0x000000);
    style.overdueColor = settingsColor(settings, Settings::No, 0x0000FF);
    style.cursorColor = settingsColor(settings, Settings::Cursor, 0x00FFFF);
    style.defaultCursor = settings.readBool(Settings::Colors, Settings::DefaultCursor, true);
    style.overdue = settings.readBool(Settings::Other, Settings::Overdue, true);
    style.notesMarks = settings.readBool(Settings::Other, Settings::NotesMarks, true);
    style.horizLines = settings.readBool(Settings::Display, Settings::HorizLines, true);
    style.verticalLines = settings.readBool(Settings::Display, Settings::VerticalLines, true);
    return style;
}

TaskItemDelegate::TaskItemDelegate(TaskView& view, const TaskListModel& model, QObject* parent)
    : QStyledItemDelegate(parent), m_view(view), m_model(model)
{}

const QPixmap& TaskItemDelegate::markImage(Mark mark)
{
    static const QPixmap images[4] = {drawMark(Mark::Leaf), drawMark(Mark::Attach), drawMark(Mark::Recurrence),
                                      drawMark(Mark::Alarm)};
    return images[int(mark)];
}

QSize TaskItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    Q_UNUSED(index);
    return {option.rect.width(), rowHeight(m_style.font, m_style.horizLines)};
}

int TaskItemDelegate::rowHeight(const QFont& font, bool horizLines)
{
    const QFontMetrics metrics(font);
    // The text height is measured on letters that reach above and below the line; a line of the
    // font may need more.
    const int textHeight = std::max(metrics.height(), metrics.boundingRect(QStringLiteral("Ahgjpqy|")).height());
    return horizLines ? textHeight + 2 : textHeight;
}

QRect TaskItemDelegate::textRect(const QRect& cell, const QFontMetrics& metrics, bool horizLines)
{
    const int room = cell.height() - (horizLines ? 1 : 0);
    const int top = cell.top() + std::max(0, (room - metrics.height()) / 2);
    return {cell.left() + CellTextIndent, top, std::max(0, cell.width() - CellTextIndent), metrics.height()};
}

TaskItemDelegate::CheckGlyph TaskItemDelegate::checkGlyph(const QFont& listFont, const QRect& cell, bool horizLines)
{
    const QString mark(QChar(0x2714));
    CheckGlyph glyph;
    glyph.font = listFont;
    glyph.font.setPointSizeF(14);
    glyph.font.setBold(true);
    glyph.font.setItalic(false);
    glyph.font.setStrikeOut(false);
    const qreal room = cell.height() - (horizLines ? 1 : 0);
    QRectF ink = QFontMetricsF(glyph.font).tightBoundingRect(mark);
    // Font sizes do not scale the ink exactly: shrink until the mark fits the row.
    while (ink.height() > room && glyph.font.pointSizeF() > 2) {
        glyph.font.setPointSizeF(std::max(2.0, glyph.font.pointSizeF() * std::max(0.5, room / ink.height()) - 0.25));
        ink = QFontMetricsF(glyph.font).tightBoundingRect(mark);
    }
    glyph.baseline =
        QPointF(cell.left() + 4 - ink.left(), cell.top() + std::max(0.0, (room - ink.height()) / 2) - ink.top());
    glyph.ink = ink.translated(glyph.baseline);
    return glyph;
}

void TaskItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (m_view.Rebuilding || !index.isValid() || index.row() >= m_view.MirrorGrid.rowCount())
        return;
    const QRect cell = option.rect;
    const int row = index.row();
    const bool selected = row == m_view.currentRow();
    const QString& rowText = m_view.MirrorGrid.rowText(row);
    const int display = m_model.columnLayout().displayColumn(index.column());

    painter->save();
    const QPalette& palette = option.palette;
    QColor background = palette.color(QPalette::Base);
    if (selected)
        background = m_style.defaultCursor ? palette.color(QPalette::Highlight) : m_style.cursorColor;
    painter->fillRect(cell, background);

    if (m_style.horizLines || m_style.verticalLines) {
        painter->setPen(palette.color(QPalette::Mid));
        if (m_style.horizLines)
            painter->drawLine(cell.bottomLeft(), cell.bottomRight());
        if (m_style.verticalLines)
            painter->drawLine(cell.topRight(), cell.bottomRight());
    }

    const bool completed = isCompleted(TSortGrid::cellOf(rowText, colComplete));
    const QString text = displayCellText(rowText, display);
    if (display == 0 && text.isEmpty()) {
        if (completed) {
            const CheckGlyph check = checkGlyph(m_style.font, cell, m_style.horizLines);
            painter->setFont(check.font);
            painter->setPen(QColor(255, 0, 0));
            painter->setClipRect(cell);
            painter->drawText(check.baseline, QString(QChar(0x2714)));
        }
        painter->restore();
        return;
    }

    QFont font = m_style.font;
    font.setStrikeOut(completed);
    painter->setFont(font);

    QColor textColor;
    if (selected && m_style.defaultCursor) {
        textColor = palette.color(QPalette::HighlightedText);
    } else {
        switch (priorityLevel(TSortGrid::cellOf(rowText, colPriority))) {
        case PriorityLevel::Low:
            textColor = m_style.lowColor;
            break;
        case PriorityLevel::Medium:
            textColor = m_style.mediumColor;
            break;
        case PriorityLevel::High:
            textColor = m_style.highColor;
            break;
        case PriorityLevel::Other:
            textColor = m_style.otherColor;
            break;
        }
        if (m_style.overdue && isOverdue(TSortGrid::cellOf(rowText, colDue), Clock::current().now()))
            textColor = m_style.overdueColor;
    }
    painter->setPen(textColor);
    painter->setClipRect(cell);
    painter->drawText(textRect(cell, QFontMetrics(font), m_style.horizLines),
                      Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);

    if (index.column() == 1 && m_style.notesMarks) {
        const auto drawMarkAt = [&](Mark mark, int fromRight) {
            painter->drawPixmap(cell.right() + 1 - fromRight, cell.top() + 1, markImage(mark));
        };
        if (!TSortGrid::cellOf(rowText, colNotes).isEmpty())
            drawMarkAt(Mark::Leaf, 11);
        if (!TSortGrid::cellOf(rowText, colAttachment).isEmpty())
            drawMarkAt(Mark::Attach, 20);
        if (TSortGrid::cellOf(rowText, colRecurrence).toInt() > 0)
            drawMarkAt(Mark::Recurrence, 29);
        if (hasAlarm(TSortGrid::cellOf(rowText, colAlarm)) && !completed &&
            !TSortGrid::cellOf(rowText, colTaskName).isEmpty())
            drawMarkAt(Mark::Alarm, 40);
    }
    painter->restore();
}
