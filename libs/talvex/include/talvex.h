/* libtalvex: word segmentation and codes of the Orvane input method, as C functions.
 *
 * Text crosses as UTF-8. A marks buffer holds one mark per character as the caller counts
 * characters: UTF-16 code units, like QString. Invalid UTF-8 is decoded byte by byte: every byte
 * that is not part of a well-formed sequence counts as one U+FFFD, i.e. one unit and one mark.
 * No function writes past the sizes described here; the ...N variants take the buffer size.
 *
 * Data files (orvane-seg.dict, orvane-codes.dat) are looked up, each on its own, in this order:
 *   1. the folder last given to DivideSentence (non-empty),
 *   2. the folder given to TalvexSetDataFolder,
 *   3. the folder that holds libtalvex.so itself,
 *   4. the installed data folder of the program, share/orvane-tutor/ of the install tree that
 *      holds libtalvex.so (lib/orvane-tutor/../../share/orvane-tutor/; $ORVANE_DATA_DIR instead
 *      when it is set).
 * Custom words live in $XDG_DATA_HOME/orvane-tutor/custom-words.txt (default
 * ~/.local/share/orvane-tutor/custom-words.txt). All functions are thread-safe. */
#ifndef ORVANE_TALVEX_H
#define ORVANE_TALVEX_H

#include <stdint.h>

#if defined(__GNUC__)
#define TALVEX_API __attribute__((visibility("default")))
#else
#define TALVEX_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Segments text into words. folder: the program folder ending in "/" (may be NULL or empty).
 * marks: as many bytes as the text has UTF-16 units; exactly that many marks are written,
 * no terminator: '0'/'1' alternate from word to word, '2' marks runs of punctuation, symbols and
 * blanks, '4' runs of Latin letters and digits. Returns the number of marks written, or -1 (no
 * data, NULL text or marks) with the buffer left as it was. */
TALVEX_API int32_t DivideSentence(const char *folder, const char *text, char *marks);

/* The same with the size of marks in bytes. Writes min(units, marksSize) marks and a NUL after
 * them when there is room; returns the number of UTF-16 units of the text (more than marksSize
 * means the marks were cut short), or -1. */
TALVEX_API int32_t DivideSentenceN(const char *folder, const char *text, char *marks, int32_t marksSize);

/* Standard code of a character or word that the library knows (its word list, custom words).
 * code: a buffer of six blanks; size as callers pass it (100) is not trusted beyond six bytes.
 * Returns 1 with the code in the buffer padded with blanks to six bytes (no terminator), 0 if
 * the item has no code, -1 on bad arguments or missing data; on 0 and -1 the buffer is left as
 * it was. */
TALVEX_API int16_t GetItemCode(const char *item, char *code, int16_t size);

/* The same with the real buffer size: the code, blanks up to six bytes within codeSize, and a
 * NUL after the six bytes when codeSize is larger. A code longer than codeSize gives -1. */
TALVEX_API int16_t GetItemCodeN(const char *item, char *code, int32_t codeSize);

/* Proposes a code for any word by the word rule. code: a buffer of ten NULs; at most nine
 * digits and a NUL are written (within size bytes when size is smaller than ten). An empty
 * string when no code can be given. */
TALVEX_API void Convert(const char *word, char *code, int16_t size);

/* The same with the real buffer size: at most codeSize - 1 digits and a NUL. */
TALVEX_API void ConvertN(const char *word, char *code, int32_t codeSize);

/* Adds a custom word with its code (1-6 digits). A custom word is two or more Chinese
 * characters and nothing else. Returns 0 added, 1 already a custom word or a word of the word
 * list, -1 not added: the custom dictionary could not be opened or written, or the arguments are
 * not a custom word and a code. The word is preferred by every later segmentation and known to
 * GetItemCode with this code. */
TALVEX_API int16_t AddWord(const char *code, const char *word);

/* Finds and loads both data files for folder (as DivideSentence takes it; may be NULL or empty).
 * Returns 0 when both are usable, else -1 with TalvexLastError naming the file that is missing
 * or damaged. DivideSentence works without orvane-codes.dat; the codes of GetItemCode, Convert
 * and AddWord's checks do not. */
TALVEX_API int32_t TalvexCheckData(const char *folder);

/* Sets the data folder used when DivideSentence has not been given one (NULL resets it). */
TALVEX_API void TalvexSetDataFolder(const char *folder);

/* Message of the last failure in this thread, NUL-terminated within size bytes; returns the
 * length of the whole message (0 when there was none). */
TALVEX_API int32_t TalvexLastError(char *buffer, int32_t size);

#ifdef __cplusplus
}
#endif

#endif
