#pragma once

#include "calendar/monthmarks.h"

#include <QDate>
#include <QWidget>

class CalendarPanel;
class QPainter;

// The month calendar of the Monthly view page: a 7 by 7 grid of equal cells, the weekday
// abbreviations in row 0 and the days of the calendar date's month below, with the day marks
// drawn over the cells. It only shows what the calendar panel's logic holds; a chosen day goes
// back out through dayClicked and the panel moves the calendar date.
class TMonthCalendar final : public QWidget {
    Q_OBJECT
public:
    explicit TMonthCalendar(const CalendarPanel& panel, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // The cell rectangle of a grid position (row 0 is the header).
    QRect cellRect(int row, int column) const;
    // The grid position under a point; false outside the grid.
    bool cellAt(const QPoint& pos, int* row, int* column) const;
    // The centre of a day's cell of the shown month (tests click there).
    QPoint dayCentre(int day) const;

    // Draws one mark image into its place; shared with anything that shows the same marks.
    static void paintMark(QPainter& painter, MarkImage image, const QRectF& rect);

Q_SIGNALS:
    // A day cell was clicked or reached with the keyboard.
    void dayClicked(const QDate& date);
    // The wheel or Page Up/Down asked for the previous (-1) or next (+1) month.
    void monthStepRequested(int step);
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void paintCell(QPainter& painter, int row, int column);
    void updateHint(const QPoint& pos);

    const CalendarPanel& m_panel;
    QString m_hint;
    int m_wheelAngle = 0;
};
