#include "core/ui/programicons.h"

#include <QHash>

QIcon programImage(const char* name)
{
    return QIcon(QStringLiteral(":/icons/") + QLatin1String(name) + QStringLiteral(".svg"));
}

QIcon programIcon()
{
    return programImage("tarnwick");
}

QIcon toolbarImage(int image)
{
    static const QHash<int, const char*> names = {
        {0, "save"},        {1, "load"},       {2, "purge"},      {3, "tasklog"},   {4, "export"},
        {5, "print"},       {6, "minimize"},   {7, "exit"},       {8, "add"},       {9, "delete"},
        {10, "edit"},       {11, "check"},     {12, "showall"},   {13, "special"},  {14, "sort"},
        {15, "sortsetup"},  {16, "find"},      {17, "completedshown"},              {18, "autosize"},
        {19, "options"},    {20, "help"},      {21, "homepage"},  {22, "about"},    {23, "completedhidden"},
        {26, "filter"},
    };
    const char* name = names.value(image, nullptr);
    return name != nullptr ? programImage(name) : QIcon();
}

QIcon panelArrow(bool up)
{
    return programImage(up ? "up" : "down");
}
