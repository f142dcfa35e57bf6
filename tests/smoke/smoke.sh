#!/usr/bin/env bash
# Starts the real editor in a real X server, finds its window titled "Tarnwick" and checks that a
# screenshot of it is not blank. Exit code 77 (skipped) only when no X server can be started.
set -u
program=$1
if ! command -v xvfb-run >/dev/null || ! command -v xdotool >/dev/null || ! command -v import >/dev/null; then
  echo "skipped: xvfb-run, xdotool or import (imagemagick) is missing; scripts/install-deps installs them"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cat >"$work/inner.sh" <<'INNER'
#!/usr/bin/env bash
set -u
program=$1; work=$2
# The X server may still be starting on a busy machine.
for _ in $(seq 1 100); do
  xdpyinfo >/dev/null 2>&1 && break
  sleep 0.1
done
# The editor reads its recent layouts and recovery copies from the user's folders: not the real
# user's in a test.
HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state" "$program" &
pid=$!
win=""
for _ in $(seq 1 300); do
  win=$(xdotool search --name '^Tarnwick$' 2>/dev/null | head -n 1)
  [ -n "$win" ] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$win" ]; then
  if kill -0 "$pid" 2>/dev/null; then
    echo "FAIL: no window titled Tarnwick appeared"
    kill "$pid" 2>/dev/null
  else
    wait "$pid"
    echo "FAIL: the program ended with status $? before showing its window"
  fi
  exit 1
fi
# Under load the first frames may not be painted yet: look again for a while.
colours=0
for _ in $(seq 1 30); do
  sleep 0.5
  import -window root "$work/shot.png"
  colours=$(convert "$work/shot.png" -format '%k' info:)
  [ "${colours:-0}" -ge 8 ] && break
done
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
echo "window $win found; screenshot has $colours colours"
if [ "${colours:-0}" -lt 8 ]; then
  echo "FAIL: the screenshot is blank"
  exit 1
fi
exit 0
INNER
chmod +x "$work/inner.sh"
# A display number of our own, so that X servers started at the same time do not collide.
display=$((RANDOM % 400 + 100))
if ! xvfb-run -n "$display" -a -s "-screen 0 1280x1024x24 -noreset" true 2>/dev/null; then
  echo "skipped: no X server could be started"
  exit 77
fi
# A machine busy with other tests may start the X server or the program slowly: one more try
# on a fresh server before calling it a failure.
for attempt in 1 2; do
  if xvfb-run -n "$((display + attempt * 7))" -a -s "-screen 0 1280x1024x24 -noreset" \
    "$work/inner.sh" "$program" "$work"; then
    exit 0
  fi
  echo "attempt $attempt failed"
done
exit 1
