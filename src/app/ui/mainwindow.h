#pragma once

#include <QMainWindow>

// The program's main window. For now the empty shell that carries the caption.
class TfmMain final : public QMainWindow {
    Q_OBJECT
public:
    explicit TfmMain(QWidget* parent = nullptr);
};
