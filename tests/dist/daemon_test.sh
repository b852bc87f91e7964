#!/usr/bin/env bash
# Runs nimbrel under the real XScreenSaver daemon on a virtual display: the
# daemon, activated, starts it on its saver window with desktop grabbing on;
# the screen must then show the painted desktop melting, deactivating must end
# the hack within 2 s, and the daemon's log must report no crash.
#   daemon_test.sh PROGRAM DESKTOP.png WORK-DIR
# The daemon refuses to run hacks as root, so as root the daemon runs as the
# user nimbrel-test (created here when missing); otherwise as the caller.
# Exit 77 (skipped) when the daemon is not installed.
set -euo pipefail

program=$1 desktop=$2 work=$3
here=$(cd "$(dirname "$0")" && pwd)
command -v xscreensaver >/dev/null || { echo "xscreensaver is not installed: skipped"; exit 77; }

fail() { echo "daemon_test: $*" >&2; exit 1; }
now_us() { echo "${EPOCHREALTIME/./}"; }
# wait_for SECONDS COMMAND...: polls every 20 ms until COMMAND succeeds.
wait_for() {
  local deadline=$(($(now_us) + $1 * 1000000))
  shift
  until "$@"; do
    (($(now_us) < deadline)) || return 1
    sleep 0.02
  done
}

user=$(id -un)
if [[ $(id -u) -eq 0 ]]; then
  user=nimbrel-test
  id "$user" >/dev/null 2>&1 ||
    useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin "$user" ||
    id "$user" >/dev/null  # another run may have created it meanwhile
fi
home=$(mktemp -d -t nimbrel-daemon.XXXXXX)
rm -rf "$work"
mkdir -p "$work"
xvfb="" daemon=""
finish() {
  local pid
  for pid in $daemon $xvfb; do
    kill "$pid" 2>/dev/null && { wait "$pid" 2>/dev/null || true; }
  done
  rm -rf "$home"
}
trap finish EXIT
trap 'exit 143' TERM INT HUP


# A virtual display of the picture's size; -noreset keeps the painted root
# when the painter disconnects.
size=$(identify -format '%wx%h' "$desktop")
fifo=$work/displayfd
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 "${size}x24" -noreset -nolisten tcp 3>"$fifo" 2>"$work/xvfb.log" &
xvfb=$!
read -r number <"$fifo"
export DISPLAY=":$number"

# "${as_user[@]}" COMMAND...: runs COMMAND as the daemon's user, in its home,
# in the same process (so that $! of a background one is its pid).
as_user=(env -i HOME="$home" DISPLAY="$DISPLAY" PATH=/usr/local/bin:/usr/bin:/bin LANG=C.UTF-8
         USER="$user" LOGNAME="$user")
if [[ $(id -u) -eq 0 ]]; then
  as_user=(setpriv --reuid="$user" --regid="$user" --init-groups "${as_user[@]}")
fi
display -window root "$desktop" || true  # it paints the root, then exits with 1
import -window root "$work/desktop.png"
[[ $(compare -metric AE "$desktop" "$work/desktop.png" null: 2>&1) == 0 ]] || fail "the desktop was not painted"

# Only nimbrel, melting fast with a fixed seed; no fade, so the daemon's copy
# of the screen is the desktop itself.
cat >"$home/.xscreensaver" <<EOT
timeout: 0:01:00
cycle: 0:00:00
lock: False
fade: False
unfade: False
dpmsEnabled: False
splash: False
grabDesktopImages: True
mode: one
selected: 0
programs: "Nimbrel" $program --root --effect melt --melt-speed 6 --seed 7 \\n
EOT
chown -R "$user" "$home"
log=$work/daemon.log
"${as_user[@]}" xscreensaver --no-splash -verbose >"$log" 2>&1 &
daemon=$!
wait_for 10 "${as_user[@]}" xscreensaver-command -time >/dev/null 2>&1 || fail "the daemon did not start: $(cat "$log")"
"${as_user[@]}" xscreensaver-command -activate >/dev/null

# The daemon logs the hack's pid when it starts it; sh -c "exec ..." keeps it.
hack_pid() { grep -F "forked \"$program " "$log" | sed -n 's/.* in pid \([0-9]*\).*/\1/p' | tail -n 1; }
started() { [[ -n "$(hack_pid)" ]]; }
wait_for 10 started || fail "the daemon did not start nimbrel: $(cat "$log")"
pid=$(hack_pid)
grep -q "saved screenshot" "$log" || fail "the daemon kept no screenshot for its window"

# At Speed 6 a column moves about 7 rows a second on this 640-pixel screen, so
# 24 rows down somewhere takes a few seconds of melting that goes on.
melting() {
  import -window root "$work/screen.png" &&
    "$here/melted_desktop.py" "$work/desktop.png" "$work/screen.png" 24 >"$work/check.txt"
}
wait_for 20 melting || fail "the screen does not show the desktop melting: $(cat "$work/check.txt")"
echo "melting: $(cat "$work/check.txt")"

"${as_user[@]}" xscreensaver-command -deactivate >/dev/null
# The daemon may exit before it reaps the hack, which then stays a zombie
# until init reaps it (never, in some containers): that has ended too.
ended() { [[ ! -e /proc/$pid ]] || grep -q '^State:.*zombie' "/proc/$pid/status" 2>/dev/null; }
wait_for 2 ended || fail "nimbrel (pid $pid) still runs 2 s after deactivation"
# The daemon may exit before it reports how its child ended; what it reports
# must be the end it asked for.
if grep "child pid $pid " "$log" | grep -v "exited normally with SIGTERM$"; then
  fail "the daemon reports another end of nimbrel (above)"
fi
if grep -nE "crash|abnormally|AddressSanitizer|LeakSanitizer|runtime error" "$log"; then
  fail "the daemon's log reports a crash (above; the whole log is $log)"
fi
echo "nimbrel ended on deactivation; no crash in the daemon's log"
