#define ORVA_UNIT "UToolPanels"
#include "tools/UToolPanels.h"

#include "tools/UTool2.h"
#include "tools/UToolCrop.h"
#include "tools/UToolGaussVoigt.h"
#include "tools/UToolHost.h"
#include "tools/UToolMaximum.h"
#include "tools/UToolNormalize.h"
#include "tools/UToolSmoothSpline.h"
#include "tools/UToolStatistics.h"

void InstallToolPanels(TToolHost &Host, QWidget *Parent) {
  Host.AddTool(TToolKind::Statistics, new TToolStatistics(Host, Parent));
  Host.AddTool(TToolKind::Normalize, new TToolNormalize(Host, Parent));
  Host.AddTool(TToolKind::Crop, new TToolCrop(Host, Parent));
  Host.AddTool(TToolKind::GaussVoigt, new TToolGaussVoigt(Host, Parent));
  Host.AddTool(TToolKind::Maximum, new TToolMaximum(Host, Parent));
  Host.AddTool(TToolKind::SmoothSpline, new TToolSmoothSpline(Host, Parent));
  Host.AddTool(TToolKind::Tool2, new TTool2(Host, Parent));
}
