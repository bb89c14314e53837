#!/usr/bin/env bash
# The desktop program stopped by SIGTERM, SIGINT or SIGHUP removes its per-run folder (with
# the music file it keeps there) and ends at once, by that signal.
set -u
APP="$1"
source "$(dirname "$0")/../checks.sh"
export QT_QPA_PLATFORM=offscreen

# Waits up to $2 tenths of a second for the command in $1 to succeed.
wait_for() {
  local i
  for ((i = 0; i < $2; i++)); do
    eval "$1" && return 0
    sleep 0.1
  done
  return 1
}

stop_with() {  # stop_with SIGNAL NUMBER
  local sig="$1" num="$2"
  local home="$WORK/home-$sig" tmp="$WORK/tmp-$sig"
  mkdir -p "$home" "$tmp"
  # The per-run folder is made in TMPDIR: a private one shows what this run leaves behind.
  # A script's background command starts with SIGINT ignored: env gives it back its default.
  env --default-signal=INT CORVANTINE_HOME="$home" TMPDIR="$tmp" "$APP" >"$WORK/out-$sig" 2>&1 &
  local pid=$!
  if ! wait_for "compgen -G '$tmp/corvantine-*' >/dev/null" 300; then
    fail=$((fail + 1))
    echo "FAIL: $sig: no per-run folder appeared"
    cat "$WORK/out-$sig"
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    return
  fi
  # Started up: the window is there once the configuration was written.
  wait_for "[ -s '$home/Led Conf.ldc' ]" 100
  sleep 0.5
  kill "-$sig" "$pid"
  # A generous bound, only so that a program that does not end cannot hang the test.
  if ! wait_for "! kill -0 $pid 2>/dev/null" 200 2>/dev/null; then
    fail=$((fail + 1))
    echo "FAIL: $sig: the program did not end"
    kill -KILL "$pid" 2>/dev/null
  fi
  # (the shell's own "Hangup" notice is not wanted in the log)
  { wait "$pid"; } 2>/dev/null
  local status=$?
  if [ "$status" -eq $((128 + num)) ]; then
    pass=$((pass + 1))
  else
    fail=$((fail + 1))
    echo "FAIL: $sig: exit status $status, expected $((128 + num)) (ended by the signal)"
    cat "$WORK/out-$sig"
  fi
  if compgen -G "$tmp/corvantine-*" >/dev/null; then
    fail=$((fail + 1))
    echo "FAIL: $sig: the per-run folder was left behind:"
    ls -la "$tmp"/corvantine-*
  else
    pass=$((pass + 1))
  fi
}

stop_with TERM 15
stop_with INT 2
stop_with HUP 1

# A signal the program was started to ignore stays ignored (nohup): it goes on running.
home="$WORK/home-ignored" tmp="$WORK/tmp-ignored"
mkdir -p "$home" "$tmp"
(
  trap '' HUP
  exec env CORVANTINE_HOME="$home" TMPDIR="$tmp" "$APP" >"$WORK/out-ignored" 2>&1
) &
pid=$!
if wait_for "compgen -G '$tmp/corvantine-*' >/dev/null" 300; then
  sleep 0.5
  kill -HUP "$pid"
  sleep 1
  if kill -0 "$pid" 2>/dev/null; then pass=$((pass + 1)); else fail=$((fail + 1)); echo "FAIL: an ignored SIGHUP ended the program"; fi
  kill -TERM "$pid"
  wait_for "! kill -0 $pid 2>/dev/null" 200 || kill -KILL "$pid" 2>/dev/null
  wait "$pid"
  if compgen -G "$tmp/corvantine-*" >/dev/null; then fail=$((fail + 1)); echo "FAIL: folder left after SIGTERM"; else pass=$((pass + 1)); fi
else
  fail=$((fail + 1))
  echo "FAIL: ignored: no per-run folder appeared"
  kill -KILL "$pid" 2>/dev/null
fi

finish
