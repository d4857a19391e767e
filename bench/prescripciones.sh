#!/bin/sh
# Prescription sheets on a 200,000-patient shop: bench_prescripciones (the kind's data module
# filling its sheet tables, as a print does) against isql-fb fetching the same statements, with
# the program's peak memory. Optics runs the spectacle and contact-lens statements; hearing aids
# the fitting statement, then every fitting's notes and devices (isql-fb reads them with one
# statement each over the same fittings).
#
#   bench/prescripciones.sh [BUILD_DIR]      (default: build)
#
# Settings as in bench/comun.sh (QUILL_BENCH_DIR, QUILL_BENCH_PACIENTES,
# QUILL_BENCH_REPETICIONES). Target: ratio to isql-fb at most 1.3.
set -eu

RAIZ=$(cd "$(dirname "$0")/.." && pwd)
. "$RAIZ/bench/comun.sh"
PROGRAMA="$BUILD/bin/bench_prescripciones"
[ -x "$PROGRAMA" ] || { echo "Falta $PROGRAMA (cmake --build $BUILD --target bench_prescripciones)" >&2; exit 1; }

echo '[]' >"$TRABAJO/vacio.json"
"$LISTADO" sql --tipo prescripciones --condiciones "$TRABAJO/vacio.json" >"$TRABAJO/sentencias"
sed -n '1,2s/$/;/p' "$TRABAJO/sentencias" >"$TRABAJO/optica.sql"
{
    sed -n '3s/$/;/p' "$TRABAJO/sentencias"
    echo "SELECT D.ID_MAUDIFONO, D.OIDO, D.DESCRIPCION, D.NUMERO_SERIE, D.MODELO FROM DAUDIFONO D JOIN MAUDIFONO T ON T.ID_MAUDIFONO = D.ID_MAUDIFONO JOIN PACIENTE ON PACIENTE.ID_PACIENTE = T.ID_PACIENTE WHERE PACIENTE.BORRADO = 0 AND PACIENTE.ID_PACIENTE != 0 ORDER BY D.ID_MAUDIFONO, D.ID_DAUDIFONO;"
    echo "SELECT O.ID_MAUDIFONO, O.OBSERVACIONES FROM AOBSERVACIONES O JOIN MAUDIFONO T ON T.ID_MAUDIFONO = O.ID_MAUDIFONO JOIN PACIENTE ON PACIENTE.ID_PACIENTE = T.ID_PACIENTE WHERE PACIENTE.BORRADO = 0 AND PACIENTE.ID_PACIENTE != 0 ORDER BY O.ID_MAUDIFONO, O.ID_AOBSERVACIONES;"
} >"$TRABAJO/audifonos.sql"

# Warm the file cache once.
"$PROGRAMA" "$BASE" optica >/dev/null

printf '%-16s %9s %9s %9s %7s %9s\n' "hojas" "filas" "modulo_s" "isql_s" "ratio" "pico_MB"
for modo in optica audifonos; do
    : >"$TRABAJO/r-modulo"
    : >"$TRABAJO/r-isql"
    i=0
    while [ "$i" -lt "$REPETICIONES" ]; do
        /usr/bin/time -f "%e %M" -o "$TRABAJO/tiempo" "$PROGRAMA" "$BASE" "$modo" >"$TRABAJO/salida"
        tail -n 1 "$TRABAJO/tiempo" >>"$TRABAJO/r-modulo"
        medir isql-fb -q -u SYSDBA -i "$TRABAJO/$modo.sql" "$BASE" >>"$TRABAJO/r-isql"
        i=$((i + 1))
    done
    filas=$(cut -d' ' -f1 "$TRABAJO/salida")
    set -- $(mejor <"$TRABAJO/r-modulo")
    t_modulo=$1
    pico=$2
    set -- $(mejor <"$TRABAJO/r-isql")
    t_isql=$1
    awk -v n="$modo" -v f="$filas" -v a="$t_modulo" -v b="$t_isql" -v p="$pico" 'BEGIN {
        r = (b > 0) ? a / b : 0
        printf "%-16s %9d %9.2f %9.2f %7.2f %9.1f\n", n, f, a, b, r, p / 1024 }'
done
