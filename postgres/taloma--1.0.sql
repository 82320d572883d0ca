-- The SQL interface of the extension taloma, version 1.0 (docs/postgres.md).
\echo Use "CREATE EXTENSION taloma" to load this file. \quit

-- Whether a text is a valid number of the identity kinds, or of the kinds named.
CREATE FUNCTION taloma_valid(id text) RETURNS boolean
  AS 'MODULE_PATHNAME', 'pg_taloma_valid' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;
CREATE FUNCTION taloma_valid(id text, kinds text, before_2023 boolean DEFAULT false) RETURNS boolean
  AS 'MODULE_PATHNAME', 'pg_taloma_valid' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;

-- The verdict's fields, named as in taloma-id's rows; NULL where a row leaves one out.
CREATE TYPE taloma_verdict AS (valid boolean, kind text, sex text, category text, letter text,
                               place text, reason text, position integer, expected integer);
CREATE FUNCTION taloma_check(id text, kinds text DEFAULT 'national,resident,resident-old',
                             before_2023 boolean DEFAULT false) RETURNS taloma_verdict
  AS 'MODULE_PATHNAME', 'pg_taloma_check' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;
CREATE FUNCTION taloma_decode(id text, chinese boolean DEFAULT false,
                              kinds text DEFAULT 'national,resident,resident-old',
                              before_2023 boolean DEFAULT false) RETURNS text
  AS 'MODULE_PATHNAME', 'pg_taloma_decode' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;

-- A text with each number of the kinds masked, as taloma-id scan --redact masks it.
CREATE FUNCTION taloma_redact(body text, kinds text DEFAULT 'national,resident,resident-old',
                              before_2023 boolean DEFAULT false) RETURNS text
  AS 'MODULE_PATHNAME', 'pg_taloma_redact' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;

-- The numbers taloma-id gen prints for the same seed and options.
CREATE FUNCTION taloma_generate(count integer, seed bigint, kind text DEFAULT 'national',
                                places text DEFAULT '', sex text DEFAULT '',
                                categories text DEFAULT '', unique_numbers boolean DEFAULT false,
                                current boolean DEFAULT false, since_2023 boolean DEFAULT false)
  RETURNS SETOF text
  AS 'MODULE_PATHNAME', 'pg_taloma_generate' LANGUAGE C IMMUTABLE STRICT PARALLEL SAFE;

-- The places of the 26 letters and the 369 postal districts, as taloma-id places lists them.
CREATE FUNCTION taloma_places(OUT letter text, OUT value integer, OUT place text,
                              OUT area_code text, OUT postal_count integer, OUT last_issued integer)
  RETURNS SETOF record ROWS 26
  AS 'MODULE_PATHNAME', 'pg_taloma_places' LANGUAGE C IMMUTABLE PARALLEL SAFE;
CREATE FUNCTION taloma_districts(OUT letter text, OUT place text, OUT district text,
                                 OUT postal_code text)
  RETURNS SETOF record ROWS 369
  AS 'MODULE_PATHNAME', 'pg_taloma_districts' LANGUAGE C IMMUTABLE PARALLEL SAFE;

-- One domain a kind; taloma_business takes the rule in force since 2023.
CREATE DOMAIN taloma_national AS text CHECK (taloma_valid(VALUE, 'national'));
CREATE DOMAIN taloma_resident AS text CHECK (taloma_valid(VALUE, 'resident'));
CREATE DOMAIN taloma_resident_old AS text CHECK (taloma_valid(VALUE, 'resident-old'));
CREATE DOMAIN taloma_business AS text CHECK (taloma_valid(VALUE, 'business'));
CREATE DOMAIN taloma_certificate AS text CHECK (taloma_valid(VALUE, 'certificate'));
CREATE DOMAIN taloma_carrier AS text CHECK (taloma_valid(VALUE, 'carrier'));
CREATE DOMAIN taloma_donation AS text CHECK (taloma_valid(VALUE, 'donation'));
CREATE DOMAIN taloma_mobile AS text CHECK (taloma_valid(VALUE, 'mobile'));
