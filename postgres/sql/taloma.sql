-- The extension as SQL meets it: made by a database owner, in constraints and domains, refusing
-- wrong arguments with an SQLSTATE, whole on hostile inputs, parallel, pseudonyms under a key file
-- on the server, updated from 1.0, and in other encodings.
-- (postgres/test/run_tests.sh compares its rows with taloma-id's on the case table's inputs.)
\set VERBOSITY terse
SELECT current_database() AS home \gset

-- Trusted: an owner who is no superuser creates it.
CREATE ROLE regress_taloma_owner;
GRANT CREATE ON DATABASE :"home" TO regress_taloma_owner;
SET ROLE regress_taloma_owner;
CREATE EXTENSION taloma;
RESET ROLE;

-- A column of each kind, and a CHECK constraint that names itself when it refuses.
CREATE TABLE people (id taloma_national NOT NULL, resident taloma_resident,
                     old taloma_resident_old, company taloma_business,
                     certificate taloma_certificate, carrier taloma_carrier,
                     donation taloma_donation, phone taloma_mobile,
                     other text CONSTRAINT other_is_an_identity_number CHECK (taloma_valid(other)));
INSERT INTO people VALUES ('A123456789', 'A800000014', 'AC12345679', '04595257',
                           'AB12345678901234', '/ABC+123', '8585', '+886 912 345 678', 'F931415926');
INSERT INTO people (id, other) VALUES ('A123456789', 'A123456788');
INSERT INTO people (id) VALUES ('A800000014');
INSERT INTO people (id, resident) VALUES ('A123456789', 'A123456789');
INSERT INTO people (id, old) VALUES ('A123456789', 'A800000014');
INSERT INTO people (id, company) VALUES ('A123456789', '12345678');
INSERT INTO people (id, certificate) VALUES ('A123456789', 'aB12345678901234');
INSERT INTO people (id, carrier) VALUES ('A123456789', '/ABC_123');
INSERT INTO people (id, donation) VALUES ('A123456789', '12');
INSERT INTO people (id, phone) VALUES ('A123456789', '0812345678');
-- The domain takes the rule since 2023; the rule before it is an argument away.
SELECT '55989270'::taloma_business, taloma_valid('55989270', 'business', before_2023 => true);
CREATE INDEX people_valid ON people (taloma_valid(other));
SELECT * FROM taloma_check('F931415926'), taloma_decode('A123456788', chinese => true);

-- Wrong arguments: an ERROR with its SQLSTATE, whichever function meets them.
CREATE FUNCTION pg_temp.error_of(statement text) RETURNS text LANGUAGE plpgsql AS $$
BEGIN
  EXECUTE statement;
  RETURN 'no error';
EXCEPTION WHEN OTHERS THEN
  RETURN SQLSTATE || ' ' || left(SQLERRM, 100);
END $$;
SELECT split_part(f, '(', 1) AS call, left(kinds, 20) AS kinds, pg_temp.error_of(format(f, kinds)) FROM
  (VALUES ('alien'), (''), ('national,,mobile'), (repeat('k', 1000000))) AS k (kinds),
  (VALUES ('SELECT taloma_valid(''A123456789'', %L)'), ('SELECT taloma_check(''x'', %L)'),
          ('SELECT taloma_decode(''x'', true, %L)'), ('SELECT taloma_redact(''x'', %L)'),
          ('SELECT taloma_generate(1, 1, %L)'), ('SELECT taloma_pseudonymize(''x'', NULL, %L)'),
          ('SELECT taloma_reveal(''x'', ''crm'', %L)')) AS f (f)
  ORDER BY f, length(kinds);
SELECT call, pg_temp.error_of('SELECT taloma_generate(' || call || ')') FROM (VALUES
  ('-1, 1'), ('1, 1, ''mobile'''), ('1, 1, ''national,resident'''), ('1, 1, places => ''A,XX'''),
  ('1, 1, sex => ''other'''), ('1, 1, ''resident'', categories => ''foreign,x'''),
  ('1, 1, categories => ''foreign'''), ('1, 1, ''business'', places => ''A'''),
  ('1, 1, ''carrier'', sex => ''male'''),
  ('1, 1, since_2023 => true'), ('1, 1, places => ''L,R'', current => true'),
  ('10000001, 1, places => ''A'', sex => ''male'', unique_numbers => true')) AS c (call);

-- NULLs, empty texts and 1 MB texts: answers, and the server stays up.
SELECT taloma_valid(NULL), taloma_check(NULL) IS NULL AS no_verdict, taloma_decode(NULL),
       taloma_redact(NULL), taloma_valid('A123456789', NULL),
       (SELECT count(*) FROM taloma_generate(NULL, 1)) AS drawn,
       taloma_pseudonymize(NULL, 'crm', 'national') IS NULL AND taloma_reveal(NULL) IS NULL AS no_key_needed;
SELECT taloma_valid('', 'national,resident,business,certificate,carrier,donation,mobile'),
       taloma_check('', 'mobile'), taloma_decode(''), taloma_redact(''),
       (SELECT count(*) FROM taloma_generate(0, 1)) AS drawn;
WITH big (body) AS (VALUES (repeat('A123456789 ', 100000)), (repeat('台', 400000)), (repeat('0', 1048576)))
SELECT length(body), taloma_valid(body), taloma_valid(body, 'mobile,donation,business'),
       (taloma_check(body, 'national,business,certificate,carrier,donation,mobile')).reason,
       taloma_decode(body), taloma_redact(body) = replace(body, 'A123456789', 'A*********') AS masked
  FROM big;

-- Seeded numbers, the bigint's bits as gen's unsigned seed, and the tables.
SELECT taloma_generate(3, 42), taloma_generate(3, -1, 'business', since_2023 => true);
SELECT count(*), sum(postal_count) FROM taloma_places();
SELECT * FROM taloma_districts() WHERE letter IS NULL OR district = '中正區';

-- Parallel: the plan of a count over many rows splits the scan.
CREATE TABLE numbers AS SELECT taloma_generate(1000, 1) AS id;
SET parallel_setup_cost = 0;
SET parallel_tuple_cost = 0;
SET min_parallel_table_scan_size = 0;
SET max_parallel_workers_per_gather = 2;
EXPLAIN (COSTS OFF) SELECT count(*) FROM numbers WHERE taloma_valid(id);
SELECT count(*) FROM numbers WHERE taloma_valid(id);
RESET ALL;

-- Pseudonyms: the key is a file on the server that taloma.key_file names, which a superuser alone
-- sets. The files are made here in the data directory, where a relative name is read from:
-- NIST's AES-256 key, a key other users may read, and a file that holds no key.
SELECT taloma_pseudonymize('A123456789');
\set VERBOSITY default
SELECT taloma_reveal('A123456789', 'crm');
\set VERBOSITY terse
COPY (SELECT '2b7e151628aed2a6abf7158809cf4f3cef4359d8d580aa4f7f036d6f04fc6a94')
  TO PROGRAM 'umask 077 && cat > regress_taloma.key && cp regress_taloma.key regress_taloma_exposed.key && chmod 644 regress_taloma_exposed.key';
COPY (SELECT 'not a key') TO PROGRAM 'umask 077 && cat > regress_taloma_not.key';
SET ROLE regress_taloma_owner;
SET taloma.key_file = 'regress_taloma.key';
RESET ROLE;
SET taloma.key_file = 'regress_taloma.key';

-- Each valid number of the kinds becomes another of its kind, written the same way, and comes
-- back; another context gives others. A NULL context is none, NULL kinds the identity kinds. What
-- can have no pseudonym, as the 捐贈碼 8585, is masked and does not come back.
CREATE TABLE texts (n integer, body text);
INSERT INTO texts VALUES (1, '客戶 A123456789，Ｆ２３１４１５９２２，統編 04595257，手機 0912-345-678'),
  (2, 'a123456789 A800000014 AC12345679 A12345678X b200000004'),
  (3, 'carrier /ABC+123, certificate AB12345678901234, donation 8585 and 1234567, +886 912 345 678');
SELECT n, p AS pseudonymized, taloma_reveal(p) = body AS back,
       taloma_pseudonymize(body, '', NULL) = p AS no_context_is_empty
  FROM texts, taloma_pseudonymize(body) AS p ORDER BY n;
SELECT n, p AS pseudonymized, taloma_reveal(p, 'crm', kinds) = body AS back,
       taloma_pseudonymize(body, kinds => kinds) <> p AS context_changes_them
  FROM texts, (VALUES ('national,resident,business,certificate,carrier,donation,mobile')) AS k (kinds),
       taloma_pseudonymize(body, 'crm', kinds) AS p ORDER BY n;

-- Whoever may call them can turn a pseudonym back: the owner, and whom the owner grants them to.
CREATE ROLE regress_taloma_reader;
SET ROLE regress_taloma_reader;
SELECT taloma_reveal('A123456789');
SET ROLE regress_taloma_owner;
GRANT EXECUTE ON FUNCTION taloma_reveal(text, text, text) TO regress_taloma_reader;
SET ROLE regress_taloma_reader;
SELECT taloma_reveal('A123456789');
SELECT taloma_pseudonymize('A123456789');
SET ROLE regress_taloma_owner;
REVOKE EXECUTE ON FUNCTION taloma_reveal(text, text, text) FROM regress_taloma_reader;
RESET ROLE;
DROP ROLE regress_taloma_reader;

-- A file that gives no key is an ERROR that names it and why; one others may read, a WARNING when
-- it is read. A changed setting or file is read again: a new file under the name, then the old.
CREATE FUNCTION pg_temp.key_error(file text) RETURNS text LANGUAGE plpgsql AS $$
BEGIN
  PERFORM set_config('taloma.key_file', file, false);
  RETURN pg_temp.error_of('SELECT taloma_pseudonymize(''A123456789'')');
END $$;
SELECT file, pg_temp.key_error(file) FROM (VALUES ('regress_taloma_not.key'),
  ('regress_taloma_missing.key'), ('base'), ('regress_taloma.key')) AS f (file);
SET taloma.key_file = 'regress_taloma_exposed.key';
SELECT taloma_pseudonymize('A123456789');
SELECT taloma_pseudonymize('A123456789');
SET taloma.key_file = 'regress_taloma.key';
COPY (SELECT '0000000000000000000000000000000000000000000000000000000000000001')
  TO PROGRAM 'umask 077 && cat > regress_taloma_new.key && mv regress_taloma.key regress_taloma_old.key && mv regress_taloma_new.key regress_taloma.key';
SELECT taloma_pseudonymize('A123456789');
COPY (SELECT 1 WHERE false) TO PROGRAM 'mv regress_taloma_old.key regress_taloma.key';
SELECT taloma_pseudonymize('A123456789');
DROP TABLE texts;

-- Other encodings: LATIN1 converted both ways, so positions count its characters; SQL_ASCII's
-- bytes beyond ASCII are no number, and what counts characters refuses them.
CREATE DATABASE regress_taloma_latin1 TEMPLATE template0 ENCODING 'LATIN1' LOCALE 'C';
CREATE DATABASE regress_taloma_ascii TEMPLATE template0 ENCODING 'SQL_ASCII' LOCALE 'C';
\c regress_taloma_latin1
SET client_encoding = 'UTF8';
-- Here version 1.0 first, updated to 1.1.
CREATE EXTENSION taloma VERSION '1.0';
ALTER EXTENSION taloma UPDATE;
SELECT extversion FROM pg_extension WHERE extname = 'taloma';
SELECT taloma_valid('A123456789'), * FROM taloma_check('é123456789');
SELECT taloma_check('A12345678é', 'national'), taloma_redact('é A123456789 ü');
SELECT taloma_check('A123456789');
SET taloma.key_file = 'regress_taloma.key';
SELECT p, taloma_reveal(p, 'crmé') FROM taloma_pseudonymize('é A123456789 ü', 'crmé') AS p;
\c regress_taloma_ascii
SET client_encoding = 'UTF8';
CREATE EXTENSION taloma;
SELECT taloma_valid('A123456789'), taloma_valid('Ａ123456789'), taloma_check('A123456789');
SELECT taloma_redact('ID A123456789'), taloma_decode('A123456789', true);
SELECT taloma_check('é123456789');
SELECT taloma_redact('身分證 A123456789');
SELECT taloma_generate(1, 1, places => '臺北市');
SET taloma.key_file = 'regress_taloma.key';
SELECT taloma_pseudonymize('ID A123456789');
SELECT taloma_reveal('身分證 A123456789');
\c :home
COPY (SELECT 1 WHERE false) TO PROGRAM 'rm -f regress_taloma.key regress_taloma_exposed.key regress_taloma_not.key';
DROP DATABASE regress_taloma_latin1;
DROP DATABASE regress_taloma_ascii;
DROP TABLE people, numbers;
DROP EXTENSION taloma;
REVOKE CREATE ON DATABASE :"home" FROM regress_taloma_owner;
DROP ROLE regress_taloma_owner;
