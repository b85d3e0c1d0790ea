#!/usr/bin/python3
"""Makes the workbook fixtures of this folder (run with Debian's python3-openpyxl: /usr/bin/python3 make_fixtures.py).

02_openpyxl.xlsx, 10_dictionary.xlsx and 11_dictionary_below_row1.xlsx are written by openpyxl;
03_edge_cases.xlsx is written part by part with zipfile, for what no writer at hand produces (shared
formulas, _xHHHH_ escapes, phonetic runs, prefixed namespaces, cells without addresses, t="d", a dialog
sheet). 04_encrypted.xlsx is a copy of ../encrypted/05_agile_other_password.xlsx, a workbook with an
open password (1234) that no test gives. 01_libreoffice.xlsx comes from LibreOffice: soffice --headless --convert-to xlsx 01_libreoffice.fods.
"""
import datetime
import zipfile

from openpyxl import Workbook
from openpyxl.chart import BarChart, Reference
from openpyxl.utils.datetime import CALENDAR_MAC_1904


def openpyxl_workbook():
    wb = Workbook()
    data = wb.active
    data.title = "数据"
    data["A1"] = "文本"
    data["B1"] = 1234.5
    data["B1"].number_format = "#,##0.00"
    data["C1"] = 0.125
    data["C1"].number_format = "0.0%"
    data["A2"] = True
    data["B2"] = False
    data["C2"] = "#N/A"
    data["C2"].data_type = "e"
    data["A3"] = datetime.datetime(2023, 3, 15)
    data["A3"].number_format = "yyyy/m/d"
    data["B3"] = "=B1*2"
    data["A5"] = 12
    data["A5"].number_format = '"¥"#,##0.00'
    data.oddHeader.left.text = "左页眉"
    data.oddHeader.center.text = "中 && 页眉"
    data.oddHeader.right.text = "右页眉"
    data.oddFooter.center.text = "第 &P 页"

    chart_sheet = wb.create_chartsheet("图表")
    chart = BarChart()
    chart.add_data(Reference(data, min_col=2, min_row=1, max_row=1))
    chart_sheet.add_chart(chart)

    hidden = wb.create_sheet("隐藏")
    hidden["A1"] = "hidden"
    hidden.sheet_state = "hidden"

    active = wb.create_sheet("定义")
    active["A1"] = "旧"
    active["B1"] = "新"
    wb.active = 3  # counts the chart sheet
    wb.epoch = CALENDAR_MAC_1904
    wb.save("02_openpyxl.xlsx")


def dictionary_workbooks():
    wb = Workbook()
    notes = wb.active
    notes.title = "说明"
    notes["A1"] = "不是这一页"
    notes["B1"] = "wrong sheet"
    words = wb.create_sheet("词典")
    rows = [
        ("旧公司名", "新公司名"),
        (12, "十二"),
        (" 12 ", "twelve"),
        (" ab ", "AB"),
        (None, "没有查找内容的行被跳过"),
        ("删除我", None),
        (1.5, True),
        (datetime.datetime(2023, 3, 15), "日期"),
    ]
    for r, (a, b) in enumerate(rows, start=1):
        words.cell(r, 1, a)
        words.cell(r, 2, b)
    words["A2"].number_format = '"¥"#,##0.00'
    words["A7"].number_format = "0.00"
    words["A8"].number_format = "yyyy/m/d"
    wb.active = 1
    wb.save("10_dictionary.xlsx")

    below = Workbook()
    sheet = below.active
    sheet.title = "词典"
    for r in range(3, 7):
        sheet.cell(r, 1, f"旧{r}")
        sheet.cell(r, 2, f"新{r}")
    below.save("11_dictionary_below_row1.xlsx")


CONTENT_TYPES = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"><Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/><Default Extension="xml" ContentType="application/xml"/><Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/><Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/><Override PartName="/xl/dialogsheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.dialogsheet+xml"/><Override PartName="/xl/sharedStrings.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/><Override PartName="/xl/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"/></Types>"""

PACKAGE_RELS = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>"""

R = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
WORKBOOK = f"""<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<x:workbook xmlns:x="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="{R}"><x:workbookPr date1904="true"/><x:bookViews><x:workbookView activeTab="1"/></x:bookViews><x:sheets><x:sheet name="对话框" sheetId="2" r:id="rId2"/><x:sheet name="a_x005F_x0041_b" sheetId="1" r:id="rId1"/></x:sheets></x:workbook>"""

WORKBOOK_RELS = f"""<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="{R}/worksheet" Target="worksheets/sheet1.xml"/><Relationship Id="rId2" Type="{R}/dialogsheet" Target="/xl/dialogsheets/sheet1.xml"/><Relationship Id="rId3" Type="{R}/sharedStrings" Target="sharedStrings.xml"/><Relationship Id="rId4" Type="{R}/styles" Target="styles.xml"/></Relationships>"""

SHARED_STRINGS = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<x:sst xmlns:x="http://schemas.openxmlformats.org/spreadsheetml/2006/main" count="3" uniqueCount="3"><x:si><x:t>plain_x000D_line</x:t></x:si><x:si><x:r><x:rPr><x:b/></x:rPr><x:t>旧公</x:t></x:r><x:r><x:t xml:space="preserve">司名 </x:t></x:r><x:rPh sb="0" eb="1"><x:t>きゅう</x:t></x:rPh><x:phoneticPr fontId="1"/></x:si><x:si><x:t>_x005F_x0041_ stays</x:t></x:si></x:sst>"""

STYLES = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<x:styleSheet xmlns:x="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><x:numFmts count="1"><x:numFmt numFmtId="170" formatCode="0.000"/></x:numFmts><x:cellXfs count="3"><x:xf numFmtId="0"/><x:xf numFmtId="170"/><x:xf numFmtId="14"/></x:cellXfs></x:styleSheet>"""

SHEET = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<x:worksheet xmlns:x="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><x:dimension ref="A1:D9"/><x:sheetData>
<x:row r="1"><x:c r="A1" t="s"><x:v>0</x:v></x:c><x:c r="B1" t="s"><x:v>1</x:v></x:c><x:c r="C1" t="s"><x:v>2</x:v></x:c></x:row>
<x:row r="2"><x:c r="A2"><x:v>1</x:v></x:c><x:c r="B2"><x:f t="shared" ref="B2:D4" si="0">A2*2+$A$1+SUM(A:A)</x:f><x:v>2</x:v></x:c><x:c r="C2"><x:f t="shared" si="0"/><x:v>4</x:v></x:c></x:row>
<x:row r="4"><x:c r="D4"><x:f t="shared" si="0"/><x:v>0</x:v></x:c></x:row>
<x:row><x:c t="inlineStr"><x:is><x:t>无地址_x0009_制表</x:t></x:is></x:c><x:c s="1"><x:v>2.5</x:v></x:c><x:c t="d" s="2"><x:v>2023-03-15T00:00:00</x:v></x:c></x:row>
<x:row r="7"><x:c r="A7" t="str"><x:f>"x"&amp;A2</x:f><x:v>x1</x:v></x:c><x:c r="B7"><x:f t="shared" si="9"/><x:v>1</x:v></x:c></x:row>
<x:row r="9" s="1" customFormat="1"><x:c r="A9" s="1"/></x:row>
</x:sheetData><x:headerFooter><x:oddHeader>&amp;L左_x005F_x0041_&amp;C中&amp;R右</x:oddHeader><x:oddFooter>只有中间</x:oddFooter></x:headerFooter></x:worksheet>"""

DIALOG = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<dialogsheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData/></dialogsheet>"""


def edge_cases():
    with zipfile.ZipFile("03_edge_cases.xlsx", "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr("[Content_Types].xml", CONTENT_TYPES)
        z.writestr("_rels/.rels", PACKAGE_RELS)
        z.writestr("xl/workbook.xml", WORKBOOK)
        z.writestr("xl/_rels/workbook.xml.rels", WORKBOOK_RELS)
        z.writestr("xl/sharedStrings.xml", SHARED_STRINGS)
        z.writestr("xl/styles.xml", STYLES)
        z.writestr("xl/worksheets/sheet1.xml", SHEET)
        z.writestr("xl/dialogsheets/sheet1.xml", DIALOG)


if __name__ == "__main__":
    openpyxl_workbook()
    dictionary_workbooks()
    edge_cases()
