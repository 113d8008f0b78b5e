#!/usr/bin/env bash
# The CTest fixture around the PostgreSQL test runs: one private PostgreSQL for all of them.
#   postgres_fixture.sh start DIR   a fresh instance in DIR; when PostgreSQL is not installed,
#                                   DIR stays without data and the PostgreSQL tests skip
#   postgres_fixture.sh stop DIR    stops it and removes DIR
set -uo pipefail
instance="$(dirname "$0")/../../scripts/postgres-instance"
command=$1
dir=$2

case "$command" in
start)
    "$instance" stop "$dir" >/dev/null 2>&1
    rm -rf "$dir"
    "$instance" start "$dir"
    code=$?
    if [ $code -eq 3 ]; then
        mkdir -p "$dir"
        echo "PostgreSQL is not installed: the PostgreSQL runs skip"
        exit 0
    fi
    exit $code
    ;;
stop)
    "$instance" stop "$dir"
    rm -rf "$dir"
    ;;
esac
