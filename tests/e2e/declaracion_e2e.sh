#!/usr/bin/env bash
# The road of a declaration on a virtual X display, driven by keys as a user
# would: "Validar Archivos" validates the sample data files, "Modificar"
# opens the declaration, the boxes are typed, "V&alidar" shows the
# inconsistency list, "&Grabar" saves, and the declaration opened again shows
# what was saved. Message boxes are answered by the scripted build of the
# program (default buttons), which also writes each box to standard error.
#
#   declaracion_e2e.sh BIN        with FD_E2E_SHOT=FILE the reopened form is
#                                 also saved as a picture in FILE
set -uo pipefail
bin=${1:?bin folder}

if [ "${FD_E2E_INSIDE:-}" != 1 ] && [ ! -x "$bin/gendata" ]; then
  echo "SKIP: gendata is not built (the sample-data program)"
  exit 77
fi
herramientas=xdotool
. "${0%/*}/comun.sh"
# Bounded waits for a window that must come (or go).
window() { xdotool search --name "^$1\$" 2>/dev/null | head -1; }
wait_window() {
  for _ in $(seq 1 300); do [ -n "$(window "$1")" ] && return 0; sleep 0.1; done
  echo "FAIL - window \"$1\" did not come up"; return 1
}
wait_gone() {
  for _ in $(seq 1 300); do [ -z "$(window "$1")" ] && return 0; sleep 0.1; done
  echo "FAIL - window \"$1\" did not close"; return 1
}
# Keys to the window titled $1 (given the input focus first; there is no
# window manager on the virtual display).
keys() {
  local w; w=$(window "$1"); shift
  [ -n "$w" ] || return 1
  xdotool windowfocus --sync "$w" 2>/dev/null
  sleep 0.3
  for k in "$@"; do
    case $k in
      type:*) xdotool type --delay 60 "${k#type:}" ;;
      *) xdotool key "$k" ;;
    esac
    sleep 0.15
  done
  sleep 0.5
}
boxes() { grep -c '^MsgBox' "$work/formdesk.err"; }
# Waits (bounded) until a message box with this text has been answered.
wait_box() {
  for _ in $(seq 1 600); do grep -qF -- "$1" "$work/formdesk.err" && return 0; sleep 0.1; done
  return 1
}

# A program folder of its own: the import form starts in the folder of the
# program, where the sample data files are written.
prog=$work/prog
mkdir -p "$prog"
cp "$guion" "$prog/formdesk"
cp "$bin/liblinefilter.so" "$prog/"
host_nuevo
"$bin/seeder" >/dev/null 2>&1 || { echo "FAIL - seeder"; exit 1; }
ruc=20100123453
"$bin/gendata" "$prog" $ruc 201702 >/dev/null || { echo "FAIL - gendata"; exit 1; }

"$bin/launcher" >/dev/null 2>&1 & pids+=($!)
wait_window "Telvarin" || exit 1
"$prog/formdesk" >"$work/formdesk.out" 2>"$work/formdesk.err" & formdesk=$!
pids+=("$formdesk")
main="0787 Olvarico v 1.9"
wait_window "$main" || exit 1

# 1. Declaraciones > Validar Archivos: the taxpayer, the period, both kinds,
#    the first file of the list, Aceptar.
keys "$main" alt+d v
wait_window "Validar Archivos" || exit 1
# (choosing the taxpayer takes the focus on to the period)
keys "Validar Archivos" Down Home type:022017 Tab space Tab space Tab Tab Tab Down alt+a
check "import: the declaration is born" \
  wait_box "Puede ver su declaración en la opción Declaraciones/Modificar."
keys "Validar Archivos" alt+s
wait_gone "Validar Archivos"

# 2. Declaraciones > Modificar, the first (only) declaration.
form="0787 QVX Olvarico v 1.9"
keys "$main" alt+d m
wait_window "Modificar Formulario" || exit 1
keys "Modificar Formulario" alt+m
wait_window "$form" || exit 1
check "open: no message box" test "$(boxes)" -eq 1

# 3. The box tab: 300, 301, 309 and 313 typed (Enter and Tab move on), a
#    letter refused on the way.
keys "$form" alt+d Tab type:1000a Return type:250 Tab type:40 Tab Tab Tab Tab type:700 Tab
"$bin/launcher" --screenshot "$work/typed.png" "$form" 30 >/dev/null

# 4. Validar: the list of what is missing, closed with Aceptar.
keys "$form" alt+a
wait_window "Inconsistencias detectadas" && check "validate: inconsistency list shown" true
keys "Inconsistencias detectadas" alt+a
wait_gone "Inconsistencias detectadas"

# 5. Grabar, then Salir closes without a question (nothing changed since).
keys "$form" alt+g
check "save: saved with inconsistencies" \
  wait_box "La información del formulario fue grabada con inconsistencias."
n=$(boxes)
keys "$form" alt+s
wait_gone "$form"
check "exit after saving: no question" test "$(boxes)" -eq "$n"

# 6. Opened again: the saved boxes are back.
keys "Modificar Formulario" alt+m
wait_window "$form" || exit 1
keys "$form" alt+d
shot=${FD_E2E_SHOT:-$work/frm787.png}
"$bin/launcher" --screenshot "$shot" "$form" 30 >/dev/null
check "reopen: picture taken" test -s "$shot"
if command -v sqlite3 >/dev/null; then
  sqlite3 "$work/host/QVX/QVXDATOS.MDB" "SELECT CASILLA || '=' || I_VALOR FROM DET" \
    >"$work/det.txt" 2>&1
  for want in 300=1000 301=250 309=-40 313=700 002=$ruc 007=201702 721=1.9; do
    check "saved box $want" grep -qx -- "$want" "$work/det.txt"
  done
fi
# An edit and Escape: the exit question, answered by its default (Yes: save).
keys "$form" Tab type:5 Tab Escape
check "escape after an edit: the exit question" \
  wait_box "¿El formulario ha sido modificado, desea guardar los cambios?"
wait_gone "$form"
check "formdesk still running" kill -0 "$formdesk"

if [ "$fails" -ne 0 ]; then
  echo "$fails check(s) failed; message boxes of the run:"
  cat "$work/formdesk.err"
  exit 1
fi
echo "all checks passed"
