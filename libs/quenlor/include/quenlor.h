/* libquenlor: adding words to the user's custom dictionary from UTF-16 callers.
 * The same dictionary as AddWord of libtalvex:
 * $XDG_DATA_HOME/orvane-tutor/custom-words.txt (default ~/.local/share/orvane-tutor/...). */
#ifndef ORVANE_QUENLOR_H
#define ORVANE_QUENLOR_H

#include <stdint.h>

#if defined(__GNUC__)
#define QUENLOR_API __attribute__((visibility("default")))
#else
#define QUENLOR_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* All strings UTF-16, NUL-terminated; none is read beyond 1024 units (a longer one is not
 * accepted). category and source (e.g. "其它", "来自分词软件") may be NULL; they are kept with
 * the word. Returns 1 added; 0 the word is already a custom word or a word of the word list
 * (orvane-codes.dat beside the library or in the installed data folder); -1 not added (not a
 * custom word: two or more Chinese characters and nothing else; a code that is not 1-6 digits;
 * or the dictionary could not be opened or written). */
QUENLOR_API int16_t AddAProfessionCi(
    const char16_t *word, const char16_t *code, const char16_t *category, const char16_t *source);

#ifdef __cplusplus
}
#endif

#endif
