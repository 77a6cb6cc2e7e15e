/*
 * modeflag: turns a command text into a test mode number.
 * Link: libmodeflag.a (C library only).
 */
#ifndef MODEFLAG_H
#define MODEFLAG_H

#ifdef __cplusplus
extern "C" {
#endif

/*
 * 0 when text is null or holds none of the flags; 1 when it contains "-M",
 * 2 when it contains "-S", 3 when it contains "-E" (anywhere, case-sensitive).
 * With several flags the highest number wins.
 */
int Get_mode(const char *text);

#ifdef __cplusplus
}
#endif

#endif /* MODEFLAG_H */
