/* libmorrin: the code proposed for a custom word, as a C function.
 *
 * The code data file orvane-codes.dat is looked up in the folder given to MorrinSetDataFolder,
 * then the folder that holds libmorrin.so, then the installed data folder of the program. */
#ifndef ORVANE_MORRIN_H
#define ORVANE_MORRIN_H

#include <stdint.h>

#if defined(__GNUC__)
#define MORRIN_API __attribute__((visibility("default")))
#else
#define MORRIN_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* word: UTF-8, NUL-terminated (read up to the NUL whatever size says). size: the caller's
 * length of the word, and flag: the caller's kind of request; neither changes the result.
 * code: a buffer of ten '0' characters; receives the code of the word (its custom code when it
 * is a custom word, else the code of the word rule), NUL-terminated within the ten bytes; an
 * empty string when no code can be given. */
MORRIN_API void ConvertAdaptor(const char *word, int16_t size, int16_t flag, char *code);

/* The same with the real size of code: at most codeSize - 1 digits and a NUL. */
MORRIN_API void ConvertAdaptorN(const char *word, int16_t size, int16_t flag, char *code, int32_t codeSize);

/* Sets the folder of the code data (NULL resets it). */
MORRIN_API void MorrinSetDataFolder(const char *folder);

#ifdef __cplusplus
}
#endif

#endif
