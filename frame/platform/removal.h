#pragma once

#include <QString>

#include <functional>

namespace Platform {

// Deletes every file and link below dir (never following a link), and each directory below it
// that ends up empty, reporting every file with its outcome. Read-only files are deleted too.
// What cannot be deleted stays; dir itself stays. `each` may be called from several threads at once.
void removeTreeContents(const QString &dir, const std::function<void(const QString &file, bool ok)> &each);

} // namespace Platform
