# Reads a table with its memo file through dbfread and prints per record the name and the memo
# bytes in hex (tab-separated), so the test can compare what another reader sees.
import sys

from dbfread import DBF

table = DBF(sys.argv[1], encoding="cp850", char_decode_errors="strict", load=True)
assert len(table.records) + len(table.deleted) == table.header.numrecords
for record in table.records:
    memo = record["NOTES"] or ""
    if isinstance(memo, str):
        memo = memo.encode("cp850")
    print(record["NAME"].strip() + "\t" + memo.hex())
