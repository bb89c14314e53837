#include "app/shell/CommandLine.h"

#include <QFileInfo>

#ifndef CORVANTINE_VERSION
#define CORVANTINE_VERSION "0.0.0"
#endif

namespace corv {

namespace {

// Qt's generic options that QApplication takes out of the arguments itself.
bool IsQtOptionWithValue(const QString& option) {
    static const QStringList options = {
        QStringLiteral("platform"),   QStringLiteral("platformpluginpath"), QStringLiteral("platformtheme"),
        QStringLiteral("plugin"),     QStringLiteral("display"),            QStringLiteral("geometry"),
        QStringLiteral("qwindowgeometry"), QStringLiteral("qwindowicon"),   QStringLiteral("qwindowtitle"),
        QStringLiteral("style"),      QStringLiteral("stylesheet"),         QStringLiteral("session"),
        QStringLiteral("title"),      QStringLiteral("name"),
    };
    return options.contains(option);
}

bool IsQtFlag(const QString& option) {
    static const QStringList flags = {QStringLiteral("reverse"), QStringLiteral("widgetcount"),
                                      QStringLiteral("nograb"),  QStringLiteral("dograb"),
                                      QStringLiteral("sync"),    QStringLiteral("qmljsdebugger")};
    return flags.contains(option);
}

CommandLine Bad(const QString& error) {
    CommandLine cl;
    cl.action = CommandLine::Action::BadUsage;
    cl.error = error;
    return cl;
}

}  // namespace

CommandLine ParseCommandLine(const QStringList& arguments) {
    CommandLine cl;
    bool optionsEnded = false;
    bool haveDocument = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        const bool option = !optionsEnded && arg.size() > 1 && arg.startsWith(QLatin1Char('-'));
        if (!option) {
            if (haveDocument) {
                return Bad(QStringLiteral("only one document can be opened, got '%1' and '%2'")
                               .arg(cl.document, arg));
            }
            cl.document = arg;
            haveDocument = true;
            continue;
        }
        if (arg == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            cl.action = CommandLine::Action::Help;
            return cl;
        }
        if (arg == QLatin1String("--version") || arg == QLatin1String("-v")) {
            cl.action = CommandLine::Action::Version;
            return cl;
        }
        // Qt accepts its options with one or two dashes, the value after a space or "=".
        QString name = arg.mid(arg.startsWith(QLatin1String("--")) ? 2 : 1);
        const qsizetype eq = name.indexOf(QLatin1Char('='));
        const bool valueGiven = eq >= 0;
        if (valueGiven) {
            name.truncate(eq);
        }
        if (IsQtFlag(name)) {
            continue;
        }
        if (IsQtOptionWithValue(name)) {
            if (!valueGiven) {
                if (i + 1 >= arguments.size()) {
                    return Bad(QStringLiteral("option '%1' needs a value").arg(arg));
                }
                ++i;
            }
            continue;
        }
        return Bad(QStringLiteral("unknown option '%1'").arg(arg));
    }
    return cl;
}

QString UsageText() {
    return QStringLiteral(
        "Usage: corvantine [DOCUMENT]\n"
        "       corvantine --version | --help\n"
        "\n"
        "The desktop application of Corvantine: lay out the LEDs of an installation on a grid,\n"
        "wire them into controller lines, make the show as clips of RGB frames and write the\n"
        "controller data files. DOCUMENT, a project document (.cvn, or a .rar archive holding\n"
        "one), is opened at start; without it the program starts with a new document.\n"
        "\n"
        "Options:\n"
        "  -h, --help     print this help and exit\n"
        "  -v, --version  print the version and exit\n"
        "  --             end of options: the next argument is the document\n"
        "\n"
        "Qt's window options (-platform NAME, -style NAME, -geometry WxH+X+Y, -reverse, ...)\n"
        "are passed on to Qt.\n"
        "\n"
        "Exit status: 0 success, 1 start-up failed (the message says why), 2 bad usage.\n");
}

QString VersionText() { return QStringLiteral("corvantine " CORVANTINE_VERSION "\n"); }

QStringList RestartArguments(const QString& document) {
    if (document.isEmpty()) {
        return {};
    }
    // Absolute, so the name can never be read as an option or against another folder.
    return {QStringLiteral("--"), QFileInfo(document).absoluteFilePath()};
}

}  // namespace corv
