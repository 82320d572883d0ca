/* A program that uses libtaloma as any other would, from its installed header and library. It
 * writes what taloma-id writes for the same work, so that a test can compare the two:
 *   consumer check KINDS         lines of standard input, as taloma-id check -k KINDS -f tsv
 *   consumer gen KIND SEED N [PLACES [SEX [CATEGORIES]]]   as taloma-id gen, each number asked
 *                                                          for first with too small a buffer
 *   consumer gen-unique ...      as taloma-id gen --unique, the same way
 *   consumer scan KINDS          standard input, as taloma-id scan -k KINDS -a -f tsv
 *   consumer redact KINDS        standard input, as taloma-id scan -k KINDS --redact
 *   consumer places              as taloma-id places -f tsv --no-header
 *   consumer fed scan|redact KINDS N   as scan and redact, standard input fed to a scanner in
 *                                      pieces of N bytes (not in the first version's header) */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <taloma/taloma.h>

static char* read_all(size_t* size) {
  size_t capacity = 1 << 16;
  char* text = malloc(capacity);
  *size = 0;
  for (size_t got; text != NULL && (got = fread(text + *size, 1, capacity - *size, stdin)) > 0;) {
    *size += got;
    if (*size == capacity) text = realloc(text, capacity *= 2);
  }
  return text;
}

static void print_verdict(const taloma_verdict* v) {
  printf("\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t", v->valid ? "true" : "false", v->kind, v->sex,
         v->category, v->letter, v->place, v->reason);
  if (v->position > 0) printf("%d", v->position);
  putchar('\t');
  if (v->expected >= 0) printf("%d", v->expected);
}

static int print_found(const taloma_found* found, void* user) {
  printf("-\t%llu\t%llu\t%zu\t%zu\t%.*s", (unsigned long long)found->line,
         (unsigned long long)found->column, found->offset, found->length, (int)found->length,
         (const char*)user + found->offset);
  print_verdict(&found->verdict);
  putchar('\n');
  return 0;
}

#ifdef TALOMA_VERSION_MAJOR
static int print_fed(const taloma_found* found, const char* number, void* user) {
  (void)user;
  return print_found(found, (void*)(number - found->offset));
}

static int write_fed(const char* bytes, size_t length, void* user) {
  (void)user;
  return fwrite(bytes, 1, length, stdout) != length;
}
#endif

static unsigned kinds_of(const char* names) {
  unsigned kinds = 0;
  if (taloma_kinds(names, &kinds) != 0) {
    fprintf(stderr, "consumer: unknown kind in %s\n", names);
    exit(2);
  }
  return kinds;
}

int main(int argc, char** argv) {
  const char* mode = argc > 1 ? argv[1] : "";
  if (strcmp(mode, "check") == 0 && argc == 3) {
    char line[4096];
    unsigned long number = 0;
    while (fgets(line, sizeof line, stdin) != NULL) {
      size_t length = strcspn(line, "\r\n");
      ++number;
      if (length == 0) continue;
      taloma_verdict verdict;
      taloma_check(line, length, kinds_of(argv[2]), &verdict);
      printf("%.*s", (int)length, line);
      print_verdict(&verdict);
      printf("\t%lu\n", number);
    }
    return 0;
  }
  if ((strcmp(mode, "gen") == 0 || strcmp(mode, "gen-unique") == 0) && argc >= 5) {
    taloma_gen_options options = taloma_gen_defaults(strtoull(argv[3], NULL, 10));
    options.unique = mode[3] == '-';
    options.kind = (taloma_kind)(__builtin_ctz(kinds_of(argv[2])));
    if (argc > 5) options.places = argv[5];
    if (argc > 6) options.sex = strcmp(argv[6], "male") == 0 ? 0 : strcmp(argv[6], "female") == 0 ? 1 : -1;
    if (argc > 7) options.categories = argv[7];
    taloma_generator* generator = taloma_generator_new(&options);
    if (generator == NULL) return 2;
    char number[32];
    for (unsigned long n = strtoul(argv[4], NULL, 10); n > 0; --n) {
      if (taloma_generator_next(generator, number, 3) != 0 ||
          taloma_generator_next(generator, number, sizeof number) == 0) {
        return 2;
      }
      puts(number);
    }
    taloma_generator_free(generator);
    return 0;
  }
  if ((strcmp(mode, "scan") == 0 || strcmp(mode, "redact") == 0) && argc == 3) {
    size_t size = 0;
    char* text = read_all(&size);
    taloma_scan_options options = {kinds_of(argv[2]), 1, 0, 0};
    if (strcmp(mode, "scan") == 0) {
      taloma_scan(text, size, &options, print_found, text);
    } else {
      char* redacted = NULL;
      size_t length = 0;
      options.near_misses = 0;
      if (taloma_redact(text, size, &options, &redacted, &length) == (size_t)-1) return 2;
      fwrite(redacted, 1, length, stdout);
      taloma_free(redacted);
    }
    free(text);
    return 0;
  }
#ifdef TALOMA_VERSION_MAJOR
  if (strcmp(mode, "fed") == 0 && argc == 5) {
    const int scan = strcmp(argv[2], "scan") == 0;
    taloma_scanner_options options = {sizeof options, {kinds_of(argv[3]), scan, 0, 0},
                                      scan ? print_fed : NULL, scan ? NULL : write_fed, NULL};
    taloma_scanner* scanner = taloma_scanner_new(&options);
    char piece[1 << 16];
    size_t size = strtoul(argv[4], NULL, 10), got;
    while (scanner != NULL && (got = fread(piece, 1, size, stdin)) > 0) {
      if (taloma_scanner_feed(scanner, piece, got) != 0) return 2;
    }
    if (scanner == NULL || taloma_scanner_finish(scanner) != 0) return 2;
    taloma_scanner_free(scanner);
    return 0;
  }
#endif
  if (strcmp(mode, "places") == 0) {
    taloma_place place;
    for (size_t i = 0; taloma_place_at(i, &place) == 0; ++i) {
      printf("%s\t%d\t%s\t%s\t%d\t", place.letter, place.value, place.name, place.area_code,
             place.postal_count);
      if (place.last_issued != 0) printf("%d", place.last_issued);
      putchar('\n');
    }
    return 0;
  }
  fprintf(stderr, "usage: consumer check|gen|scan|redact|places ... (libtaloma %s)\n",
          taloma_version());
  return 2;
}
