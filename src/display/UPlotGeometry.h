#pragma once
// The arithmetic of the plot window, free of any window: the mapping between sample indexes,
// y values and pixels, the zoom steps and their limits, the tick algorithm of both scales and
// the vertex lists of the curve (plain, stepped and reduced to one span per pixel column).
// Pixels are plot-image coordinates: x grows to the right from the first sample, y grows
// downwards from the top of the plot area (0) to its bottom edge (PlotH).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Round to the nearest integer, halves to even (the rounding of the whole plot window).
int32_t RoundEven(double V);

struct TPlotMapping {
  double HZoom = 1;   // pixels per sample (may be below 1)
  double PlotMax = 1; // y value at the top edge
  double Slope = -1;  // PlotH / (PlotMin - PlotMax): pixels per y unit, negative
  int32_t PlotH = 0;  // height of the plot area in pixels

  // Makes the mapping of a plot area PlotH pixels high showing PlotMin ... PlotMax.
  static TPlotMapping Make(double HZoom, double PlotMin, double PlotMax, int32_t PlotH);

  // floor(i * HZoom + 1e-10): left pixel of sample i.
  int32_t IndToScr(int64_t i) const;
  // floor(x / HZoom + 1e-10): the sample under pixel x.
  int32_t ScrToInd(int64_t x) const;
  // (y - PlotMax) * Slope rounded half to even, clamped to 0 ... PlotH. A NaN lands on the top edge.
  int32_t VToScreen(double y) const;
  // k / Slope + PlotMax, not clamped.
  double ScreenToV(double k) const { return k / Slope + PlotMax; }
};

// The y values a window can show: the extremes over the finite values (NaN and the
// infinities have no place on a scale) and how many values are not finite. Any is false when
// no value is finite.
struct TYExtent {
  double Min = 0;
  double Max = 0;
  bool Any = false;
  int64_t NonFinite = 0;
};
TYExtent FiniteExtent(const double *Y, int64_t N);
// The extent a window fits its y range to: the spectrum's own MinVal ... MaxVal when both are
// finite and in order, otherwise the finite extremes of Y; NonFinite is always counted from Y.
TYExtent ShownYExtent(double MinVal, double MaxVal, const double *Y, int64_t N);

// A y range that can be mapped and labelled: finite ends, PlotMax above PlotMin by more than
// the rounding of the values and not so little that the pixels per unit overflow.
bool UsableYRange(double PlotMin, double PlotMax);

// The y range a new window shows: 5 % margins around MinVal ... MaxVal, or +-0.5 around a
// constant spectrum. Ranges too wide or too narrow for the double format are widened or
// narrowed to a usable one. MaxVal < MinVal (or a NaN) is an internal consistency failure.
void InitialYRange(double MinVal, double MaxVal, double &PlotMin, double &PlotMax);

// Zoom of a new window: (AreaWidth - BorderL - BorderR) / N, or 1 when that exceeds 0.5.
double InitialHZoom(int32_t AreaWidth, int32_t BorderL, int32_t BorderR, int32_t N);

// The horizontal zoom commands. N is the sample count, W the usable width of the scroll area.
double ZoomInValue(double Z, int32_t N);
double ZoomOutValue(double Z, int32_t N, int32_t W);
double FitZoomValue(int32_t W, int32_t N);
double RubberBandZoomValue(double Z, int32_t N);
// A typed zoom: |value| clamped to 50/N ... 100000/N; false when Text is not a number.
bool TypedZoomValue(std::string_view Text, int32_t N, double &Z);

// "Boxes" is drawn only at whole zooms of at least 2.
bool BoxesApply(bool BoxesChosen, double HZoom);

// The step of the scale ticks: 1, 2, 5 or 10 times the power of ten below D.
double NiceStep(double D);

// Ticks and labels of a scale over [Lo, Hi], about S pixels apart on a length of L pixels.
// Values far from 1 are written as a mantissa with the decimal exponent appended (1.5e6).
struct TScaleTicks {
  int32_t Exponent = 0; // decimal exponent of the largest end
  double Factor = 1;    // 10^Exponent when the scale is written with a factor, else 1
  double First = 0;     // first tick in units of Factor
  double Step = 0;      // tick step in units of Factor
  int32_t Count = 0;    // number of ticks (0: the range holds fewer than two multiples of Step)
  int32_t Decimals = 0; // decimals of the labels

  double U(int32_t k) const { return First + k * Step; }
  double Value(int32_t k) const { return U(k) * Factor; }
  std::string Label(int32_t k) const;
};
// Hi <= Lo is an internal consistency failure. Infinite ends, or ends too close to tell
// apart once scaled, give no ticks.
TScaleTicks ScaleTicks(double Lo, double Hi, int32_t S, int32_t L);

// What the x scale of the axis X[0] ... X[N-1] can show. Ticks: the ends are finite and differ;
// Lo and Hi are the smaller and the larger end, whichever way the axis runs. Single: every x is
// the same finite value (Lo = Hi = that value), which labels the whole scale. None: an end is
// not finite, or the ends are equal on an axis that is not constant.
enum class TXScaleKind { Ticks, Single, None };
TXScaleKind XScaleKind(const double *X, int32_t N, double &Lo, double &Hi);

// Left edge of an x-scale label of width W centred on Px, kept inside the plot width.
int32_t XLabelLeft(int32_t Px, int32_t W, int32_t PlotW);
// Centre line of a y-scale label at tick pixel Y, kept H pixels away from both ends.
int32_t YLabelCentre(int32_t Y, int32_t H, int32_t PlotH);

// Fractional sample positions of x values, for the x-scale ticks. An equidistant axis is
// interpolated from its ends; any other axis is searched for the bracketing samples, each
// search starting where the previous one ended (the ticks come in increasing order). An axis
// whose last x lies below its first is searched as its mirror image, so that a decreasing
// axis finds its ticks as an increasing one does. The result may be NaN or infinite where the
// axis holds NaN or equal neighbours; such a tick has no place.
class TXPositionFinder {
public:
  TXPositionFinder(const double *X, int32_t N, bool Equidistant);
  double Position(double XValue);

private:
  double At(int32_t i) const { return pSign * pX[i]; }
  const double *pX;
  int32_t pN;
  bool pEquidistant;
  double pSign = 1;
  int32_t pLast = 0;
};

struct TPixelPoint {
  int32_t X = 0;
  int32_t Y = 0;
  bool operator==(const TPixelPoint &) const = default;
};

// Extremes of y per block of Block samples, so that the extremes of a pixel column of a long
// spectrum cost the blocks it spans plus at most two partial blocks, not every sample. The
// folds give exactly what a scan of the samples gives (NaN samples passed over, a NaN start
// kept). Built for one version of the data: Matches tells whether it still describes Y.
class TBlockExtremes {
public:
  static constexpr int64_t Block = 64;
  bool Matches(const double *Y, int64_t N, uint64_t Version) const {
    return pBuilt && pY == Y && pN == N && pVersion == Version;
  }
  void Build(const double *Y, int64_t N, uint64_t Version);
  // Folds the extremes of Y[From ... To] into Mn and Mx (Y must be the array it was built on).
  void Fold(const double *Y, int64_t From, int64_t To, double &Mn, double &Mx) const;

private:
  std::vector<double> pMn, pMx;
  const double *pY = nullptr;
  int64_t pN = 0;
  uint64_t pVersion = 0;
  bool pBuilt = false;
};

// A stretch of samples From ... To (inclusive) without NaN. The curve is drawn run by run, so a
// NaN sample leaves a gap; infinite samples are values beyond the plot's edge and drawn there.
struct TSampleRun {
  int32_t From = 0;
  int32_t To = 0;
  bool operator==(const TSampleRun &) const = default;
};
void FindSampleRuns(const double *Y, int32_t N, std::vector<TSampleRun> &Out);

// The runs of one version of a spectrum's y, kept so that a redraw does not scan the samples.
class TSampleRuns {
public:
  bool Matches(const double *Y, int64_t N, uint64_t Version) const {
    return pBuilt && pY == Y && pN == N && pVersion == Version;
  }
  void Build(const double *Y, int32_t N, uint64_t Version);
  const std::vector<TSampleRun> &Runs() const { return pRuns; }

private:
  std::vector<TSampleRun> pRuns;
  const double *pY = nullptr;
  int64_t pN = 0;
  uint64_t pVersion = 0;
  bool pBuilt = false;
};

// A sample with no drawable neighbour (a spectrum of one point, or a value between two NaNs):
// a horizontal step over the pixel columns of the sample, at least one pixel wide.
void SampleStepVertices(const TPlotMapping &M, const double *Y, int32_t i, std::vector<TPixelPoint> &Out);

// Vertices of the polyline through samples From ... To (inclusive) of Y.
void LineVertices(const TPlotMapping &M, const double *Y, int32_t From, int32_t To,
                  std::vector<TPixelPoint> &Out);
// The same picture with at most four vertices per pixel column: the first sample of the column,
// the extremes, and the last. Only below one pixel per sample is there anything to gain; the
// column union of the vertical runs and the joins to the neighbours stay exactly those of the
// plain polyline.
// Extremes, when given, must describe Y.
void DecimatedVertices(const TPlotMapping &M, const double *Y, int32_t From, int32_t To,
                       std::vector<TPixelPoint> &Out, const TBlockExtremes *Extremes = nullptr);
// Whichever of the two a curve of samples From ... To is drawn with at the mapping's zoom.
void CurveVertices(const TPlotMapping &M, const double *Y, int32_t From, int32_t To,
                   std::vector<TPixelPoint> &Out, const TBlockExtremes *Extremes = nullptr);
// The stepped curve of samples 0 ... N-1: each sample a horizontal step of HZoom pixels, joined by
// vertical rises. Two vertices per sample: vertices 2i and 2i+1 are the step of sample i, so
// segment 2i-1 is its rise.
void BoxVertices(const TPlotMapping &M, const double *Y, int32_t N, std::vector<TPixelPoint> &Out);
// The same for samples From ... To only: vertices 2k and 2k+1 are the step of sample From + k.
void BoxVertices(const TPlotMapping &M, const double *Y, int32_t From, int32_t To,
                 std::vector<TPixelPoint> &Out);

// Draws the polyline through V[0] ... V[N-1] into a 32-bit image buffer (Stride pixels per row,
// W x H pixels) in Colour: each segment from its first to its last pixel inclusive (Bresenham),
// clipped to the image. The picture is the union of the segments' pixels, so a polyline and any
// other vertex list with the same vertical runs and the same joins give the same image.
void RasterPolyline(uint32_t *Bits, int32_t Stride, int32_t W, int32_t H, const TPixelPoint *V, size_t N,
                    uint32_t Colour);
