#include "screens/users/userdialogentry.h"

#include "data/dm.h"
#include "grid/services.h"
#include "screens/users/tfeduser.h"

#include <QCoreApplication>
#include <QPointer>

namespace {

QPointer<Tfeduser> &instance() {
    static QPointer<Tfeduser> dialog;
    return dialog;
}

void deleteDialog() {
    delete instance().data();
}

} // namespace

Tfeduser &UserDialog(const TServices &services) {
    QPointer<Tfeduser> &dialog = instance();
    if (!dialog) {
        // A top-level dialog that goes with the application.
        dialog = new Tfeduser(services);
        qAddPostRoutine(deleteDialog);
    }
    return *dialog;
}

void ShowUserDialogFor(const TServices &services, int idUser) {
    TClientTable &users = services.dm->cd_user;
    if (!users.Active())
        users.Open();
    users.SetFilter(QStringLiteral("IDUSER=") + QString::number(idUser));
    users.SetFiltered(true);
    const auto lift = [&users] {
        users.SetFiltered(false);
        users.SetFilter(QString());
    };
    try {
        Tfeduser &dialog = UserDialog(services);
        dialog.Prepare();
        dialog.exec();
    } catch (...) {
        UserDialog(services).Release();
        lift();
        throw;
    }
    lift();
}

void ClearUserDialogBooks() {
    if (instance())
        instance()->ClearBooks();
}
