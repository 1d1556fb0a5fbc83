#include "commands.h"

int runCheckCommand(const QStringList&)
{
    return 2;
}

int runUpgradeCommand(const QStringList&)
{
    return 2;
}
