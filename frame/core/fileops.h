#pragma once

#include <QString>

// Deleting files and trees as far as possible: read-only files too, locked ones left behind.
namespace FileOps {

enum Trace { Traced, Quiet };

// Deletes a file, a link (never what it points to) or a directory tree; emptied ancestors go
// with it, up to the first one that holds something else or is a protected folder.
void remove(const QString &path, Trace trace);

// Removes an empty directory and then each ancestor that became empty. True when the first
// directory was removed.
bool removeEmptyUpward(const QString &path);

} // namespace FileOps
