#!/usr/bin/env python3
"""Writes the hostile .xlsx files of this folder: small packages that each try one way of
hurting a reader (a bomb, an entity, a missing part, a path out of the package)."""

import zipfile

MAIN = 'http://schemas.openxmlformats.org/spreadsheetml/2006/main'
REL = 'http://schemas.openxmlformats.org/officeDocument/2006/relationships'
PKG = 'http://schemas.openxmlformats.org/package/2006/relationships'

ROOT_RELS = (f'<?xml version="1.0"?><Relationships xmlns="{PKG}">'
             f'<Relationship Id="rId1" Type="{REL}/officeDocument" Target="xl/workbook.xml"/>'
             '</Relationships>')
WORKBOOK = (f'<?xml version="1.0"?><workbook xmlns="{MAIN}" xmlns:r="{REL}">'
            '<sheets><sheet name="Log" sheetId="1" r:id="rId1"/></sheets></workbook>')
SHEET = (f'<?xml version="1.0"?><worksheet xmlns="{MAIN}"><sheetData>'
         '<row r="1"><c r="A1" t="s"><v>0</v></c></row></sheetData></worksheet>')
STRINGS = f'<?xml version="1.0"?><sst xmlns="{MAIN}"><si><t>time</t></si></sst>'


def workbook_rels(sheet_target='worksheets/sheet1.xml'):
    return (f'<?xml version="1.0"?><Relationships xmlns="{PKG}">'
            f'<Relationship Id="rId1" Type="{REL}/worksheet" Target="{sheet_target}"/>'
            f'<Relationship Id="rId2" Type="{REL}/sharedStrings" Target="sharedStrings.xml"/>'
            '</Relationships>')


def write(name, parts):
    with zipfile.ZipFile(name, 'w', zipfile.ZIP_DEFLATED) as package:
        for part, text in parts.items():  # fixed times, so that every run writes the same bytes
            package.writestr(zipfile.ZipInfo(part, (2020, 1, 1, 0, 0, 0)), text, zipfile.ZIP_DEFLATED)


def package(**replaced):
    parts = {
        '_rels/.rels': ROOT_RELS,
        'xl/workbook.xml': WORKBOOK,
        'xl/_rels/workbook.xml.rels': workbook_rels(),
        'xl/worksheets/sheet1.xml': SHEET,
        'xl/sharedStrings.xml': STRINGS,
    }
    parts.update(replaced)
    return {part: text for part, text in parts.items() if text is not None}


# 8 MiB of blanks inside the sheet: a few kilobytes deflated.
write('xlsx-zip-bomb.xlsx', package(**{'xl/worksheets/sheet1.xml': SHEET.replace(
    '<sheetData>', '<sheetData>' + ' ' * (8 << 20))}))

LAUGHS = ''.join(f'<!ENTITY lol{i} "{"&lol%d;" % (i - 1) * 10}">' for i in range(1, 10))
write('xlsx-billion-laughs.xlsx', package(**{'xl/sharedStrings.xml':
    f'<?xml version="1.0"?><!DOCTYPE sst [<!ENTITY lol0 "lol">{LAUGHS}]>'
    f'<sst xmlns="{MAIN}"><si><t>&lol9;</t></si></sst>'}))

write('xlsx-external-entity.xlsx', package(**{'xl/sharedStrings.xml':
    '<?xml version="1.0"?><!DOCTYPE sst [<!ENTITY secret SYSTEM "file:///etc/passwd">]>'
    f'<sst xmlns="{MAIN}"><si><t>&secret;</t></si></sst>'}))

write('xlsx-missing-sheet-part.xlsx', package(**{'xl/worksheets/sheet1.xml': None}))

write('xlsx-target-outside-package.xlsx', package(**{
    'xl/_rels/workbook.xml.rels': workbook_rels('../../etc/passwd')}))
