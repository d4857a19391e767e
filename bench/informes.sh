#!/bin/sh
# The General summary report of every patient of the 200,000-patient shop written to PDF:
# pages per second of the rendering and peak memory (bench_informe_general), then the same
# through `listado imprimir` as a scheduled run would, timed whole under /usr/bin/time.
#
#   bench/informes.sh [BUILD_DIR]          (default: build)
#
# The database is generated once into $QUILL_BENCH_DIR (see bench/comun.sh). Target: 100 pages
# per second or more, memory that does not grow with the pages.
#
# Measured (2 shared cores, load about 12, 164,819 patients of partition 1, ordered by surname):
#   bare QPdfWriter, 55 plain lines a page       276 pages/s
#   query and patient table                      17.5 s, peak 289 MB
#   report, a tenth of the rows (243 pages)      137 pages/s, peak 289 MB
#   report, every row (2,424 pages, 21 MB PDF)   143 pages/s, peak 289 MB (no growth)
set -eu

RAIZ=$(cd "$(dirname "$0")/.." && pwd)
. "$RAIZ/bench/comun.sh"
INFORME="$BUILD/bin/bench_informe_general"
[ -x "$INFORME" ] || { echo "Falta $INFORME (cmake --build $BUILD --target bench_informe_general)" >&2; exit 1; }

"$INFORME" "$BASE" "$TRABAJO/general.pdf"
echo '[]' >"$TRABAJO/todos.json"
/usr/bin/time -f "listado imprimir: %e s, pico %M KB" "$LISTADO" imprimir --db "$BASE" \
    --tipo general --condiciones "$TRABAJO/todos.json" --particion 1 --orden 18 \
    --fichero "$TRABAJO/listado.pdf"
