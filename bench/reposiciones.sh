#!/bin/sh
# Replacements listing on a 200,000-patient shop: `listado exportar --formato txt` against isql-fb
# running the statement `listado sql` prints, for three listings, with the runner's peak memory.
# The runner also folds the lenses of each fitting into one row per supplier.
#
#   bench/reposiciones.sh [BUILD_DIR]          (default: build)
#
# Settings as bench/general.sh (QUILL_BENCH_DIR, QUILL_BENCH_PACIENTES, QUILL_BENCH_REPETICIONES).
# Target: ratio to isql-fb at most 1.3.
set -eu

RAIZ=$(cd "$(dirname "$0")/.." && pwd)
. "$RAIZ/bench/comun.sh"

cat >"$TRABAJO/reposiciones.json" <<'JSON'
[]
JSON
cat >"$TRABAJO/este-ano.json" <<'JSON'
[{"Id": 481, "Condicion": "...Entre...", "Condicion1": "01/01/2025", "Condicion2": "31/12/2025"}]
JSON
cat >"$TRABAJO/cualquiera.json" <<'JSON'
[{"Id": 1, "Condicion": "Empieza por...", "Condicion1": "GAR"},
 {"Id": 23, "Condicion": "...Contiene...", "Condicion1": "cataratas"}]
JSON

"$LISTADO" conteo --db "$BASE" --tipo reposiciones --condiciones "$TRABAJO/reposiciones.json" --particion 1 >/dev/null

cabecera
for nombre in reposiciones este-ano cualquiera; do
    cond="$TRABAJO/$nombre.json"
    modo=""
    [ "$nombre" = cualquiera ] && modo="--cualquiera"
    # shellcheck disable=SC2086
    "$LISTADO" sql --tipo reposiciones --condiciones "$cond" --particion 1 $modo >"$TRABAJO/$nombre.lineas"
    [ "$(wc -l <"$TRABAJO/$nombre.lineas")" -eq 1 ] || { echo "Se esperaba una sentencia" >&2; exit 1; }
    sed 's/$/;/' "$TRABAJO/$nombre.lineas" >"$TRABAJO/$nombre.sql"
    # shellcheck disable=SC2086
    comparar "$nombre" reposiciones "$cond" "$TRABAJO/$nombre.sql" $modo
done
