#pragma once
#include "UHelper.h"
