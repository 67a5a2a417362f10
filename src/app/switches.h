#pragma once

#include <QStringList>

// The command-line switches of the program ("/" or "-" before the name, case ignored).
struct StartSwitches {
    bool install = false;
    bool close = false;
    bool updated = false;
};

StartSwitches ParseSwitches(const QStringList &arguments);
