/* BRELK sample package: input and output. */
#ifndef BRELKIO_H
#define BRELKIO_H
int brelk_print(const char *text);
#endif
