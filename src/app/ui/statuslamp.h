#pragma once

#include <QColor>
#include <QWidget>

// The round indicator in the status bar: green while every task is shown, red while a filter
// hides some.
class FilterLamp final : public QWidget {
    Q_OBJECT
public:
    explicit FilterLamp(QWidget* parent = nullptr);
    void setFiltered(bool filtered);
    bool isFiltered() const { return m_filtered; }
    QSize sizeHint() const override { return {18, 16}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_filtered = false;
};
