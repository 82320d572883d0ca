/* libtaloma.so.1 as its first header declared it (TALOMA_1), without its comments: what a program
 * built against that header asks of the library. tests/library/consumer_test.sh builds one. */
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
typedef enum taloma_kind {
  TALOMA_NATIONAL = 0,
  TALOMA_RESIDENT = 1,
  TALOMA_RESIDENT_OLD = 2,
  TALOMA_BUSINESS = 3,
  TALOMA_CERTIFICATE = 4,
  TALOMA_CARRIER = 5,
  TALOMA_DONATION = 6,
  TALOMA_MOBILE = 7
} taloma_kind;
#define TALOMA_KIND_BIT(kind) (1u << (unsigned)(kind))
#define TALOMA_IDENTITY_KINDS 0x07u
#define TALOMA_ALL_KINDS 0xFFu
#define TALOMA_BEFORE_2023 0x100u
typedef struct taloma_verdict {
  int valid;
  const char* kind;
  const char* sex;
  const char* category;
  const char* letter;
  const char* place;
  const char* reason;
  int position;
  int expected;
} taloma_verdict;
TALOMA_API const char* taloma_version(void);
TALOMA_API int taloma_kinds(const char* names, unsigned* kinds);
TALOMA_API int taloma_check(const char* text, size_t length, unsigned kinds,
                            taloma_verdict* verdict);
TALOMA_API size_t taloma_check_many(const char* const* texts, const size_t* lengths, size_t count,
                                    unsigned kinds, taloma_verdict* verdicts);
TALOMA_API size_t taloma_decode(const char* text, size_t length, unsigned kinds, int chinese,
                                char* buffer, size_t capacity);
typedef struct taloma_gen_options {
  uint64_t seed;
  taloma_kind kind;
  const char* places;
  int sex;
  const char* categories;
  int unique;
  int current;
  int since_2023;
} taloma_gen_options;
TALOMA_API taloma_gen_options taloma_gen_defaults(uint64_t seed);
typedef struct taloma_generator taloma_generator;
TALOMA_API taloma_generator* taloma_generator_new(const taloma_gen_options* options);
TALOMA_API uint64_t taloma_generator_size(const taloma_generator* generator);
TALOMA_API size_t taloma_generator_next(taloma_generator* generator, char* buffer,
                                        size_t capacity);
TALOMA_API void taloma_generator_free(taloma_generator* generator);
typedef struct taloma_scan_options {
  unsigned kinds;
  int near_misses;
  int normalize;
  int labelled;
} taloma_scan_options;
typedef struct taloma_found {
  size_t offset;
  size_t length;
  uint64_t line;
  uint64_t column;
  taloma_verdict verdict;
} taloma_found;
typedef int (*taloma_found_fn)(const taloma_found* found, void* user);
TALOMA_API size_t taloma_scan(const char* text, size_t length, const taloma_scan_options* options,
                              taloma_found_fn each, void* user);
TALOMA_API size_t taloma_redact(const char* text, size_t length, const taloma_scan_options* options,
                                char** out, size_t* out_length);
TALOMA_API void taloma_free(void* memory);
typedef struct taloma_place {
  const char* letter;
  int value;
  const char* name;
  const char* area_code;
  int postal_count;
  int last_issued;
} taloma_place;
typedef struct taloma_district {
  const char* letter;
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
#endif
