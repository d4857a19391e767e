#!/bin/sh
# Consumption listing on a 200,000-patient shop: `listado exportar --formato txt` against isql-fb
# running the main statement that `listado sql` prints first (the export runs only that one; the
# detail statement is reopened per patient by the detailed report), with the runner's peak
# memory. Four listings: every consumer, the total above 300 ordered by consumption, each
# operation above 300, and operations of a year with a sale-line condition (EXISTS).
#
#   bench/consumo.sh [BUILD_DIR]          (default: build)
#
# Settings as bench/comun.sh (QUILL_BENCH_DIR, QUILL_BENCH_PACIENTES, QUILL_BENCH_REPETICIONES).
# Targets: ratio to isql-fb at most 1.3, peak memory reported.
set -eu

RAIZ=$(cd "$(dirname "$0")/.." && pwd)
. "$RAIZ/bench/comun.sh"

cat >"$TRABAJO/todos.json" <<'JSON'
[]
JSON
cat >"$TRABAJO/total-300.json" <<'JSON'
[{"Id": 453, "Condicion": "Igual a...", "Condicion1": "Total"},
 {"Id": 452, "Condicion": "Mayor que...", "Condicion1": "300"}]
JSON
cat >"$TRABAJO/operacion-300.json" <<'JSON'
[{"Id": 453, "Condicion": "Igual a...", "Condicion1": "Individual"},
 {"Id": 452, "Condicion": "Mayor que...", "Condicion1": "300"}]
JSON
cat >"$TRABAJO/lineas-2024.json" <<'JSON'
[{"Id": 451, "Condicion": "...Entre...", "Condicion1": "01/01/2024", "Condicion2": "31/12/2024"},
 {"Id": 573, "Condicion": "...Contiene...", "Condicion1": "progresivo"}]
JSON

# Warm the file cache once so that the first listing is not charged for it.
"$LISTADO" conteo --db "$BASE" --tipo consumo --condiciones "$TRABAJO/todos.json" --particion 1 >/dev/null

cabecera
for nombre in todos total-300 operacion-300 lineas-2024; do
    cond="$TRABAJO/$nombre.json"
    orden=18
    [ "$nombre" = total-300 ] && orden=27
    "$LISTADO" sql --tipo consumo --condiciones "$cond" --orden "$orden" --sentido 1 |
        head -n 1 | sed 's/$/;/' >"$TRABAJO/$nombre.sql"
    comparar "$nombre" consumo "$cond" "$TRABAJO/$nombre.sql" --orden "$orden" --sentido 1
done
