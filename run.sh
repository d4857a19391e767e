#!/usr/bin/env bash
# Builds when needed, creates the demo database when missing and opens the listing window on it.
# Without a display it says so and shows a sample listing in the terminal.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/deps.sh
deps_ensure
. scripts/ccache.sh

BUILD_DIR=${BUILD_DIR:-build}
DEMO_DB=${DEMO_DB:-$PWD/demo/tienda.fdb}
if [ ! -f "$BUILD_DIR/build.ninja" ]; then
    cmake -S . -B "$BUILD_DIR" -G Ninja
fi
cmake --build "$BUILD_DIR" -j "$(nproc)"

if [ ! -f "$DEMO_DB" ]; then
    mkdir -p "$(dirname "$DEMO_DB")"
    echo "Creando la base de datos de demostración en $DEMO_DB ..."
    "$BUILD_DIR/bin/quillmore-datos" --pacientes "${DEMO_PACIENTES:-3000}" --salida "$DEMO_DB"
fi

if [ -n "${DISPLAY:-}" ] && [ -x "$BUILD_DIR/bin/quillmore" ]; then
    exec "$BUILD_DIR/bin/quillmore" --db "$DEMO_DB" "$@"
fi

if [ -z "${DISPLAY:-}" ]; then
    echo "No hay pantalla (DISPLAY vacío): se muestra un listado de ejemplo en la terminal."
fi
if [ -x "$BUILD_DIR/bin/listado" ] && "$BUILD_DIR/bin/listado" --ayuda 2>/dev/null | grep -q exportar; then
    tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
    # Patients whose surname starts with "GAR", as the window would export them.
    echo '[{"Id": 1, "Condicion": "Empieza por...", "Condicion1": "GAR"}]' > "$tmp/c.json"
    echo "Pacientes cuyos apellidos empiezan por GAR (partición 1):"
    "$BUILD_DIR/bin/listado" exportar --db "$DEMO_DB" --tipo general --condiciones "$tmp/c.json" \
        --particion 1 --formato txt --fichero "$tmp/l.txt"
    head -n 25 "$tmp/l.txt" | cut -d';' -f1-7 | column -t -s ';'
else
    "$BUILD_DIR/bin/quillmore-datos" --resumen "$DEMO_DB"
fi
