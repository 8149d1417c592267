#!/usr/bin/env bash
# Sets up a fresh Debian machine, builds everything and then runs the game or the tests.
#   bash scripts/vorn.sh run           build, then start the game in the launcher (under Xvfb when there is no display)
#   bash scripts/vorn.sh run samples   the same with the engine samples instead of the game
#   bash scripts/vorn.sh test          build, then run every test through ctest
# VORN_SANITIZE=ON builds with AddressSanitizer and UndefinedBehaviorSanitizer in build-asan/.
set -euo pipefail

mode="${1:-}"
what="${2:-game}"
if [[ ! ("$mode" == "run" && ("$what" == "game" || "$what" == "samples")) && ! ("$mode" == "test" && $# -le 1) ]]; then
	echo "usage: $0 run [samples] | test" >&2
	exit 2
fi

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

packages=(
	cmake g++ make pkg-config
	libsdl2-dev libepoxy-dev libopenal-dev libogg-dev libvorbis-dev libassimp-dev libstb-dev
	libfreetype-dev libbox2d-dev libbullet-dev nlohmann-json3-dev
	libgtest-dev libgmock-dev libbenchmark-dev
	xvfb xauth libgl1-mesa-dri imagemagick xdotool fonts-dejavu-core
)

missing=()
for package in "${packages[@]}"; do
	if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
		missing+=("$package")
	fi
done
if ((${#missing[@]} > 0)); then
	echo "Installing missing packages: ${missing[*]}"
	sudo_cmd=()
	if [[ "$(id -u)" != "0" ]]; then sudo_cmd=(sudo); fi
	"${sudo_cmd[@]}" apt-get update -qq
	DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

sanitize="${VORN_SANITIZE:-OFF}"
build_dir="$root/build"
if [[ "$sanitize" == "ON" ]]; then build_dir="$root/build-asan"; fi

jobs="$(nproc)"
cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORN_SANITIZE="$sanitize"
cmake --build "$build_dir" -j "$jobs"

if [[ "$mode" == "test" ]]; then
	cd "$build_dir"
	ctest --output-on-failure -j "$jobs"
else
	# Each run folder holds the AssetsPathConfig.json that points the launcher at its plug-in and assets.
	run_folder="$build_dir/bin"
	if [[ "$what" == "samples" ]]; then run_folder="$build_dir/samples-run"; fi
	cd "$run_folder"
	if [[ -z "${DISPLAY:-}" ]]; then
		exec xvfb-run -a -s "-screen 0 1280x720x24" "$build_dir/bin/VornStandalone"
	fi
	exec "$build_dir/bin/VornStandalone"
fi
