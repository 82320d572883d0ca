-- The table and the measurements of scripts/bench-postgres, which gives :rounds. Prints one line a
-- query: its median time in ms over the rounds and the rows it counted; then the parallel plan.
\set ON_ERROR_STOP on
CREATE EXTENSION taloma;
\i plpgsql_rule.sql
-- 10^6 identity numbers of the three kinds; of every ten, six valid, then a wrong check digit, a
-- lower-case letter, a short one and a digit replaced (as scripts/bench-cli's mixed input).
CREATE TABLE t AS
  SELECT CASE n % 10
           WHEN 6 THEN left(id, 9) || (right(id, 1)::integer + 1) % 10
           WHEN 7 THEN lower(left(id, 1)) || substr(id, 2)
           WHEN 8 THEN left(id, 7)
           WHEN 9 THEN left(id, 4) || 'X' || substr(id, 6)
           ELSE id END AS id
    FROM (SELECT id, row_number() OVER () AS n
            FROM (SELECT taloma_generate(600000, 1) UNION ALL
                  SELECT taloma_generate(200000, 2, 'resident') UNION ALL
                  SELECT taloma_generate(200000, 3, 'resident-old')) AS drawn (id)) AS numbered;
VACUUM ANALYZE t;
\pset format unaligned
\pset tuples_only on
\pset fieldsep '\t'

-- One process: the queries alternated, round by round.
SET max_parallel_workers_per_gather = 0;
CREATE TEMP TABLE timing (query text, ms float8, counted bigint);
SET bench.rounds = :rounds;
DO $$
DECLARE
  queries constant text[] := ARRAY['length(id) = 10', 'taloma_valid(id)',
                                   'taloma_valid(id, ''national,resident,resident-old'')',
                                   'plpgsql_valid(id)'];
  query text;
  started timestamptz;
  counted bigint;
BEGIN
  FOR round IN 1..current_setting('bench.rounds')::integer LOOP
    FOREACH query IN ARRAY queries LOOP
      started := clock_timestamp();
      EXECUTE 'SELECT count(*) FROM t WHERE ' || query INTO counted;
      INSERT INTO timing VALUES (query, extract(epoch FROM clock_timestamp() - started) * 1000, counted);
    END LOOP;
  END LOOP;
END $$;
SELECT query, percentile_cont(0.5) WITHIN GROUP (ORDER BY ms), max(counted) FROM timing GROUP BY query;

\pset format aligned
\pset tuples_only off
SET max_parallel_workers_per_gather = 2;
EXPLAIN (ANALYZE, COSTS OFF, TIMING OFF) SELECT count(*) FROM t WHERE taloma_valid(id);
