#define ORVA_UNIT "UNToolsTemplate"
#include "ops/UNToolsTemplate.h"

// Both n-tools are enabled with at least one selected spectrum.
TNToolsTemplate::TNToolsTemplate(TSpecList &FileList, const char *ClassName, const QString &Caption,
                                 QWidget *Parent)
    : TOpTemplate(FileList, ClassName, Caption, 1, Parent) {}
