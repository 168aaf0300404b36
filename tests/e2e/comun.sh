# Shared start of the runs on a virtual X display, sourced by each script
# after it has set `bin` (the programs' folder, its one argument) and
# `herramientas` (the commands it needs besides xvfb-run).
#
# Outside the display: a missing command skips the run (77); otherwise the
# calling script runs again under xvfb-run. Inside: any other platform the
# caller asked Qt for is dropped, a scratch folder `work` is made and removed
# at the end (kept when FD_E2E_KEEP is set) with the programs whose ids are in
# `pids`, no printer of the machine is in the programs' reach, the locale is
# a UTF-8 one, `host_nuevo` makes the run's host installation, and
# `check`/`has` count and print the results.

if [ "${FD_E2E_INSIDE:-}" != 1 ]; then
  for tool in xvfb-run ${herramientas:-}; do
    if ! command -v "$tool" >/dev/null; then
      echo "SKIP: $tool is not installed (scripts/setup.sh installs it)"
      exit 77
    fi
  done
  export FD_E2E_INSIDE=1
  # -noreset: the server would otherwise start afresh each time its last
  # client leaves, and a program starting in that moment finds no display.
  exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" bash "$0" "$bin"
fi

unset QT_QPA_PLATFORM WAYLAND_DISPLAY
# The main program as these runs start it: its message boxes are answered
# from FORMDESK_SCRIPTED_ANSWERS and written to standard error.
guion=$bin/formdesk_guion

work=$(mktemp -d)
pids=()
# The print system looks for its server at a socket where nothing listens:
# a run that prints goes to the PDF file it names (PRINTER_PDF_OUTPUT), and
# the others find no printer, whatever the machine has.
export CUPS_SERVER=$work/cups.sock
# Window titles with accents are found by xdotool only in a UTF-8 locale, for
# xdotool and for the program that sets them (outside one, the title's older
# form, which xdotool reads, carries the accents garbled). Without one (LANG
# unset, as under cron or in a fresh ssh session) the run takes its own; a
# UTF-8 locale of the caller's is kept.
[ "$(locale charmap 2>/dev/null)" = UTF-8 ] || export LC_ALL=C.UTF-8
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
  [ -n "${FD_E2E_KEEP:-}" ] || rm -rf "$work"
}
trap cleanup EXIT

fails=0
check() {  # check DESCRIPTION CONDITION...
  local what=$1; shift
  if "$@"; then echo "ok   - $what"; else echo "FAIL - $what"; fails=$((fails + 1)); fi
}
has() { grep -qaF -- "$2" "$1" 2>/dev/null; }
# A fresh host installation in $work/host for the programs of this run, with
# message boxes answered by script and an instance lock apart from any other
# session's.
host_nuevo() {
  "$bin/makehost" "$work/host" >/dev/null || { echo "FAIL - makehost"; exit 1; }
  export WINDIR=$work/host/windows
  export FORMDESK_SCRIPTED_ANSWERS=
  export XDG_RUNTIME_DIR=$work/run
  mkdir -m 700 -p "$XDG_RUNTIME_DIR"
}
