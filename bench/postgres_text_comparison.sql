-- What comparing texts as SQL Server does (letter case ignored, accents
-- counted, trailing blanks ignored) costs on PostgreSQL, for each way of
-- getting it, against plain byte comparison in the same run:
--
--   bytes     text COLLATE "C": case and trailing blanks count (the baseline)
--   kl_ci     bpchar COLLATE kl_ci (nondeterministic ICU, level 2); LIKE
--             through kl_like(), since the server refuses LIKE there
--   citext    the citext extension: lower() on both sides; trailing blanks
--             count
--   folded    text COLLATE "C", every comparison written
--             lower(rtrim(x)) = lower(rtrim(y)) over an expression index
--
-- 200,000 account descriptions, each way in its own table with an index on
-- the column (or its expression). Figures are milliseconds, printed as
-- notices. Run on a throwaway database after postgres_functions.sql:
--
--   psql -X -q -d kl_bench -f src/platform/ado/postgres_functions.sql
--   psql -X -q -d kl_bench -f bench/postgres_text_comparison.sql

\set ON_ERROR_STOP 1
SET client_min_messages = notice;
CREATE EXTENSION IF NOT EXISTS citext;

DROP TABLE IF EXISTS kl_b_bytes, kl_b_ci, kl_b_citext, kl_b_folded;
CREATE TABLE kl_b_bytes (v text COLLATE "C");
CREATE TABLE kl_b_ci (v bpchar COLLATE kl_ci);
CREATE TABLE kl_b_citext (v citext);
CREATE TABLE kl_b_folded (v text COLLATE "C");

INSERT INTO kl_b_bytes
SELECT (ARRAY['Caja ', 'Banco ', 'Deudores por ventas ', 'Proveedores ', 'Anticipos ', 'Acreedores '])
           [1 + i % 6] || (ARRAY['Chica', 'Nación', 'Río', 'Ñandú', 'Córdoba', 'Santa Fe'])[1 + (i / 6) % 6]
       || ' ' || i
FROM generate_series(1, 200000) i;
INSERT INTO kl_b_ci SELECT v FROM kl_b_bytes;
INSERT INTO kl_b_citext SELECT v FROM kl_b_bytes;
INSERT INTO kl_b_folded SELECT v FROM kl_b_bytes;
CREATE INDEX ON kl_b_bytes (v);
CREATE INDEX ON kl_b_ci (v);
CREATE INDEX ON kl_b_citext (v);
CREATE INDEX ON kl_b_folded (lower(rtrim(v) COLLATE "und-x-icu"));
ANALYZE kl_b_bytes, kl_b_ci, kl_b_citext, kl_b_folded;

DO $$
DECLARE
    t0 timestamptz;
    n bigint;
    found_rows bigint;
    way text;
    lookups CONSTANT integer := 20000;
BEGIN
    FOREACH way IN ARRAY ARRAY['bytes', 'kl_ci', 'citext', 'folded'] LOOP
        -- Equality through the index, 20,000 lookups of a value typed in
        -- another case with a trailing blank (bytes: as stored).
        t0 := clock_timestamp();
        found_rows := 0;
        FOR i IN 1..lookups LOOP
            CASE way
                WHEN 'bytes' THEN SELECT count(*) INTO n FROM kl_b_bytes WHERE v = 'Banco Nación ' || (i * 7 % 200000 + 1)::text COLLATE "C";
                WHEN 'kl_ci' THEN SELECT count(*) INTO n FROM kl_b_ci WHERE v = ('BANCO NACIÓN ' || (i * 7 % 200000 + 1) || ' ')::bpchar;
                WHEN 'citext' THEN SELECT count(*) INTO n FROM kl_b_citext WHERE v = ('BANCO NACIÓN ' || (i * 7 % 200000 + 1))::citext;
                ELSE SELECT count(*) INTO n FROM kl_b_folded WHERE lower(rtrim(v) COLLATE "und-x-icu") = lower(rtrim('BANCO NACIÓN ' || (i * 7 % 200000 + 1) || ' '));
            END CASE;
            found_rows := found_rows + n;
        END LOOP;

        RAISE NOTICE '% equality lookups, 20000: % ms (% found)', rpad(way, 7),
            round(extract(epoch FROM clock_timestamp() - t0)::numeric * 1000, 1), found_rows;

        -- Every row in order.
        t0 := clock_timestamp();
        CASE way
            WHEN 'bytes' THEN SELECT max(r) INTO n FROM (SELECT row_number() OVER (ORDER BY v) r FROM kl_b_bytes) s;
            WHEN 'kl_ci' THEN SELECT max(r) INTO n FROM (SELECT row_number() OVER (ORDER BY v) r FROM kl_b_ci) s;
            WHEN 'citext' THEN SELECT max(r) INTO n FROM (SELECT row_number() OVER (ORDER BY v) r FROM kl_b_citext) s;
            ELSE SELECT max(r) INTO n FROM (SELECT row_number() OVER (ORDER BY lower(rtrim(v) COLLATE "und-x-icu")) r FROM kl_b_folded) s;
        END CASE;
        RAISE NOTICE '% ORDER BY 200000 rows: % ms', rpad(way, 7),
            round(extract(epoch FROM clock_timestamp() - t0)::numeric * 1000, 1);

        -- GROUP BY over the first word.
        t0 := clock_timestamp();
        CASE way
            WHEN 'bytes' THEN SELECT count(*) INTO n FROM (SELECT left(v, 9) g FROM kl_b_bytes GROUP BY 1) s;
            WHEN 'kl_ci' THEN SELECT count(*) INTO n FROM (SELECT left(v, 9)::bpchar COLLATE kl_ci g FROM kl_b_ci GROUP BY 1) s;
            WHEN 'citext' THEN SELECT count(*) INTO n FROM (SELECT left(v, 9)::citext g FROM kl_b_citext GROUP BY 1) s;
            ELSE SELECT count(*) INTO n FROM (SELECT lower(rtrim(left(v, 9)) COLLATE "und-x-icu") g FROM kl_b_folded GROUP BY 1) s;
        END CASE;
        RAISE NOTICE '% GROUP BY 200000 rows: % ms', rpad(way, 7),
            round(extract(epoch FROM clock_timestamp() - t0)::numeric * 1000, 1);

        -- LIKE with a leading %, every row read.
        t0 := clock_timestamp();
        CASE way
            WHEN 'bytes' THEN SELECT count(*) INTO n FROM kl_b_bytes WHERE v LIKE '%Ñandú 1%';
            WHEN 'kl_ci' THEN SELECT count(*) INTO n FROM kl_b_ci WHERE kl_like(v, '%ñANDÚ 1%');
            WHEN 'citext' THEN SELECT count(*) INTO n FROM kl_b_citext WHERE v LIKE '%ñANDÚ 1%';
            ELSE SELECT count(*) INTO n FROM kl_b_folded WHERE lower(v COLLATE "und-x-icu") LIKE lower('%ñANDÚ 1%');
        END CASE;
        RAISE NOTICE '% LIKE ''%%x%%'' 200000 rows: % ms (% rows)', rpad(way, 7),
            round(extract(epoch FROM clock_timestamp() - t0)::numeric * 1000, 1), n;
    END LOOP;
END $$;

DROP TABLE kl_b_bytes, kl_b_ci, kl_b_citext, kl_b_folded;
