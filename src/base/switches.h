#pragma once

#include <QString>
#include <QStringList>

// The command-line switches of the program ("/" or "-" before the name, case ignored), and
// our own "--log FILE" (also "-log FILE" or "--log=FILE") that copies the log into a file
// and "--help" that lists them.
struct StartSwitches {
    bool install = false;
    bool close = false;
    bool updated = false;
    bool help = false; // "--help", "-help" or "/help": print the switches and end
    QString logFile;
};

StartSwitches ParseSwitches(const QStringList &arguments);
