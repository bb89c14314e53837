#!/usr/bin/env bash
# Import of a drawing of 100,000 circles wired by lines (100 labelled chains of 1000).
# Usage: bench/dxf_import.sh [BUILD_DIR] [WORK_DIR]
source "$(dirname "$0")/common.sh"
python3 - "$WORK/big.dxf" <<'PY'
import sys
with open(sys.argv[1], "w") as f:
    f.write("  0\nSECTION\n  2\nENTITIES\n")
    for row in range(100):
        for c in range(1000):
            f.write(f"  0\nCIRCLE\n  8\n0\n 10\n{c*10}\n 20\n{-row*10}\n 30\n0.0\n 40\n2\n")
            if c:
                f.write(f"  0\nLINE\n  8\n0\n 10\n{(c-1)*10}\n 20\n{-row*10}\n 30\n0.0\n"
                        f" 11\n{c*10}\n 21\n{-row*10}\n 31\n0.0\n")
        f.write(f"  0\nTEXT\n  8\n0\n 10\n{9993}\n 20\n{-row*10+1}\n 30\n0.0\n 40\n2\n  1\n#{row}\n")
    f.write("  0\nENDSEC\n  0\nEOF\n")
PY
for i in 1 2 3; do
  /usr/bin/time -f "run $i: %e s, peak memory %M KiB" "$CLI" dxf "$WORK/big.dxf" "$WORK/big.lnf" >/dev/null
done
rm -f "$WORK/big.dxf" "$WORK/big.lnf"
