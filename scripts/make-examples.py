#!/usr/bin/python3
"""Writes the example spectra of data/examples/ from stated formulas and line lists.

All three spectra are synthetic, and their headers say so:
  star-halpha.fits   an A-type star around H-alpha: a sloping continuum, the broad Balmer
                     absorption (a Lorentzian core in a Gaussian wing), and narrow atmospheric
                     water lines at the wavelengths listed in TELLURIC below; 0.1 A per pixel,
                     signal-to-noise about 300.
  be-star-halpha.fits the same range for an emission-line star: a double-peaked emission line
                     on a flat continuum, 0.1 A per pixel.
  neon-lamp.dat      a neon calibration lamp in detector pixels 0..2047 under the dispersion
                     lambda(p) = 5850 + 0.42 p + 1.0e-6 p^2 (Angstrom), with the Ne I lines of
                     data/LineCat/Lines-NeI.dat that fall on the detector as Gaussians of
                     2.6 pixels FWHM.
The noise comes from Python's random module with fixed seeds, so the files are the same on
every run. Only the standard library is used.
"""
import math
import os
import random
import struct
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "data", "examples")

# Approximate wavelengths (Angstrom, air) and depths of atmospheric H2O lines near H-alpha.
TELLURIC = [
    (6532.36, 0.10), (6534.00, 0.05), (6536.72, 0.08), (6543.91, 0.15), (6547.70, 0.12),
    (6548.62, 0.07), (6552.63, 0.18), (6553.78, 0.10), (6557.17, 0.20), (6560.56, 0.06),
    (6564.20, 0.22), (6568.81, 0.09), (6572.08, 0.16), (6574.85, 0.12), (6580.79, 0.05),
    (6586.60, 0.08), (6599.32, 0.06),
]


def card(key, value=None, comment=None):
    """One 80-character header card."""
    if key in ("COMMENT", "HISTORY"):
        text = key.ljust(8) + "  " + (value or "")
    elif value is None:
        text = key.ljust(8)
    else:
        if isinstance(value, bool):
            v = ("T" if value else "F").rjust(20)
        elif isinstance(value, int):
            v = str(value).rjust(20)
        elif isinstance(value, float):
            s = repr(value)
            if "e" not in s and "." not in s:
                s += ".0"
            v = s.rjust(20)
        else:
            v = ("'" + value.replace("'", "''").ljust(8) + "'").ljust(20)
        text = key.ljust(8) + "= " + v
        if comment:
            text += " / " + comment
    if len(text) > 80:
        raise ValueError("card too long: " + text)
    return text.ljust(80)


def write_fits(name, crval1, cdelt1, y, cards):
    header = [
        card("SIMPLE", True, "this file conforms to the FITS standard"),
        card("BITPIX", -32, "number of bits per data pixel"),
        card("NAXIS", 1, "number of axes"),
        card("NAXIS1", len(y), "number of horizontal pixels"),
        card("BSCALE", 1.0),
        card("BZERO", 0.0),
        card("CRVAL1", crval1),
        card("CDELT1", cdelt1),
        card("CRPIX1", 1.0),
        card("CUNIT1", "Angstrom"),
        card("CTYPE1", "Wavelength"),
    ] + cards + [card("END")]
    while len(header) % 36:
        header.append(" " * 80)
    data = b"".join(struct.pack(">f", v) for v in y)
    data += b"\0" * ((-len(data)) % 2880)
    with open(os.path.join(OUT, name), "wb") as f:
        f.write("".join(header).encode("ascii"))
        f.write(data)


def common_cards(objname, date_obs):
    return [
        card("OBJNAME", objname),
        card("DATE-OBS", date_obs),
        card("EXPTIME", 300.0, "seconds"),
        card("OBSERVER", "k-ternwald"),
        card("BSS_SITE", "Almsted QX"),
        card("COMMENT", "SYNTHETIC SPECTRUM, not an observation: written by"),
        card("COMMENT", "scripts/make-examples.py from the formulas stated there."),
    ]


def gauss(x, x0, fwhm):
    s = fwhm / 2.3548200450309493
    return math.exp(-0.5 * ((x - x0) / s) ** 2)


def lorentz(x, x0, fwhm):
    h = fwhm / 2
    return h * h / ((x - x0) ** 2 + h * h)


def star():
    rng = random.Random(6563)
    n, x0, dx = 1200, 6500.0, 0.1
    y = []
    for i in range(n):
        x = x0 + dx * i
        cont = 1.0 - 0.0008 * (x - 6562.8)
        balmer = 0.55 * (0.6 * lorentz(x, 6562.8, 6.0) + 0.4 * gauss(x, 6562.8, 28.0))
        tell = 1.0
        for xl, depth in TELLURIC:
            tell *= 1 - depth * gauss(x, xl, 0.25)
        y.append(cont * (1 - balmer) * tell + rng.gauss(0, 1 / 300))
    write_fits("star-halpha.fits", x0, dx, y, common_cards("Synthetic A star", "2024-08-14T21:30:00"))


def be_star():
    rng = random.Random(6564)
    n, x0, dx = 1200, 6500.0, 0.1
    y = []
    for i in range(n):
        x = x0 + dx * i
        emission = 1.8 * gauss(x, 6561.3, 3.0) + 2.0 * gauss(x, 6564.3, 3.0) - 0.6 * gauss(x, 6562.8, 1.2)
        y.append(1.0 + emission + rng.gauss(0, 1 / 200))
    write_fits("be-star-halpha.fits", x0, dx, y, common_cards("Synthetic Be star", "2024-08-15T22:10:00"))


def neon():
    rng = random.Random(2048)
    with open(os.path.join(ROOT, "data", "LineCat", "Lines-NeI.dat")) as f:
        lines = [float(t) for t in f.read().split()]
    npix = 2048

    def lam(p):
        return 5850 + 0.42 * p + 1.0e-6 * p * p

    def pixel(w):
        # The inverse of lam, by Newton's method.
        p = (w - 5850) / 0.42
        for _ in range(20):
            p -= (lam(p) - w) / (0.42 + 2.0e-6 * p)
        return p

    peaks = [(pixel(w), rng.uniform(800, 12000)) for w in lines if lam(0) < w < lam(npix - 1)]
    rows = []
    for p in range(npix):
        v = 150.0 + sum(a * gauss(p, pc, 2.6) for pc, a in peaks) + rng.gauss(0, 8)
        rows.append("%15.10g %15.10g\r\n" % (p, v))
    with open(os.path.join(OUT, "neon-lamp.dat"), "w", newline="") as f:
        f.write("".join(rows))


def main():
    os.makedirs(OUT, exist_ok=True)
    star()
    be_star()
    neon()
    print("wrote", ", ".join(sorted(os.listdir(OUT))), "in", OUT)


if __name__ == "__main__":
    sys.exit(main())
