#!/usr/bin/env bash
# End-to-end latency of the running engine under Wine, run by hand after `make windows`:
#   bench/engine_latency.sh [RUNS]
# engine-host expands a 10-character and a 1 000-character phrase typed with xdotool into the
# target window; then, with the engine stopped, engine-host injects the same records itself
# ("inject N"), which gives the target window's own share; the long phrase is also pasted
# through the clipboard ("paste 200"), side by side. bench/engine_latency.py measures
# and prints the figures.
E2E_DIR=$(cd "$(dirname "$0")/../tests/e2e" && pwd)
export VELLIX_TOOLS=${VELLIX_TOOLS:-$(cd "$(dirname "$0")/.." && pwd)/build/windows/tools}
. "$E2E_DIR/e2e_lib.sh"
. "$E2E_DIR/engine_host_lib.sh"
e2e_enter "$@"

SHORT=abcdefghij
LONG=$(printf 'abcdefghij%.0s' $(seq 100))
eh_phrase qj "$SHORT"
eh_phrase qk "$LONG"
e2e_start_target
eh_start
e2e_focus_target
python3 "$E2E_ROOT/bench/engine_latency.py" "$E2E_TEXT_FILE" "$EH_LOG" "$EH_CMD" "${1:-20}"
