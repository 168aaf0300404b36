#!/usr/bin/env bash
# The main window under a window manager (openbox) on a virtual X display:
# the manager offers to maximise and to minimise it although the window asks
# for neither; either way the window comes back as it was shown, the same
# size at the same place, and stays on the screen.
set -uo pipefail
bin=${1:?bin folder}

herramientas="openbox wmctrl xdotool"
. "${0%/*}/comun.sh"

host_nuevo

# The manager, once it answers (without a session manager).
openbox --sm-disable >"$work/openbox.out" 2>&1 & pids+=($!)
for _ in $(seq 1 100); do wmctrl -m >/dev/null 2>&1 && break; sleep 0.1; done
wmctrl -m >/dev/null 2>&1 || { echo "FAIL - openbox did not start"; exit 1; }

main="0787 Olvarico v 1.9"
"$bin/launcher" >/dev/null 2>&1 & pids+=($!)
"$bin/launcher" --screenshot "$work/launcher.png" "Telvarin" 90 >/dev/null ||
  { echo "FAIL - launcher window"; exit 1; }
"$guion" >"$work/formdesk.out" 2>"$work/formdesk.err" & pids+=($!)
"$bin/launcher" --screenshot "$work/main.png" "$main" 90 >/dev/null ||
  { echo "FAIL - main window"; exit 1; }

# Where the window is and how big, as long as it is on the screen (nothing
# when the manager has taken it off).
where() {
  local w
  w=$(xdotool search --onlyvisible --name "^$main\$" | head -1)
  [ -n "$w" ] && xdotool getwindowgeometry "$w" | tr -s ' \n' ' '
}
# The window as the manager left it once it has placed and framed it.
settled() {
  local a b
  for _ in $(seq 1 100); do
    a=$(where); sleep 0.3; b=$(where)
    [ -n "$a" ] && [ "$a" = "$b" ] && { echo "$a"; return 0; }
  done
  return 1
}
shown=$(settled) || { echo "FAIL - main window not settled"; exit 1; }
# back: after the manager's change, the window as shown, and still so a
# moment later.
back() {
  sleep 1
  for _ in $(seq 1 50); do
    [ "$(where)" = "$shown" ] && sleep 0.5 && [ "$(where)" = "$shown" ] && return 0
    sleep 0.2
  done
  echo "     shown: $shown; now: $(where)"
  return 1
}

wmctrl -r "$main" -b add,maximized_vert,maximized_horz
check "maximised: back as shown" back
xdotool windowminimize "$(xdotool search --onlyvisible --name "^$main\$" | head -1)"
check "minimised: back as shown" back
check "no message box" test "$(grep -c '^MsgBox' "$work/formdesk.err")" -eq 0

if [ "$fails" -ne 0 ]; then
  echo "$fails check(s) failed; standard error of formdesk:"
  cat "$work/formdesk.err"
  exit 1
fi
echo "all checks passed"
