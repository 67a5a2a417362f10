#include "base/switches.h"

StartSwitches ParseSwitches(const QStringList &arguments) {
    StartSwitches s;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &arg = arguments[i];
        if (arg.size() < 2 || (arg[0] != u'/' && arg[0] != u'-'))
            continue;
        const QString name = arg.mid(1).toLower();
        s.install |= name == u"install";
        s.close |= name == u"close";
        s.updated |= name == u"updated";
        const QString option = name.startsWith(u'-') ? name.mid(1) : name;
        s.help |= option == u"help";
        if (option == u"log" && i + 1 < arguments.size())
            s.logFile = arguments[++i];
        else if (option.startsWith(u"log="))
            s.logFile = arg.mid(arg.indexOf(u'=') + 1);
    }
    return s;
}
