#pragma once

#include <QString>

// An invented Czech or Slovak person for the seeded schools.
struct DemoPerson {
    QString firstName;
    QString surname;
    bool female = false;
    bool slovak = false;
    QString city, street, zip;
};

// The n-th invented person: Czech and Slovak names, men and women in turn, with an address.
DemoPerson InventedPerson(int n);
