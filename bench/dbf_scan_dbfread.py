#!/usr/bin/python3
"""The peer of bench/xbase_table_bench.cpp: dbfread reads the NAME field of every record.
Usage: /usr/bin/python3 bench/dbf_scan_dbfread.py TABLE.dbf
Prints the seconds taken and the number of records read."""
import sys
import time

from dbfread import DBF


def main():
    start = time.perf_counter()
    table = DBF(sys.argv[1], encoding="cp850", load=False)
    seen = 0
    total = 0
    for record in table:
        total += len(record["NAME"])
        seen += 1
    print("%.3f %d" % (time.perf_counter() - start, seen))


main()
