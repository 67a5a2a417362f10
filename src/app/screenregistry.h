#pragma once

#include "app/screenentry.h"

#include <QList>

// The screens of the main window, in the order of their top-bar buttons. Adding a screen
// is one entry here plus its own folder.
const QList<ScreenEntry> &ScreenRegistry();
