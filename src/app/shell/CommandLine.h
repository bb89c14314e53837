#pragma once

#include <QString>
#include <QStringList>

namespace corv {

// What the desktop program's command line asks for.
struct CommandLine {
    enum class Action { Run, Help, Version, BadUsage };
    Action action = Action::Run;
    QString document;  // the document to open; empty = a new document
    QString error;     // for BadUsage: what is wrong
};

// Reads the arguments (without the program name). Qt's own window options (-platform NAME,
// -style NAME, -reverse, ...) are let through for QApplication; "--" ends the options.
CommandLine ParseCommandLine(const QStringList& arguments);

// The texts printed for --help and --version.
QString UsageText();
QString VersionText();

// The arguments a restarted program gets to open `document` again; none for a new document.
QStringList RestartArguments(const QString& document);

}  // namespace corv
