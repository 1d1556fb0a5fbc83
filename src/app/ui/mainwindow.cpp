#include "app/ui/mainwindow.h"

TfmMain::TfmMain(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("fmMain"));
    setWindowTitle(QStringLiteral("Tarnwick PRO"));
    resize(625, 400);
    setMinimumSize(350, 300);
}
