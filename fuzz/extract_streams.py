#!/usr/bin/python3
"""extract_streams.py OUT_DIR FILE.xls...: writes the bare workbook stream of
each workbook into OUT_DIR, as seeds for the fuzzer's stream-only inputs."""
import os
import sys

from xlrd import compdoc

out = sys.argv[1]
for path in sys.argv[2:]:
    try:
        document = compdoc.CompDoc(open(path, "rb").read())
    except Exception:
        continue  # not a compound file: already a seed as it is
    for name in ("Workbook", "Book"):
        stream = document.get_named_stream(name)
        if stream:
            with open(os.path.join(out, os.path.basename(path) + ".stream"), "wb") as target:
                target.write(stream)
            break
