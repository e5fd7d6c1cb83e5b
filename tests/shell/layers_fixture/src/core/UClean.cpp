#include "core/UClean.h"
#include <vector>
#include "UVersion.h"
// #include <QString>
