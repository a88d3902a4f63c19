-- The engine's functions on a PostgreSQL server, with SQL Server's meaning
-- for a Spanish login (DATEFIRST 1, dates read day first, Spanish day and
-- month names). The embedded engine registers the same names in C++
-- (sqlite_engine/*_functions.cpp); a statement in SQL Server's dialect reaches them
-- under the same spelling on both engines. Installed with the schema, each
-- statement on its own; running the file again replaces them.
--
-- Texts compare through the collation kl_ci on bpchar columns: letter case
-- ignored, accents count, trailing blanks ignored. Searching inside a text
-- (LIKE, CHARINDEX) is not allowed on such a collation, so those functions
-- fold the case themselves with ICU's root collation, the same on every
-- server whatever its own locale.
--
-- Errors SQL Server raises carry its number in front, "kl-536: ...", as the
-- embedded engine's do.

CREATE COLLATION IF NOT EXISTS kl_ci (provider = icu, locale = 'es-u-ks-level2', deterministic = false);

CREATE OR REPLACE FUNCTION kl_error(texto text) RETURNS integer
LANGUAGE plpgsql VOLATILE AS $$
BEGIN
    RAISE EXCEPTION USING MESSAGE = 'kl-50000: ' || coalesce(texto, ''), ERRCODE = 'P0001';
END $$;

-- ---- texts ------------------------------------------------------------

CREATE OR REPLACE FUNCTION kl_len(texto text) RETURNS integer
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$
    SELECT char_length(rtrim(texto, ' '))
$$;

CREATE OR REPLACE FUNCTION kl_charindex(buscado text, texto text, desde bigint DEFAULT 1) RETURNS bigint
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$
    SELECT CASE
        WHEN buscado = '' COLLATE "C" THEN 0
        ELSE coalesce(nullif(strpos(lower(substr(texto, greatest(desde, 1)::integer) COLLATE "und-x-icu"),
                                    lower(buscado COLLATE "und-x-icu")), 0) + greatest(desde, 1) - 1, 0)
    END
$$;

CREATE OR REPLACE FUNCTION kl_left(texto text, cuantos bigint) RETURNS text
LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE AS $$
BEGIN
    IF cuantos < 0 THEN
        RAISE EXCEPTION USING MESSAGE = 'kl-536: Se pasó un parámetro de longitud no válido a la función LEFT.',
                              ERRCODE = '22023';
    END IF;
    RETURN left(texto, least(cuantos, 2147483647)::integer);
END $$;

CREATE OR REPLACE FUNCTION kl_right(texto text, cuantos bigint) RETURNS text
LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE AS $$
BEGIN
    IF cuantos < 0 THEN
        RAISE EXCEPTION USING MESSAGE = 'kl-536: Se pasó un parámetro de longitud no válido a la función RIGHT.',
                              ERRCODE = '22023';
    END IF;
    RETURN right(texto, least(cuantos, 2147483647)::integer);
END $$;

-- SUBSTRING(x, start, length): a start below 1 counts the positions before
-- the text (SUBSTRING('abc', 0, 2) is 'a'), never from its end.
CREATE OR REPLACE FUNCTION kl_substring(texto text, desde bigint, cuantos bigint) RETURNS text
LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE AS $$
DECLARE
    primero numeric := greatest(desde, 1);
    fin numeric := desde::numeric + cuantos;
BEGIN
    IF cuantos < 0 THEN
        RAISE EXCEPTION USING MESSAGE = 'kl-536: Se pasó un parámetro de longitud no válido a la función substring.',
                              ERRCODE = '22023';
    END IF;
    IF fin <= primero OR primero > 2147483647 THEN
        RETURN '';
    END IF;
    RETURN substr(texto, primero::integer, least(fin - primero, 2147483647)::integer);
END $$;

-- REPLACE(x, find, with): `find` is sought as the texts compare, letter
-- case ignored and accents counted (REPLACE('abcABC', 'b', 'x') is 'axcAxC').
CREATE OR REPLACE FUNCTION kl_replace(texto text, buscado text, por text) RETURNS text
LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE AS $$
DECLARE
    plegado text := lower(texto COLLATE "und-x-icu");
    buscar text := lower(buscado COLLATE "und-x-icu");
    salida text := '';
    desde integer := 1;
    en integer;
BEGIN
    IF buscado = '' COLLATE "C" THEN
        RETURN texto;
    END IF;
    LOOP
        en := strpos(substr(plegado, desde), buscar);
        EXIT WHEN en = 0;
        salida := salida || substr(texto, desde, en - 1) || por;
        desde := desde + en - 1 + char_length(buscado);
    END LOOP;
    RETURN salida || substr(texto, desde);
END $$;

-- A text of at most 8000 characters, as SQL Server's REPLICATE and SPACE
-- give outside varchar(max).
CREATE OR REPLACE FUNCTION kl_replicate(texto text, veces bigint) RETURNS text
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$
    SELECT CASE WHEN veces < 0 THEN NULL ELSE left(repeat(texto, least(veces, 8000)::integer), 8000) END
$$;

CREATE OR REPLACE FUNCTION kl_space(cuantos bigint) RETURNS text
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$
    SELECT CASE WHEN cuantos < 0 THEN NULL ELSE repeat(' ', least(cuantos, 8000)::integer) END
$$;

-- ROUND(x, n[, f]): n places, left of the point when negative (748.58 at -1
-- is 750); halves away from zero, or cut off when f is not 0.
CREATE OR REPLACE FUNCTION kl_round(numero numeric, lugares integer, truncar integer DEFAULT 0) RETURNS numeric
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT CASE WHEN numero IS NULL OR lugares IS NULL THEN NULL
                WHEN coalesce(truncar, 0) <> 0 THEN trunc(numero, greatest(least(lugares, 40), -40))
                ELSE round(numero, greatest(least(lugares, 40), -40)) END
$$;

CREATE OR REPLACE FUNCTION kl_round(numero double precision, lugares integer, truncar integer DEFAULT 0)
RETURNS double precision
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT kl_round(numero::numeric, lugares, truncar)::double precision
$$;

-- STR(number[, length[, decimals]]): right-aligned in `length`; decimals are
-- dropped before the number is, then asterisks.
CREATE OR REPLACE FUNCTION kl_str(numero double precision, largo integer DEFAULT 10, decimales integer DEFAULT 0)
RETURNS text LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
    d integer := least(greatest(coalesce(decimales, 0), 0), 16);
    t text;
BEGIN
    IF numero IS NULL OR largo IS NULL OR largo <= 0 THEN
        RETURN NULL;
    END IF;
    t := to_char(round(numero::numeric, d), 'FM9999999999999999990' || CASE WHEN d > 0 THEN '.' || repeat('0', d) ELSE '' END);
    IF char_length(t) > largo THEN
        t := round(numero::numeric)::text;
        IF char_length(t) > largo THEN
            t := repeat('*', largo);
        END IF;
    END IF;
    RETURN lpad(t, largo, ' ');
END $$;

-- SQL Server's LIKE: % any run, _ one character, [abc] [a-f] [^...] sets, an
-- optional escape character; letter case ignored, accents counted, and
-- trailing blanks of the text ignored (those of the pattern count).
CREATE OR REPLACE FUNCTION kl_like_regex(patron text, escape text DEFAULT NULL) RETURNS text
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
    r text := '^';
    i integer := 1;
    n integer := char_length(patron);
    c text;
    cierre integer;
BEGIN
    IF patron IS NULL THEN
        RETURN NULL;
    END IF;
    IF escape IS NOT NULL AND char_length(escape) <> 1 THEN
        RAISE EXCEPTION USING MESSAGE = 'kl-506: El carácter de escape no es válido: debe ser un solo carácter.',
                              ERRCODE = '22025';
    END IF;
    WHILE i <= n LOOP
        c := substr(patron, i, 1);
        IF escape IS NOT NULL AND c = escape COLLATE "C" AND i < n THEN
            i := i + 1;
            r := r || regexp_replace(substr(patron, i, 1) COLLATE "C", '([^[:alnum:] ])', '\\\1', 'g');
        ELSIF c = '%' COLLATE "C" THEN
            r := r || '.*';
        ELSIF c = '_' COLLATE "C" THEN
            r := r || '.';
        ELSIF c = '[' COLLATE "C" THEN
            cierre := strpos(substr(patron, i + 1) COLLATE "C", ']');
            IF cierre = 0 THEN
                r := r || '\[';
            ELSE
                r := r || '[' || CASE WHEN substr(patron, i + 1, 1) = '^' COLLATE "C" THEN '^' || replace(substr(patron, i + 2, cierre - 2), '\', '\\')
                                      ELSE replace(substr(patron, i + 1, cierre - 1), '\', '\\') END || ']';
                i := i + cierre;
            END IF;
        ELSE
            r := r || regexp_replace(c COLLATE "C", '([^[:alnum:] ])', '\\\1', 'g');
        END IF;
        i := i + 1;
    END LOOP;
    RETURN lower((r || '$') COLLATE "und-x-icu");
END $$;

-- Not strict, so that the server inlines it and reads a constant pattern
-- once per statement; a pattern without sets is a LIKE of the server's own
-- (with no escape character: a backslash is a backslash, as on SQL Server).
CREATE OR REPLACE FUNCTION kl_like(texto text, patron text) RETURNS boolean
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT CASE WHEN strpos(patron COLLATE "C", '[') = 0
                THEN lower(rtrim(texto, ' ') COLLATE "und-x-icu") LIKE lower(patron COLLATE "und-x-icu") ESCAPE ''
                ELSE lower(rtrim(texto, ' ') COLLATE "und-x-icu") ~ kl_like_regex(patron) END
$$;

CREATE OR REPLACE FUNCTION kl_like(texto text, patron text, escape text) RETURNS boolean
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT lower(rtrim(texto, ' ') COLLATE "und-x-icu") ~ kl_like_regex(patron, escape)
$$;

-- ---- numbers ----------------------------------------------------------

-- Jet's VAL: blanks anywhere are skipped, "." is the decimal point, the
-- number ends at the first other character; no number is 0.
CREATE OR REPLACE FUNCTION kl_val(texto text) RETURNS double precision
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT coalesce(replace(replace(substring(regexp_replace(texto COLLATE "C", '[ \t\r\n]', '', 'g')
                                              FROM '^[-+]?(?:[0-9]+\.?[0-9]*|\.[0-9]+)(?:[eEdD][-+]?[0-9]+)?'),
                                    'd', 'e'), 'D', 'e')::double precision, 0)
$$;

CREATE OR REPLACE FUNCTION kl_isnumeric(texto text) RETURNS integer
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$
    SELECT (btrim(texto, E' \t\r\n') COLLATE "C" ~ '^[-+]?(?:[0-9]+(?:[.,][0-9]*)?|[.,][0-9]+)(?:[eE][-+]?[0-9]+)?$')::integer
$$;

CREATE OR REPLACE FUNCTION kl_isnumeric(numero double precision) RETURNS integer
LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT 1 $$;

-- ---- dates ------------------------------------------------------------

-- A date text in any form people and the module write: dd/mm/yyyy[ hh:mm[:ss]]
-- (also with "-" or "."), dd/mm/yy (years below 50 in this century, as SQL
-- Server reads them), yyyy-mm-dd[ hh:mm:ss], yyyymmdd[ hh:mm:ss]; a blank text
-- is 1 January 1900; Null when it is not a date.
CREATE OR REPLACE FUNCTION kl_fecha(texto text) RETURNS timestamp(3)
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
    t text COLLATE "C" := btrim(texto);
    p text[];
    y integer;
BEGIN
    IF texto IS NULL THEN
        RETURN NULL;
    END IF;
    IF t = '' COLLATE "C" THEN
        RETURN timestamp '1900-01-01';
    END IF;
    p := regexp_match(t, '^([0-9]{4})-?([0-9]{2})-?([0-9]{2})(?:[ T]([0-9]{1,2}):([0-9]{1,2})(?::([0-9]{1,2})(\.[0-9]+)?)?)?$');
    IF p IS NOT NULL THEN
        y := p[1]::integer;
        RETURN make_timestamp(y, p[2]::integer, p[3]::integer, coalesce(p[4]::integer, 0),
                              coalesce(p[5]::integer, 0), coalesce((p[6] || coalesce(p[7], ''))::double precision, 0));
    END IF;
    p := regexp_match(t, '^([0-9]{1,2})([/.-])([0-9]{1,2})\2([0-9]{4}|[0-9]{1,2})(?:(?: +|T)([0-9]{1,2}):([0-9]{1,2})(?::([0-9]{1,2})(\.[0-9]+)?)?)?$');
    IF p IS NOT NULL THEN
        y := p[4]::integer;
        IF char_length(p[4]) <= 2 THEN
            y := CASE WHEN y < 50 THEN 2000 + y ELSE 1900 + y END;
        END IF;
        RETURN make_timestamp(y, p[3]::integer, p[1]::integer, coalesce(p[5]::integer, 0),
                              coalesce(p[6]::integer, 0), coalesce((p[7] || coalesce(p[8], ''))::double precision, 0));
    END IF;
    RETURN NULL;
EXCEPTION
    WHEN datetime_field_overflow OR invalid_datetime_format OR numeric_value_out_of_range THEN
        RETURN NULL;
END $$;

CREATE OR REPLACE FUNCTION kl_isdate(texto text) RETURNS integer
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT (texto IS NOT NULL AND btrim(texto) <> '' COLLATE "C" AND kl_fecha(texto) IS NOT NULL)::integer
$$;

CREATE OR REPLACE FUNCTION kl_getdate() RETURNS timestamp(3)
LANGUAGE sql VOLATILE PARALLEL SAFE AS $$
    SELECT localtimestamp(3)
$$;

-- A date part as DATEPART writes it: 'yy', 'month', 'dw'...; '' when unknown.
CREATE OR REPLACE FUNCTION kl_parte(parte text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT CASE lower(btrim(parte)) COLLATE "C"
        WHEN 'yy' THEN 'year' WHEN 'yyyy' THEN 'year' WHEN 'year' THEN 'year'
        WHEN 'qq' THEN 'quarter' WHEN 'q' THEN 'quarter' WHEN 'quarter' THEN 'quarter'
        WHEN 'mm' THEN 'month' WHEN 'm' THEN 'month' WHEN 'month' THEN 'month'
        WHEN 'dy' THEN 'dayofyear' WHEN 'y' THEN 'dayofyear' WHEN 'dayofyear' THEN 'dayofyear'
        WHEN 'dd' THEN 'day' WHEN 'd' THEN 'day' WHEN 'day' THEN 'day'
        WHEN 'wk' THEN 'week' WHEN 'ww' THEN 'week' WHEN 'week' THEN 'week'
        WHEN 'dw' THEN 'weekday' WHEN 'w' THEN 'weekday' WHEN 'weekday' THEN 'weekday'
        WHEN 'hh' THEN 'hour' WHEN 'hour' THEN 'hour'
        WHEN 'mi' THEN 'minute' WHEN 'n' THEN 'minute' WHEN 'minute' THEN 'minute'
        WHEN 'ss' THEN 'second' WHEN 's' THEN 'second' WHEN 'second' THEN 'second'
        WHEN 'ms' THEN 'millisecond' WHEN 'millisecond' THEN 'millisecond'
        ELSE '' END
$$;

CREATE OR REPLACE FUNCTION kl_parte_valida(parte text) RETURNS text
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
    p text := kl_parte(parte);
BEGIN
    IF p = '' COLLATE "C" THEN
        RAISE EXCEPTION USING MESSAGE = format('kl-155: ''%s'' no es una opción de DATEPART reconocida.', parte),
                              ERRCODE = '22023';
    END IF;
    RETURN p;
END $$;

-- Monday is day 1 (DATEFIRST 1); week 1 holds 1 January, weeks start on Monday.
CREATE OR REPLACE FUNCTION kl_datepart(parte text, fecha timestamp) RETURNS integer
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
    p text := kl_parte_valida(parte);
BEGIN
    IF fecha IS NULL THEN
        RETURN NULL;
    END IF;
    RETURN CASE p
        WHEN 'year' THEN extract(year FROM fecha)
        WHEN 'quarter' THEN extract(quarter FROM fecha)
        WHEN 'month' THEN extract(month FROM fecha)
        WHEN 'dayofyear' THEN extract(doy FROM fecha)
        WHEN 'day' THEN extract(day FROM fecha)
        WHEN 'week' THEN (extract(doy FROM fecha)::integer - 1
                          + extract(isodow FROM date_trunc('year', fecha))::integer - 1) / 7 + 1
        WHEN 'weekday' THEN extract(isodow FROM fecha)
        WHEN 'hour' THEN extract(hour FROM fecha)
        WHEN 'minute' THEN extract(minute FROM fecha)
        WHEN 'second' THEN floor(extract(second FROM fecha))
        ELSE floor(extract(milliseconds FROM fecha))::integer % 1000
    END;
END $$;

CREATE OR REPLACE FUNCTION kl_datename(parte text, fecha timestamp) RETURNS text
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
    p text := kl_parte_valida(parte);
BEGIN
    IF fecha IS NULL THEN
        RETURN NULL;
    END IF;
    IF p = 'weekday' COLLATE "C" THEN
        RETURN (ARRAY['Lunes', 'Martes', 'Miércoles', 'Jueves', 'Viernes', 'Sábado', 'Domingo'])
               [extract(isodow FROM fecha)::integer];
    ELSIF p = 'month' COLLATE "C" THEN
        RETURN (ARRAY['Enero', 'Febrero', 'Marzo', 'Abril', 'Mayo', 'Junio', 'Julio', 'Agosto',
                      'Septiembre', 'Octubre', 'Noviembre', 'Diciembre'])[extract(month FROM fecha)::integer];
    END IF;
    RETURN kl_datepart(parte, fecha)::text;
END $$;

CREATE OR REPLACE FUNCTION kl_dateadd(parte text, cuanto double precision, fecha timestamp) RETURNS timestamp(3)
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
    p text := kl_parte_valida(parte);
    n bigint := trunc(cuanto);
BEGIN
    IF cuanto IS NULL OR fecha IS NULL THEN
        RETURN NULL;
    END IF;
    RETURN fecha + CASE p
        WHEN 'year' THEN make_interval(years => n::integer)
        WHEN 'quarter' THEN make_interval(months => (n * 3)::integer)
        WHEN 'month' THEN make_interval(months => n::integer)
        WHEN 'week' THEN make_interval(days => (n * 7)::integer)
        WHEN 'hour' THEN n * interval '1 hour'
        WHEN 'minute' THEN n * interval '1 minute'
        WHEN 'second' THEN n * interval '1 second'
        WHEN 'millisecond' THEN n * interval '1 millisecond'
        ELSE n * interval '1 day'
    END;
END $$;

-- Boundaries crossed, as SQL Server counts them; weeks end on Saturday
-- whatever DATEFIRST says.
CREATE OR REPLACE FUNCTION kl_datediff(parte text, desde timestamp, hasta timestamp) RETURNS bigint
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
    p text := kl_parte_valida(parte);
    dias bigint;
BEGIN
    IF desde IS NULL OR hasta IS NULL THEN
        RETURN NULL;
    END IF;
    dias := hasta::date - desde::date;
    RETURN CASE p
        WHEN 'year' THEN extract(year FROM hasta) - extract(year FROM desde)
        WHEN 'quarter' THEN (extract(year FROM hasta) * 4 + extract(quarter FROM hasta))
                            - (extract(year FROM desde) * 4 + extract(quarter FROM desde))
        WHEN 'month' THEN (extract(year FROM hasta) * 12 + extract(month FROM hasta))
                          - (extract(year FROM desde) * 12 + extract(month FROM desde))
        WHEN 'week' THEN floor((dias + extract(dow FROM desde)::integer) / 7.0)
        WHEN 'hour' THEN floor(extract(epoch FROM hasta) / 3600) - floor(extract(epoch FROM desde) / 3600)
        WHEN 'minute' THEN floor(extract(epoch FROM hasta) / 60) - floor(extract(epoch FROM desde) / 60)
        WHEN 'second' THEN floor(extract(epoch FROM hasta)) - floor(extract(epoch FROM desde))
        WHEN 'millisecond' THEN round(extract(epoch FROM hasta - desde) * 1000)
        ELSE dias
    END;
END $$;

-- CONVERT(varchar, date, style) and CONVERT(datetime, text, style): the
-- styles the program and the module use; no style is dd/mm/yyyy[ hh:mm:ss].
CREATE OR REPLACE FUNCTION kl_convert_texto(fecha timestamp, estilo integer DEFAULT NULL) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT CASE estilo
        WHEN 1 THEN to_char(fecha, 'MM/DD/YY') WHEN 101 THEN to_char(fecha, 'MM/DD/YYYY')
        WHEN 2 THEN to_char(fecha, 'YY.MM.DD') WHEN 102 THEN to_char(fecha, 'YYYY.MM.DD')
        WHEN 3 THEN to_char(fecha, 'DD/MM/YY') WHEN 103 THEN to_char(fecha, 'DD/MM/YYYY')
        WHEN 4 THEN to_char(fecha, 'DD.MM.YY') WHEN 104 THEN to_char(fecha, 'DD.MM.YYYY')
        WHEN 5 THEN to_char(fecha, 'DD-MM-YY') WHEN 105 THEN to_char(fecha, 'DD-MM-YYYY')
        WHEN 8 THEN to_char(fecha, 'HH24:MI:SS') WHEN 108 THEN to_char(fecha, 'HH24:MI:SS')
        WHEN 11 THEN to_char(fecha, 'YY/MM/DD') WHEN 111 THEN to_char(fecha, 'YYYY/MM/DD')
        WHEN 12 THEN to_char(fecha, 'YYMMDD') WHEN 112 THEN to_char(fecha, 'YYYYMMDD')
        WHEN 20 THEN to_char(fecha, 'YYYY-MM-DD HH24:MI:SS') WHEN 120 THEN to_char(fecha, 'YYYY-MM-DD HH24:MI:SS')
        WHEN 21 THEN to_char(fecha, 'YYYY-MM-DD HH24:MI:SS.MS') WHEN 121 THEN to_char(fecha, 'YYYY-MM-DD HH24:MI:SS.MS')
        WHEN 23 THEN to_char(fecha, 'YYYY-MM-DD')
        WHEN 126 THEN to_char(fecha, 'YYYY-MM-DD"T"HH24:MI:SS')
        ELSE CASE WHEN fecha = date_trunc('day', fecha) THEN to_char(fecha, 'DD/MM/YYYY')
                  ELSE to_char(fecha, 'DD/MM/YYYY HH24:MI:SS') END
    END
$$;

CREATE OR REPLACE FUNCTION kl_convert_fecha(texto text, estilo integer DEFAULT NULL) RETURNS timestamp(3)
LANGUAGE plpgsql IMMUTABLE PARALLEL SAFE AS $$
DECLARE
    p text[];
    f timestamp(3);
BEGIN
    IF texto IS NULL THEN
        RETURN NULL;
    END IF;
    IF estilo IN (1, 101) THEN
        p := regexp_match(btrim(texto) COLLATE "C", '^([0-9]{1,2})/([0-9]{1,2})/([0-9]{2,4})$');
        f := CASE WHEN p IS NULL THEN NULL ELSE kl_fecha(p[2] || '/' || p[1] || '/' || p[3]) END;
    ELSE
        f := kl_fecha(texto);
    END IF;
    IF f IS NULL THEN
        RAISE EXCEPTION USING MESSAGE = 'kl-241: Error de conversión al convertir una cadena de caracteres en fecha y/u hora.',
                              ERRCODE = '22007';
    END IF;
    RETURN f;
END $$;

-- ---- + between operands whose types the statement does not show -------
-- SQL Server's + decided by the operands' types, as the server resolves
-- the overloads: two texts join, a text next to a number converts to a
-- number (error 245 when it is none), days add to a date; Null gives Null.
-- Two operands: a longer sum nests the calls. A quoted text next to a
-- number reads as a text, as the server prefers texts for an untyped
-- literal.

CREATE OR REPLACE FUNCTION kl_plus(a text, b text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT a || b $$;

CREATE OR REPLACE FUNCTION kl_numero(texto text, tipo text) RETURNS numeric
LANGUAGE plpgsql IMMUTABLE STRICT PARALLEL SAFE AS $$
BEGIN
    IF kl_isnumeric(texto) = 0 THEN
        RAISE EXCEPTION USING MESSAGE = format('kl-245: Error de conversión al convertir el valor ''%s'' al tipo de datos %s.', texto, tipo),
                              ERRCODE = '22018';
    END IF;
    RETURN replace(btrim(texto), ',', '.')::numeric;
END $$;

CREATE OR REPLACE FUNCTION kl_plus(a text, b numeric) RETURNS numeric
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT kl_numero(a, 'numeric') + b $$;

CREATE OR REPLACE FUNCTION kl_plus(a numeric, b text) RETURNS numeric
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT a + kl_numero(b, 'numeric') $$;

CREATE OR REPLACE FUNCTION kl_plus(a timestamp, b numeric) RETURNS timestamp(3)
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$ SELECT a + b * interval '1 day' $$;
