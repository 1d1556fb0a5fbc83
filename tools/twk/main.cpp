#include "commands.h"

#include <QCoreApplication>
#include <QTextStream>

namespace {

int usage(int status)
{
    QTextStream out(status == 0 ? stdout : stderr);
    out << "Usage:\n"
           "  twk check FOLDER             check every table of a data set folder (changes nothing)\n"
           "  twk upgrade FOLDER           rewrite every present table in the current format\n"
           "  twk lng compile SOURCE OUT   compile a language source into a language file\n"
           "  twk lng dump FILE            print a language file as language source\n";
    return status;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty())
        return usage(2);
    const QString command = args.takeFirst();
    if (command == QLatin1String("check"))
        return runCheckCommand(args);
    if (command == QLatin1String("upgrade"))
        return runUpgradeCommand(args);
    if (command == QLatin1String("lng"))
        return runLanguageCommand(args);
    if (command == QLatin1String("help") || command == QLatin1String("--help") || command == QLatin1String("-h"))
        return usage(0);
    QTextStream(stderr) << "twk: unknown command \"" << command << "\"\n";
    return usage(2);
}
