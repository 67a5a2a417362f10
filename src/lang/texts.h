#pragma once

#include <QString>
#include <QStringList>

// Interface language indexes: 2 Czech, 3 Slovak (1 is reserved and never used).
enum LanguageIndexValue { LangCzech = 2, LangSlovak = 3 };

// The current interface language index (2 until DetermineLanguage runs).
int LanguageIndex();
// Sets the language index directly (start-up code and tests).
void SetLanguageIndex(int index);
// The system language identifier of a language index (0 for an unusable index).
int LanguageIdentifier(int index);
// The user's default system locale as a language identifier (0x0405 Czech, 0x041B Slovak, ...).
int SystemLanguageIdentifier();
// Chooses the language once at start-up from the LangID setting text (empty when the
// settings file has none) and the system's language identifier; returns the index.
int DetermineLanguage(const QString &langIdSetting, int systemLanguageId);

// Text of common entry 1..199 in the current language; raises AppError when out of range
// or empty.
QString CommonText(int number);
// Text of application entry 1..449 in the current language (empty entries give "");
// raises AppError when out of range.
QString AppText(int number);
// A common entry always taken from the Czech table.
QString CommonTextCzech(int number);

// Texts that the client table shows by itself (invalid date, invalid number for a field,
// delete-record question). ReplaceStandardTableTexts sets them from the Czech common table.
struct StandardTableTexts {
    QString invalidDate = QStringLiteral("'%s' is not a valid date");
    QString invalidFieldFloat =
        QStringLiteral("'%s' is not a valid floating point value for field '%s'");
    QString deleteRecordQuestion = QStringLiteral("Delete record?");
};
const StandardTableTexts &TableTexts();
void ReplaceStandardTableTexts();
