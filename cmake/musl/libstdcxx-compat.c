/* What Debian's static libstdc++ for arm-linux-gnueabihf, built for glibc,
 * needs of glibc that musl lacks; linked into the C++ programs of the musl
 * build (the test programs), never into the kit's libraries. */
#include <pthread.h>
#include <stdint.h>
#include <stdlib.h>
#include <sys/random.h>

/* Zero: libstdc++ always takes its thread-safe paths. */
char __libc_single_threaded = 0;

/* std::random_device's source. */
uint32_t arc4random(void)
{
  uint32_t value = 0;
  while (getrandom(&value, sizeof value, 0) != (long)sizeof value) {
  }
  return value;
}

/* Destructors of thread_local objects: run, newest first, when their thread
 * ends (through a thread-specific key's destructor). */
struct thread_dtor {
  void (*run)(void *);
  void *object;
  struct thread_dtor *next;
};

static pthread_key_t dtor_key;
static pthread_once_t dtor_once = PTHREAD_ONCE_INIT;

static void run_dtors(void *list)
{
  struct thread_dtor *d = list;
  while (d != NULL) {
    struct thread_dtor *next = d->next;
    d->run(d->object);
    free(d);
    d = next;
  }
}

static void make_dtor_key(void)
{
  pthread_key_create(&dtor_key, run_dtors);
}

int __cxa_thread_atexit_impl(void (*run)(void *), void *object, void *dso);
int __cxa_thread_atexit_impl(void (*run)(void *), void *object, void *dso)
{
  (void)dso;
  pthread_once(&dtor_once, make_dtor_key);
  struct thread_dtor *d = malloc(sizeof *d);
  if (d == NULL) return -1;
  d->run = run;
  d->object = object;
  d->next = pthread_getspecific(dtor_key);
  pthread_setspecific(dtor_key, d);
  return 0;
}

/* libstdc++ reads three members of glibc's locale object directly (the ctype
 * tables); musl's object is only its six categories. The locales libstdc++
 * makes and copies (links with --wrap=__newlocale --wrap=__duplocale) are
 * therefore objects of glibc's layout whose first six members are musl's
 * categories: musl's own functions take them as its locales, and free()
 * them in freelocale(). */
#include <locale.h>
#include <string.h>

struct glibc_layout_locale {
  const void *categories[13];
  const unsigned short *ctype_b;
  const int32_t *ctype_tolower;
  const int32_t *ctype_toupper;
  const char *names[13];
};

const unsigned short **__ctype_b_loc(void);
const int32_t **__ctype_tolower_loc(void);
const int32_t **__ctype_toupper_loc(void);
locale_t __real___newlocale(int mask, const char *name, locale_t base);
locale_t __real___duplocale(locale_t locale);
locale_t __wrap___newlocale(int mask, const char *name, locale_t base);
locale_t __wrap___duplocale(locale_t locale);
void __freelocale(locale_t locale);

static locale_t glibc_layout(locale_t musl)
{
  if (musl == (locale_t)0) return musl;
  struct glibc_layout_locale *l = calloc(1, sizeof *l);
  if (l == NULL) return (locale_t)0;
  memcpy(l->categories, musl, 6 * sizeof(void *));
  l->ctype_b = *__ctype_b_loc();
  l->ctype_tolower = *__ctype_tolower_loc();
  l->ctype_toupper = *__ctype_toupper_loc();
  return (locale_t)l;
}

locale_t __wrap___newlocale(int mask, const char *name, locale_t base)
{
  /* musl changes an allocated base in place; a copy keeps ours intact. */
  locale_t made = __real___newlocale(mask, name, base == (locale_t)0 ? base : __real___duplocale(base));
  locale_t result = glibc_layout(made);
  if (made != (locale_t)0) __freelocale(made);
  if (result != (locale_t)0 && base != (locale_t)0) __freelocale(base);
  return result;
}

locale_t __wrap___duplocale(locale_t locale)
{
  locale_t copy = __real___duplocale(locale);
  locale_t result = glibc_layout(copy);
  if (copy != (locale_t)0) __freelocale(copy);
  return result;
}
