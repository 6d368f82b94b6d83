# Reads a table with dbfread and prints what it found, one line each: the header's record
# count, the fields (name, type, length, decimals), then every record with its deletion flag.
import sys

from dbfread import DBF

table = DBF(sys.argv[1], encoding="cp850", char_decode_errors="strict", load=True)
if len(table.records) + len(table.deleted) != table.header.numrecords:
    sys.exit("record count %d in the header, %d records in the file" % (
        table.header.numrecords, len(table.records) + len(table.deleted)))
print("count\t%d" % table.header.numrecords)
for f in table.fields:
    print("field\t%s\t%s\t%d\t%d" % (f.name, f.type, f.length, f.decimal_count))


def show(value):
    if value is None:
        return "None"
    if hasattr(value, "isoformat"):
        return value.isoformat()
    return str(value)


for deleted, records in ((0, table.records), (1, table.deleted)):
    for r in records:
        print("record\t%d\t%s" % (deleted, "\t".join(show(v) for v in r.values())))
