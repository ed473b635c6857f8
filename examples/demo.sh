#!/usr/bin/env bash
# The demo: reads a shipped drawing (DXF R12, Japanese texts in CP932), writes it as DXF 2013,
# reads the result back and shows that nothing was lost.
set -euo pipefail
zelcad="${1:-build/release/apps/zelcad/zelcad}"
here="$(cd "$(dirname "$0")" && pwd)"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT

echo "== zelcad dump examples/drawings/flange.dxf"
"$zelcad" dump "$here/drawings/flange.dxf"
echo
echo "== zelcad convert flange.dxf -> flange-2013.dxf"
"$zelcad" convert "$here/drawings/flange.dxf" "$out/flange-2013.dxf"
head -c 300 "$out/flange-2013.dxf" | head -n 6
echo "..."
echo
"$zelcad" dump "$here/drawings/flange.dxf" > "$out/before.txt"
"$zelcad" dump "$out/flange-2013.dxf" > "$out/after.txt"
echo "entities: $(grep -c ' layer=' "$out/before.txt") read, $(grep -c ' layer=' "$out/after.txt") after the round trip"
if cmp -s "$out/before.txt" "$out/after.txt"; then
  echo "the DXF 2013 file dumps exactly like the original: nothing was lost"
else
  echo "the dumps differ:"; diff "$out/before.txt" "$out/after.txt" || true
  exit 1
fi
echo
echo "== zelcad run flange_holes.zsc flange.dxf -o flange-holes.dxf --svg flange-holes.svg"
pictures="$here/../build/demo"
mkdir -p "$pictures"
"$zelcad" run "$here/flange_holes.zsc" "$here/drawings/flange.dxf" \
  -o "$out/flange-holes.dxf" --svg "$pictures/flange-holes.svg"
echo "entities after the edit: $("$zelcad" dump "$out/flange-holes.dxf" | grep -c ' layer=')"
echo "picture of the result: build/demo/flange-holes.svg"
echo
echo "== zelcad run modify_commands.zsc flange.dxf -o flange-modified.dxf --svg modify-commands.svg"
echo "   (the drafting module's ZEL_COPY, ZEL_ARRAY, ZEL_MIRRORC, ZEL_SCALE, ZEL_ROTATEM, ZEL_MOVE)"
"$zelcad" run "$here/modify_commands.zsc" "$here/drawings/flange.dxf" \
  -o "$out/flange-modified.dxf" --svg "$pictures/modify-commands.svg" > "$out/modify.txt"
grep -c "^コマンド: ZEL_" "$out/modify.txt" | sed 's/^/drafting commands run: /'
echo "entities after the edits: $("$zelcad" dump "$out/flange-modified.dxf" | grep -c ' layer=')"
echo "picture of the result: build/demo/modify-commands.svg (examples/modify_commands.png shows it)"
