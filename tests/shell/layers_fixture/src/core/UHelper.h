#pragma once
#include <cmath>
#include <QString>
