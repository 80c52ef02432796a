#!/usr/bin/env bash
# The command-line table against the real Drvsetup.exe under Wine: exit codes, and which sequence ran
# as the progress window's transcript records it (the work's result: 1 install, 2 uninstall).
#   command_table_wine.sh WINE_RUN PREFIX ARCH DRVSETUP_EXE
set -uo pipefail
wine_run="$1" prefix="$2" arch="$3" exe="$4"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

passed=0 failed=0
check() {  # expected-exit expected-result args...
  local want_rc="$1" want_ran="$2"; shift 2
  local transcript="$work/transcript-$((passed + failed)).txt"
  DRVSETUP_TRANSCRIPT="$transcript" "$wine_run" --prefix "$prefix" --arch "$arch" "$exe" "$@" > "$work/out.txt" 2>&1
  local rc=$?
  [ $rc -eq 77 ] && { echo "skipped: Wine cannot run here"; exit 77; }
  local ran=""
  [ -f "$transcript" ] && ran=$(sed -n 's/^Excute\t1\tend\t\(.*\)$/\1/p' "$transcript" | tr -d '\r')
  local what
  what=$(printf '[%s]' "$@")
  if [ "$rc" -eq "$want_rc" ] && [ "$ran" = "$want_ran" ]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAIL $what: exit $rc (expected $want_rc), sequence '$ran' (expected '$want_ran')"
    cat "$work/out.txt"
  fi
}

check 2 ""
check 0 1 /i
check 0 2 /u
check 0 2 /I
check 0 2 "/i x"
check 0 2 /ix
check 0 2 i
check 0 2 ""
check 0 1 /i /u
check 0 2 /u /i
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
