#include "server/seed/seedhelpers.h"

#include "errors/apperror.h"
#include "server/store/schooldatabase.h"

#include <QSqlError>

BulkInsert::BulkInsert(SchoolDatabase &db, const QString &table, const QStringList &columns)
    : m_query(db.connection()) {
    QStringList marks;
    for (int i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");
    if (!m_query.prepare(
            QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                .arg(table, columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")))))
        throw AppError(QStringLiteral("seed: %1").arg(m_query.lastError().text()));
}

void BulkInsert::add(const QVariantList &values) {
    for (int i = 0; i < values.size(); ++i)
        m_query.bindValue(i, values[i]);
    if (!m_query.exec())
        throw AppError(QStringLiteral("seed: %1").arg(m_query.lastError().text()));
    ++m_count;
}

void SeedLookups(SchoolDatabase &db) {
    auto pairs = [&db](const QString &table, const QList<QStringList> &rows) {
        int id = 1;
        for (const QStringList &row : rows)
            db.run(QStringLiteral("INSERT INTO %1 VALUES (?, ?, ?)").arg(table),
                   {id++, row[0], row[1]});
    };
    pairs(QStringLiteral("USERTYPES"), {{"Administrátor", "Administrátor"},
                                        {"Manažer", "Manažér"},
                                        {"Lektor", "Lektor"},
                                        {"Klient", "Klient"}});
    pairs(QStringLiteral("USERLEVELS"), {{"Začátečník", "Začiatočník"},
                                         {"Mírně pokročilý", "Mierne pokročilý"},
                                         {"Středně pokročilý", "Stredne pokročilý"},
                                         {"Pokročilý", "Pokročilý"},
                                         {"Expert", "Expert"}});
    pairs(QStringLiteral("COURSES"), {{"Obecná angličtina", "Všeobecná angličtina"},
                                      {"Obchodní angličtina", "Obchodná angličtina"},
                                      {"Příprava na zkoušky", "Príprava na skúšky"},
                                      {"Konverzace", "Konverzácia"}});
    pairs(QStringLiteral("ORDERSTATUSES"),
          {{"Nová - čeká na platbu", "Nová - čaká na platbu"},
           {"Zaplacená", "Zaplatená"},
           {"Zaplacená a vyfakturovaná", "Zaplatená a vyfakturovaná"},
           {"Stornovaná", "Stornovaná"}});
    pairs(QStringLiteral("TTSTATUSES"), {{"Volný termín", "Voľný termín"},
                                         {"Rezervováno - nepotvrzeno", "Rezervované - nepotvrdené"},
                                         {"Rezervováno - potvrzeno", "Rezervované - potvrdené"},
                                         {"Odučeno", "Odučené"},
                                         {"Zameškáno klientem", "Zameškané klientom"},
                                         {"Zrušeno pozdě - placeno", "Zrušené neskoro - platené"},
                                         {"Zrušeno", "Zrušené"},
                                         {"Neodučeno lektorem", "Neodučené lektorom"}});
    struct Type {
        const char *cs, *sk, *dcs, *dsk;
        double hours, amount;
        int months, valid;
    };
    const Type types[] = {
        {"Balíček 10 lekcí", "Balíček 10 lekcií", "Deset šedesátiminutových lekcí s lektorem.",
         "Desať šesťdesiatminútových lekcií s lektorom.", 10, 3900, 6, 1},
        {"Balíček 20 lekcí", "Balíček 20 lekcií", "Dvacet lekcí se slevou, platnost rok.",
         "Dvadsať lekcií so zľavou, platnosť rok.", 20, 7400, 12, 1},
        {"Zkušební lekce", "Skúšobná lekcia", "Jedna lekce zdarma na vyzkoušení.",
         "Jedna lekcia zadarmo na vyskúšanie.", 1, 0, 1, 1},
        {"Intenzivní kurz 40 lekcí", "Intenzívny kurz 40 lekcií",
         "Čtyřicet lekcí pro rychlý pokrok.", "Štyridsať lekcií pre rýchly pokrok.", 40, 13900, 12,
         1},
        {"Balíček 5 lekcí (již nenabízíme)", "Balíček 5 lekcií (už neponúkame)", "Starší nabídka.",
         "Staršia ponuka.", 5, 2100, 3, 0},
    };
    int id = 1;
    for (const Type &t : types)
        db.run(
            QStringLiteral("INSERT INTO ORDERTYPES (IDORDERTYPE, IDJOB, TYPETEXT_CS, TYPETEXT_SK,"
                           " DESCRIPTION_CS, DESCRIPTION_SK, TEACHHOURS, AMOUNT, EXPIREMONTHS,"
                           " VALID) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {id++, kSeedJob, QString::fromUtf8(t.cs), QString::fromUtf8(t.sk),
             QString::fromUtf8(t.dcs), QString::fromUtf8(t.dsk), t.hours, t.amount, t.months,
             t.valid});
}

QString AsciiName(const QString &text) {
    QString out;
    for (QChar c : text.normalized(QString::NormalizationForm_D))
        if (c.unicode() < 128 && c.isLetterOrNumber())
            out += c.toLower();
    return out;
}

QStringList UserColumns() {
    return {"IDUSER",    "IDJOB",      "USERTYPE",       "USERLEVEL",
            "COURSE",    "USERACTIVE", "LOGINNAME",      "PASSHASH",
            "TITLE",     "FIRSTNAME",  "SURNAME",        "EMAIL",
            "SKYPENICK", "WHENBORN",   "ADDRESSNAME_F",  "STREET_F",
            "CITY_F",    "ZIP_F",      "COUNTRY_F",      "PHONENUMBER",
            "BOOKIDS",   "HOURDEBIT",  "PROGTESTRESULT", "WHENCONFIRMREGIST"};
}

SeedUser MakeSeedUser(qint64 id, int type, const QString &login, const QString &passHash,
                      const QString &title, const QString &firstName, const QString &surname,
                      bool slovak) {
    SeedUser u;
    u.id = id;
    u.type = type;
    u.login = login;
    u.passHash = passHash;
    u.title = title;
    u.firstName = firstName;
    u.surname = surname;
    u.slovak = slovak;
    return u;
}

QVariantList UserValues(const SeedUser &u) {
    const QString ascii = AsciiName(u.firstName) + QLatin1Char('.') + AsciiName(u.surname);
    const QDate born = QDate(1965 + int(u.id * 7 % 40), 1 + int(u.id % 12), 1 + int(u.id * 3 % 28));
    return {u.id,
            kSeedJob,
            u.type,
            u.level ? QVariant(u.level) : QVariant(),
            u.course ? QVariant(u.course) : QVariant(),
            u.active ? 1 : 0,
            u.login,
            u.passHash,
            u.title.isEmpty() ? QVariant() : QVariant(u.title),
            u.firstName,
            u.surname,
            ascii + QStringLiteral("@example.cz"),
            ascii.left(20) + QStringLiteral(".skype"),
            QDateTime(born, QTime(0, 0)),
            u.firstName + QLatin1Char(' ') + u.surname,
            u.street,
            u.city,
            u.zip,
            u.slovak ? QStringLiteral("Slovensko") : QStringLiteral("Česká republika"),
            QStringLiteral("+42%1 7%2")
                .arg(u.slovak ? 1 : 0)
                .arg(u.id * 7919 % 100000000, 8, 10, QLatin1Char('0')),
            u.bookIds,
            u.hourDebit,
            u.testResult.isEmpty() ? QVariant() : QVariant(u.testResult),
            u.registered};
}

QStringList OrderColumns() {
    return {"IDORDER",     "IDUSER",           "IDJOB",          "ORDERTYPE",  "WHENORDER",
            "VARSYMBOL",   "TYPETEXT",         "AMOUNT",         "TEACHHOURS", "EXPIREMONTHS",
            "ORDERSTATUS", "WHENSTATUSCHANGE", "WHOSTATUSCHANGE"};
}

QStringList OrderHistColumns() {
    return {"IDORDERHIST", "IDORDER", "WHENCHANGE", "OLDSTATUS", "NEWSTATUS", "WHOCHANGE"};
}

QStringList TimetableColumns() {
    return {"IDTIMETABLE", "IDJOB",           "IDTEACHER",        "IDUSER",         "WHENHOUR",
            "HOURS",       "TIMETABLESTATUS", "WHENSTATUSCHANGE", "WHOSTATUSCHANGE"};
}

QStringList TtHistColumns() {
    return {"IDTIMETABLEHIST", "IDTIMETABLE", "WHENCHANGE", "WHOCHANGE", "OLDSTATUS",
            "NEWSTATUS",       "OLDTEACHER",  "NEWTEACHER", "OLDUSER",   "NEWUSER"};
}

QStringList LoginColumns() {
    return {"IDLOGIN",      "IDUSER",        "WHENLOGIN",      "LOGINIP",
            "LOGINTYPE",    "LOGINVERSION",  "LOGINNAME",      "LOGINJOB",
            "LOGINENVLANG", "LOGINBOOKSVER", "LOGINSKYPESVER", "LOGINOSVER",
            "LOGINSSL",     "LOGINPROXY",    "LOGINPOLLING",   "SUCCESS"};
}

QStringList MessageColumns() {
    return {"IDMSG",        "IDJOB",       "IDENVLANG", "MSGTYPE",    "EMAILTO",
            "WHOINITIATOR", "WHORECEIVER", "WHENSENT",  "WHENREADED", "EMAILSUBJECT",
            "EMAILBODY",    "EMAILSENT",   "IDREF"};
}
