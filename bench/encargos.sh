#!/bin/sh
# Pending orders listing on a 200,000-patient shop: `listado exportar --formato txt` against
# isql-fb running the orders statement `listado sql` prints first (the detail statement, with its
# patient parameter, runs only per printed patient), for three listings, with the runner's peak
# memory. The runner also folds the orders into patients and applies the debt condition.
#
#   bench/encargos.sh [BUILD_DIR]          (default: build)
#
# Settings as bench/general.sh (QUILL_BENCH_DIR, QUILL_BENCH_PACIENTES, QUILL_BENCH_REPETICIONES).
# Target: ratio to isql-fb at most 1.3.
set -eu

RAIZ=$(cd "$(dirname "$0")/.." && pwd)
. "$RAIZ/bench/comun.sh"

cat >"$TRABAJO/encargos.json" <<'JSON'
[]
JSON
cat >"$TRABAJO/deuda.json" <<'JSON'
[{"Id": 552, "Condicion": "Mayor que...", "Condicion1": "50"}]
JSON
cat >"$TRABAJO/cualquiera.json" <<'JSON'
[{"Id": 1, "Condicion": "Empieza por...", "Condicion1": "GAR"},
 {"Id": 572, "Condicion": "Empieza por...", "Condicion1": "L"},
 {"Id": 23, "Condicion": "...Contiene...", "Condicion1": "cataratas"}]
JSON

"$LISTADO" conteo --db "$BASE" --tipo encargos --condiciones "$TRABAJO/encargos.json" --particion 1 >/dev/null

cabecera
for nombre in encargos deuda cualquiera; do
    cond="$TRABAJO/$nombre.json"
    modo=""
    [ "$nombre" = cualquiera ] && modo="--cualquiera"
    # shellcheck disable=SC2086
    "$LISTADO" sql --tipo encargos --condiciones "$cond" --particion 1 $modo >"$TRABAJO/$nombre.lineas"
    [ "$(wc -l <"$TRABAJO/$nombre.lineas")" -eq 2 ] || { echo "Se esperaban dos sentencias" >&2; exit 1; }
    head -n 1 "$TRABAJO/$nombre.lineas" | sed 's/$/;/' >"$TRABAJO/$nombre.sql"
    # shellcheck disable=SC2086
    comparar "$nombre" encargos "$cond" "$TRABAJO/$nombre.sql" $modo
done
