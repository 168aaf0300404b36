#!/usr/bin/env bash
# scripts/run-sample.sh [--fresh]
# Sets up and builds everything, then makes the sample host installation in
# <repo>/sample, runs the installer on it, writes sample data files in
# <repo>/sample/datos and starts the main program from the
# host launcher, leaving a picture of its main window.
# Run again, it keeps the installation, its declarations and its data files;
# --fresh deletes them and makes a new one.
set -euo pipefail
fresh=0
for arg in "$@"; do
  case $arg in
    --fresh) fresh=1 ;;
    *) echo "usage: scripts/run-sample.sh [--fresh]" >&2; exit 2 ;;
  esac
done
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build"

bin=$root/build/bin
sample=$root/sample
if [ "$fresh" -eq 1 ] && [ -e "$sample" ]; then
  echo "Deleting the sample installation in $sample (--fresh)."
  rm -rf "$sample"
fi
if [ -e "$sample/QVX/QVXDATOS.MDB" ]; then
  echo "Keeping the sample installation in $sample and its declarations" \
       "(scripts/run-sample.sh --fresh makes a new one)."
else
  # Also finishes an installation that an interrupted run left half made.
  "$bin/makehost" "$sample"
fi
export WINDIR=$sample/windows
# The installer may run again: it leaves declarations and control records alone.
"$bin/seeder"
# Sample data files for the first taxpayer of the sample register: a valid
# pair and, for the month after, faulty files ("Validar Archivos" road).
echo
if [ -d "$sample/datos" ]; then
  echo "Keeping the sample data files in $sample/datos."
else
  echo "Sample data files (taxpayer 20100123453):"
  "$bin/gendata" "$sample/datos" 20100123453 201702 | sed 's/^/  /'
fi

cat <<MSG

Sample host installation ready.
  settings file   $WINDIR/KV000.INI   (run the programs with WINDIR=$WINDIR)
  program folder  $sample/QVX/         (workgroup file KV000.MDW, RPT/, tmp/, 0787/)
  database        $sample/QVX/QVXDATOS.MDB (prepared by seeder)
  programs        $bin
  data files      $sample/datos/  (period 02/2017 valid; 03/2017 in con_errores/, duplicados/)
MSG

# Start the host launcher and the main program from it, and leave a picture of
# the main window. Without a display both run on a virtual one (xvfb-run) and
# end after the picture; on a real display they stay open.
shot=$sample/formdesk.png
muestra() {
  "$bin/launcher" &
  local launcher=$!
  "$bin/launcher" --screenshot "$sample/launcher.png" "Telvarin" 30 >/dev/null
  "$bin/formdesk" &
  local formdesk=$!
  local rc=0
  "$bin/launcher" --screenshot "$shot" "0787 Olvarico v 1.9" 30 || rc=$?
  rm -f "$sample/launcher.png"
  if [ -z "${SAMPLE_KEEP_OPEN:-}" ]; then
    kill "$formdesk" "$launcher" 2>/dev/null
    wait 2>/dev/null
  fi
  return "$rc"
}
shown=0
if [ -n "${DISPLAY:-}" ]; then
  SAMPLE_KEEP_OPEN=1 muestra || shown=$?
else
  export bin sample shot
  # Programs on a private display get a private run-time folder too.
  runtime=
  [ -n "${XDG_RUNTIME_DIR:-}" ] || { runtime=$(mktemp -d); export XDG_RUNTIME_DIR=$runtime; }
  xvfb-run -a -s "-screen 0 1024x768x24 -noreset" bash -c "$(declare -f muestra); muestra" || shown=$?
  [ -z "$runtime" ] || rm -rf "$runtime"
fi
if [ "$shown" -eq 0 ]; then
  echo "  main window     $shot"
else
  echo "  main window     did not appear; see the messages above" >&2
  exit 1
fi
