#!/usr/bin/env bash
# The game on a virtual X server, played through xdotool and watched through screenshots.
# Usage: run.sh HOPLA SCENARIO. Exits 0 when the scenario holds, 1 when it does not, and 77
# (a skip for CTest), saying why, when no X server can be started here.
set -euo pipefail

hopla=$1
scenario=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# shellcheck source=lib.sh
source "$here/lib.sh"
# Each file in scenarios/ defines scenario_NAME functions for a group of scenarios.
for group in "$here"/scenarios/*.sh; do
    # shellcheck disable=SC1090
    source "$group"
done

declare -F "scenario_$scenario" >/dev/null || fail "there is no scenario '$scenario'"
"scenario_$scenario"
echo "PASS: $scenario"
