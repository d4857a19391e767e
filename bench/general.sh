#!/bin/sh
# General listing on a 200,000-patient shop: `listado exportar --formato txt` against isql-fb
# running the statement `listado sql` prints (its output discarded), for six listings, with the
# runner's peak memory. The "any" listing (`--cualquiera`) is compared the same way: its statement
# asks for each record condition with EXISTS, the form isql-fb is timed on.
#
#   bench/general.sh [BUILD_DIR]          (default: build)
#
# The database is generated once into $QUILL_BENCH_DIR (default /tmp/quill-bench, outside the
# source tree) and reused by later runs; delete it to start over. Each command runs
# $QUILL_BENCH_REPETICIONES times (default 3), the runner and isql-fb in turn, and the best time
# counts: the machine is shared and single runs are noisy. Targets: ratio to isql-fb at most
# 1.3, peak memory at most 300 MB.
set -eu

RAIZ=$(cd "$(dirname "$0")/.." && pwd)
. "$RAIZ/bench/comun.sh"

# The six listings: name and conditions.
cat >"$TRABAJO/sin-condiciones.json" <<'EOF'
[]
EOF
cat >"$TRABAJO/apellidos.json" <<'EOF'
[{"Id": 1, "Condicion": "Empieza por...", "Condicion1": "GAR"}]
EOF
cat >"$TRABAJO/nacimiento.json" <<'EOF'
[{"Id": 13, "Condicion": "...Entre...", "Condicion1": "01/01/1950", "Condicion2": "31/12/1970"}]
EOF
cat >"$TRABAJO/sexo.json" <<'EOF'
[{"Id": 11, "Condicion": "Igual a...", "Condicion1": "Mujer", "Condicion1Ids": "2"}]
EOF
cat >"$TRABAJO/cilindro.json" <<'EOF'
[{"Id": 82, "Condicion": "...Entre...", "Condicion1": "-1", "Condicion2": "-0,25"}]
EOF
cat >"$TRABAJO/cualquiera.json" <<'EOF'
[{"Id": 13, "Condicion": "Mayor que...", "Condicion1": "01/01/1990"},
 {"Id": 82, "Condicion": "...Entre...", "Condicion1": "-1", "Condicion2": "-0,25"},
 {"Id": 23, "Condicion": "...Contiene...", "Condicion1": "cataratas"}]
EOF

# Warm the file cache once so that the first listing is not charged for it.
"$LISTADO" conteo --db "$BASE" --tipo general --condiciones "$TRABAJO/sin-condiciones.json" --particion 1 >/dev/null

cabecera
for nombre in sin-condiciones apellidos nacimiento sexo cilindro cualquiera; do
    cond="$TRABAJO/$nombre.json"
    modo=""
    [ "$nombre" = cualquiera ] && modo="--cualquiera"
    # shellcheck disable=SC2086
    sql=$("$LISTADO" sql --tipo general --condiciones "$cond" --particion 1 $modo)
    if [ -n "$modo" ] && ! printf '%s' "$sql" | grep -q 'EXISTS (SELECT 1 FROM'; then
        echo "La sentencia de \"cualquiera\" no usa EXISTS: $sql" >&2
        exit 1
    fi
    printf '%s;\n' "$sql" >"$TRABAJO/$nombre.sql"
    # shellcheck disable=SC2086
    comparar "$nombre" general "$cond" "$TRABAJO/$nombre.sql" $modo
done
