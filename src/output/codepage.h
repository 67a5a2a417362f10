#pragma once

#include <QString>

// The characters Windows-1250 can hold: the text files of the program's own code page write
// the others as "?" and count them, so that the user can be told.
class TCodePage1250 {
public:
    // Replaces every character the code page cannot hold by "?"; the number replaced.
    static int Replace(QString &text);
    static bool Holds(QChar c);
};
