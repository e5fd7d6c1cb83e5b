/* The peer of "orvalumetrix-cli info FILE" for a one-dimensional FITS spectrum, as a whole
 * process: the same work done with cfitsio and nothing else. The data are read into doubles
 * (scaling applied), x is built from CRVAL1, CDELT1 and CRPIX1, the minimum and maximum of
 * the finite values are found and the equidistance of x is tested; then a short summary is
 * printed, so that no step can be optimised away.
 *
 *   peer_open_cfitsio FILE            the peer itself
 *   peer_open_cfitsio --make FILE N   writes a BITPIX -32 test spectrum of N points
 *
 * bench/core/time_open.py times this program against orvalumetrix-cli in the same run. */
#include <fitsio.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int Fail(int Status) {
  fits_report_error(stderr, Status);
  return 1;
}

static int Make(const char *Name, long N) {
  fitsfile *Fp = NULL;
  int Status = 0;
  char Path[4096];
  snprintf(Path, sizeof Path, "!%s", Name);
  fits_create_file(&Fp, Path, &Status);
  long Naxes[1] = {N};
  fits_create_img(Fp, FLOAT_IMG, 1, Naxes, &Status);
  double Crval = 4000.0, Cdelt = 0.01, Crpix = 1.0;
  fits_write_key(Fp, TDOUBLE, "CRVAL1", &Crval, NULL, &Status);
  fits_write_key(Fp, TDOUBLE, "CDELT1", &Cdelt, NULL, &Status);
  fits_write_key(Fp, TDOUBLE, "CRPIX1", &Crpix, NULL, &Status);
  fits_write_key(Fp, TSTRING, "CUNIT1", "Angstrom", NULL, &Status);
  fits_write_key(Fp, TSTRING, "CTYPE1", "Wavelength", NULL, &Status);
  const long Chunk = 1 << 16;
  float *Y = malloc(sizeof(float) * Chunk);
  for (long First = 0; First < N && !Status; First += Chunk) {
    long K = N - First < Chunk ? N - First : Chunk;
    for (long i = 0; i < K; ++i) {
      long j = First + i;
      Y[i] = (float)(1.0 + 0.5 * sin(j * 0.001) + 1e-3 * cos(j * 1.7));
    }
    fits_write_img(Fp, TFLOAT, First + 1, K, Y, &Status);
  }
  free(Y);
  fits_close_file(Fp, &Status);
  return Status ? Fail(Status) : 0;
}

int main(int argc, char **argv) {
  if (argc == 4 && strcmp(argv[1], "--make") == 0) return Make(argv[2], atol(argv[3]));
  if (argc != 2) {
    fprintf(stderr, "usage: peer_open_cfitsio FILE | --make FILE N\n");
    return 2;
  }
  fitsfile *Fp = NULL;
  int Status = 0, AnyNull = 0;
  fits_open_file(&Fp, argv[1], READONLY, &Status);
  long N = 0;
  double Crval = 0, Cdelt = 0, Crpix = 0;
  fits_get_img_size(Fp, 1, &N, &Status);
  fits_read_key(Fp, TDOUBLE, "CRVAL1", &Crval, NULL, &Status);
  fits_read_key(Fp, TDOUBLE, "CDELT1", &Cdelt, NULL, &Status);
  fits_read_key(Fp, TDOUBLE, "CRPIX1", &Crpix, NULL, &Status);
  if (Status || N <= 0) return Fail(Status);
  double *Y = malloc(sizeof(double) * (size_t)N);
  double *X = malloc(sizeof(double) * (size_t)N);
  /* No null value: cfitsio's fastest path (NaN pixels of float data stay NaN). */
  fits_read_img(Fp, TDOUBLE, 1, N, NULL, Y, &AnyNull, &Status);
  fits_close_file(Fp, &Status);
  if (Status) return Fail(Status);
  for (long i = 0; i < N; ++i)
    X[i] = (i + 1 - Crpix) * Cdelt + Crval;
  double Min = INFINITY, Max = -INFINITY;
  for (long i = 0; i < N; ++i)
    if (isfinite(Y[i])) {
      if (Y[i] < Min) Min = Y[i];
      if (Y[i] > Max) Max = Y[i];
    }
  int Equi = 1;
  if (N > 1) {
    double Step = (X[N - 1] - X[0]) / (N - 1), Tol = 1e-5 * Step;
    for (long j = 1; j < N; ++j)
      if (fabs(X[j] - X[j - 1] - Step) > Tol) Equi = 0;
  }
  printf("points: %ld\nequidistant: %s\nmin: %1.10g\nmax: %1.10g\nx-first: %1.10g\nx-last: %1.10g\n", N,
         Equi ? "Y" : "N", Min, Max, X[0], X[N - 1]);
  free(X);
  free(Y);
  return 0;
}
