#include "screens/profile/passwordrequest.h"

#include "net/formencode.h"

QByteArray ChangePasswordData(const QString &password) {
    return "pass=" + FormEncode(password.toUtf8());
}

QByteArray ResetPasswordData(int idUser) {
    return "iduser=" + QByteArray::number(idUser);
}
