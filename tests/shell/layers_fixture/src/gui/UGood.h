#pragma once
#include <QObject>
#include "display/UProfileHost.h"
