/* The PostgreSQL extension taloma: libtaloma's verdicts, masks, seeded numbers and place tables as
 * SQL functions (the taloma--*.sql scripts declare them), and its pseudonyms under a key that the
 * server reads from a file. It asks the library through its C interface only, and holds no rule of
 * its own.
 *
 * The library reads and writes UTF-8. A database in another encoding has its text converted both
 * ways, and a character the database cannot hold is PostgreSQL's usual conversion error. SQL_ASCII
 * says nothing of what its bytes mean: there, text beyond ASCII is no number of any kind (every
 * kind's number is ASCII), and the functions whose answer counts its characters refuse it. */
#include "postgres.h"

#include "fmgr.h"
#include "funcapi.h"
#include "lib/stringinfo.h"
#include "mb/pg_wchar.h"
#include "port/pg_bitutils.h"
#include "utils/builtins.h"
#include "utils/guc.h"
#include "utils/memutils.h"

#include <sys/stat.h>

#include <taloma/taloma.h>

PG_MODULE_MAGIC;

void		_PG_init(void);

/* A text as the library reads it. */
typedef struct Utf8
{
	const char *bytes;
	size_t		length;
	bool		known;			/* false for bytes beyond ASCII in a SQL_ASCII database */
} Utf8;

static bool
is_ascii(const char *bytes, size_t length)
{
	for (size_t i = 0; i < length; ++i)
	{
		if ((unsigned char) bytes[i] >= 0x80)
			return false;
	}
	return true;
}

static Utf8
utf8_of(const text *value)
{
	Utf8		in = {VARDATA_ANY(value), VARSIZE_ANY_EXHDR(value), true};
	int			encoding = GetDatabaseEncoding();

	if (encoding == PG_UTF8 || is_ascii(in.bytes, in.length))
		return in;
	if (encoding == PG_SQL_ASCII)
	{
		in.known = false;
		return in;
	}
	/* Text holds no NUL, and neither does its conversion. */
	in.bytes = pg_server_to_any(in.bytes, (int) in.length, PG_UTF8);
	in.length = strlen(in.bytes);
	return in;
}

/* The text as UTF-8, or an error where its characters are unknown. */
static Utf8
readable(const text *value)
{
	Utf8		in = utf8_of(value);

	if (!in.known)
		ereport(ERROR,
				(errcode(ERRCODE_CHARACTER_NOT_IN_REPERTOIRE),
				 errmsg("taloma cannot read text beyond ASCII in a SQL_ASCII database"),
				 errdetail("SQL_ASCII keeps bytes without saying which characters they are, and the answer counts characters."),
				 errhint("Keep the data in a database whose encoding is UTF8.")));
	return in;
}

/* A NUL-ended UTF-8 copy of a NUL-ended text in the database's encoding. */
static char *
utf8_string(const char *server)
{
	size_t		length = strlen(server);
	Utf8		in;
	text	   *value = cstring_to_text_with_len(server, (int) length);

	in = readable(value);
	return pnstrdup(in.bytes, in.length);
}

/* UTF-8 from the library as a text of the database. */
static text *
server_text(const char *utf8, size_t length)
{
	int			encoding = GetDatabaseEncoding();
	char	   *server;

	if (encoding == PG_UTF8 || encoding == PG_SQL_ASCII || is_ascii(utf8, length))
		return cstring_to_text_with_len(utf8, (int) length);
	server = pg_any_to_server(utf8, (int) length, PG_UTF8);
	return cstring_to_text(server);
}

static Datum
text_datum(const char *utf8)
{
	return PointerGetDatum(server_text(utf8, strlen(utf8)));
}

static void refuse(const char *message, const char *name, const char *hint) pg_attribute_noreturn();

/* An error for a wrong argument: `message` with `name` for its %s, and a hint when there is one. */
static void
refuse(const char *message, const char *name, const char *hint)
{
	ereport(ERROR,
			(errcode(ERRCODE_INVALID_PARAMETER_VALUE),
			 errmsg(message, name),
			 hint != NULL ? errhint("%s", hint) : 0));
}

/* The kinds' names as a hint lists them: "national, resident, ... or mobile". */
static const char *
kind_names(void)
{
	StringInfoData names;
	const char *name;

	initStringInfo(&names);
	appendStringInfoString(&names, "Give ");
	for (unsigned kind = 0; (name = taloma_kind_name(kind)) != NULL; ++kind)
		appendStringInfo(&names, "%s%s", kind == 0 ? "" : taloma_kind_name(kind + 1) != NULL ? ", " : " or ",
						 name);
	appendStringInfoString(&names, ", several separated by commas.");
	return names.data;
}

/* The set of kinds a list of names gives ("national,mobile"); an error names the first unknown. */
static unsigned
kinds_named(const char *names)
{
	unsigned	kinds = 0;
	char	   *rest;
	char	   *name;

	if (taloma_kinds(names, &kinds) == 0 && kinds != 0)
		return kinds;
	rest = pstrdup(names);
	while ((name = strsep(&rest, ",")) != NULL)
	{
		if (taloma_kinds(name, &kinds) != 0 || kinds == 0)
			refuse("unknown kind \"%s\"", name, kind_names());
	}
	refuse("no kind named in \"%s\"", names, kind_names());
}

/* What a call site keeps between rows: its last list of kinds, read once while it stays the same. */
typedef struct CallSite
{
	unsigned	kinds;
	int			names_length;	/* -1 before the first row */
	char	   *names;
} CallSite;

/* The kinds of argument `at`. */
static unsigned
kinds_at(FunctionCallInfo fcinfo, int at)
{
	CallSite   *site = fcinfo->flinfo->fn_extra;
	text	   *names = PG_GETARG_TEXT_PP(at);
	int			length = VARSIZE_ANY_EXHDR(names);

	if (site == NULL)
	{
		site = MemoryContextAllocZero(fcinfo->flinfo->fn_mcxt, sizeof(CallSite));
		site->names_length = -1;
		fcinfo->flinfo->fn_extra = site;
	}
	if (length != site->names_length || memcmp(site->names, VARDATA_ANY(names), length) != 0)
	{
		site->kinds = kinds_named(text_to_cstring(names));
		if (site->names != NULL)
			pfree(site->names);
		site->names = MemoryContextAlloc(fcinfo->flinfo->fn_mcxt, length);
		memcpy(site->names, VARDATA_ANY(names), length);
		site->names_length = length;
	}
	return site->kinds;
}

/* The kinds of argument `at`, with the 統一編號 rule before 2023 when argument `at` + 1 asks. */
static unsigned
kinds_argument(FunctionCallInfo fcinfo, int at)
{
	return kinds_at(fcinfo, at) | (PG_GETARG_BOOL(at + 1) ? TALOMA_BEFORE_2023 : 0);
}

/* The pseudonyms' key: a file on the server that a superuser names in taloma.key_file. It is read
 * once and held while the setting names the same file and the file stays as it was; a key dropped
 * is zeroed first. */
static char *key_file = NULL;

typedef struct HeldKey
{
	char	   *path;			/* NULL while no file's key is held */
	struct stat file;			/* the file as it was when read */
	unsigned char key[32];
} HeldKey;

static HeldKey held;

static void
forget_key(void)
{
	explicit_bzero(held.key, sizeof held.key);
	if (held.path != NULL)
		pfree(held.path);
	held.path = NULL;
}

/* The same file, unchanged: the same inode, size, modification and change (a chmod too). */
static bool
same_file(const struct stat *a, const struct stat *b)
{
	return a->st_dev == b->st_dev && a->st_ino == b->st_ino && a->st_size == b->st_size &&
		a->st_mtim.tv_sec == b->st_mtim.tv_sec && a->st_mtim.tv_nsec == b->st_mtim.tv_nsec &&
		a->st_ctim.tv_sec == b->st_ctim.tv_sec && a->st_ctim.tv_nsec == b->st_ctim.tv_nsec;
}

/* A new taloma.key_file lets the key of another go at once, not at the next call. */
static void
assign_key_file(const char *path, void *extra)
{
	if (held.path == NULL || path == NULL || strcmp(path, held.path) != 0)
		forget_key();
}

static void refuse_key_file(int error) pg_attribute_noreturn();

/* An error that names the key file and why it gives no key, never what it holds. */
static void
refuse_key_file(int error)
{
	forget_key();
	if (error == -1)
		ereport(ERROR,
				(errcode(ERRCODE_CONFIG_FILE_ERROR),
				 errmsg("taloma.key_file \"%s\" is not a key file", key_file),
				 errdetail("A key file holds 64 hexadecimal characters and a newline, nothing else."),
				 errhint("Make one with taloma-id key FILE.")));
	errno = error;
	ereport(ERROR,
			(errcode_for_file_access(),
			 errmsg("could not read taloma.key_file \"%s\": %m", key_file)));
}

/* The key of the file that taloma.key_file names (a relative path is read from the data directory). */
static const unsigned char *
server_key(void)
{
	struct stat before;
	struct stat after;
	int			exposed = 0;
	int			error;

	if (key_file == NULL || key_file[0] == '\0')
	{
		forget_key();
		ereport(ERROR,
				(errcode(ERRCODE_OBJECT_NOT_IN_PREREQUISITE_STATE),
				 errmsg("taloma.key_file is not set"),
				 errdetail("taloma_pseudonymize and taloma_reveal read their key from a file on the server."),
				 errhint("A superuser names the key file: ALTER DATABASE name SET taloma.key_file = '/path/key', ALTER SYSTEM or postgresql.conf; make one with taloma-id key FILE.")));
	}
	if (stat(key_file, &before) != 0)
		refuse_key_file(errno);
	if (held.path != NULL && strcmp(held.path, key_file) == 0 && same_file(&held.file, &before))
		return held.key;

	forget_key();
	error = taloma_read_key(key_file, held.key, &exposed);
	if (error != 0)
		refuse_key_file(error);
	/* A file replaced while it was read is read again by the next call. */
	if (stat(key_file, &after) == 0 && same_file(&before, &after))
	{
		held.path = MemoryContextStrdup(TopMemoryContext, key_file);
		held.file = after;
	}
	if (exposed)
		ereport(WARNING,
				(errmsg("other users may read the key file \"%s\"", key_file),
				 errhint("Run chmod 600 on it: whoever reads the key can reveal every pseudonym.")));
	return held.key;
}

void
_PG_init(void)
{
	DefineCustomStringVariable("taloma.key_file",
							   "The key file of taloma_pseudonymize and taloma_reveal.",
							   "A file that taloma-id key wrote, on the server; a relative path is read from the data directory. Only a superuser sets it.",
							   &key_file, "", PGC_SUSET, 0, NULL, assign_key_file, NULL);
	MarkGUCPrefixReserved("taloma");
}

PG_FUNCTION_INFO_V1(pg_taloma_valid);
PG_FUNCTION_INFO_V1(pg_taloma_check);
PG_FUNCTION_INFO_V1(pg_taloma_decode);
PG_FUNCTION_INFO_V1(pg_taloma_redact);
PG_FUNCTION_INFO_V1(pg_taloma_generate);
PG_FUNCTION_INFO_V1(pg_taloma_places);
PG_FUNCTION_INFO_V1(pg_taloma_districts);
PG_FUNCTION_INFO_V1(pg_taloma_pseudonymize);
PG_FUNCTION_INFO_V1(pg_taloma_reveal);

/* taloma_valid(id [, kinds, before_2023]) */
Datum
pg_taloma_valid(PG_FUNCTION_ARGS)
{
	unsigned	kinds = PG_NARGS() > 1 ? kinds_argument(fcinfo, 1) : 0;
	Utf8		id = utf8_of(PG_GETARG_TEXT_PP(0));

	PG_RETURN_BOOL(id.known && taloma_check(id.bytes, id.length, kinds, NULL) == 1);
}

/* taloma_check(id, kinds, before_2023): the verdict's fields as a taloma_verdict, NULL where
 * taloma-id's row leaves a field out. */
Datum
pg_taloma_check(PG_FUNCTION_ARGS)
{
	unsigned	kinds = kinds_argument(fcinfo, 1);
	Utf8		id = readable(PG_GETARG_TEXT_PP(0));
	taloma_verdict v;
	TupleDesc	row;
	Datum		values[9];
	bool		nulls[9];
	const char *texts[6];

	if (get_call_result_type(fcinfo, NULL, &row) != TYPEFUNC_COMPOSITE)
		elog(ERROR, "taloma_check must return a row");
	taloma_check(id.bytes, id.length, kinds, &v);
	values[0] = BoolGetDatum(v.valid != 0);
	nulls[0] = false;
	texts[0] = v.kind;
	texts[1] = v.sex;
	texts[2] = v.category;
	texts[3] = v.letter;
	texts[4] = v.place;
	texts[5] = v.reason;
	for (int i = 0; i < 6; ++i)
	{
		nulls[i + 1] = texts[i][0] == '\0';
		values[i + 1] = text_datum(texts[i]);
	}
	values[7] = Int32GetDatum(v.position);
	nulls[7] = v.position == 0;
	values[8] = Int32GetDatum(v.expected);
	nulls[8] = v.expected < 0;
	PG_RETURN_DATUM(HeapTupleGetDatum(heap_form_tuple(BlessTupleDesc(row), values, nulls)));
}

/* taloma_decode(id, chinese, kinds, before_2023): the verdict as taloma-id check says it. */
Datum
pg_taloma_decode(PG_FUNCTION_ARGS)
{
	unsigned	kinds = kinds_argument(fcinfo, 2);
	Utf8		id = readable(PG_GETARG_TEXT_PP(0));
	int			chinese = PG_GETARG_BOOL(1);
	char		buffer[256];
	char	   *sentence = buffer;
	size_t		length = taloma_decode(id.bytes, id.length, kinds, chinese, buffer, sizeof buffer);

	if (length >= sizeof buffer)
	{
		sentence = palloc(length + 1);
		taloma_decode(id.bytes, id.length, kinds, chinese, sentence, length + 1);
	}
	if (length == 0)
		ereport(ERROR, (errcode(ERRCODE_OUT_OF_MEMORY), errmsg("out of memory")));
	PG_RETURN_TEXT_P(server_text(sentence, length));
}

/* taloma_redact(body, kinds, before_2023): the text with each number of those kinds masked, as
 * taloma-id scan --redact masks it. */
Datum
pg_taloma_redact(PG_FUNCTION_ARGS)
{
	taloma_scan_options options = {0};
	Utf8		body;
	char	   *masked;
	char	   *copy;
	size_t		length;

	options.kinds = kinds_argument(fcinfo, 1);
	body = readable(PG_GETARG_TEXT_PP(0));
	if (taloma_redact(body.bytes, body.length, &options, &masked, &length) == (size_t) -1)
		ereport(ERROR, (errcode(ERRCODE_OUT_OF_MEMORY), errmsg("out of memory")));
	/* Into PostgreSQL's memory before anything can raise an error. */
	copy = palloc(length + 1);
	memcpy(copy, masked, length + 1);
	taloma_free(masked);
	PG_RETURN_TEXT_P(server_text(copy, length));
}

/* taloma_pseudonymize(body, context, kinds) and taloma_reveal(...): the text as taloma-id scan
 * --pseudonymize or --reveal writes it with the key of taloma.key_file. NULL kinds are the identity
 * kinds, a NULL context none; near misses are not looked for, as scan looks for them only when
 * asked. */
static Datum
rewrite(FunctionCallInfo fcinfo, bool reveal)
{
	taloma_scan_options options = {0};
	const char *context = NULL;
	const unsigned char *key;
	Utf8		body;
	char	   *written;
	char	   *copy;
	size_t		length;
	size_t		replaced;

	if (PG_ARGISNULL(0))
		PG_RETURN_NULL();
	options.kinds = PG_ARGISNULL(2) ? 0 : kinds_at(fcinfo, 2);
	if (!PG_ARGISNULL(1))
		context = utf8_string(text_to_cstring(PG_GETARG_TEXT_PP(1)));
	body = readable(PG_GETARG_TEXT_PP(0));
	key = server_key();
	replaced = (reveal ? taloma_reveal : taloma_pseudonymize) (body.bytes, body.length, &options, key,
															  sizeof held.key, context, &written, &length, NULL);
	if (replaced == (size_t) -1)
		ereport(ERROR,
				(errcode(ERRCODE_OUT_OF_MEMORY),
				 errmsg("out of memory, or no AES-256 in the system's libcrypto")));
	/* Into PostgreSQL's memory before anything can raise an error. */
	copy = palloc(length + 1);
	memcpy(copy, written, length + 1);
	taloma_free(written);
	PG_RETURN_TEXT_P(server_text(copy, length));
}

Datum
pg_taloma_pseudonymize(PG_FUNCTION_ARGS)
{
	return rewrite(fcinfo, false);
}

Datum
pg_taloma_reveal(PG_FUNCTION_ARGS)
{
	return rewrite(fcinfo, true);
}

static taloma_generator *
generator_of(FunctionCallInfo fcinfo, int32 count)
{
	/* The bigint's 64 bits are the seed, as taloma-id gen --seed reads it: -1 is 2^64 - 1. */
	taloma_gen_options options = taloma_gen_defaults((uint64) PG_GETARG_INT64(1));
	unsigned	kind;
	char	   *sex;
	char	   *places;
	char	   *categories;
	char	   *reason = NULL;
	taloma_generator *generator;

	if (count < 0)
		refuse("count must be 0 or more", NULL, NULL);
	kind = kinds_named(text_to_cstring(PG_GETARG_TEXT_PP(2)));
	if ((kind & (kind - 1)) != 0)
		refuse("taloma_generate makes numbers of one kind at a time", NULL, NULL);
	options.kind = (taloma_kind) pg_rightmost_one_pos32(kind);
	sex = text_to_cstring(PG_GETARG_TEXT_PP(4));
	if (strcmp(sex, "male") == 0 || strcmp(sex, "female") == 0)
		options.sex = sex[0] == 'f' ? 1 : 0;
	else if (sex[0] != '\0')
		refuse("unknown sex \"%s\"", sex, "Give male or female, or '' for either.");
	places = utf8_string(text_to_cstring(PG_GETARG_TEXT_PP(3)));
	categories = utf8_string(text_to_cstring(PG_GETARG_TEXT_PP(5)));
	options.places = places;
	options.categories = categories;
	options.unique = PG_GETARG_BOOL(6) ? 1 : 0;
	options.current = PG_GETARG_BOOL(7) ? 1 : 0;
	options.since_2023 = PG_GETARG_BOOL(8) ? 1 : 0;

	generator = taloma_generator_open(&options, &reason);
	if (generator == NULL)
	{
		/* Into PostgreSQL's memory before the error leaves this frame. */
		char	   *why = pstrdup(reason != NULL ? reason : "out of memory");

		taloma_free(reason);
		refuse("%s", pg_any_to_server(why, (int) strlen(why), PG_UTF8), NULL);
	}
	if (options.unique && (uint64) count > taloma_generator_size(generator))
	{
		char		size[32];

		snprintf(size, sizeof size, UINT64_FORMAT, taloma_generator_size(generator));
		taloma_generator_free(generator);
		refuse("only %s different numbers exist for these choices; unique_numbers cannot give more",
			   size, NULL);
	}
	return generator;
}

static void
free_generator(void *generator)
{
	taloma_generator_free(generator);
}

/* taloma_generate(count, seed, kind, places, sex, categories, unique_numbers, current, since_2023):
 * the numbers taloma-id gen prints for the same options. */
Datum
pg_taloma_generate(PG_FUNCTION_ARGS)
{
	FuncCallContext *call;
	char		number[32];

	if (SRF_IS_FIRSTCALL())
	{
		MemoryContextCallback *freeing;
		MemoryContext caller;

		call = SRF_FIRSTCALL_INIT();
		caller = MemoryContextSwitchTo(call->multi_call_memory_ctx);
		freeing = palloc(sizeof(MemoryContextCallback));
		/* Freed with the call's memory however the call ends: done, stopped by a LIMIT, or by an error. */
		freeing->func = free_generator;
		freeing->arg = generator_of(fcinfo, PG_GETARG_INT32(0));
		MemoryContextRegisterResetCallback(call->multi_call_memory_ctx, freeing);
		call->user_fctx = freeing->arg;
		call->max_calls = PG_GETARG_INT32(0);
		MemoryContextSwitchTo(caller);
	}
	call = SRF_PERCALL_SETUP();
	if (call->call_cntr < call->max_calls &&
		taloma_generator_next(call->user_fctx, number, sizeof number) > 0)
		SRF_RETURN_NEXT(call, CStringGetTextDatum(number));
	SRF_RETURN_DONE(call);
}

/* A row of a place table, its empty fields NULL. */
static void
put_row(FunctionCallInfo fcinfo, Datum *values, bool *nulls)
{
	ReturnSetInfo *result = (ReturnSetInfo *) fcinfo->resultinfo;

	tuplestore_putvalues(result->setResult, result->setDesc, values, nulls);
}

/* taloma_places(): the 26 letters, as taloma-id places lists them. */
Datum
pg_taloma_places(PG_FUNCTION_ARGS)
{
	taloma_place place;

	InitMaterializedSRF(fcinfo, 0);
	for (size_t i = 0; taloma_place_at(i, &place) == 0; ++i)
	{
		Datum		values[6] = {text_datum(place.letter), Int32GetDatum(place.value),
		text_datum(place.name), text_datum(place.area_code), Int32GetDatum(place.postal_count),
		Int32GetDatum(place.last_issued)};
		bool		nulls[6] = {false, false, false, place.area_code[0] == '\0', false,
		place.last_issued == 0};

		put_row(fcinfo, values, nulls);
	}
	return (Datum) 0;
}

/* taloma_districts(): the 369 postal districts, as taloma-id places --postal lists them. */
Datum
pg_taloma_districts(PG_FUNCTION_ARGS)
{
	taloma_district district;

	InitMaterializedSRF(fcinfo, 0);
	for (size_t i = 0; taloma_district_at(i, &district) == 0; ++i)
	{
		Datum		values[4] = {text_datum(district.letter), text_datum(district.place),
		text_datum(district.district), text_datum(district.postal_code)};
		bool		nulls[4] = {district.letter[0] == '\0', district.place[0] == '\0', false, false};

		put_row(fcinfo, values, nulls);
	}
	return (Datum) 0;
}
