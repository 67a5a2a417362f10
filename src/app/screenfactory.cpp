#include "app/screenfactory.h"

#include "app/tfmain.h"
#include "lesson/screen/tfrlearn.h"
#include "screens/orders/tfrorder.h"
#include "screens/timetable/tfrtimetable.h"
#include "screens/users/tfrusers.h"

namespace ScreenFactory {

// One line per screen: the main window's slot, then the screen that fills it.
std::array<TScreen *, 4> createScreens() {
    std::array<TScreen *, 4> screens{};
    screens[Tfmain::Orders] = new Tfrorder;
    screens[Tfmain::Timetable] = new Tfrtimetable;
    screens[Tfmain::Users] = new Tfrusers;
    screens[Tfmain::Learn] = new Tfrlearn;
    return screens;
}

} // namespace ScreenFactory
