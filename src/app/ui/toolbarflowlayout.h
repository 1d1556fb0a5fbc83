#pragma once

#include <QLayout>
#include <QList>

// Lays the toolbar's buttons out left to right; when wrapping, a button that does not fit goes to
// the next row and the toolbar grows to hold every row. Without wrapping, buttons past the right
// edge are hidden.
class TToolbarFlowLayout final : public QLayout {
public:
    explicit TToolbarFlowLayout(QWidget* parent = nullptr);
    ~TToolbarFlowLayout() override;

    void setWrap(bool wrap);
    bool wrap() const { return m_wrap; }

    void addItem(QLayoutItem* item) override;
    int count() const override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    Qt::Orientations expandingDirections() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;
    QSize minimumSize() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect& rect) override;

private:
    // Places (or, with apply false, only measures) the items in the rectangle; returns the height used.
    int arrange(const QRect& rect, bool apply) const;

    QList<QLayoutItem*> m_items;
    bool m_wrap = false;
};
