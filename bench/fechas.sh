#!/bin/sh
# Dates listing on a 200,000-patient shop: `listado exportar --formato txt` against isql-fb
# running the statement `listado sql` prints (its output discarded), with the runner's peak
# memory, for three listings: the birthdays of this month (every partition, sorted by day and
# month), the contact lenses due for revision (a record-date column) and the revision date of
# any record (one UNION member per record family).
#
#   bench/fechas.sh [BUILD_DIR]          (default: build)
#
# Settings as in bench/comun.sh; use a folder of your own, e.g.
# QUILL_BENCH_DIR=/tmp/quill-bench-fechas, when another benchmark may run at the same time.
# Target: ratio to isql-fb at most 1.3.
set -eu

RAIZ=$(cd "$(dirname "$0")/.." && pwd)
. "$RAIZ/bench/comun.sh"

MES=$(date +%-m)
NOMBRE_MES=$(echo "Enero Febrero Marzo Abril Mayo Junio Julio Agosto Septiembre Octubre Noviembre Diciembre" |
    cut -d' ' -f"$MES")
cat >"$TRABAJO/cumpleanos.json" <<EOF2
[{"Id": 425, "Condicion": "Igual a...", "Condicion1": "$NOMBRE_MES", "Condicion1Ids": "$MES"}]
EOF2
cat >"$TRABAJO/revision-lentillas.json" <<'EOF2'
[{"Id": 112, "Condicion": "...Entre...", "Condicion1": "01/01/2024", "Condicion2": "31/12/2025"}]
EOF2
cat >"$TRABAJO/revision-ficha.json" <<'EOF2'
[{"Id": 434, "Condicion": "Mayor que...", "Condicion1": "01/01/2025"}]
EOF2

# Warm the file cache once so that the first listing is not charged for it.
"$LISTADO" conteo --db "$BASE" --tipo fechas --condiciones "$TRABAJO/cumpleanos.json" --particion 1 >/dev/null

cabecera
for nombre in cumpleanos revision-lentillas revision-ficha; do
    cond="$TRABAJO/$nombre.json"
    orden=22
    [ "$nombre" = cumpleanos ] || orden=18
    sql=$("$LISTADO" sql --tipo fechas --condiciones "$cond" --particion 1 --orden "$orden")
    printf '%s;\n' "$sql" >"$TRABAJO/$nombre.sql"
    comparar "$nombre" fechas "$cond" "$TRABAJO/$nombre.sql" --orden "$orden"
done
