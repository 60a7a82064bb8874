"""Counts the faxes at korva-sim for scripts/stress --crash and --disk-full.

Document i was printed as PAGES pages of 1800 + 8i rows each at 200 dpi, so
the fax page lengths tell the documents apart; a fax with fewer pages than
PAGES was sent in part. Prints one line:
  arrived: N of N at least once; twice: K; lost: L; stranded: S
and exits non-zero when anything is lost, stranded or sent in part.
"""
import glob
import json
import os
import sys


def main():
    folder, count, pages, stranded = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
    seen = {}
    partial = []
    for path in sorted(glob.glob(os.path.join(folder, "[0-9]*.json"))):
        with open(path, encoding="utf-8") as stream:
            record = json.load(stream)
        for attachment in record.get("attachments", []):
            lengths = [page.get("length", 0) for page in attachment.get("geometry", [])]
            numbers = {round((length / 0.96 - 1800) / 8) for length in lengths}
            for n in numbers:
                seen[n] = seen.get(n, 0) + 1
            if len(lengths) != pages or len(numbers) != 1:
                partial.append((os.path.basename(path), sorted(numbers), len(lengths)))
    arrived = sum(1 for n in range(1, count + 1) if n in seen)
    twice = sum(1 for n in range(1, count + 1) if seen.get(n, 0) > 1)
    lost = count - arrived
    print(f"arrived: {arrived} of {count} at least once; twice: {twice}; lost: {lost}; stranded: {stranded}")
    if lost:
        print(f"lost: {[n for n in range(1, count + 1) if n not in seen][:20]}")
    for name, numbers, length in partial[:20]:
        print(f"sent in part: {name} holds documents {numbers} with {length} of {pages} pages")
    sys.exit(1 if lost or stranded or partial else 0)


main()
