#include "app/screenfactory.h"

#include "app/tfmain.h"
#include "lesson/tfrlearn.h"
#include "screens/tfrorder.h"
#include "screens/tfrtimetable.h"

#include <QLabel>
#include <QVBoxLayout>

namespace {

// An empty screen for a slot whose real screen is not part of the program yet.
TScreen *placeholder() {
    auto *screen = new TScreen;
    auto *layout = new QVBoxLayout(screen);
    layout->addWidget(new QLabel(screen));
    return screen;
}

} // namespace

namespace ScreenFactory {

// One line per screen: the main window's slot, then the screen that fills it.
std::array<TScreen *, 4> createScreens() {
    std::array<TScreen *, 4> screens{};
    screens[Tfmain::Orders] = new Tfrorder;
    screens[Tfmain::Timetable] = new Tfrtimetable;
    screens[Tfmain::Users] = placeholder();
    screens[Tfmain::Learn] = new Tfrlearn;
    return screens;
}

} // namespace ScreenFactory
