#pragma once

class Tfeduser;
struct TServices;

// The one way into the user dialog for the orders, timetable, users and lesson screens.

// Shows the user dialog modally for one user: opens cd_user when it is closed, restricts it
// to "IDUSER=" the id, shows the dialog and lifts the restriction afterwards, also after an
// error. A user who is not in cd_user shows the dialog on an empty record.
void ShowUserDialogFor(const TServices &services, int idUser);

// The dialog itself, created on first use and reused until the program ends (the users
// list takes it as its detail form for the current record of cd_user).
Tfeduser &UserDialog(const TServices &services);

// At sign-out: empties the dialog's book list, so that the next session fills it from its
// own library.
void ClearUserDialogBooks();
