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
BUILD=$(cd "${1:-$RAIZ/build}" && pwd)
LISTADO="$BUILD/bin/listado"
DATOS="$BUILD/bin/quillmore-datos"
PACIENTES=${QUILL_BENCH_PACIENTES:-200000}
REPETICIONES=${QUILL_BENCH_REPETICIONES:-3}
DIR=${QUILL_BENCH_DIR:-/tmp/quill-bench}
BASE="$DIR/general-$PACIENTES.fdb"
TRABAJO=$(mktemp -d)
trap 'rm -rf "$TRABAJO"' EXIT

for p in "$LISTADO" "$DATOS" /usr/bin/time; do
    [ -x "$p" ] || { echo "Falta $p (compile con: cmake --build $BUILD --target listado quillmore-datos)" >&2; exit 1; }
done
command -v isql-fb >/dev/null || { echo "Falta isql-fb (paquete firebird3.0-utils)" >&2; exit 1; }

mkdir -p "$DIR"
if [ ! -f "$BASE" ]; then
    echo "Generando $BASE ($PACIENTES pacientes)..."
    "$DATOS" --pacientes "$PACIENTES" --salida "$BASE" --fecha 2025-06-01 >/dev/null
fi

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

# Runs a command under /usr/bin/time; prints "seconds peak-KB". Exit status 1 of the runner
# (no patient matches) is a result like any other.
medir() {
    estado=0
    /usr/bin/time -f "%e %M" -o "$TRABAJO/tiempo" "$@" >/dev/null 2>"$TRABAJO/errores" || estado=$?
    if [ "$estado" -ne 0 ] && ! grep -q "ningún registro" "$TRABAJO/errores"; then
        echo "Falló ($estado): $*" >&2
        cat "$TRABAJO/errores" >&2
        exit 1
    fi
    tail -n 1 "$TRABAJO/tiempo"
}

# The best (least) time of the repetitions and the largest peak.
mejor() {
    awk 'NR == 1 || $1 < t { t = $1 } $2 > p { p = $2 } END { print t, p }'
}

# Warm the file cache once so that the first listing is not charged for it.
"$LISTADO" conteo --db "$BASE" --tipo general --condiciones "$TRABAJO/sin-condiciones.json" --particion 1 >/dev/null

printf '%-16s %9s %9s %9s %7s %9s\n' "listado" "filas" "listado_s" "isql_s" "ratio" "pico_MB"
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
    : >"$TRABAJO/r-listado"
    : >"$TRABAJO/r-isql"
    i=0
    while [ "$i" -lt "$REPETICIONES" ]; do
        # shellcheck disable=SC2086
        medir "$LISTADO" exportar --db "$BASE" --tipo general --condiciones "$cond" \
            --particion 1 --formato txt --fichero "$TRABAJO/$nombre.txt" $modo >>"$TRABAJO/r-listado"
        medir isql-fb -q -u SYSDBA -i "$TRABAJO/$nombre.sql" "$BASE" >>"$TRABAJO/r-isql"
        i=$((i + 1))
    done
    set -- $(mejor <"$TRABAJO/r-listado")
    t_listado=$1
    pico=$2
    set -- $(mejor <"$TRABAJO/r-isql")
    t_isql=$1
    filas=$(($(wc -l <"$TRABAJO/$nombre.txt") - 1))
    awk -v n="$nombre" -v f="$filas" -v a="$t_listado" -v b="$t_isql" -v p="$pico" 'BEGIN {
        r = (b > 0) ? a / b : 0
        printf "%-16s %9d %9.2f %9.2f %7.2f %9.1f\n", n, f, a, b, r, p / 1024 }'
done
