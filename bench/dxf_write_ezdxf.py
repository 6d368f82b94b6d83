#!/usr/bin/python3
"""The peer of bench/dxf_write_bench.cpp: ezdxf writes the same DXF R12 LINE entities.
Usage: /usr/bin/python3 bench/dxf_write_ezdxf.py [COUNT]   (default 1000000)
Prints the time to build the drawing, to save it, and the total."""
import os
import sys
import tempfile
import time

import ezdxf


def main():
    count = int(sys.argv[1]) if len(sys.argv) > 1 else 1000000
    path = os.path.join(tempfile.gettempdir(), "vuko_dxf_write_ezdxf.dxf")
    start = time.perf_counter()
    doc = ezdxf.new("R12")
    doc.header["$EXTMIN"] = (0, 0, 0)
    doc.header["$EXTMAX"] = (1000, 1000, 0)
    msp = doc.modelspace()
    for i in range(count):
        x = float(i % 1000)
        y = (i // 1000) * 0.001
        msp.add_line((x, y), (x + 0.5, y + 1.25))
    built = time.perf_counter()
    doc.saveas(path)
    saved = time.perf_counter()
    size = os.path.getsize(path)
    os.remove(path)
    print("ezdxf %s: %d lines, build %.2f s, save %.2f s, total %.2f s, %.1f MB"
          % (ezdxf.__version__, count, built - start, saved - built, saved - start, size / 1e6))


if __name__ == "__main__":
    main()
