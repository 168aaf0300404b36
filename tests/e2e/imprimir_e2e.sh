#!/usr/bin/env bash
# The print road of formdesk on a virtual X display, driven from the keyboard:
# "Declaraciones > Imprimir" lists a saved declaration, "&Imprimir" writes its
# report into the report folder and, with no printer on this machine, says so;
# "&Preliminar" opens the page-range dialog and the previewer. The sent list
# is reached the same way. A second run sends the printer's jobs to a PDF
# file (PRINTER_PDF_OUTPUT): the printed declaration is read back with
# pdftotext, and printed again from the previewer's toolbar. Message boxes
# are answered by the scripted build of the program, which writes each box
# to standard error. With E2E_KEEP=folder the PDF and the screenshots are
# copied there.
set -uo pipefail
bin=${1:?bin folder}

herramientas=xdotool
. "${0%/*}/comun.sh"
shown() { "$bin/launcher" --screenshot "$work/$1.png" "$2" 60 >/dev/null; }
wait_line() {  # wait_line FILE TEXT: until the text is in the file (60 s at most)
  for _ in $(seq 1 600); do has "$1" "$2" && return 0; sleep 0.1; done
  return 1
}
keys() { sleep 0.5; xdotool key --clearmodifiers "$@"; }
# Without a window manager the keyboard focus is given to a window by hand.
focus() { xdotool windowfocus --sync "$(xdotool search --onlyvisible --name "^$1\$" | tail -1)"; }
# close TITLE KEY: presses the key in the window until it is gone (a form
# busy with its own activation may miss the first press); a window that is
# not open to begin with is no window closed.
close() {
  if ! xdotool search --onlyvisible --name "^$1\$" >/dev/null; then
    echo "     \"$1\" is not open"
    return 1
  fi
  for _ in 1 2 3 4 5; do
    focus "$1"; keys "$2"
    for _ in $(seq 1 50); do
      xdotool search --onlyvisible --name "^$1\$" >/dev/null || return 0
      sleep 0.1
    done
  done
  return 1
}

# open TITLE KEYS...: from the focused window, presses the keys (one after the
# other) until the window of that title is shown (a busy window may miss a
# key: a menu still closed when its item's key came, say).
open() {
  local title=$1; shift
  for _ in 1 2 3 4 5; do
    local k
    for k in "$@"; do keys "$k"; done
    for _ in $(seq 1 100); do
      xdotool search --onlyvisible --name "^$title\$" >/dev/null && return 0
      sleep 0.1
    done
  done
  return 1
}

ruc=20100123453
rpt=$work/host/QVX/RPT
host_nuevo
"$bin/declaracion_guardada" "$work/host" "$ruc" 201710 || { echo "FAIL - declaration"; exit 1; }

"$bin/launcher" & pids+=($!)
shown launcher "Telvarin" || { echo "FAIL - launcher window"; exit 1; }
"$guion" >"$work/formdesk.out" 2>"$work/formdesk.err" & pids+=($!)
shown main "0787 Olvarico v 1.9" || { echo "FAIL - main window"; exit 1; }
focus "0787 Olvarico v 1.9"

# 1. Stored declarations: the list, then "&Imprimir" at once.
open "Imprimir " alt+d i
check "stored: print dialog shown" shown stored "Imprimir "
keys alt+i
check "stored: no printer is told" wait_line "$work/formdesk.err" \
  "MsgBox [Impresión] (16) No existe una impresora seleccionada.Verifique."
check "stored: report file written" has "$rpt/00000001.PRN" "pPos|300|350|KORAL|True|16|0|"
check "stored: taxpayer in the report" has "$rpt/00000001.PRN" "|$ruc|"
check "stored: cash amount in the report" has "$rpt/00000001.PRN" "|      2,500,000|"

# 2. "&Preliminar": the page-range dialog, then the previewer.
open "Impresión por páginas" alt+p
check "preview: page-range dialog shown" shown rango "Impresión por páginas"
check "preview: its own report file" test -f "$rpt/00000002.PRN"
open "Presentación Preliminar" alt+p
check "preview: previewer shown" shown previa "Presentación Preliminar"
check "preview: closed" close "Presentación Preliminar" Escape
check "page-range dialog: closed" close "Impresión por páginas" alt+c
check "print dialog: closed" close "Imprimir " alt+s
focus "0787 Olvarico v 1.9"

# 3. Sent declarations.
"$bin/makehost" "$work/host" --send "$ruc" 201710 >/dev/null
open "Imprimir Formularios enviados" alt+e i
check "sent: print dialog shown" shown sent "Imprimir Formularios enviados"
keys alt+i
check "sent: report file written" wait_line "$rpt/00000003.PRN" "|$ruc|"
told_twice() {
  for _ in $(seq 1 600); do
    [ "$(grep -c 'No existe una impresora seleccionada' "$work/formdesk.err")" -eq 2 ] && return 0
    sleep 0.1
  done
  return 1
}
check "sent: no printer is told again" told_twice
check "no other message box" test "$(grep -c '^MsgBox' "$work/formdesk.err")" -eq 2

# 4. A printer that writes PDF: the stored declaration printed and read back.
kill "${pids[1]}" 2>/dev/null
wait "${pids[1]}" 2>/dev/null
if command -v pdftotext >/dev/null; then
  pdf=$work/impreso.pdf
  PRINTER_PDF_OUTPUT=$pdf "$guion" >"$work/formdesk2.out" 2>"$work/formdesk2.err" &
  pids+=($!)
  shown main2 "0787 Olvarico v 1.9" || { echo "FAIL - main window (PDF run)"; exit 1; }
  focus "0787 Olvarico v 1.9"
  open "Imprimir " alt+d i
  keys alt+i
  printed() {  # printed TEXT...: the PDF's text holds every one of them
    local t
    for _ in $(seq 1 600); do
      if [ -s "$pdf" ] && t=$(pdftotext -layout "$pdf" - 2>/dev/null); then
        local all=1 x
        for x in "$@"; do grep -qF -- "$x" <<<"$t" || all=0; done
        [ "$all" = 1 ] && return 0
      fi
      sleep 0.1
    done
    return 1
  }
  check "pdf: printed on one page" printed "KORAL" "Período 10-2017"
  check "pdf: one page" test "$(pdfinfo "$pdf" 2>/dev/null | awk '/^Pages:/ {print $2}')" = 1
  check "pdf: taxpayer" printed "RUC" "$ruc" "RAZON SOCIAL"
  check "pdf: a box row on one line" bash -c 'pdftotext -layout "$0" - |
    grep -qE "Impuesto Resultante del periodo +353 +2,500,000 +373 +125,000"' "$pdf"
  # The amounts of one column end where the column ends, row after row.
  amounts_aligned() {
    pdftotext -layout "$pdf" - | awk '
      / (353|302|313) / { i = index($0, "2,500,000"); ends[i + 8] = 1; n++ }
      END { k = 0; for (e in ends) k++; exit !(n == 3 && k == 1) }'
  }
  check "pdf: own-account amounts aligned" amounts_aligned
  check "pdf: cash payment" printed "EFECTIVO" "2,500,000" "Archivo de movimientos:" "1,200"
  check "pdf: no order number for a stored declaration" \
    bash -c '! pdftotext "$0" - | grep -q "NRO. ORDEN"' "$pdf"
  cp "$pdf" "$work/directo.pdf"
  # The previewer shows the same report and prints it from its toolbar.
  rm -f "$pdf"
  open "Impresión por páginas" alt+p
  open "Presentación Preliminar" alt+p
  check "pdf run: previewer shown" shown previa2 "Presentación Preliminar"
  focus "Presentación Preliminar"
  toolbar_print() {  # the fourth button of the toolbar ("Imprimir"), X pixels in
    local w
    w=$(xdotool search --onlyvisible --name '^Presentación Preliminar$' | tail -1)
    for _ in 1 2 3; do
      xdotool mousemove --window "$w" "$1" 18 click 1 >/dev/null
      for _ in $(seq 1 50); do [ -s "$pdf" ] && return 0; sleep 0.1; done
    done
    return 1
  }
  check "pdf run: printed from the previewer's toolbar" toolbar_print 118
  check "pdf run: the same text as the direct print" \
    cmp -s <(pdftotext -layout "$pdf" -) <(pdftotext -layout "$work/directo.pdf" -)
  check "pdf run: previewer closed" close "Presentación Preliminar" Escape
  check "pdf run: page-range dialog closed" close "Impresión por páginas" alt+c
  check "pdf run: print dialog closed" close "Imprimir " alt+s
  check "pdf run: no message box" test "$(grep -c '^MsgBox' "$work/formdesk2.err")" -eq 0
  if [ -n "${E2E_KEEP:-}" ]; then
    mkdir -p "$E2E_KEEP" && cp "$work"/*.pdf "$work"/*.png "$E2E_KEEP"/
  fi
else
  echo "skip - pdftotext is not installed: no PDF run"
fi

if [ "$fails" -ne 0 ]; then
  echo "$fails check(s) failed; standard error of formdesk:"
  cat "$work/formdesk.err" "$work"/formdesk2.err 2>/dev/null
  exit 1
fi
echo "all checks passed"
