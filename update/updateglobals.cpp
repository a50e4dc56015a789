#include "updateglobals.h"

QString requestedVersion;
QString installRoot;
QString downloadRoot;
