#!/usr/bin/env python3
"""Writes into a built site's sw.js the files the service worker keeps and the version of the set.

    stamp-site.py SITE_FOLDER

Every file of the folder but sw.js itself, with its SHA-256; the version is the digest of that
list, so any change to any file (a picture, a module, the page) makes a new set, and a new sw.js
for the browser to find.
"""
import hashlib
import json
import pathlib
import re
import sys


def main():
    site = pathlib.Path(sys.argv[1])
    worker = site / "sw.js"
    files = {}
    for path in sorted(p for p in site.rglob("*") if p.is_file() and p != worker):
        files[path.relative_to(site).as_posix()] = hashlib.sha256(path.read_bytes()).hexdigest()
    listing = "".join(f"{name} {digest}\n" for name, digest in files.items())
    version = hashlib.sha256(listing.encode()).hexdigest()[:16]
    source = worker.read_text()
    stamped, count = re.subn(r"^const kVersion = .*;$", f"const kVersion = '{version}';", source,
                             flags=re.M)
    # A site stamped before is stamped again: a deployment test changes a file and re-stamps.
    stamped, files_count = re.subn(r"^const kFiles = \{.*?\};$",
                                   lambda _: f"const kFiles = {json.dumps(files, indent=2)};",
                                   stamped, flags=re.M | re.S)
    if count != 1 or files_count != 1:
        raise SystemExit(f"{worker}: no place for the version and the files")
    worker.write_text(stamped)
    print(version)


if __name__ == "__main__":
    main()
