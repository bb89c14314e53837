#!/usr/bin/env python3
"""Lists the functions longer than LIMIT lines, longest first.

Usage: tools/long-functions.py LIMIT PATH...   (folders are searched for .cpp, .h and .cc)

A function runs from the line of its signature's opening brace to the closing brace at the
indentation where the signature starts (the style of the tree; a signature may span lines)."""
import sys, re, os
if len(sys.argv) < 3:
    sys.exit(__doc__)
limit = int(sys.argv[1]); paths = sys.argv[2:]
found = []
files = []
for p in paths:
    if os.path.isdir(p):
        for root, _, fs in os.walk(p):
            files += [os.path.join(root, f) for f in fs if f.endswith(('.cpp', '.h', '.cc'))]
    else: files.append(p)
KEYWORDS = r'^\s*(namespace|class|struct|enum|union|extern|if|for|while|switch|else|do|case|try|\}|return)\b'
def statement_start(lines, i):
    j = i
    while j > 0:
        prev = lines[j - 1].rstrip()
        if not prev or prev.endswith((';', '{', '}', ':')) or prev.lstrip().startswith(('//', '#')):
            break
        j -= 1
    return j
for f in sorted(files):
    lines = open(f, encoding='utf-8', errors='replace').read().split('\n')
    i = 0
    while i < len(lines):
        l = lines[i]
        if re.search(r'\)\s*(const|noexcept|override|final|mutable|\s)*(->\s*[\w:<>,\s\*&]+)?\{\s*$', l) or \
           (l.rstrip().endswith('{') and re.match(r'^\s*:', lines[statement_start(lines, i)])):
            s = statement_start(lines, i)
            head = ' '.join(x.strip() for x in lines[s:i + 1])
            if not re.match(KEYWORDS, lines[s]) and '=' not in head.split('(')[0] and '(' in head:
                ind = re.match(r'^( *)', lines[s]).group(1)
                j = i + 1
                while j < len(lines) and not re.match('^' + ind + r'\}', lines[j]):
                    j += 1
                if j < len(lines):
                    n = j - i + 1
                    if n > limit:
                        found.append((n, f"{n:5d} {f}:{s + 1} {head[:110]}"))
                    if not ind: i = j
        i += 1
for _, line in sorted(found, key=lambda x: -x[0]):
    print(line)
