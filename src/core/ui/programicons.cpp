#include "core/ui/programicons.h"

#include <QHash>

QIcon programImage(const char* name)
{
    // Making an icon parses its drawing; the toolbar, the menus and the windows ask for the same
    // few again and again, and a shared icon costs nothing to hand out.
    static QHash<QString, QIcon> made;
    const QString path = QStringLiteral(":/icons/") + QLatin1String(name) + QStringLiteral(".svg");
    auto it = made.constFind(path);
    if (it == made.cend())
        it = made.insert(path, QIcon(path));
    return *it;
}

QIcon programIcon()
{
    return programImage("tarnwick");
}

QIcon toolbarImage(int image)
{
    static const QHash<int, const char*> names = {
        {0, "save"},      {1, "load"},     {2, "purge"}, {3, "tasklog"},    {4, "export"}, {5, "print"},
        {6, "minimize"},  {7, "exit"},     {8, "add"},   {9, "delete"},     {10, "edit"},  {11, "check"},
        {12, "showall"},  {13, "special"}, {14, "sort"}, {15, "sortsetup"}, {16, "find"},  {17, "completedshown"},
        {18, "autosize"}, {19, "options"}, {20, "help"}, {21, "homepage"},  {22, "about"}, {23, "completedhidden"},
        {26, "filter"},
    };
    const char* name = names.value(image, nullptr);
    return name != nullptr ? programImage(name) : QIcon();
}

QIcon panelArrow(bool up)
{
    return programImage(up ? "up" : "down");
}
