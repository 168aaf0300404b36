#!/usr/bin/env bash
# Sets up and builds everything, then makes the sample host installation in
# <repo>/sample and runs the installer on it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build"

bin=$root/build/bin
sample=$root/sample
# A fresh installation every time: makehost refuses to write over one.
rm -rf "$sample"
"$bin/makehost" "$sample"
export WINDIR=$sample/windows
"$bin/seeder"

cat <<MSG

Sample host installation ready.
  settings file   $WINDIR/KV000.INI   (run the programs with WINDIR=$WINDIR)
  program folder  $sample/QVX/         (workgroup file KV000.MDW, RPT/, tmp/, 0787/)
  database        $sample/QVX/QVXDATOS.MDB (prepared by seeder)
  programs        $bin
MSG
