#!/usr/bin/env bash
# korvane-cli's bash completion: the options it offers and what it completes after each.
# bash-completion's helpers are stood in for, so that only our own rules are under test.
set -euo pipefail
source_file=$1

_init_completion() {
  cur=${COMP_WORDS[COMP_CWORD]}
  prev=${COMP_WORDS[COMP_CWORD - 1]}
  words=("${COMP_WORDS[@]}")
  cword=$COMP_CWORD
}
_filedir() { COMPREPLY=("files:${*:-any}"); }
complete() { :; }
# shellcheck source=/dev/null
source "$source_file"

failures=0
expect() {  # expected-reply words...
  local expected=$1
  shift
  COMP_WORDS=(korvane-cli "$@")
  COMP_CWORD=$#
  COMPREPLY=()
  _korvane_cli
  local got="${COMPREPLY[*]:-}"
  if [ "$got" != "$expected" ]; then
    echo "FAIL: korvane-cli $* -> '$got', expected '$expected'"
    failures=$((failures + 1))
  fi
}

expect "--retry" --re
expect "--batch" --b
expect "--stitch --service --spacing --shard" --s
expect "--around --area --all-dates" --a
expect "files:@(geojson|json)" --area ""
expect "files:@(gpx|geojson|json)" --route ""
expect "files:png" --route r.gpx --map ""
expect "" --shard ""
expect "--quiet" --q
expect "current classic maptiles" --service ""
expect "classic" --service cl
expect "files:csv" --batch ""
expect "--task" --ta
expect "--lat --lon" --l
expect "--help" --h
expect "--views --version" --v
expect "" --views ""
expect "--path --pano" --zoom 3 --pa
expect "files:krvn" --open ""
expect "files:ftl" --retry ta
expect "files:-d" --task x --path ""
expect "" --lat ""
expect "" --zoom ""
expect "--pano" --pan
expect "--info" --i
expect "--json" --j
expect "" --pano ""
expect "" --date ""
[ "$failures" -eq 0 ] && echo "completion: all cases pass"
exit "$failures"
