#!/usr/bin/env bash
# Runs nimbrel under the real XScreenSaver daemon on a virtual display, with
# desktop grabbing on: once activated, the screen must show the painted desktop
# melting; deactivating must end the hack within 2 s; the daemon's log must
# report no crash. Exit 77 (skipped) when the daemon is not installed.
#   daemon_test.sh PROGRAM DESKTOP.png WORK-DIR
# The daemon refuses to run hacks as root: as root it runs as the user
# nimbrel-test (created here when missing), otherwise as the caller.
set -euo pipefail

program=$1 desktop=$2 work=$3
here=$(cd "$(dirname "$0")" && pwd)
command -v xscreensaver >/dev/null || { echo "xscreensaver is not installed: skipped"; exit 77; }
fail() { echo "daemon_test: $*" >&2; exit 1; }
# wait_for SECONDS COMMAND...: polls every 20 ms until COMMAND succeeds.
wait_for() {
  local deadline=$((${EPOCHREALTIME/./} + $1 * 1000000))
  shift
  until "$@"; do
    ((${EPOCHREALTIME/./} < deadline)) || return 1
    sleep 0.02
  done
}

user=$(id -un)
if [[ $(id -u) -eq 0 ]]; then
  user=nimbrel-test  # a system user without home or login shell; two runs may race to make it
  id "$user" &>/dev/null || useradd --system --no-create-home --home-dir /nonexistent \
    --shell /usr/sbin/nologin "$user" || id "$user" >/dev/null
fi
home=$(mktemp -d -t nimbrel-daemon.XXXXXX)
rm -rf "$work" && mkdir -p "$work"
xvfb="" daemon=""
finish() {
  for pid in $daemon $xvfb; do kill "$pid" 2>/dev/null && { wait "$pid" 2>/dev/null || true; }; done
  rm -rf "$home"
}
trap finish EXIT
trap 'exit 143' TERM INT HUP

# A display of the picture's size; -noreset keeps the painted root after the
# painter leaves.
mkfifo "$work/displayfd"
Xvfb -displayfd 3 -screen 0 "$(identify -format '%wx%h' "$desktop")x24" -noreset -nolisten tcp \
  3>"$work/displayfd" 2>"$work/xvfb.log" &
xvfb=$!
read -r number <"$work/displayfd"
export DISPLAY=":$number"
display -window root "$desktop" || true  # it paints the root, then exits with 1
import -window root "$work/desktop.png"
[[ $(compare -metric AE "$desktop" "$work/desktop.png" null: 2>&1) == 0 ]] || fail "the desktop was not painted"

# "${as_user[@]}" COMMAND...: COMMAND as the daemon's user in its home, in the
# same process (so that $! of a background one is its pid).
as_user=(env -i HOME="$home" DISPLAY="$DISPLAY" PATH=/usr/bin:/bin LANG=C.UTF-8 USER="$user" LOGNAME="$user")
[[ $(id -u) -ne 0 ]] || as_user=(setpriv --reuid="$user" --regid="$user" --init-groups "${as_user[@]}")
# Only nimbrel, melting fast with a fixed seed; no fade, so that the daemon's
# copy of the screen is the desktop itself.
printf '%s\n' "timeout: 0:01:00" "cycle: 0:00:00" "lock: False" "fade: False" "unfade: False" \
  "dpmsEnabled: False" "splash: False" "grabDesktopImages: True" "mode: one" "selected: 0" \
  "programs: \"Nimbrel\" $program --root --effect melt --melt-speed 6 --seed 7 \\n" >"$home/.xscreensaver"
chown -R "$user" "$home"
log=$work/daemon.log
"${as_user[@]}" xscreensaver --no-splash -verbose >"$log" 2>&1 &
daemon=$!
wait_for 10 "${as_user[@]}" xscreensaver-command -time &>/dev/null || fail "no daemon: $(cat "$log")"
"${as_user[@]}" xscreensaver-command -activate >/dev/null

# The daemon logs the hack's pid as it starts it (sh -c "exec ..." keeps it).
hack_pid() { grep -F "forked \"$program " "$log" | sed -n 's/.* in pid \([0-9]*\).*/\1/p' | tail -n 1; }
started() { [[ -n "$(hack_pid)" ]]; }
wait_for 10 started || fail "the daemon did not start nimbrel: $(cat "$log")"
pid=$(hack_pid)
grep -q "saved screenshot" "$log" || fail "the daemon kept no screenshot for its window"
# At Speed 6 a column moves about 7 rows a second on a 640-pixel screen: 24
# rows somewhere takes a few seconds of melting that goes on.
melting() {
  import -window root "$work/screen.png" &&
    "$here/melted_desktop.py" "$work/desktop.png" "$work/screen.png" 24 >"$work/check.txt"
}
wait_for 20 melting || fail "the screen does not show the desktop melting: $(cat "$work/check.txt")"
echo "melting: $(cat "$work/check.txt")"

"${as_user[@]}" xscreensaver-command -deactivate >/dev/null
# The daemon may exit before it reaps the hack, which then stays a zombie
# until init reaps it (never, in some containers): that has ended too. It may
# also exit before it logs how the hack ended; what it logs must be SIGTERM.
ended() { [[ ! -e /proc/$pid ]] || grep -q '^State:.*zombie' "/proc/$pid/status" 2>/dev/null; }
wait_for 2 ended || fail "nimbrel (pid $pid) still runs 2 s after deactivation"
! grep "child pid $pid " "$log" | grep -v "exited normally with SIGTERM$" ||
  fail "the daemon reports another end of nimbrel (above)"
! grep -nE "crash|abnormally|AddressSanitizer|LeakSanitizer|runtime error" "$log" ||
  fail "the daemon's log reports a crash (above; the whole log is $log)"
echo "nimbrel ended on deactivation; no crash in the daemon's log"
