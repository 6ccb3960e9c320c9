#!/usr/bin/env bash
# scripts/backports-source reads the apt configuration of a directory standing in for
# /etc/apt, from a table of cases: the files of the directory, and the URI and keyring the
# bookworm-backports source must take ("none": the script must say there is no Debian entry).
#
# Usage: backports_source_test.sh BACKPORTS_SOURCE
set -euo pipefail
script=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
# NAME EXPECTED [FILE CONTENT]...: EXPECTED is "URI [KEYRING]" or "none"; FILE is relative to
# the directory.
check() {
  local name=$1 expected=$2 dir=$work/$1 want got uri keyring
  shift 2
  mkdir -p "$dir/sources.list.d"
  while [ $# -gt 0 ]; do
    printf '%s\n' "$2" >"$dir/$1"
    shift 2
  done
  if [ "$expected" = none ]; then
    want=none
  else
    read -r uri keyring <<<"$expected"
    want=$(printf 'Types: deb\nURIs: %s\nSuites: bookworm-backports\nComponents: main' "$uri")
    [ -z "$keyring" ] || want+=$'\nSigned-By: '$keyring
  fi
  got=$("$script" "$dir" 2>/dev/null) || got=none
  if [ "$got" != "$want" ]; then
    printf 'backports_source_test: %s: expected\n%s\ngot\n%s\n' "$name" "$want" "$got" >&2
    failures=$((failures + 1))
  fi
}

lines() { printf '%s\n' "$@"; }
key=/usr/share/keyrings/example-archive.gpg
check one-line 'http://apt.example/debian' \
  sources.list 'deb http://apt.example/debian bookworm main'
check one-line-signed-by "http://apt.example/debian $key" \
  sources.list "deb [ arch=amd64 signed-by=$key ] http://apt.example/debian bookworm main"
check one-line-commented-out 'file:/srv/debian' \
  sources.list "$(lines '# deb http://old.example/debian bookworm main' \
    'deb file:/srv/debian bookworm-updates main # the local copy')"
check one-line-sources-only 'http://apt.example/debian' \
  sources.list "$(lines 'deb-src http://src.example/debian bookworm main' \
    'deb http://apt.example/debian bookworm main')"
check deb822 "http://apt.example/debian $key" \
  sources.list.d/debian.sources "$(lines 'Types: deb' '# a comment' \
    'URIs: http://apt.example/debian http://other.example/debian' \
    'Suites: bookworm bookworm-updates' 'Components: main' "Signed-By: $key")"
check deb822-commented-out 'http://apt.example/debian' \
  sources.list.d/debian.sources "$(lines '# Types: deb' '# URIs: http://old.example/debian' \
    '# Suites: bookworm' '' 'Types: deb' 'URIs: http://apt.example/debian' 'Suites: bookworm')"
check deb822-disabled 'http://apt.example/debian' \
  sources.list.d/debian.sources "$(lines 'Types: deb' 'URIs: http://old.example/debian' \
    'Suites: bookworm' 'Enabled: no' '' \
    'Types: deb' 'URIs: http://apt.example/debian' 'Suites: bookworm')"
check several 'http://apt.example/debian' \
  sources.list 'deb http://other.example/apt stable main' \
  sources.list.d/a.sources "$(lines 'Types: deb' 'URIs: http://apt.example/debian-security' \
    'Suites: bookworm-security')" \
  sources.list.d/b.sources "$(lines 'Types: deb-src' 'URIs: http://src.example/debian' \
    'Suites: bookworm' '' 'Types: deb deb-src' 'URIs: http://other.example/debian' \
    'Suites: trixie' '' 'Types: deb' 'URIs: http://apt.example/debian' 'Suites: bookworm')" \
  sources.list.d/c.list 'deb http://late.example/debian bookworm main'
check sources-list-first 'http://apt.example/debian' \
  sources.list 'deb http://apt.example/debian bookworm main' \
  sources.list.d/a.sources "$(lines 'Types: deb' 'URIs: http://other.example/debian' \
    'Suites: bookworm')"
check none none \
  sources.list '# deb http://old.example/debian bookworm main' \
  sources.list.d/debian.sources.disabled "$(lines 'Types: deb' \
    'URIs: http://apt.example/debian' 'Suites: bookworm')" \
  sources.list.d/other.sources "$(lines 'Types: deb' 'URIs: http://other.example/apt' \
    'Suites: nodistro')"
check no-files none

[ "$failures" = 0 ] || exit 1
echo "backports_source_test: all cases pass"
