#!/bin/bash
# Checks the rules of the source tree that a compiler does not: no Chinese text written in code
# outside the message catalogue (src/lang) and no function over 150 lines in src/.
# Usage: tools/source-rules.sh [SOURCE_ROOT]   (prints what breaks a rule; exit 1 if anything)
set -u
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root" || exit 2
status=0
cjk=$(grep -rnP '[\x{4e00}-\x{9fff}\x{3000}-\x{303f}\x{ff00}-\x{ffef}]' src \
        --include='*.cpp' --include='*.h' --include='*.cc' | grep -v '^src/lang/')
if [ -n "$cjk" ]; then
    echo "Chinese text in code outside src/lang (put it in src/lang/messages):"
    echo "$cjk"
    status=1
fi
long=$(python3 tools/long-functions.py 150 src)
if [ -n "$long" ]; then
    echo "functions over 150 lines:"
    echo "$long"
    status=1
fi
[ $status -eq 0 ] && echo "source rules hold"
exit $status
