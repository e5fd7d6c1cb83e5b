#include "shell/UFileListCore.h"
