#include "app/ui/mainwindow.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Oskavel"));
    QApplication::setApplicationName(QStringLiteral("Tarnwick PRO"));
    TfmMain window;
    window.show();
    return app.exec();
}
