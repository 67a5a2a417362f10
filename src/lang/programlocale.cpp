#include "lang/programlocale.h"

#include "lang/texts.h"

QLocale ProgramLocale() {
    return LanguageIndex() == LangSlovak ? QLocale(QLocale::Slovak, QLocale::Slovakia)
                                         : QLocale(QLocale::Czech, QLocale::CzechRepublic);
}
