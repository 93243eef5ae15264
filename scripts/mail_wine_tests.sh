#!/usr/bin/env bash
# Runs the report-mail tests under Wine against real servers on loopback, in
# a network namespace of their own: dnsmasq (MX and A records) on 127.0.0.1
# and, as the fallback DNS server, on 9.9.9.9 given to the namespace's
# loopback; aiosmtpd on 127.0.0.1:25 (open) and :587 (AUTH LOGIN); a server
# greeting 554 on :2554 and one that never answers on :2999. The namespace's
# resolv.conf names 127.0.0.1, so Wine's DNS server list starts there.
#
#   scripts/mail_wine_tests.sh RUN_DIR [COMMAND...]
#
# COMMAND runs inside the namespace's Wine session (default: the CrashMailWine
# tests of the runnable Windows build), seeing BRENVIK_MAIL_SPOOL where the servers store
# each mail they accept.
# Needs root (ip netns). Everything started is stopped by pid and the
# namespace removed by name on exit.
set -euo pipefail
source "$(dirname "$0")/common.sh"

run_dir=$(realpath -m "$1")
shift
ns="brenvik-mail-$$"
rm -rf "$run_dir"
mkdir -p "$run_dir/spool"
pids=()

cleanup() {
  set +e
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
  ip netns delete "$ns" 2>/dev/null
  rm -rf "/etc/netns/$ns"
}
trap cleanup EXIT

in_ns() { ip netns exec "$ns" "$@"; }

ip netns add "$ns"
mkdir -p "/etc/netns/$ns"
echo "nameserver 127.0.0.1" >"/etc/netns/$ns/resolv.conf"
printf '127.0.0.1 localhost\n' >"/etc/netns/$ns/hosts"
in_ns ip link set lo up
in_ns ip addr add 9.9.9.9/32 dev lo

# start NAME COMMAND...: runs the command in the namespace, logging to NAME.log.
# "ip netns exec" execs the command, so the pid is the server's own.
start() {
  local name=$1
  shift
  ip netns exec "$ns" "$@" >"$run_dir/$name.log" 2>&1 &
  pids+=($!)
}

dns() {
  local name=$1 address=$2
  shift 2
  start "$name" dnsmasq --keep-in-foreground --conf-file=/dev/null --no-resolv --no-hosts --bind-interfaces \
    --listen-address="$address" --port=53 --user=root --pid-file="$run_dir/$name.pid" \
    --local=/brenvik.test/ --log-queries --log-facility=- "$@"
}
dns dns-main 127.0.0.1 \
  --mx-host=mx.brenvik.test,far.brenvik.test,20 --mx-host=mx.brenvik.test,near.brenvik.test,10 \
  --host-record=near.brenvik.test,127.0.0.1 --host-record=far.brenvik.test,127.0.0.2
dns dns-fallback 9.9.9.9 \
  --mx-host=fallback.brenvik.test,near.brenvik.test,10 --host-record=near.brenvik.test,127.0.0.1

server="$root/tests/e2e/crash_mail_smtp_server.py"
start smtp-open /usr/bin/python3 "$server" "$run_dir/spool" accept 127.0.0.1 25
start smtp-auth /usr/bin/python3 "$server" "$run_dir/spool" accept 127.0.0.1 587 reporter s3cret
start smtp-554 /usr/bin/python3 "$server" "$run_dir/spool" greet554 127.0.0.1 2554
start smtp-silent /usr/bin/python3 "$server" "$run_dir/spool" silent 127.0.0.1 2999

for name in smtp-open smtp-auth smtp-554 smtp-silent; do
  for _ in $(seq 200); do grep -q '^ready' "$run_dir/$name.log" 2>/dev/null && break; sleep 0.05; done
  grep -q '^ready' "$run_dir/$name.log" || { echo "mail tests: $name did not start" >&2; cat "$run_dir/$name.log" >&2; exit 1; }
done
for name in dns-main dns-fallback; do
  for _ in $(seq 200); do grep -q 'started, version' "$run_dir/$name.log" 2>/dev/null && break; sleep 0.05; done
done

command=("$@")
((${#command[@]})) || command=(ctest --test-dir "$(runnable_windows_build)" --output-on-failure -R "CrashMailWine|EndsAsStated/mailed")
set +e
in_ns env BRENVIK_MAIL_SPOOL="$run_dir/spool" BRENVIK_MAIL_SHOT="$run_dir/screenshot.png" \
  BRENVIK_WINE_ARCH="${BRENVIK_WINE_ARCH:-$(wine_arch)}" \
  "$root/scripts/wine-session.sh" "$run_dir/wine" "${command[@]}"
status=$?
set -e

# The screenshot once more, through a decoder of its own.
if [[ -f "$run_dir/screenshot.png" ]]; then
  pngcheck -v "$run_dir/screenshot.png" | grep -E '(1280 x 1024|No errors)' || status=1
fi
exit $status
