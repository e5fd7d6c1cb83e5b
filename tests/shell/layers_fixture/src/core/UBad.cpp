// Needs a string class.
#include "core/UBad.h"
#include <QtCore/QString>
