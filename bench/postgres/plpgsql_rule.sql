-- The identity kinds' rule written in PL/pgSQL, as a database without the extension would write
-- it: the floor taloma_valid is measured against by scripts/bench-postgres. The letters in the
-- order of their values (A is 10, O is 35); the second character 1, 2 (national), 8, 9 (resident)
-- or A to D (resident-old, counted by the last digit of its value); eight digits; and the weighted
-- sum a multiple of 10.
CREATE FUNCTION plpgsql_valid(id text) RETURNS boolean
LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE AS $$
DECLARE
  letters constant text := 'ABCDEFGHJKLMNPQRSTUVXYWZIO';
  value integer;
  second integer;
  total integer;
BEGIN
  IF length(id) <> 10 THEN
    RETURN false;
  END IF;
  value := strpos(letters, substr(id, 1, 1)) + 9;
  second := strpos('0123456789ABCD', substr(id, 2, 1)) - 1;
  IF value = 9 OR second NOT IN (1, 2, 8, 9, 10, 11, 12, 13) OR substr(id, 3) !~ '^[0-9]{8}$' THEN
    RETURN false;
  END IF;
  total := value / 10 + value % 10 * 9 + second % 10 * 8;
  FOR i IN 3..9 LOOP
    total := total + substr(id, i, 1)::integer * (10 - i);
  END LOOP;
  RETURN (total + substr(id, 10, 1)::integer) % 10 = 0;
END $$;
