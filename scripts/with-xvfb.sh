#!/usr/bin/env bash
# Runs a command against a private Xvfb server (1280x720, 24-bit), so OpenGL tests work from a shell without a
# display and several of them can run at once. Xvfb picks a free display number itself (-displayfd); guessing one,
# as xvfb-run -a does, races with servers started at the same moment.
#   bash scripts/with-xvfb.sh <command> [arguments...]
set -uo pipefail

if (($# == 0)); then
	echo "usage: $0 <command> [arguments...]" >&2
	exit 2
fi

work="$(mktemp -d)"
server=""
cleanup() {
	if [[ -n "$server" ]]; then
		kill "$server" 2>/dev/null
		wait "$server" 2>/dev/null
	fi
	rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

: >"$work/display"
Xvfb -displayfd 3 -screen 0 1280x720x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
server=$!

# Xvfb writes the display number and a newline once it accepts connections.
for ((attempt = 0; attempt < 400; attempt++)); do
	if (($(wc -l <"$work/display") >= 1)); then
		break
	fi
	if ! kill -0 "$server" 2>/dev/null; then
		echo "Xvfb did not start:" >&2
		cat "$work/xvfb.log" >&2
		exit 1
	fi
	sleep 0.05
done
display="$(head -n 1 "$work/display")"
if [[ -z "$display" ]]; then
	echo "Xvfb did not report a display within 20 seconds" >&2
	exit 1
fi

# Run in the background so a termination signal reaches the command instead of waiting for it to end.
DISPLAY=":$display" "$@" &
child=$!
trap 'kill "$child" 2>/dev/null' INT TERM
while true; do
	wait "$child"
	status=$?
	if ! kill -0 "$child" 2>/dev/null; then
		break
	fi
done
exit "$status"
