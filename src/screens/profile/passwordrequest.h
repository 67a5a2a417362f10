#pragma once

#include <QByteArray>
#include <QString>

// The data of the "changepass" request for a new password: "pass=" and the password's UTF-8
// bytes fully form-encoded, so that "&", "=", "+", "%" and blanks reach the server intact
// (it decodes the value as it decodes the sign-in password).
QByteArray ChangePasswordData(const QString &password);
// The data of the staff's password reset for a user: "iduser=" and the id.
QByteArray ResetPasswordData(int idUser);
