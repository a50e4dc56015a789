#pragma once

#include <QString>

// Set once at start-up, before the first worker starts, and only read afterwards.
extern QString requestedVersion; // the client version named on the command line
extern QString installRoot;      // installation directory, backslashes: where files are compared
extern QString downloadRoot;     // same text: where downloads land and leftovers are swept
