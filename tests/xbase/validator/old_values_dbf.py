# Writes a dBASE III table with a memo file through python3-dbf: dates of the 19th and early
# 20th century, whole numbers of 15 digits, and memos.
import datetime
import sys

import dbf

t = dbf.Table(sys.argv[1], "NAME C(10); BORN D; BIG N(15,0); NOTES M", dbf_type="db3",
              codepage="cp850")
t.open(dbf.READ_WRITE)
t.append(("one", datetime.date(1890, 5, 1), 123456789012345, "memo one"))
t.append(("two", datetime.date(1901, 12, 31), -98765432109876, "second\r\nmemo"))
t.append(("three", datetime.date(1925, 2, 28), 999999999999999, "third"))
t.close()
