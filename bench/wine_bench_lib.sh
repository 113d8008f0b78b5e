# Shared steps of the speed measurements under Wine: the Windows build of the program and of the
# helpers in bench/win32, a work directory with the program beside a loopback deployment file, a
# Wine prefix of its own and a virtual display. Sourced by bench/typing_speed and bench/startup_speed.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bench_name=$(basename "$0")
work="$repo/build/bench-wine/$bench_name"
windows_build="$repo/build/windows"

cmake --preset windows -S "$repo" >/dev/null
cmake --build "$windows_build" -j "$(nproc)" --target yanzhou reference_window bench_probe >/dev/null

rm -rf "$work/program" "$work/reference"
mkdir -p "$work/program" "$work/reference"
cp "$windows_build/src/yanzhou.exe" "$work/program/"
cp "$windows_build/bench/win32/reference_window.exe" "$work/reference/"
cp "$windows_build/bench/win32/bench_probe.exe" "$work/"
"$repo/scripts/write-deployment" "$work/program"

export WINEPREFIX="$work/prefix"
"$repo/scripts/wine-prefix" "$WINEPREFIX"
# shellcheck source=scripts/wine-env
source "$repo/scripts/wine-env"

main_title='砚舟文匣  --霁川软件'
reference_title='bench reference'

# windows_path PATH: the path as the Windows programs see it (Wine's Z: drive is the root).
windows_path() {
    printf 'Z:%s' "${1//\//\\}"
}

# run_probe ARGS...: bench_probe under Wine on a virtual display of its own.
run_probe() {
    (cd "$work" && "$repo/scripts/with-xvfb" --screen 1280x800x24 "$WINE" bench_probe.exe "$@")
}
