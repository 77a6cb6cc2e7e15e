/* Debian's libstdc++ for arm-linux-gnueabihf was configured for glibc. Its
 * headers name a few things of glibc's that musl spells otherwise; this header,
 * included ahead of every C++ source of the musl build, supplies them with the
 * same meaning: types, constants, a macro and inline functions; nothing here
 * needs linking. */
#ifndef TOLVA_LIBSTDCXX_COMPAT_H
#define TOLVA_LIBSTDCXX_COMPAT_H
#ifdef __cplusplus
#include <locale.h>

#ifndef __GLIBC_PREREQ
#define __GLIBC_PREREQ(major, minor) 0
#endif
typedef locale_t __locale_t;
/* musl, like glibc from 2.34 on, has every thread function in the C library:
 * libstdc++ calls them directly instead of through weak references, which
 * a static link may leave unresolved (locks that do nothing). */
#define _GLIBCXX_GTHREAD_USE_WEAK 0

/* The classification bits of the table __ctype_b_loc() returns; musl's
 * table has glibc's layout (little-endian bit order). */
#define TOLVA_ISBIT(bit) ((bit) < 8 ? ((1 << (bit)) << 8) : ((1 << (bit)) >> 8))
enum {
  _ISupper = TOLVA_ISBIT(0), _ISlower = TOLVA_ISBIT(1), _ISalpha = TOLVA_ISBIT(2),
  _ISdigit = TOLVA_ISBIT(3), _ISxdigit = TOLVA_ISBIT(4), _ISspace = TOLVA_ISBIT(5),
  _ISprint = TOLVA_ISBIT(6), _ISgraph = TOLVA_ISBIT(7), _ISblank = TOLVA_ISBIT(8),
  _IScntrl = TOLVA_ISBIT(9), _ISpunct = TOLVA_ISBIT(10), _ISalnum = TOLVA_ISBIT(11)
};
#undef TOLVA_ISBIT

/* The clock-taking waits libstdc++'s headers call (glibc 2.30), through the
 * absolute-time waits musl has, which count on CLOCK_REALTIME. */
#include <pthread.h>
#include <time.h>
static inline struct timespec tolva_realtime_deadline(clockid_t clock, const struct timespec *at)
{
  struct timespec now, real;
  if (clock == CLOCK_REALTIME) return *at;
  clock_gettime(clock, &now);
  clock_gettime(CLOCK_REALTIME, &real);
  long long ns = (long long)(at->tv_sec - now.tv_sec) * 1000000000LL + (at->tv_nsec - now.tv_nsec)
      + real.tv_nsec;
  real.tv_sec += (time_t)(ns / 1000000000LL);
  real.tv_nsec = (long)(ns % 1000000000LL);
  if (real.tv_nsec < 0) {
    real.tv_nsec += 1000000000L;
    real.tv_sec -= 1;
  }
  return real;
}
static inline int pthread_cond_clockwait(pthread_cond_t *cond, pthread_mutex_t *mutex, clockid_t clock,
                                         const struct timespec *at)
{
  const struct timespec deadline = tolva_realtime_deadline(clock, at);
  return pthread_cond_timedwait(cond, mutex, &deadline);
}
static inline int pthread_mutex_clocklock(pthread_mutex_t *mutex, clockid_t clock, const struct timespec *at)
{
  const struct timespec deadline = tolva_realtime_deadline(clock, at);
  return pthread_mutex_timedlock(mutex, &deadline);
}
static inline int pthread_rwlock_clockrdlock(pthread_rwlock_t *lock, clockid_t clock, const struct timespec *at)
{
  const struct timespec deadline = tolva_realtime_deadline(clock, at);
  return pthread_rwlock_timedrdlock(lock, &deadline);
}
static inline int pthread_rwlock_clockwrlock(pthread_rwlock_t *lock, clockid_t clock, const struct timespec *at)
{
  const struct timespec deadline = tolva_realtime_deadline(clock, at);
  return pthread_rwlock_timedwrlock(lock, &deadline);
}
#endif
#endif
