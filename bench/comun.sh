# Shared by the listing benchmarks (bench/<kind>.sh): the generated 200,000-patient shop, timing
# under /usr/bin/time and the comparison of `listado exportar` with isql-fb fetching the same
# statement. Sourced after RAIZ is set; the caller may pass the build folder as $1.
#
# Settings: QUILL_BENCH_DIR (default /tmp/quill-bench; the database is generated there once and
# reused; embedded engines cannot share a file, so run two benchmarks at once with two folders),
# QUILL_BENCH_PACIENTES (default 200000), QUILL_BENCH_REPETICIONES (default 3: the best time of
# the repetitions counts, the machine is shared and single runs are noisy).

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

# Runs a command under /usr/bin/time; prints "seconds peak-KB". Exit status 1 of the runner
# (no row matches) is a result like any other.
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

cabecera() {
    printf '%-16s %9s %9s %9s %7s %9s\n' "listado" "filas" "listado_s" "isql_s" "ratio" "pico_MB"
}

# comparar NOMBRE TIPO CONDICIONES.json SENTENCIAS.sql [more listado options]: times
# `listado exportar --formato txt` of the kind against isql-fb running SENTENCIAS.sql (the
# statements the run executes, each followed by ";"), and prints one line of the table.
comparar() {
    nombre=$1 tipo=$2 cond=$3 sql=$4
    shift 4
    : >"$TRABAJO/r-listado"
    : >"$TRABAJO/r-isql"
    i=0
    while [ "$i" -lt "$REPETICIONES" ]; do
        medir "$LISTADO" exportar --db "$BASE" --tipo "$tipo" --condiciones "$cond" \
            --particion 1 --formato txt --fichero "$TRABAJO/$nombre.txt" "$@" >>"$TRABAJO/r-listado"
        medir isql-fb -q -u SYSDBA -i "$sql" "$BASE" >>"$TRABAJO/r-isql"
        i=$((i + 1))
    done
    set -- $(mejor <"$TRABAJO/r-listado")
    t_listado=$1
    pico=$2
    set -- $(mejor <"$TRABAJO/r-isql")
    t_isql=$1
    filas=0
    [ -f "$TRABAJO/$nombre.txt" ] && filas=$(($(wc -l <"$TRABAJO/$nombre.txt") - 1))
    awk -v n="$nombre" -v f="$filas" -v a="$t_listado" -v b="$t_isql" -v p="$pico" 'BEGIN {
        r = (b > 0) ? a / b : 0
        printf "%-16s %9d %9.2f %9.2f %7.2f %9.1f\n", n, f, a, b, r, p / 1024 }'
}
