/* The compiled test programs built for the host: each writes its results to out and returns
   their length, as its 68000 build leaves them in simulated memory. */
#ifndef ZENDRA_TESTS_PROGRAMS_PROGRAMS_H
#define ZENDRA_TESTS_PROGRAMS_PROGRAMS_H

#ifdef __cplusplus
extern "C" {
#endif
int sort_program(unsigned char* out);
int crc_program(unsigned char* out);
int format_program(unsigned char* out);
int interp_program(unsigned char* out);
int recurse_program(unsigned char* out);
#ifdef __cplusplus
}
#endif

#endif
