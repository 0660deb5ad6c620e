# The reporting of the shell-script tests, sourced by them: a line per check (ok / FAIL),
# the count of failures, and `die` for a check that cannot go on.

failures=0

say() { printf '%s\n' "$*"; }
fail() {
    say "FAIL $*"
    failures=$((failures + 1))
}
pass() { say "ok   $*"; }
die() {
    say "ERROR $*"
    exit 1
}
