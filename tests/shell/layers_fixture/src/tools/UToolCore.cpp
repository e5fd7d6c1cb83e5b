#include "core/UBad.h"
#include "core/UClean.h"
