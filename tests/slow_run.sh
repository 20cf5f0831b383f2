#!/usr/bin/env bash
# Runs the tests of a build as on a slow machine: every test process (with
# the processes it starts) in a cgroup of its own, held to a share of one
# core. Needs root and the cgroup v1 cpu controller at /sys/fs/cgroup/cpu.
#
#   tests/slow_run.sh [-p percent] [-j jobs] [-t seconds] [-n runs] [-R regex] [build]
#
#   -p  share of one core for each test in percent (default 5)
#   -j  tests run side by side (default 24; they use little CPU each)
#   -t  time-out of one test in seconds (default 3600: a test takes about
#       100/percent times its usual time)
#   -n  runs of each test (default 1), side by side as well
#   -R  only the tests whose CTest name matches (as ctest -R)
#   build  the build folder (default build)
#
# Prints one line per test and the failed tests' output at the end; exits 1
# when a test failed or timed out. The logs stay in a temporary folder that
# is named at the end.
set -euo pipefail
cd "$(dirname "$0")/.."

percent=5 jobs=24 timeout=3600 runs=1 regex=""
while getopts "p:j:t:n:R:" opt; do
  case $opt in
    p) percent=$OPTARG ;;
    j) jobs=$OPTARG ;;
    t) timeout=$OPTARG ;;
    n) runs=$OPTARG ;;
    R) regex=$OPTARG ;;
    *) sed -n '2,/^set /s/^# \{0,1\}//p' "$0" >&2; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
build=$(realpath "${1:-build}")

cgroot=/sys/fs/cgroup/cpu
[[ -w $cgroot/cgroup.procs ]] || { echo "needs root and cgroup v1 cpu at $cgroot" >&2; exit 2; }

logs=$(mktemp -d /tmp/vorelk-slow-run-XXXXXX)
# One line per test: name, working folder and command, tab-separated.
ctest --test-dir "$build" --show-only=json-v1 ${regex:+-R "$regex"} | python3 -c '
import json, sys
tests = json.load(sys.stdin)["tests"]
for run in range(int(sys.argv[1])):
    for t in tests:
        wd = next((p["value"] for p in t.get("properties", []) if p["name"] == "WORKING_DIRECTORY"), ".")
        print("\t".join([t["name"] + ("" if run == 0 else "#%d" % (run + 1)), wd] + t["command"]))
' "$runs" >"$logs/list"
count=$(wc -l <"$logs/list")
echo "$count test runs, each held to $percent% of one core, $jobs side by side; logs in $logs"

# Runs test number $1 (a line of the list) in a cgroup of its own.
run_one() {
  local n=$1 line name wd group start status
  line=$(sed -n "${n}p" "$logs/list")
  IFS=$'\t' read -r -a fields <<<"$line"
  name=${fields[0]} wd=${fields[1]}
  group=$cgroot/vorelk-slow-$$-$n
  mkdir "$group"
  echo 100000 >"$group/cpu.cfs_period_us"
  echo $((percent * 1000)) >"$group/cpu.cfs_quota_us"
  start=$SECONDS
  status=0
  (
    echo "$BASHPID" >"$group/cgroup.procs"
    cd "$wd"
    exec timeout -k 10 "$timeout" "${fields[@]:2}"
  ) >"$logs/$n.log" 2>&1 || status=$?
  # Processes the test left behind (a killed test's children) go with it.
  local left
  for left in $(cat "$group/cgroup.procs"); do kill -9 "$left" 2>/dev/null || true; done
  while [[ -n $(cat "$group/cgroup.procs") ]]; do sleep 0.2; done
  rmdir "$group"
  local verdict=passed
  ((status == 0)) || verdict="FAILED ($status)"
  ((status != 124)) || verdict="TIMED OUT"
  printf '%-70s %s after %ds\n' "$name" "$verdict" $((SECONDS - start))
  ((status == 0)) || echo "$name" >>"$logs/failed"
}
export -f run_one
export logs cgroot percent timeout

seq "$count" | xargs -P "$jobs" -I{} bash -c 'run_one {}'

if [[ -s $logs/failed ]]; then
  while read -r name; do
    n=$(awk -F'\t' -v name="$name" '$1 == name { print NR }' "$logs/list")
    echo "=== $name ==="
    tail -40 "$logs/$n.log"
  done <"$logs/failed"
  echo "$(wc -l <"$logs/failed") of $count test runs failed; logs in $logs"
  exit 1
fi
echo "all $count test runs passed; logs in $logs"
