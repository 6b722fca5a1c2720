#!/usr/bin/python3
# Writes cell_kinds.xlsx, one small workbook holding each kind of cell the .xlsx reader
# maps, written by hand so that each lies exactly as the format allows. The file is
# committed; run this again only to change it:
#   /usr/bin/python3 tests/import/data/make_xlsx_workbook.py
import os
import zipfile

here = os.path.dirname(os.path.abspath(__file__))
# Strict namespaces and an "x:" prefix, which the reader must take as the usual vocabulary.
MAIN = 'http://purl.oclc.org/ooxml/spreadsheetml/main'
REL = 'http://purl.oclc.org/ooxml/officeDocument/relationships'
PKG = 'http://schemas.openxmlformats.org/package/2006/relationships'

parts = {
    '_rels/.rels': f'<Relationships xmlns="{PKG}"><Relationship Id="a" Type="{REL}/officeDocument" '
                   'Target="/book/main.xml"/></Relationships>',
    'book/main.xml': f'<x:workbook xmlns:x="{MAIN}" xmlns:r="{REL}"><x:workbookPr date1904="true"/>'
                     '<x:sheets><x:sheet name="Kinds" r:id="k"/></x:sheets></x:workbook>',
    'book/_rels/main.xml.rels': f'<Relationships xmlns="{PKG}">'
                                f'<Relationship Id="k" Type="{REL}/worksheet" Target="../sheets/kinds.xml"/>'
                                f'<Relationship Id="s" Type="{REL}/sharedStrings" Target="strings.xml"/>'
                                '</Relationships>',
    'book/strings.xml': f'<x:sst xmlns:x="{MAIN}"><x:si><x:t>plain</x:t></x:si>'
                        '<x:si><x:r><x:t>ri</x:t></x:r><x:r><x:t>ch</x:t></x:r><x:rPh><x:t>ignored</x:t></x:rPh></x:si>'
                        '</x:sst>',
    # Row 1: constants. Row 2: formulas' cached results. Row 3 has no r; its cells neither.
    'sheets/kinds.xml': f'<x:worksheet xmlns:x="{MAIN}"><x:sheetData>'
                        '<x:row r="1"><x:c r="A1"><x:v>1.5</x:v></x:c><x:c r="B1" t="s"><x:v>1</x:v></x:c>'
                        '<x:c r="C1" t="str"><x:v>a_x000D_b</x:v></x:c><x:c r="D1" t="b"><x:v>1</x:v></x:c>'
                        '<x:c r="E1" t="e"><x:v>#N/A</x:v></x:c><x:c r="F1" t="d"><x:v>1904-01-03</x:v></x:c>'
                        '<x:c r="G1" t="inlineStr"><x:is><x:t> in line </x:t></x:is></x:c>'
                        '<x:c r="H1" t="str"><x:v></x:v></x:c><x:c r="I1" s="1"/></x:row>'
                        '<x:row r="2"><x:c r="A2"><x:f>1+1</x:f><x:v>2</x:v></x:c>'
                        '<x:c r="B2" t="s"><x:f>B1</x:f><x:v>0</x:v></x:c>'
                        '<x:c r="C2" t="str"><x:f>C1</x:f><x:v>text</x:v></x:c>'
                        '<x:c r="D2" t="b"><x:f>TRUE()</x:f><x:v>1</x:v></x:c>'
                        '<x:c r="E2"><x:f>NOW()</x:f></x:c></x:row>'
                        '<x:row><x:c><x:v>7</x:v></x:c><x:c r="C3"><x:v>8</x:v></x:c><x:c><x:v>9</x:v></x:c></x:row>'
                        '<x:row r="9"><x:c r="A9" t="s"><x:v>99</x:v></x:c></x:row>'
                        '</x:sheetData></x:worksheet>',
}

with zipfile.ZipFile(os.path.join(here, 'cell_kinds.xlsx'), 'w', zipfile.ZIP_DEFLATED) as package:
    for name, text in parts.items():  # fixed times, so that every run writes the same bytes
        package.writestr(zipfile.ZipInfo(name, (2020, 1, 1, 0, 0, 0)), text, zipfile.ZIP_DEFLATED)
