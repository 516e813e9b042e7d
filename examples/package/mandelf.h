/* BRELK sample package: the one header that stays beside the package files. */
#ifndef MANDELF_H
#define MANDELF_H
#define MANDELF_FORMAT 2
#endif
