/* BRELK sample package: arithmetic helpers. */
#ifndef BRELKMATH_H
#define BRELKMATH_H
double brelk_scale(double value, int power);
#endif
