#!/usr/bin/env bash
# Drives the program as a user would, on a virtual X display of its own:
# adds a generated 20 s clip through Add Files (the path typed into the open
# dialog), picks "MKV Video (H.264, AAC)" in the profile picker, switches
# "Open Output Folder" off in the Actions menu, presses Convert, takes a
# screenshot during the run and one after it, and checks the output with
# ffprobe. Needs Xvfb, xdotool, ffmpeg (x11grab) and ffprobe.
#
# Every step waits for what it should bring about (a window shown or gone,
# the program's first paint, a part of the screen drawn anew, the output's
# length) with a generous limit, so a busy machine only makes it slower.
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

# wait_for <seconds> <what> <command...>: runs the command until it succeeds.
wait_for() {
  local limit=$1 what=$2
  shift 2
  local end=$((SECONDS + limit))
  until "$@"; do
    if ((SECONDS >= end)); then
      echo "end to end: gave up waiting for $what" >&2
      exit 1
    fi
    sleep 0.2
  done
}
wait_for 30 "the X server" test -s "$work/display"
export DISPLAY=:$(head -n1 "$work/display")
shot() { ffmpeg -v error -nostdin -y -f x11grab -video_size 1280x1024 -i "$DISPLAY" -frames:v 1 "$work/$1.png"; }
visible() { xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
hidden() { ! visible "$1"; }
# The program's windows on the screen (popups, menus and dialogs included).
windows() { xdotool search --onlyvisible --class Tarnello 2>/dev/null | wc -l; }
more_windows() { (($(windows) > $1)); }
# A digest of a part of the main window (x y w h, in the window).
area() {
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$win")"
  ffmpeg -v error -nostdin -f x11grab -video_size "$3x$4" -i "$DISPLAY+$((X + $1)),$((Y + $2))" -frames:v 1 \
    -f md5 - 2>/dev/null
}
changed() { [[ "$(area "$@")" != "$before" ]]; }
# Waits until the part stops changing (two equal looks a second apart).
settled() {
  local a b
  a=$(area "$@")
  sleep 1
  b=$(area "$@")
  [[ "$a" == "$b" ]]
}

HOME=$work/home TARNELLO_UPDATE_URL= TARNELLO_BACKEND=x11 TARNELLO_PRINT_FIRST_PAINT=1 \
  ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0} "$program" >"$work/program.log" 2>&1 &
pid=$!
wait_for 180 "the main window's first paint" grep -q "first paint at" "$work/program.log"
win=$(xdotool search --onlyvisible --name '^Tarnello$' | head -n1)
click() { xdotool mousemove --window "$win" "$1" "$2" click 1; }
hover() { xdotool mousemove --window "$win" "$1" "$2"; }
# The queue's first row.
row=(20 160 700 50)

# Add Files, the path typed into the open dialog's file name.
before=$(area "${row[@]}")
click 42 93
wait_for 60 "the open dialog" visible '^Open file$'
xdotool type --delay 20 "$clip"
xdotool key Return
wait_for 60 "the open dialog to close" hidden '^Open file$'
wait_for 120 "the clip in the queue" changed "${row[@]}"
wait_for 120 "the loading window to close" hidden '^Loading Video$'
wait_for 60 "the queue row to settle" settled "${row[@]}"
shot added
# The picker at the profile field; the second video format.
n=$(windows)
click 148 474
wait_for 30 "the profile picker" more_windows "$n"
hover 284 103
sleep 0.2
hover 284 104
# The presets follow the pointer after a short delay: wait until they stand still.
wait_for 30 "the picker's presets" settled 150 40 500 300
before=$(area "${row[@]}")
click 294 113
wait_for 30 "the picked preset on the row" changed "${row[@]}"
# Actions > After Conversion > Open Output Folder (off).
n=$(windows)
click 102 44
wait_for 30 "the Actions menu" more_windows "$n"
n=$(windows)
hover 154 183
hover 159 184
wait_for 30 "the After Conversion menu" more_windows "$n"
hover 334 184
hover 381 209
n=$(windows)
click 381 209
wait_for 30 "the menus to close" test "$(windows)" -lt "$n"
# Convert; a picture during the run and one after it.
out=$work/home/Documents/Tarnello/Tarnello/Output/clip20.mkv
before=$(area "${row[@]}")
click 459 93
wait_for 120 "the conversion to start" test -s "$out"
wait_for 60 "the progress on the row" changed "${row[@]}"
shot converting
# The run has ended once the file holds its whole length (Matroska writes
# the duration when it is closed).
whole() {
  ffprobe -v error -show_entries format=duration -of csv=p=0 "$out" 2>/dev/null | grep -Eq '^(19\.9|20\.)'
}
wait_for 600 "the conversion to end" whole
before=$(area "${row[@]}")
wait_for 60 "the queue row to settle" settled "${row[@]}"
shot converted
info=$(ffprobe -v error -show_entries stream=codec_name,width,height:format=duration -of compact "$out")
echo "$info"
grep -q "codec_name=h264|width=1280|height=720" <<<"$info"
grep -q "codec_name=aac" <<<"$info"
grep -Eq "duration=(19\.9|20\.)" <<<"$info"
echo "end to end: passed (pictures in $work)"
