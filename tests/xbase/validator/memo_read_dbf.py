# Reads a table with its memo file through python3-dbf and prints per record the name and the
# memo bytes in hex (tab-separated), so the test can compare what another reader sees.
import sys

import dbf

table = dbf.Table(sys.argv[1], codepage="cp850")
table.open(dbf.READ_ONLY)
for record in table:
    if dbf.is_deleted(record):
        continue
    memo = record.notes or ""
    if isinstance(memo, str):
        memo = memo.encode("cp850")
    print(record.name.strip() + "\t" + memo.hex())
table.close()
