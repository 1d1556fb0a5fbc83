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
           "  twk list FOLDER [--project P] [--assignee A] [--deadline today|tomorrow|week|overdue]\n"
           "           [--completed] [--sort 3level|COLUMN]   print the task list as the window orders it\n"
           "  twk add FOLDER NAME [--due DATE[ TIME]] [--project P] [--priority 1|2|3] [--assignee A]\n"
           "          [--notes TEXT]       add a task with the editor's defaults\n"
           "  twk done FOLDER ROW|--name NAME   check or uncheck a task (ROW as twk list numbers it)\n"
           "  twk export FOLDER --format tsv|semicolon|csv|ics [--log|--diary] [OUT]\n"
           "  twk import FOLDER FILE --format tsv|semicolon|csv|ics [--map FIELD=COLUMN,...]\n"
           "          [--first-row N]      FIELD: done name due project priority assignee attachment notes\n"
           "  twk lng compile SOURCE OUT   compile a language source into a language file\n"
           "  twk lng dump FILE            print a language file as language source\n";
    return status;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    // The program's own settings hold the editor's defaults and the sort keys.
    QCoreApplication::setOrganizationName(QStringLiteral("Oskavel"));
    QCoreApplication::setApplicationName(QStringLiteral("Tarnwick PRO"));
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty())
        return usage(2);
    const QString command = args.takeFirst();
    if (command == QLatin1String("check"))
        return runCheckCommand(args);
    if (command == QLatin1String("upgrade"))
        return runUpgradeCommand(args);
    for (const char* task : {"list", "add", "done", "export", "import"}) {
        if (command == QLatin1String(task))
            return runTaskCommand(command, args);
    }
    if (command == QLatin1String("lng"))
        return runLanguageCommand(args);
    if (command == QLatin1String("help") || command == QLatin1String("--help") || command == QLatin1String("-h"))
        return usage(0);
    QTextStream(stderr) << "twk: unknown command \"" << command << "\"\n";
    return usage(2);
}
