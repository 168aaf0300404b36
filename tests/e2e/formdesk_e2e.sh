#!/usr/bin/env bash
# formdesk on a virtual X display: refused without the launcher window (or
# with a window whose title is only close to it), shown with the launcher,
# refused as a second instance. Message boxes are answered by the scripted
# build of the program, which also writes each box to standard error.
set -uo pipefail
bin=${1:?bin folder}

herramientas=
. "${0%/*}/comun.sh"

host_nuevo

refused_without() {  # a start that must end with the launcher message
  local name=$1
  timeout 120 "$guion" >"$work/$name.out" 2>"$work/$name.err"
  local rc=$?
  check "$name: ends with an error code" test "$rc" -ne 0 -a "$rc" -lt 124
  check "$name: launcher message" has "$work/$name.err" \
    "MsgBox [Error al ejecutar el módulo] (16) Debe ejecutar este módulo desde el Nexador del QVX"
  check "$name: no second message" test "$(grep -c '^MsgBox' "$work/$name.err")" -eq 1
}

# Bounded waits, generous for a loaded machine or a sanitizer build. A start
# that should end by itself runs under timeout (124 when it hangs; 128 and up
# when a signal such as a sanitizer's abort ends it).
wait_file() { for _ in $(seq 1 600); do [ -e "$1" ] && return 0; sleep 0.1; done; return 1; }
# A window gone from the display before the next case looks for one.
stop() { kill "$@" 2>/dev/null; wait "$@" 2>/dev/null; }

fake() {  # fake TITLE [--oculta]: a window that stays until the end of the case
  rm -f "$work/listo"
  "$bin/ventana_falsa" "$@" --listo "$work/listo" & fake_pid=$!
  pids+=("$fake_pid")
  wait_file "$work/listo" || { echo "FAIL - window \"$1\" did not come up"; exit 1; }
}

# 1. No launcher at all; and no display at all (the box goes to standard error).
refused_without alone
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
  timeout 120 "$bin/formdesk" >"$work/nodisplay.out" 2>"$work/nodisplay.err"
rc=$?
check "no display: ends with an error code" test "$rc" -ne 0 -a "$rc" -lt 124
check "no display: message on standard error" has "$work/nodisplay.err" \
  "Error al ejecutar el módulo: Debe ejecutar este módulo desde el Nexador del QVX"
check "no display: the missing display named" has "$work/nodisplay.err" "DISPLAY"
check "no display: how to run it" has "$work/nodisplay.err" "xvfb-run"
# The launcher without a display, and with one that does not answer: a
# message, not a crash.
for d in "" ":97"; do
  env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY="$d" \
    timeout 120 "$bin/launcher" >"$work/launcher_nodisplay.out" 2>"$work/launcher_nodisplay.err"
  rc=$?
  check "launcher, display '$d': ends with an error code" test "$rc" -eq 1
  check "launcher, display '$d': how to run it" has "$work/launcher_nodisplay.err" "xvfb-run"
done

# 2. Titles that are not exactly the launcher's, and the right title hidden.
fake "Telvarin "; refused_without trailing_blank; stop "$fake_pid"
fake "telvarin"; refused_without lower_case; stop "$fake_pid"
fake "Telvarin" --oculta; refused_without hidden; stop "$fake_pid"
# None of the refused starts got as far as the database (its opening writes
# SystemDB into the settings file).
check "refusals: settings file untouched" bash -c "! grep -q SystemDB '$WINDIR/KV000.INI'"
# The same stand-in window with the exact title, shown, is enough.
fake "Telvarin"
"$guion" >"$work/exact.out" 2>"$work/exact.err" & exact=$!
pids+=("$exact")
"$bin/launcher" --screenshot "$work/exact.png" "0787 Olvarico v 1.9" 90
check "exact title shown: main window shown" test $? -eq 0
stop "$exact" "$fake_pid"
sed -i '/^SystemDB=/d' "$WINDIR/KV000.INI"

# 3. The host launcher: the main window comes up.
"$bin/launcher" & pids+=($!)
"$bin/launcher" --screenshot "$work/launcher.png" "Telvarin" 90 >/dev/null
check "launcher window shown" test $? -eq 0
# Started with the settings folder given relative to the current folder: the
# program changes its current folder and must still find the settings file.
(cd "$work" && exec env WINDIR=host/windows "$guion") >"$work/first.out" 2>"$work/first.err" &
first=$!
pids+=("$first")
"$bin/launcher" --screenshot "$work/main.png" "0787 Olvarico v 1.9" 90
check "with the launcher: main window shown" test $? -eq 0
check "with the launcher: still running" kill -0 "$first"
check "with the launcher: no message box" test "$(grep -c '^MsgBox' "$work/first.err")" -eq 0

# 4. A second instance.
check "first instance: settings file points at the workgroup file" \
  grep -q "^SystemDB=$work/host/QVX/KV000.MDW" "$WINDIR/KV000.INI"
sed -i '/^SystemDB=/d' "$WINDIR/KV000.INI"
timeout 120 "$guion" >"$work/second.out" 2>"$work/second.err"
rc=$?
check "second instance: ends with an error code" test "$rc" -ne 0 -a "$rc" -lt 124
check "second instance: instance message" has "$work/second.err" \
  "MsgBox [Dornival] (64) La Aplicación ya se encuentra en ejecución"
check "second instance: the first goes on" kill -0 "$first"
check "second instance: database not opened" bash -c "! grep -q SystemDB '$WINDIR/KV000.INI'"
stop "$first"

# 5. A settings file that names no database: the connection message, then the end.
sed -i 's/^DBName=.*/DBName=NOEXISTE.MDB/' "$WINDIR/KV000.INI"
timeout 120 "$guion" >"$work/nobase.out" 2>"$work/nobase.err"
rc=$?
# Not killed by the timeout (124) nor by a signal such as a sanitizer's abort.
check "no database: ends with an error code" test "$rc" -ne 0 -a "$rc" -lt 124
check "no database: connection message" has "$work/nobase.err" "MsgBox [Error de Conección]"

if [ "$fails" -ne 0 ]; then
  echo "$fails check(s) failed; standard error of the runs:"
  for f in "$work"/*.err; do echo "== $f"; cat "$f"; done
  exit 1
fi
echo "all checks passed"
