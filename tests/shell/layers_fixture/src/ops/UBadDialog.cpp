// A dialog that reaches up into the shell.
#include "ops/UBadDialog.h"
#include "shell/UFileList.h"
// #include "shell/UMain.h"
