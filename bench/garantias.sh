#!/bin/sh
# Warranties listing on a 200,000-patient shop: `listado exportar --formato txt` against isql-fb
# running the statement `listado sql` prints (its output discarded), with the runner's peak
# memory. The runner also groups the guarantee lines into records and keeps the complete ones,
# which isql-fb does not: the ratio is the price of that grouping and of the export file.
#
#   bench/garantias.sh [BUILD_DIR]          (default: build)
#
# Settings as in bench/comun.sh (QUILL_BENCH_DIR, QUILL_BENCH_PACIENTES, QUILL_BENCH_REPETICIONES).
# Target: ratio to isql-fb at most 1.3.
set -eu

RAIZ=$(cd "$(dirname "$0")/.." && pwd)
. "$RAIZ/bench/comun.sh"

# Three listings: every family ordered by code; hearing aids under guarantee after a date;
# spectacles and contact lenses by guarantee date, latest first.
cat >"$TRABAJO/sin-condiciones.json" <<'JSON'
[]
JSON
cat >"$TRABAJO/audifonos.json" <<'JSON'
[{"Id": 3001, "Condicion": "Igual a...", "Condicion1": "Audiometría", "Condicion1Ids": "0"},
 {"Id": 3002, "Condicion": "Mayor que...", "Condicion1": "01/01/2026"}]
JSON
cat >"$TRABAJO/opticas-fecha.json" <<'JSON'
[{"Id": 3001, "Condicion": "Igual a...", "Condicion1": "Graduación; Contactología",
  "Condicion1Ids": "1;2"}]
JSON

"$LISTADO" conteo --db "$BASE" --tipo garantias --condiciones "$TRABAJO/audifonos.json" --particion 1 >/dev/null

cabecera
for nombre in sin-condiciones audifonos opticas-fecha; do
    cond="$TRABAJO/$nombre.json"
    orden="--orden 3"
    [ "$nombre" = opticas-fecha ] && orden="--orden 26 --sentido 1"
    # shellcheck disable=SC2086
    sql=$("$LISTADO" sql --tipo garantias --condiciones "$cond" --particion 1 $orden)
    printf '%s;\n' "$sql" >"$TRABAJO/$nombre.sql"
    # shellcheck disable=SC2086
    comparar "$nombre" garantias "$cond" "$TRABAJO/$nombre.sql" $orden
done
