# Reads a table with python3-dbf and prints one line per record: "record", the deletion flag
# (1 deleted) and the field values, tab-separated; ends with an error when the header's count
# and the records read differ.
import sys

import dbf

table = dbf.Table(sys.argv[1], codepage="cp850")
table.open(dbf.READ_ONLY)
seen = 0
for record in table:
    seen += 1
    values = [str(v).strip() if v is not None else "None" for v in record]
    print("record\t%d\t%s" % (1 if dbf.is_deleted(record) else 0, "\t".join(values)))
if seen != len(table):
    sys.exit("count %d, %d records read" % (len(table), seen))
table.close()
