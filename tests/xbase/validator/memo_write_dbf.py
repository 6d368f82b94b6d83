# Writes a reference table with memos through python3-dbf: argv[1] path, argv[2] "db3" (.dbt)
# or "fp" (FoxPro .fpt with 128-byte blocks).
import sys

import dbf

table = dbf.Table(sys.argv[1], "NAME C(10); NOTES M", dbf_type=sys.argv[2], codepage="cp850")
table.open(dbf.READ_WRITE)
table.append(("A", "Line one\r\nLine two"))
table.append(("B", "x" * 1500))
table.append(("C", ""))
table.close()
