"""Checks the stamp log the program writes beside itself.

    stamp_log.py LOG --records N --dates D [D...] [--keeps EARLIER_LOG]

Each record is three CR LF lines: "QVID:" with the stamp number, a comma and
"yyyy/mm/dd hh:mm:ss " (trailing space); four spaces and the four rows of the
start-up window, the date row being one of the dates D (yyyy.mm.dd); an empty
line. The numbers are eight base-36 digits whose first six count the seconds
from 1 January 1998 to the stamping, local time, and they differ and grow from
one record to the next. With --keeps, the log must begin with the bytes of
EARLIER_LOG: appending never changes what is there.
"""

import argparse
import datetime
import re
import sys

ROWS = "会 社 名,部課係名,氏    名"
FIRST_LINE = re.compile(r"QVID:([0-9A-Z]{6})([0-9A-Z]{2}),(\d{4}/\d{2}/\d{2} \d{2}:\d{2}:\d{2}) ")
EPOCH = datetime.datetime(1998, 1, 1)
DIGITS = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"
# The number's clock and the record's clock are read a moment apart; a busy
# machine may stretch that moment, a wrong epoch or time zone would not fit.
CLOCK_SLACK_S = 5


def base36(text):
    value = 0
    for char in text:
        value = value * 36 + DIGITS.index(char)
    return value


def check(data, records, dates, earlier):
    problems = []
    if earlier is not None and not data.startswith(earlier):
        problems.append(f"the log no longer starts with its earlier {len(earlier)} bytes")
    try:
        text = data.decode("utf-8")
    except UnicodeDecodeError as error:
        return problems + [f"not UTF-8, the system's text encoding: {error}"]
    if not text.endswith("\r\n"):
        problems.append("the last line has no CR LF")
    lines = text.split("\r\n")[:-1] if text.endswith("\r\n") else text.split("\r\n")
    if any("\n" in line or "\r" in line for line in lines):
        problems.append("a line ends in a bare LF or CR instead of CR LF")
    if len(lines) != 3 * records:
        problems.append(f"{len(lines)} lines, not {3 * records} ({records} records of three)")

    numbers = []
    for index in range(min(records, len(lines) // 3)):
        first, second, third = lines[3 * index:3 * index + 3]
        where = f"record {index + 1}"
        match = FIRST_LINE.fullmatch(first)
        if not match:
            problems.append(f"{where}, line 1: {first!r} is not 'QVID:<8 base-36 digits>,yyyy/mm/dd hh:mm:ss '")
        else:
            time_part, counter, stamped = match.groups()
            numbers.append(time_part + counter)
            try:
                stamped_at = datetime.datetime.strptime(stamped, "%Y/%m/%d %H:%M:%S")
            except ValueError:
                problems.append(f"{where}, line 1: {stamped!r} is no date and time")
            else:
                coded = EPOCH + datetime.timedelta(seconds=base36(time_part))
                if abs((coded - stamped_at).total_seconds()) > CLOCK_SLACK_S:
                    problems.append(f"{where}: number {time_part}{counter} stands for {coded}, "
                                    f"but the record was made at {stamped_at}")
        expected = [f"    {ROWS},{date}" for date in dates]
        if second not in expected:
            problems.append(f"{where}, line 2: {second!r}, expected {' or '.join(map(repr, expected))}")
        if third != "":
            problems.append(f"{where}, line 3: {third!r}, expected an empty line")
    if len(set(numbers)) != len(numbers):
        problems.append(f"numbers repeat: {numbers}")
    elif numbers != sorted(numbers, key=lambda n: (base36(n[:-2]), n[-2:])):
        problems.append(f"numbers do not grow: {numbers}")
    return problems


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("log")
    parser.add_argument("--records", type=int, required=True)
    parser.add_argument("--dates", nargs="+", required=True)
    parser.add_argument("--keeps")
    args = parser.parse_args()
    try:
        with open(args.log, "rb") as f:
            data = f.read()
    except OSError as error:
        print(f"{args.log}: {error}")
        return 1
    earlier = None
    if args.keeps:
        with open(args.keeps, "rb") as f:
            earlier = f.read()
    problems = check(data, args.records, args.dates, earlier)
    if problems:
        for problem in problems:
            print(f"{args.log}: {problem}")
        print(f"{args.log} holds:")
        for line in data.split(b"\n"):
            print(f"  | {line!r}")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
