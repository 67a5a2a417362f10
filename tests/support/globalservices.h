#pragma once

#include "base/session.h"
#include "data/dm.h"
#include "grid/services.h"
#include "net/requestrunner.h"
#include "net/settings/settings.h"

// The program's services as the globals hold them, for dialogs tested without the program's
// start-up (no book library, no relay link).
inline TServices GlobalServices() {
    TServices services;
    services.dm = &dm();
    services.settings = &Settings();
    services.session = &SessionValues();
    services.requests = &AppRequestRunner();
    return services;
}
