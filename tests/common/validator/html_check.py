"""Reads an HTML listing with html5lib and reports what a browser would see.

Output, one item per line:
  ENC <encoding the parser settled on>
  ERR <parse error>            (missing-doctype errors are left out: the page has none)
  ROW <cell>\t<cell>...         (text of every table row, cells stripped)
  H5 <text>                     (every h5 header line)
"""
import sys

import html5lib

IGNORED = {"expected-doctype-but-got-start-tag", "expected-doctype-but-got-chars"}


def text_of(element):
    return "".join(element.itertext()).strip()


def main(path):
    with open(path, "rb") as f:
        data = f.read()
    parser = html5lib.HTMLParser(strict=False, namespaceHTMLElements=False)
    document = parser.parse(data)
    print("ENC", parser.documentEncoding)
    for position, code, details in parser.errors:
        if code not in IGNORED:
            print("ERR", position, code, details)
    for row in document.iter("tr"):
        cells = [text_of(cell) for cell in row if cell.tag in ("td", "th")]
        print("ROW " + "\t".join(cells))
    for header in document.iter("h5"):
        print("H5 " + text_of(header))


if __name__ == "__main__":
    main(sys.argv[1])
