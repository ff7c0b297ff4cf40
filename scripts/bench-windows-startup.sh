#!/usr/bin/env bash
# quorvex.exe's start-up under Wine beside a Win32 window showing one label:
# the benchmark build/bench/ui/win32/win32_startup_bench, run on Xvfb in a
# Wine prefix of its own with Wine's X11 driver (tests/ui/win32/display.sh),
# whose server, services and desktop are started before it and ended
# afterwards, with Xvfb and the prefix. Needs the Linux build with benchmarks
# ($QUORVEX_BUILD_DIR, else build/) and the Windows build
# ($QUORVEX_WINDOWS_BUILD_DIR, else build-windows/). Arguments go to the
# benchmark (--benchmark_repetitions=N, ...).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
linux_build=${QUORVEX_BUILD_DIR:-$root/build}
windows_build=${QUORVEX_WINDOWS_BUILD_DIR:-$root/build-windows}
bench=$linux_build/bench/ui/win32/win32_startup_bench
quorvex=$windows_build/app/quorvex.exe
one_label=$windows_build/bench/ui/win32/quorvex_one_label_window.exe
for file in "$bench" "$quorvex" "$one_label"; do
  [ -x "$file" ] || { echo "bench-windows-startup.sh: $file is missing: build it first" >&2; exit 1; }
done

state=$(mktemp -d "${TMPDIR:-/tmp}/quorvex-startup-bench-XXXXXX")
trap 'bash "$root/tests/ui/win32/display.sh" stop "$state/display"; rm -rf "$state"' EXIT
bash "$root/tests/ui/win32/display.sh" start "$state/display"
eval "$(bash "$root/tests/ui/win32/display.sh" env "$state/display")"
export WINEDEBUG=-all
# Wine's desktop process ends a second after the last program on it, and the
# next program to start would pay for starting it again: a console waiting
# for input keeps it for as long as this script holds the pipe open.
mkfifo "$state/keep-desktop"
wine cmd <"$state/keep-desktop" >/dev/null 2>&1 &
exec 3>"$state/keep-desktop"
# A scratch working folder: quorvex.exe would write the messenger backup there.
mkdir "$state/work"
cd "$state/work"
"$bench" "$quorvex" "$one_label" "$@"
