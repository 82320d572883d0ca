-- The extension taloma from version 1.0 to 1.1 (docs/postgres.md): pseudonyms under the key of the
-- file that taloma.key_file names. No rule changes: nothing to re-check.
\echo Use "ALTER EXTENSION taloma UPDATE TO '1.1'" to load this file. \quit

-- The text with each valid number of the kinds replaced by its pseudonym, or turned back, as
-- taloma-id scan --pseudonymize and --reveal write it with the same key, context and kinds. STABLE:
-- the answer follows taloma.key_file.
CREATE FUNCTION taloma_pseudonymize(body text, context text DEFAULT NULL, kinds text DEFAULT NULL)
  RETURNS text
  AS 'MODULE_PATHNAME', 'pg_taloma_pseudonymize' LANGUAGE C STABLE PARALLEL SAFE;
CREATE FUNCTION taloma_reveal(body text, context text DEFAULT NULL, kinds text DEFAULT NULL)
  RETURNS text
  AS 'MODULE_PATHNAME', 'pg_taloma_reveal' LANGUAGE C STABLE PARALLEL SAFE;

-- Whoever may call either can turn a pseudonym back (taloma_pseudonymize too, by trying every
-- number of a letter): the extension's owner, who grants them on; not everyone.
REVOKE ALL ON FUNCTION taloma_pseudonymize(text, text, text), taloma_reveal(text, text, text)
  FROM PUBLIC;
DO $$
DECLARE
  owner regrole := (SELECT extowner FROM pg_extension WHERE extname = 'taloma');
BEGIN
  -- A superuser may call them already, and may not grant to itself.
  IF NOT (SELECT rolsuper FROM pg_roles WHERE oid = owner) THEN
    EXECUTE format('GRANT EXECUTE ON FUNCTION taloma_pseudonymize(text, text, text),
                    taloma_reveal(text, text, text) TO %s WITH GRANT OPTION', owner);
  END IF;
END $$;
