#pragma once
// "Binary Operations S x S" for exactly two selected spectra S1 and S2 (in list order, or
// exchanged with "Swap Files"): point by point, or one of the Fourier operations. The result
// has no single source: it gets an "Untitled-" name and a fresh header.
#include <QDialog>

class QLabel;
class QPushButton;
class TSpecList;
class TRadioGroup;
class TSpec32;

class TOpBinary1 : public QDialog {
  Q_OBJECT
public:
  explicit TOpBinary1(TSpecList &FileList, QWidget *Parent = nullptr);

  // The show step, then the dialog modally.
  void Execute();
  void FormShow();
  void BuOKClick();
  void BuCancelClick();
  void BuSwapClick();

  TSpec32 *Source1() const { return pSource1; }
  TSpec32 *Source2() const { return pSource2; }
  TSpec32 *Destination() const { return pDestination; }
  int Size() const { return pSize; }

  // "Add", "Subtract", "Multiply", "Divide", "Cross-correlate", "Convolve", "De-Convolve".
  TRadioGroup *RgOp;
  QLabel *LaFile1;
  QLabel *LaFile2;
  QPushButton *BuSwap;
  QPushButton *BuOK;
  QPushButton *BuCancel;

private:
  void Apply();

  TSpecList &pFileList;
  TSpec32 *pSource1 = nullptr;
  TSpec32 *pSource2 = nullptr;
  TSpec32 *pDestination = nullptr;
  int pSize = 0;
};
