# Writes a reference dBASE III table with python3-dbf: three records (the third deleted),
# texts in code page 850.
import datetime
import sys

import dbf

t = dbf.Table(sys.argv[1], "NAME C(12); QTY N(5,0); PRICE N(8,2); DONE L; BORN D",
              dbf_type="db3", codepage="cp850")
t.open(dbf.READ_WRITE)
t.append(("Müller", 7, 12.5, True, datetime.date(2025, 12, 24)))
t.append(("Straße", -3, 0.25, False, None))
t.append(("gone", 1, 1, True, datetime.date(1999, 1, 2)))
dbf.delete(t[2])
t.close()
