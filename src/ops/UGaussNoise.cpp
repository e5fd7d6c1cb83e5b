#include "ops/UGaussNoise.h"

#include <chrono>
#include <cmath>
#include <numbers>
#include <random>

namespace {

struct TShuffled {
  std::mt19937_64 Gen;
  std::uniform_real_distribution<double> Dist{0.0, 1.0};
  double Table[97];
  double V;

  explicit TShuffled(unsigned long long Seed) { Restart(Seed); }
  void Restart(unsigned long long Seed) {
    Gen.seed(Seed);
    for (int i = 0; i < 97; ++i)
      Dist(Gen); // the first values of a fresh generator are discarded
    for (double &T : Table)
      T = Dist(Gen);
    V = Table[96];
  }
  double Next() {
    int J = static_cast<int>(97.0 * V);
    if (J > 96) J = 96;
    double R = Table[J];
    V = R;
    Table[J] = Dist(Gen);
    return R;
  }
};

TShuffled &Source() {
  static TShuffled S(
      static_cast<unsigned long long>(std::chrono::system_clock::now().time_since_epoch().count()));
  return S;
}

} // namespace

double ShuffledUniform() { return Source().Next(); }

void SeedShuffledUniform(unsigned long long Seed) { Source().Restart(Seed); }

double GaussNoise(double Sigma, double Mu) {
  double U1 = ShuffledUniform();
  double U2 = ShuffledUniform();
  // ln(0) would make one value infinite; the source gives exactly 0 once in 2^53 draws.
  while (U1 <= 0.0)
    U1 = ShuffledUniform();
  return Sigma * std::sqrt(-2.0 * std::log(U1)) * std::cos(2.0 * std::numbers::pi * U2) + Mu;
}
