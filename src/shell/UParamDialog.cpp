#include "shell/UParamDialog.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>
#include <iterator>

#include "core/UFormat.h"
#include "core/UGlobalData.h"
#include "gui/UUiServices.h"

namespace {
QString Q(const std::string &S) { return QString::fromStdString(S); }
std::string S(const QLineEdit *E) { return E->text().toStdString(); }
} // namespace

TParamDialog::TParamDialog(TGlobalData &GlobalData, QWidget *Parent)
    : QDialog(Parent), pGlobalData(GlobalData) {
  setWindowTitle("Parameters");
  auto *V = new QVBoxLayout(this);
  auto *F = new QFormLayout;
  EdTAImUTC = new QLineEdit(this);
  EdLon = new QLineEdit(this);
  EdLat = new QLineEdit(this);
  EdHeight = new QLineEdit(this);
  EdOBSERVER = new QLineEdit(this);
  EdBSS_SITE = new QLineEdit(this);
  EdBSS_INST = new QLineEdit(this);
  EdBSS_INST->setMinimumWidth(360);
  F->addRow("TAI - UTC [s]", EdTAImUTC);
  F->addRow("Observer Longitude [deg]", EdLon);
  F->addRow("", new QLabel("positive West of Greenwich", this));
  F->addRow("Observer Latitude [deg]", EdLat);
  F->addRow("Observer Height [m]", EdHeight);
  F->addRow(new QLabel("FITS Keyword Defaults:", this));
  F->addRow("OBSERVER", EdOBSERVER);
  F->addRow("BSS_SITE", EdBSS_SITE);
  F->addRow("BSS_INST", EdBSS_INST);
  V->addLayout(F);
  auto *H = new QHBoxLayout;
  BuOK = new QPushButton("OK", this);
  BuCancel = new QPushButton("Cancel", this);
  BuOK->setDefault(true);
  H->addStretch();
  H->addWidget(BuOK);
  H->addWidget(BuCancel);
  V->addLayout(H);
  connect(BuOK, &QPushButton::clicked, this, [this] { Guarded([this] { BuOKClick(); }); });
  connect(BuCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TParamDialog::FormShow() {
  EdTAImUTC->setText(Q(Format("%1.10g", pGlobalData.TAImUTC())));
  EdLon->setText(Q(Format("%1.10g", pGlobalData.ObsLong())));
  EdLat->setText(Q(Format("%1.10g", pGlobalData.ObsLat())));
  EdHeight->setText(Q(Format("%1.10g", pGlobalData.ObsHeight())));
  EdOBSERVER->setText(Q(pGlobalData.OBSERVER()));
  EdBSS_SITE->setText(Q(pGlobalData.BSS_SITE()));
  EdBSS_INST->setText(Q(pGlobalData.BSS_INST()));
}

void TParamDialog::Execute() {
  FormShow();
  Ui().ShowModal(*this);
}

void TParamDialog::BuOKClick() {
  // The site must be one on Earth: a sign or unit slip (west as -200, a height in feet) would
  // only show up later as a wrong barycentric correction. Each number is converted in turn;
  // one that is not a number stops with the conversion's error, the numbers before it
  // stored. A number out of range stores nothing and names its field.
  struct TField {
    QLineEdit *Ed;
    void (*Set)(TGlobalData &, double);
    const char *Name;
    double Lo, Hi;
  };
  const TField Fields[] = {
      {EdTAImUTC, [](TGlobalData &G, double V) { G.SetTAImUTC(V); }, "TAI - UTC", -HUGE_VAL, HUGE_VAL},
      {EdLon, [](TGlobalData &G, double V) { G.SetObsLong(V); }, "Observer Longitude", -180, 180},
      {EdLat, [](TGlobalData &G, double V) { G.SetObsLat(V); }, "Observer Latitude", -90, 90},
      {EdHeight, [](TGlobalData &G, double V) { G.SetObsHeight(V); }, "Observer Height", -500, 10000},
  };
  double Values[std::size(Fields)];
  for (size_t i = 0; i < std::size(Fields); ++i) {
    const TField &F = Fields[i];
    double V = 0;
    try {
      V = StrToFloat(S(F.Ed));
    } catch (...) {
      for (size_t k = 0; k < i; ++k)
        Fields[k].Set(pGlobalData, Values[k]);
      F.Ed->setFocus();
      throw;
    }
    if (!(V >= F.Lo && V <= F.Hi)) {
      F.Ed->setFocus();
      Ui().ErrorBox(Format("%s must lie between %g and %g", F.Name, F.Lo, F.Hi));
      return;
    }
    Values[i] = V;
  }
  for (size_t i = 0; i < std::size(Fields); ++i)
    Fields[i].Set(pGlobalData, Values[i]);
  pGlobalData.SetOBSERVER(S(EdOBSERVER));
  pGlobalData.SetBSS_SITE(S(EdBSS_SITE));
  pGlobalData.SetBSS_INST(S(EdBSS_INST));
  accept();
}
