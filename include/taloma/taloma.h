/* libtaloma: Taiwanese identity-card and resident-certificate numbers, and the other numbers a
 * form asks for (統一編號, 自然人憑證, 手機條碼, 捐贈碼, mobile numbers), checked, generated,
 * found and masked in text, with the places and postal districts. The rules of taloma-id, for
 * programs.
 *
 * Text is UTF-8 throughout, given as a pointer and a length (it need not end in NUL). Every
 * function is thread-safe and keeps no state between calls; the strings a verdict or a place
 * points at are the library's own, constant, and live as long as the program. What the library
 * allocates for the caller is freed with taloma_free or, for a generator, taloma_generator_free.
 * Copyright (c) Taloma developers; MIT licence. */
#ifndef TALOMA_TALOMA_H
#define TALOMA_TALOMA_H

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32) || !defined(__GNUC__)
#define TALOMA_API
#else
#define TALOMA_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The version of this header and of taloma_version(), 2.00. The shared library's SONAME,
 * libtaloma.so.1, changes only when a change breaks a program built against an older header;
 * what later versions add carries a symbol version of its own (TALOMA_2 beside TALOMA_1), so that
 * a program that uses it says so to the dynamic linker. Structs that may grow take their size. */
#define TALOMA_VERSION_MAJOR 2
#define TALOMA_VERSION_MINOR 0

/* The kinds, and the bits of a set of them. */
typedef enum taloma_kind {
  TALOMA_NATIONAL = 0,     /* 身分證字號 */
  TALOMA_RESIDENT = 1,     /* 新式居留證號 (since 2021) */
  TALOMA_RESIDENT_OLD = 2, /* 舊式居留證號 */
  TALOMA_BUSINESS = 3,     /* 統一編號 */
  TALOMA_CERTIFICATE = 4,  /* 自然人憑證 */
  TALOMA_CARRIER = 5,      /* 電子發票手機條碼 */
  TALOMA_DONATION = 6,     /* 電子發票捐贈碼 */
  TALOMA_MOBILE = 7        /* 手機號碼 */
} taloma_kind;

/* A kind's bit: its own below TALOMA_BEFORE_2023, the one above its own from there on. */
#define TALOMA_KIND_BIT(kind) ((unsigned)(kind) < 8u ? 1u << (unsigned)(kind) : 2u << (unsigned)(kind))
#define TALOMA_IDENTITY_KINDS 0x07u /* the default: national, resident, resident-old */
#define TALOMA_ALL_KINDS 0xFFu
#define TALOMA_BEFORE_2023 0x100u   /* in a set: 統一編號 by the rule before April 2023 */

/* A verdict, with the fields and names of taloma-id's JSON rows; "" where a field is absent. */
typedef struct taloma_verdict {
  int valid;            /* 1 or 0 */
  const char* kind;     /* "national", ..., "mobile"; "" for an invalid identity number */
  const char* sex;      /* "male", "female" */
  const char* category; /* "foreign", "unregistered", "hong-kong-macao", "mainland-china" */
  const char* letter;   /* "A" to "Z" */
  const char* place;    /* the place the letter names, "台北市" */
  const char* reason;   /* "length", "letter", "second", "digit", "check", "character" */
  int position;         /* the character (from 1) that breaks the rule; 0 for none */
  int expected;         /* the right check digit (for 統一編號 the smallest that passes); -1 */
} taloma_verdict;

/* "2.00". */
TALOMA_API const char* taloma_version(void);

/* The set of kinds that a comma-separated list of names gives ("national,mobile"), in *kinds.
 * Returns 0, or -1 when a name is unknown (or memory ran out). */
TALOMA_API int taloma_kinds(const char* names, unsigned* kinds);

/* The verdict on `text` as one number of a kind in `kinds` (0 for the identity kinds): the first
 * kind it is valid as, else the first broken rule. Returns verdict->valid. */
TALOMA_API int taloma_check(const char* text, size_t length, unsigned kinds,
                            taloma_verdict* verdict);

/* The verdicts on `count` texts at once, into verdicts[0 .. count); returns how many are valid. */
TALOMA_API size_t taloma_check_many(const char* const* texts, const size_t* lengths, size_t count,
                                    unsigned kinds, taloma_verdict* verdicts);

/* The verdict in a sentence, as taloma-id check writes it ("valid national number, male, A 台北市"
 * or in Chinese "這是正確的男性身分證字號戶籍地在台北市"), written to `buffer` with a NUL when it
 * fits. `chinese` picks the language. Returns the sentence's length in bytes, NUL not counted;
 * no sentence is empty, so 0 says that memory ran out. */
TALOMA_API size_t taloma_decode(const char* text, size_t length, unsigned kinds, int chinese,
                                char* buffer, size_t capacity);

/* What a seeded generator draws, as taloma-id gen's options. */
typedef struct taloma_gen_options {
  uint64_t seed;
  taloma_kind kind;       /* any but TALOMA_MOBILE */
  const char* places;     /* identity kinds: letters or names, "A,F,臺北市"; NULL or "" for all */
  int sex;                /* identity kinds: 0 male, 1 female, -1 either */
  const char* categories; /* resident: "foreign,unregistered"; NULL or "" for all */
  int unique;             /* no number twice */
  int current;            /* identity kinds: only letters still issued */
  int since_2023;         /* business: numbers only the 2023 rule accepts */
} taloma_gen_options;

/* Options that draw national numbers of every place and either sex from `seed`. */
TALOMA_API taloma_gen_options taloma_gen_defaults(uint64_t seed);

typedef struct taloma_generator taloma_generator;

/* A generator for `options`, or NULL when they are wrong (an unknown place or category, a mobile
 * kind, an option the kind does not take). */
TALOMA_API taloma_generator* taloma_generator_new(const taloma_gen_options* options);
/* How many different numbers it can draw. */
TALOMA_API uint64_t taloma_generator_size(const taloma_generator* generator);
/* The next number, written with a NUL to `buffer` (32 bytes always suffice), the same as the next
 * line of taloma-id gen with the same options. Returns its length, or 0 when `capacity` is too
 * small (the number is then kept for the next call) or a unique generator has drawn every number. */
TALOMA_API size_t taloma_generator_next(taloma_generator* generator, char* buffer,
                                        size_t capacity);
TALOMA_API void taloma_generator_free(taloma_generator* generator);
/* As taloma_generator_new, and when the options draw nothing, *reason (when `reason` is not NULL)
 * a sentence that says why, naming what was wrong: "unknown place \"XX\": ...", "sex is for
 * identity and resident numbers only", ...; freed with taloma_free (NULL when memory ran out).
 * (2.0, TALOMA_2) */
TALOMA_API taloma_generator* taloma_generator_open(const taloma_gen_options* options,
                                                   char** reason);

/* What taloma-id scan looks for. */
typedef struct taloma_scan_options {
  unsigned kinds;   /* 0 for the identity kinds; TALOMA_BEFORE_2023 may be added */
  int near_misses;  /* also report what has a number's shape but is not valid */
  int normalize;    /* invisible formatting characters inside an identity number do not break it,
                       and lower-case letters count as capitals */
  int labelled;     /* 統一編號, 自然人憑證 and 捐贈碼 only where a label names them (man taloma-id) */
} taloma_scan_options;

/* A number found in text: where it stands (its offset and length in bytes, its line and column
 * from 1, the column in characters) and its verdict. */
typedef struct taloma_found {
  size_t offset;
  size_t length;
  uint64_t line;
  uint64_t column;
  taloma_verdict verdict;
} taloma_found;

/* Called for each number in order; a nonzero return stops the scan. */
typedef int (*taloma_found_fn)(const taloma_found* found, void* user);

/* Finds the numbers in `text` (options NULL for the defaults). Returns how many were reported. */
TALOMA_API size_t taloma_scan(const char* text, size_t length, const taloma_scan_options* options,
                              taloma_found_fn each, void* user);

/* `text` with each number found masked as taloma-id scan --redact masks it, in *out (NUL ended,
 * freed with taloma_free) and its length in *out_length. Returns how many were masked, or
 * (size_t)-1 when memory ran out. */
TALOMA_API size_t taloma_redact(const char* text, size_t length, const taloma_scan_options* options,
                                char** out, size_t* out_length);

/* Pseudonyms (man taloma-id, PSEUDONYMS): `text` with each valid number found replaced by another
 * valid number of its kind, written the same way, under the 32 bytes of `key` and `context` (NULL
 * or "" for none), in *out (NUL ended, freed with taloma_free) and its length in *out_length. What
 * cannot have one (a near miss, a 捐贈碼 of three to five digits) is masked as taloma_redact masks
 * it, and counted in *masked (when not NULL). taloma_reveal turns the pseudonyms of such a text
 * back. Each returns how many numbers it replaced, or (size_t)-1 when the key is not 32 bytes, the
 * system gives no AES, or memory ran out. (2.0, TALOMA_2) */
TALOMA_API size_t taloma_pseudonymize(const char* text, size_t length,
                                      const taloma_scan_options* options, const unsigned char* key,
                                      size_t key_length, const char* context, char** out,
                                      size_t* out_length, size_t* masked);
TALOMA_API size_t taloma_reveal(const char* text, size_t length, const taloma_scan_options* options,
                                const unsigned char* key, size_t key_length, const char* context,
                                char** out, size_t* out_length, size_t* masked);
/* Reads the key file at `path` (as taloma-id key writes it: 64 hexadecimal characters and a
 * newline, nothing else) into `key`. Returns 0, the errno of a file that cannot be read, or -1 for
 * one that holds no key; *exposed (when not NULL) tells whether users other than its owner may read
 * it. (2.0, TALOMA_2) */
TALOMA_API int taloma_read_key(const char* path, unsigned char key[32], int* exposed);

TALOMA_API void taloma_free(void* memory);

/* A scanner fed in pieces: the search of taloma_scan and taloma_redact over an input that comes
 * a piece at a time (a file read in blocks, a pipe, a socket), read as taloma-id scan reads a
 * file: UTF-8 as it is, UTF-16 (by its byte-order mark, or its NULs) and Big5 decoded into UTF-8,
 * in which each number's offset, line and column are counted. Pieces may be cut anywhere, through
 * a number or a character: the numbers found and the text handed back are those that taloma-id
 * scan -a -f jsonl and taloma-id scan --redact give for the same bytes. It holds at most 64 KiB
 * besides the piece being fed. (2.0, TALOMA_2) */
typedef struct taloma_scanner taloma_scanner;

/* A number found, and its text (found->length bytes of UTF-8, no NUL after them); a nonzero
 * return stops the scan. */
typedef int (*taloma_number_fn)(const taloma_found* found, const char* number, void* user);
/* A piece of the redacted input; a nonzero return stops the scan. */
typedef int (*taloma_write_fn)(const char* bytes, size_t length, void* user);

typedef struct taloma_scanner_options {
  size_t size;               /* sizeof(taloma_scanner_options): later versions may add fields */
  taloma_scan_options scan;  /* what is looked for */
  taloma_number_fn number;   /* told of each number found; NULL for none */
  taloma_write_fn redacted;  /* receives the input back as taloma-id scan --redact writes it: each
                                number masked, UTF-16 and Big5 in their own encoding, every other
                                byte as it came; NULL for none */
  void* user;                /* handed to both */
  const unsigned char* key;  /* 32 bytes, or NULL: with a key each valid number in the redacted
                                input becomes its pseudonym, as taloma_pseudonymize gives it (the
                                scanner keeps no pointer to the key) */
  const char* context;       /* the pseudonyms' context; NULL for none */
  int reveal;                /* nonzero: the numbers are pseudonyms, turned back */
} taloma_scanner_options;

/* A scanner, or NULL when `options` is NULL or of a size this library does not know, a key is
 * given and the system has no AES, or memory ran out. Freed with taloma_scanner_free. */
TALOMA_API taloma_scanner* taloma_scanner_new(const taloma_scanner_options* options);
/* Takes the next `length` bytes of the input and hands on what they settle. Returns 0; 1 once a
 * callback has stopped the scan (nothing more is taken or handed on); -1 once memory has run out. */
TALOMA_API int taloma_scanner_feed(taloma_scanner* scanner, const char* bytes, size_t length);
/* The end of the input: hands on the rest. Returns as taloma_scanner_feed does. */
TALOMA_API int taloma_scanner_finish(taloma_scanner* scanner);
TALOMA_API void taloma_scanner_free(taloma_scanner* scanner);

/* The names of the kinds, "national" to "mobile", by taloma_kind; NULL past the last. (2.0,
 * TALOMA_2) */
TALOMA_API const char* taloma_kind_name(unsigned kind);

/* A verdict's fields as a row writes them, in order: "valid", "kind", "sex", "category",
 * "letter", "place", "reason", "position", "expected", the names and order of taloma-id's rows,
 * the npm package's and Python's. taloma_field_name gives NULL past the last; taloma_verdict_field
 * gives a field's value: its type, with a boolean (0 or 1) or a number in *number and a text in
 * *text (a constant), or TALOMA_FIELD_ABSENT for a field the verdict does not have. (2.0,
 * TALOMA_2) */
typedef enum taloma_field_type {
  TALOMA_FIELD_ABSENT = 0,
  TALOMA_FIELD_BOOLEAN = 1,
  TALOMA_FIELD_NUMBER = 2,
  TALOMA_FIELD_TEXT = 3
} taloma_field_type;
TALOMA_API const char* taloma_field_name(size_t field);
TALOMA_API taloma_field_type taloma_verdict_field(const taloma_verdict* verdict, size_t field,
                                                  int* number, const char** text);
/* The texts a text field can hold, in order, "national" to "mobile" for "kind", "A" to "Z" for
 * "letter", "0" to "9" for "expected", ...; NULL past the last, and for a field that holds no text.
 * For columns of codes, or an enumerated type. (2.0, TALOMA_2) */
TALOMA_API const char* taloma_field_value(size_t field, size_t index);

/* The 26 places in letter-value order, and the 369 postal districts, as taloma-id places lists
 * them. Each returns 0, or -1 for an index out of range. */
typedef struct taloma_place {
  const char* letter;
  int value;              /* 10 to 35 */
  const char* name;
  const char* area_code;  /* "" where the place has none of its own */
  int postal_count;
  int last_issued;        /* the last year the letter was issued; 0 while it still is */
} taloma_place;

typedef struct taloma_district {
  const char* letter;     /* "" for the three districts of no place */
  const char* place;
  const char* district;
  const char* postal_code;
} taloma_district;

TALOMA_API size_t taloma_place_count(void);
TALOMA_API int taloma_place_at(size_t index, taloma_place* place);
TALOMA_API size_t taloma_district_count(void);
TALOMA_API int taloma_district_at(size_t index, taloma_district* district);

#ifdef __cplusplus
}
#endif

#endif /* TALOMA_TALOMA_H */
