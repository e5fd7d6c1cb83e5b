#pragma once
// The base of the small n-tools dialogs ("FFT", "Evaluate"): the "File(s)" list of the spectra
// selected when the dialog opens, OK and Cancel, and the show step of the operation dialogs.
#include "ops/UOpTemplate.h"

class TNToolsTemplate : public TOpTemplate {
  Q_OBJECT
public:
  // ClassName names the dialog in the show step's guard ("TNToolsFFT.FormShow: UE").
  TNToolsTemplate(TSpecList &FileList, const char *ClassName, const QString &Caption,
                  QWidget *Parent = nullptr);
};
