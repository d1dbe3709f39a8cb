#!/usr/bin/python3
# Writes the small dBASE III and Visual FoxPro tables with memo files that the
# file-source tests read (notes3.dbf/.dbt, notesvfp.dbf/.fpt).
# Needs python3-dbf (Debian); run it from this folder only to remake them.
import datetime
import dbf

rows = [
    ("Tea", "A long note about tea, longer than any character field would hold. " * 3, 12, 2.5,
     datetime.date(2024, 1, 31), True),
    ("Jam", "Short", -4, 1234.75, datetime.date(1999, 12, 31), False),
]

t = dbf.Table("notes3", "name C(10); note M; qty N(6,0); price N(10,2); added D; active L",
              dbf_type="db3", codepage="cp1252")
t.open(dbf.READ_WRITE)
for r in rows:
    t.append(r)
t.close()

t = dbf.Table("notesvfp", "name C(10); note M; qty I; price B; added D; active L; stamp T; cash Y",
              dbf_type="vfp", codepage="cp1252")
t.open(dbf.READ_WRITE)
for r in rows:
    t.append(r + (datetime.datetime(2024, 2, 3, 10, 20, 30), 19.5))
t.close()
