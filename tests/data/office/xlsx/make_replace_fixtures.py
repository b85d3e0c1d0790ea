#!/usr/bin/python3
"""Makes the workbooks 20 to 24 of this folder, which the Excel engine's tests replace in (Debian 12:
python3-openpyxl 3.0.9, LibreOffice 7.4).

openpyxl writes the base workbook (20, every string inline, as openpyxl writes them). LibreOffice saves it
again (21, with shared strings), and what neither writes (rich text with escapes, _xHHHH_ escapes, a shared
and an array formula, an inline string beside shared ones) is patched into that with zipfile. 22 adds a
macro project to 21, 23 a calculation chain, 24 is 21 saved by LibreOffice as Excel 97-2003. Run it in
this folder: /usr/bin/python3 make_replace_fixtures.py
"""
import os
import re
import shutil
import subprocess
import tempfile
import zipfile

from openpyxl import Workbook
from openpyxl.chart import BarChart, Reference
from openpyxl.formatting.rule import FormulaRule
from openpyxl.styles import Font
from openpyxl.workbook.defined_name import DefinedName
from openpyxl.worksheet.datavalidation import DataValidation


def base(path):
    wb = Workbook()
    data = wb.active
    data.title = "数据"
    other = wb.create_sheet("Old Sheet")
    rows = [
        "旧公司名 Hello",        # A1 shared string
        123,                     # A2 number
        "=A2*2",                 # A3 formula
        "abc",                   # A4
        "a*c",                   # A5
        "a~c",                   # A6
        "abbbc",                 # A7
        0.125,                   # A8 percentage
        "Shared",                # A9 also on the other sheet
        "ＡＢＣ",                # A10 full width
        "=SUM(A2,'Old Sheet'!B1)",  # A11 refers to the other sheet
        "ESCAPED",               # A12 patched: escapes
        "RICH",                  # A13 patched: rich text
        "Shared text",           # A14 also on the other sheet
    ]
    for i, value in enumerate(rows, start=1):
        data.cell(row=i, column=1, value=value)
    data["A8"].number_format = "0.0%"
    for row in (2, 3, 4):
        data.cell(row=row, column=3, value="=A%d*10" % row)  # patched: one shared formula
    data["D1"] = "INLINE"                                    # patched: inline string
    data["E1"] = "=SUM(A2:A3*2)"                             # patched: array formula
    data["B1"] = "Plain"
    data["B1"].font = Font(bold=True)
    data.oddHeader.center.text = "旧公司名 报表"
    data.oddFooter.left.text = "第&P页 旧公司名"

    validation = DataValidation(type="list", formula1="'Old Sheet'!$A$1:$A$3")
    validation.add("F1")
    data.add_data_validation(validation)
    data.conditional_formatting.add("A2", FormulaRule(formula=["'Old Sheet'!$B$1>0"], font=Font(italic=True)))
    wb.defined_names.append(DefinedName("Rates", attr_text="'Old Sheet'!$B$1:$B$3"))

    other["A1"] = "Shared"
    other["A2"] = "Shared text here"
    for row, value in ((1, 5), (2, 6), (3, 7)):
        other.cell(row=row, column=2, value=value)
    chart = BarChart()
    chart.add_data(Reference(other, min_col=2, min_row=1, max_row=3))
    data.add_chart(chart, "H2")
    wb.save(path)


def rewrite(path, edits):
    """Applies edits (part name -> function of its text) to the package at path."""
    with zipfile.ZipFile(path) as z:
        items = [(info, z.read(info.filename)) for info in z.infolist()]
    with zipfile.ZipFile(path + ".tmp", "w", zipfile.ZIP_DEFLATED) as out:
        for info, data in items:
            if info.filename in edits:
                data = edits[info.filename](data.decode("utf-8")).encode("utf-8")
            out.writestr(info.filename, data)
        for name, func in edits.items():
            if name not in [i.filename for i, _ in items]:
                out.writestr(name, func(None))
    os.replace(path + ".tmp", path)


def patch_strings(text):
    text = text.replace('<si><t xml:space="preserve">ESCAPED</t></si>', "<si><t>x_x0041_y_x000D_z</t></si>")
    rich = ("<si><r><rPr><b/></rPr><t>旧公</t></r><r><rPr><i/></rPr><t>司名</t></r>"
            "<r><rPr><u/></rPr><t xml:space=\"preserve\"> keep_x0042_</t></r></si>")
    text = text.replace('<si><t xml:space="preserve">RICH</t></si>', rich)
    # D1 leaves the table for an inline string.
    return text.replace('count="14"', 'count="13"')


def patch_sheet(text):
    text = re.sub(r'<c r="C2"([^>]*)><f aca="false">A2\*10</f>',
                  r'<c r="C2"\1><f aca="false" t="shared" ref="C2:C4" si="0">A2*10</f>', text)
    text = re.sub(r'<c r="C3"([^>]*)><f aca="false">A3\*10</f>', r'<c r="C3"\1><f t="shared" si="0"/>', text)
    text = re.sub(r'<c r="C4"([^>]*)><f aca="false">A4\*10</f>', r'<c r="C4"\1><f t="shared" si="0"/>', text)
    text = re.sub(r'<c r="E1"([^>]*)><f aca="false">', r'<c r="E1"\1><f aca="false" t="array" ref="E1">', text)
    text = re.sub(r'<c r="D1"[^>]*>.*?</c>',
                  '<c r="D1" t="inlineStr"><is><t>inline 旧公司名</t></is></c>', text)
    return text


def soffice(source, filter_name, target):
    with tempfile.TemporaryDirectory() as work:
        subprocess.run(["soffice", "--headless", "--norestore", "-env:UserInstallation=file://" + work + "/p",
                        "--convert-to", filter_name, "--outdir", work, source], check=True,
                       stdout=subprocess.DEVNULL)
        produced = [n for n in os.listdir(work) if n != "p"][0]
        shutil.move(os.path.join(work, produced), target)


def main():
    base("20_openpyxl.xlsx")
    soffice(os.path.abspath("20_openpyxl.xlsx"), "xlsx:Calc MS Excel 2007 XML", "21_cells.xlsx")
    rewrite("21_cells.xlsx", {"xl/sharedStrings.xml": patch_strings, "xl/worksheets/sheet1.xml": patch_sheet})

    shutil.copy("21_cells.xlsx", "22_macros.xlsm")
    vba = b"VBA\x00fake project bytes that must survive\x00" * 4
    rewrite("22_macros.xlsm", {
        "[Content_Types].xml": lambda t: t.replace(
            "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml",
            "application/vnd.ms-excel.sheet.macroEnabled.main+xml").replace(
            "</Types>", '<Default Extension="bin" ContentType="application/vnd.ms-office.vbaProject"/></Types>'),
        "xl/_rels/workbook.xml.rels": lambda t: t.replace(
            "</Relationships>", '<Relationship Id="rIdVba" Type="http://schemas.microsoft.com/office/2006/'
            'relationships/vbaProject" Target="vbaProject.bin"/></Relationships>'),
        "xl/vbaProject.bin": lambda t: vba,
    })

    shutil.copy("21_cells.xlsx", "23_calc_chain.xlsx")
    chain = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
             '<calcChain xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">'
             '<c r="A3" i="1"/><c r="C2"/><c r="A11"/><c r="E1" a="1"/></calcChain>')
    rewrite("23_calc_chain.xlsx", {
        "[Content_Types].xml": lambda t: t.replace("</Types>", '<Override PartName="/xl/calcChain.xml" ContentType='
            '"application/vnd.openxmlformats-officedocument.spreadsheetml.calcChain+xml"/></Types>'),
        "xl/_rels/workbook.xml.rels": lambda t: t.replace(
            "</Relationships>", '<Relationship Id="rIdChain" Type="http://schemas.openxmlformats.org/'
            'officeDocument/2006/relationships/calcChain" Target="calcChain.xml"/></Relationships>'),
        "xl/calcChain.xml": lambda t: chain,
    })


    soffice(os.path.abspath("21_cells.xlsx"), "xls:MS Excel 97", "24_legacy.xls")


if __name__ == "__main__":
    main()
