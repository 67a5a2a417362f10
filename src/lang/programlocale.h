#pragma once

#include <QLocale>

// The locale of the interface language (Czech or Slovak): dates, times and numbers are
// written in it whatever the machine's own locale is.
QLocale ProgramLocale();
