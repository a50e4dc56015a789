#pragma once

#include <QString>

// The three kinds of edition the uninstaller tells apart, by exact comparison of the edition name.
enum class EditionClass { Standard, Corvanta, Partner };

inline EditionClass editionClass(const QString &third)
{
    if (third.isEmpty())
        return EditionClass::Standard;
    return third == QLatin1String("Corvanta") ? EditionClass::Corvanta : EditionClass::Partner;
}
