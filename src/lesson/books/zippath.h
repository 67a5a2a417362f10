#pragma once

#include <QString>

// The place of a stored entry name below the target folder, as a relative path with "/"
// between its parts: "/", "//" and "\" separate, anything up to and including a drive prefix
// (":\" or ":/") is dropped, and empty and "." parts vanish. A name that would leave the
// target folder (a ".." part, an absolute path, a NUL character) gives an empty text, and so
// does a name with no part left.
QString ZipTargetPath(const QString &storedName);
