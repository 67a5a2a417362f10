#include "seam/guard.h"

#include "errors/apperror.h"
#include "seam/messagebox.h"

bool RunGuarded(const std::function<void()> &body) {
    try {
        body();
        return true;
    } catch (const SilentAbort &) {
    } catch (const AppError &e) {
        AppMessageBox(e.message(), mtError, mbOK, 0);
    } catch (const std::exception &e) {
        AppMessageBox(QString::fromUtf8(e.what()), mtError, mbOK, 0);
    }
    return false;
}
