#include "server/seed/demopeople.h"

#include <QStringList>

namespace {

const QStringList kCzechMen{"Jakub", "Ondřej", "Vojtěch", "Lukáš", "Martin", "Filip", "Radek",
                            "Jiří",  "Adam",   "Michal",  "Vít",   "Šimon",  "Libor", "Přemysl"};
const QStringList kCzechWomen{"Tereza", "Kateřina", "Markéta", "Veronika", "Barbora",
                              "Hana",   "Klára",    "Lenka",   "Šárka",    "Alžběta",
                              "Jitka",  "Radka",    "Ivana"};
const QStringList kSlovakMen{"Matej", "Juraj",     "Marek",     "Ľubomír", "Peter",    "Dušan",
                             "Ivan",  "Rastislav", "Branislav", "Štefan",  "Miroslav", "Ondrej"};
const QStringList kSlovakWomen{"Jana",     "Zuzana", "Lucia",  "Katarína", "Ľubica",   "Mária",
                               "Dominika", "Silvia", "Andrea", "Romana",   "Gabriela", "Monika"};
// Surnames as pairs: the man's form, the woman's form.
const QList<QStringList> kCzechSurnames{
    {"Pospíšil", "Pospíšilová"}, {"Veselý", "Veselá"},       {"Doležal", "Doležalová"},
    {"Kříž", "Křížová"},         {"Sedláček", "Sedláčková"}, {"Zeman", "Zemanová"},
    {"Fiala", "Fialová"},        {"Šťastný", "Šťastná"},     {"Bartoš", "Bartošová"},
    {"Vlček", "Vlčková"},        {"Růžička", "Růžičková"},   {"Beneš", "Benešová"},
    {"Holub", "Holubová"},       {"Kolář", "Kolářová"},      {"Čermák", "Čermáková"}};
const QList<QStringList> kSlovakSurnames{
    {"Horváth", "Horváthová"}, {"Baláž", "Balážová"},   {"Tóth", "Tóthová"},
    {"Lukáč", "Lukáčová"},     {"Molnár", "Molnárová"}, {"Oravec", "Oravcová"},
    {"Šimko", "Šimková"},      {"Kollár", "Kollárová"}, {"Mináč", "Mináčová"},
    {"Kráľ", "Kráľová"},       {"Vaško", "Vašková"},    {"Ďurica", "Ďuricová"}};
const QList<QStringList> kCzechPlaces{
    {"Brno", "Údolní", "602 00"},      {"Olomouc", "Třída Svobody", "779 00"},
    {"Plzeň", "Klatovská", "301 00"},  {"Praha", "Vinohradská", "120 00"},
    {"Ostrava", "Nádražní", "702 00"}, {"Liberec", "Husova", "460 01"}};
const QList<QStringList> kSlovakPlaces{{"Bratislava", "Obchodná", "811 06"},
                                       {"Košice", "Hlavná", "040 01"},
                                       {"Žilina", "Národná", "010 01"},
                                       {"Nitra", "Štefánikova", "949 01"}};

} // namespace

DemoPerson InventedPerson(int n) {
    DemoPerson p;
    p.slovak = n % 3 == 2;
    p.female = n % 2 == 1;
    const int k = n / 2;
    const QStringList &first =
        p.slovak ? (p.female ? kSlovakWomen : kSlovakMen) : (p.female ? kCzechWomen : kCzechMen);
    const QList<QStringList> &surnames = p.slovak ? kSlovakSurnames : kCzechSurnames;
    const QList<QStringList> &places = p.slovak ? kSlovakPlaces : kCzechPlaces;
    p.firstName = first[(k * 5 + n) % first.size()];
    p.surname = surnames[(k * 7 + n / 3) % surnames.size()][p.female ? 1 : 0];
    const QStringList &place = places[n % places.size()];
    p.city = place[0];
    p.street = place[1] + QLatin1Char(' ') + QString::number(1 + (n * 37) % 180);
    p.zip = place[2];
    return p;
}
