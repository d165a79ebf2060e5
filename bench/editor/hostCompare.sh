#!/bin/sh
# The editor as a host opens it, beside amsynth's editor in the same run:
# first opening and reopenings (ms in effEditOpen, ms to the end of the
# first idle call, which draws), heap growth with the window open at
# 1024 x 576 and after a page switch, tooltips left after the pointer leaves
# the window and after a page switch by key (pixels of the tooltip's fill).
#
#   bench/editor/hostCompare.sh BUILD_DIR [AMSYNTH_SO]
# Needs an X server with XTest in $DISPLAY (Xvfb will do).
set -eu
build=${1:?build directory}
amsynth=${2:-/usr/lib/vst/amsynth_vst.so}
host="$build/tools/vsthost/vsthost"
plugin="$build/vst/Darvello.so"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# Opening: the first in the process, then five reopenings.
open_times() {
    "$host" "$1" --editor --do idle:5 --do 'reopen*5' 2>/dev/null |
        awk -F'\t' -v name="$2" '$1 == "timing" && $2 == "open" { n++; if (n == 1) first = $4; else { sum += $4; if ($4 > max) max = $4 } }
            END { printf "%-10s first open %7.1f ms   reopen mean %7.1f ms  max %7.1f ms\n", name, first, sum / (n - 1), max }'
}
open_times "$amsynth" amsynth
open_times "$plugin" Darvello

# Memory: before the first opening, open at its default size, after
# switching to the edit page and back, then closed again.
"$host" "$plugin" --editor --do idle:60 --do memory \
    --do key:e --do idle:60 --do memory --do key:p --do idle:60 --do memory --do close --do memory 2>/dev/null |
    awk -F'\t' '$1 ~ /^memory/ { heap[n++] = $(NF) }
        END { printf "Darvello   heap growth: open %.1f MB, edit page %.1f MB, back %.1f MB, closed %.1f MB\n",
                     (heap[1] - heap[0]) / 1e6, (heap[2] - heap[0]) / 1e6, (heap[3] - heap[0]) / 1e6, (heap[4] - heap[0]) / 1e6 }'
"$host" "$amsynth" --editor --do idle:60 --do memory 2>/dev/null |
    awk -F'\t' '$1 ~ /^memory/ { heap[n++] = $(NF) } END { printf "amsynth    heap growth: open %.1f MB\n", (heap[1] - heap[0]) / 1e6 }'

# Tooltips: rest on the Edit button until its tip shows, then leave the
# window; rest again, then switch the page by key.
"$host" "$plugin" --editor --do idle:5 --do move:362,44 --do idle:50 --do "shot:$out/shown.png" \
    --do move:1500,700 --do idle:10 --do "shot:$out/left.png" \
    --do move:362,44 --do idle:50 --do key:e --do idle:50 --do "shot:$out/key.png" >/dev/null 2>&1
python3 - "$out" <<'PY'
import struct, sys, zlib
def tip_pixels(path):
    data = open(path, 'rb').read()
    w, h, depth, kind = struct.unpack('>IIBB', data[16:26])
    channels = {2: 3, 6: 4}[kind]
    raw, pos = b'', 8
    while pos < len(data):
        n, = struct.unpack('>I', data[pos:pos + 4]); tag = data[pos + 4:pos + 8]
        if tag == b'IDAT': raw += data[pos + 8:pos + 8 + n]
        pos += 12 + n
    raw = zlib.decompress(raw); stride = w * channels; prev = bytearray(stride); count = 0
    for y in range(h):
        f = raw[y * (stride + 1)]; line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - channels] if i >= channels else 0; b = prev[i]; c = prev[i - channels] if i >= channels else 0
            if f == 1: line[i] = (line[i] + a) & 255
            elif f == 2: line[i] = (line[i] + b) & 255
            elif f == 3: line[i] = (line[i] + (a + b) // 2) & 255
            elif f == 4:
                p = a + b - c; pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        count += sum(1 for x in range(0, stride, channels) if line[x:x + 3] == b'\xff\xff\xe1')
        prev = line
    return count
d = sys.argv[1]
shown, left, key = (tip_pixels(f'{d}/{n}.png') for n in ('shown', 'left', 'key'))
print(f"tooltip pixels: resting {shown}, after leaving the window {left}, after a page switch by key {key}")
print(f"tooltips left: {int(left > 0) + int(key > 0)}" + ("" if shown else "  (no tooltip ever showed: check the position)"))
PY
