#include "tasks/ui/taskheader.h"

#include "tasks/taskview.h"
#include "tasks/ui/tasklistmodel.h"

#include <QPainter>
#include <QPixmap>
#include <QStyleOptionHeader>

TaskHeader::TaskHeader(const TaskView& view, const TaskListModel& model, QWidget* parent)
    : QHeaderView(Qt::Horizontal, parent), m_view(view), m_model(model)
{}

QPixmap TaskHeader::sortImage(bool ascending)
{
    QPixmap pixmap(8, 7);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(90, 90, 90));
    if (ascending)
        p.drawPolygon(QPolygonF({QPointF(0, 6.5), QPointF(8, 6.5), QPointF(4, 0.5)}));
    else
        p.drawPolygon(QPolygonF({QPointF(0, 0.5), QPointF(8, 0.5), QPointF(4, 6.5)}));
    return pixmap;
}

int TaskHeader::captionWidth(int logicalIndex) const
{
    if (logicalIndex <= 0)
        return 0;
    QFont bold = font();
    bold.setBold(true);
    const QFontMetrics fm(bold);
    const QString caption = displayColumnCaption(m_model.columnLayout().displayColumn(logicalIndex));
    // As laid out by paintSection: 3 pixels before the caption, 5 between it and the mark, 2 after.
    return 3 + fm.horizontalAdvance(caption) + 5 + fm.horizontalAdvance(QStringLiteral("3")) + sortImage(true).width() +
           2;
}

void TaskHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    if (!rect.isValid())
        return;
    QStyleOptionHeader option;
    initStyleOption(&option);
    option.rect = rect;
    option.section = logicalIndex;
    option.text.clear();
    painter->save();
    style()->drawControl(QStyle::CE_Header, &option, painter, this);

    const int display = m_model.columnLayout().displayColumn(logicalIndex);
    const QString caption = logicalIndex == 0 ? QString() : displayColumnCaption(display);
    QFont font = painter->font();
    font.setBold(m_view.isCaptionBold(display));
    painter->setFont(font);
    const QFontMetrics fm(font);
    const QPen textPen(palette().color(QPalette::WindowText));
    const int textTop = rect.top() + (rect.height() - fm.height()) / 2;

    const SortMark mark = m_displaySortMarks ? m_view.sortMark(display) : SortMark{};
    if (!mark.shown) {
        painter->setPen(textPen);
        painter->setClipRect(rect);
        painter->drawText(QRect(rect.left() + 3, textTop, rect.width() - 3, fm.height()), Qt::AlignLeft, caption);
        painter->restore();
        return;
    }

    const QPixmap image = sortImage(mark.ascending);
    const int markWidth = fm.horizontalAdvance(mark.text);
    const int dotsWidth = fm.horizontalAdvance(QStringLiteral("..."));
    const int available = rect.width() - 3 - 2;
    painter->setClipRect(rect);
    const int imageLeft = rect.right() + 1 - 2 - image.width();
    const int markLeft = imageLeft - markWidth;
    const auto drawMarkText = [&] {
        painter->setPen(QColor(0, 0, 255));
        painter->drawText(QRect(markLeft, textTop, markWidth, fm.height()), Qt::AlignLeft, mark.text);
    };
    if (fm.horizontalAdvance(caption) + 5 + markWidth + image.width() <= available) {
        painter->drawPixmap(imageLeft, rect.top() + 2, image);
        drawMarkText();
        painter->setPen(textPen);
        painter->drawText(QRect(rect.left() + 3, textTop, markLeft - rect.left() - 3, fm.height()), Qt::AlignLeft,
                          caption);
    } else if (image.width() + 5 + markWidth + dotsWidth <= available) {
        const int room = available - 5 - markWidth - image.width() - dotsWidth;
        QString shortened = caption;
        while (!shortened.isEmpty() && fm.horizontalAdvance(shortened) > room)
            shortened.chop(1);
        painter->drawPixmap(imageLeft, rect.top() + 2, image);
        drawMarkText();
        painter->setPen(textPen);
        const QString text = shortened + QStringLiteral("...");
        painter->drawText(QRect(rect.left() + 3, textTop, fm.horizontalAdvance(text), fm.height()), Qt::AlignLeft,
                          text);
    } else {
        painter->drawPixmap(imageLeft, rect.top() + 1, image);
        drawMarkText();
    }
    painter->restore();
}
