#!/usr/bin/env bash
# Starts and stops the local Firebird server for the tests that use a networked database.
# Sourced; exports ISC_USER, ISC_PASSWORD and QUILL_FB_SERVER when the server answers.
FB_STARTED_HERE=0

fbserver_up() { (exec 3<>/dev/tcp/127.0.0.1/3050) 2>/dev/null; }

fbserver_start() {
    if [ -r /etc/firebird/3.0/SYSDBA.password ]; then
        set -a; . /etc/firebird/3.0/SYSDBA.password; set +a
    fi
    if ! fbserver_up; then
        if [ "$(id -u)" -eq 0 ] && [ -x /etc/init.d/firebird3.0 ]; then
            /etc/init.d/firebird3.0 start >/dev/null 2>&1 || true
            FB_STARTED_HERE=1
        fi
        for _ in $(seq 100); do fbserver_up && break; sleep 0.1; done
    fi
    if fbserver_up; then
        export QUILL_FB_SERVER=127.0.0.1
    else
        echo "Aviso: no hay servidor Firebird en 127.0.0.1:3050" >&2
    fi
}

fbserver_stop() {
    if [ "$FB_STARTED_HERE" = 1 ]; then
        /etc/init.d/firebird3.0 stop >/dev/null 2>&1 || true
    fi
}
