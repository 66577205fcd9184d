#!/usr/bin/env bash
# Drives the program as a user would, on a virtual X display of its own:
# adds a generated 20 s clip through Add Files (the path typed into the open
# dialog), picks "MKV Video (H.264, AAC)" in the profile picker, switches
# "Open Output Folder" off in the Actions menu, presses Convert, takes a
# screenshot during the run and one after it, and checks the output with
# ffprobe. Needs Xvfb, xdotool, ffmpeg (x11grab) and ffprobe.
#
#   tools/e2e-x11.sh [program] [work folder]
# The program defaults to build/release/tarnello; pictures and the home used
# go into the work folder (default: a new folder under /tmp).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
program=${1:-$root/build/release/tarnello}
work=${2:-$(mktemp -d /tmp/tarnello-e2e.XXXXXX)}
mkdir -p "$work/home" "$work/media"
clip=$work/media/clip20.mp4
ffmpeg -v error -nostdin -y -f lavfi -i testsrc2=size=640x360:rate=25 -f lavfi -i sine=frequency=440 \
  -t 20 -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac -shortest "$clip"

Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xpid=$!
pid=
cleanup() {
  [[ -n "$pid" ]] && kill "$pid" 2>/dev/null || true
  kill "$xpid" 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 1 100); do [[ -s "$work/display" ]] && break; sleep 0.1; done
export DISPLAY=:$(head -n1 "$work/display")
shot() { ffmpeg -v error -y -f x11grab -video_size 1280x1024 -i "$DISPLAY" -frames:v 1 "$work/$1.png"; }

HOME=$work/home TARNELLO_UPDATE_URL= TARNELLO_BACKEND=x11 ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0} \
  "$program" >"$work/program.log" 2>&1 &
pid=$!
win=$(xdotool search --sync --onlyvisible --name '^Tarnello$' | head -n1)
sleep 2
click() { xdotool mousemove --window "$win" "$1" "$2"; sleep 0.3; xdotool click 1; sleep "${3:-1}"; }
hover() { xdotool mousemove --window "$win" "$1" "$2"; sleep "${3:-0.5}"; }

# Add Files, the path typed into the open dialog's file name.
click 42 93 3
xdotool search --sync --onlyvisible --name '^Open file$' >/dev/null
xdotool type --delay 20 "$clip"
xdotool key Return
sleep 6
shot added
# The picker at the profile field; the second video format.
click 148 474 2
hover 284 103 0.3
click 294 113 2
# Actions > After Conversion > Open Output Folder (off).
click 102 44 1
hover 154 183 0.3
hover 159 184 1.2
hover 334 184 0.3
click 381 209 1
# Convert; a picture during the run and one after it.
click 459 93 3
shot converting
out=$work/home/Documents/Tarnello/Tarnello/Output/clip20.mkv
# The run has ended once the file holds its whole length (Matroska writes
# the duration when it is closed).
for _ in $(seq 1 240); do
  if [[ -s "$out" ]] && ffprobe -v error -show_entries format=duration -of csv=p=0 "$out" 2>/dev/null |
    grep -Eq '^(19\.9|20\.)'; then break; fi
  sleep 0.5
done
sleep 2
shot converted
info=$(ffprobe -v error -show_entries stream=codec_name,width,height:format=duration -of compact "$out")
echo "$info"
grep -q "codec_name=h264|width=1280|height=720" <<<"$info"
grep -q "codec_name=aac" <<<"$info"
grep -Eq "duration=(19\.9|20\.)" <<<"$info"
echo "end to end: passed (pictures in $work)"
