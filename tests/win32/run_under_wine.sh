#!/usr/bin/env bash
# Runs a Windows program under Wine on the prefix in WINEPREFIX, its windows left unmanaged: with
# no window manager on Xvfb, Wine would otherwise wait two seconds for every window that hides or
# closes to be withdrawn.
# Usage: run_under_wine.sh <wine> <program.exe> [args...]
set -euo pipefail
wine=$1
shift
"$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 || true
exec "$wine" "$@"
