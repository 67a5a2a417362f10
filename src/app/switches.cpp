#include "app/switches.h"

StartSwitches ParseSwitches(const QStringList &arguments) {
    StartSwitches s;
    for (const QString &arg : arguments) {
        if (arg.size() < 2 || (arg[0] != u'/' && arg[0] != u'-'))
            continue;
        const QString name = arg.mid(1).toLower();
        s.install |= name == u"install";
        s.close |= name == u"close";
        s.updated |= name == u"updated";
    }
    return s;
}
