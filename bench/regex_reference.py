"""Python re on the same subject and pattern as bench_regex, for comparison.

Usage: regex_reference.py SUBJECT_FILE PATTERN_FILE ROUNDS
Both files hold code page 936 bytes. Prints one line:
"python-re MB/s <best> matches <count>".
"""
import re
import sys
import time


def main():
    subject_bytes = open(sys.argv[1], "rb").read()
    pattern = open(sys.argv[2], "rb").read().decode("gbk")
    rounds = int(sys.argv[3])
    subject = subject_bytes.decode("gbk")
    best = None
    count = 0
    for _ in range(rounds):
        start = time.perf_counter()
        compiled = re.compile(pattern, re.IGNORECASE | re.MULTILINE)
        count = 0
        for match in compiled.finditer(subject):
            match.group(1).encode("gbk")
            match.group(3).encode("gbk")
            count += 1
        elapsed = time.perf_counter() - start
        best = elapsed if best is None else min(best, elapsed)
    print("python-re MB/s %.1f matches %d" % (len(subject_bytes) / best / 1e6, count))


if __name__ == "__main__":
    main()
