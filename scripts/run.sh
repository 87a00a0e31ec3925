#!/usr/bin/env bash
# Sets up everything, builds the Linux program and runs it. Without
# arguments it starts with simulated devices (no hardware needed); pass
# "--real" to list the machine's own serial ports instead, or any of the
# program's own options (--demo LIST, --docs FOLDER, --port PATH).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/setup.sh
cmake --preset linux >/dev/null
if [[ ! -f src/main_linux.cpp ]]; then
  echo "Linewick: the program's window is not built yet in this version; the test suites" >&2
  echo "(bash scripts/test.sh) and the headless driver (docs/testing.md) run the application." >&2
  exit 2
fi
cmake --build --preset linux -j "$(nproc)" --target linewick
args=("$@")
if ((${#args[@]} == 0)); then
  args=(--demo "COM3=Arduino Uno=2341:0043:5573932393735151F0C1;COM4=USB-SERIAL CH340=1A86:7523;COM5-FLOOD=Flood test board;!COM9=Spare board=10C4:EA60:0001")
elif [[ ${args[0]} == --real ]]; then
  args=("${args[@]:1}")
fi
exec build/linux/linewick "${args[@]}"
