#!/usr/bin/python3
"""Makes the python-docx fixtures of this folder (Debian's python3-docx 0.8.11).

    /usr/bin/python3 make_fixtures.py      # writes 01..05 and 07..09 next to this script

06_textbox_notes.docx is made by LibreOffice from 06_textbox_notes.fodt:
    soffice --headless --convert-to docx 06_textbox_notes.fodt
"""
import os
import re
import struct
import zipfile
import zlib

import docx
from docx.enum.text import WD_BREAK
from docx.opc.constants import RELATIONSHIP_TYPE as RT
from docx.oxml import parse_xml
from docx.oxml.ns import nsdecls
from docx.shared import Pt

HERE = os.path.dirname(os.path.abspath(__file__))
VML = ' xmlns:v="urn:schemas-microsoft-com:vml"'


def save(document, name):
    document.core_properties.author = "varnel tests"
    document.save(os.path.join(HERE, name))


def minimal():
    d = docx.Document()
    d.add_paragraph("Hello world")
    d.add_paragraph("旧公司名有限公司，地址：旧地址。")
    save(d, "01_minimal.docx")


def split_runs():
    d = docx.Document()
    p = d.add_paragraph()
    p.add_run("Var").bold = True
    p.add_run("nel").italic = True
    p.add_run(" 旧")
    r = p.add_run("公司")
    r.font.size = Pt(16)
    p.add_run("名")
    d.add_paragraph("Replace this, This and THIS; thistle stays.")
    p = d.add_paragraph("a\tb")
    p.add_run().add_break(WD_BREAK.LINE)
    p.add_run("c")
    d.add_paragraph("全角ＡＢＣ半角ABC")
    save(d, "02_split_runs.docx")


def tiny_png():
    raw = b"\x00\xff\x00\x00"
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 1, 1, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def structures():
    d = docx.Document()
    d.add_paragraph("Body old text.")
    p = d.add_paragraph()
    rid = d.part.relate_to("http://example.com/old/page", RT.HYPERLINK, is_external=True)
    p._p.append(parse_xml(
        '<w:hyperlink %s r:id="%s"><w:r><w:t>old link</w:t></w:r></w:hyperlink>' % (nsdecls("w", "r"), rid)))
    body = d.element.body
    xml = [
        '<w:p %s><w:r><w:t xml:space="preserve">inserted </w:t></w:r><w:ins w:id="1" w:author="a" '
        'w:date="2024-01-01T00:00:00Z"><w:r><w:t>old</w:t></w:r></w:ins><w:del w:id="2" w:author="a" '
        'w:date="2024-01-01T00:00:00Z"><w:r><w:delText>old deleted</w:delText></w:r></w:del></w:p>',
        '<w:p %s><w:r><w:fldChar w:fldCharType="begin"/></w:r><w:r><w:instrText xml:space="preserve"> '
        'DOCPROPERTY old </w:instrText></w:r><w:r><w:fldChar w:fldCharType="separate"/></w:r><w:r><w:t>old '
        'result</w:t></w:r><w:r><w:fldChar w:fldCharType="end"/></w:r></w:p>',
        '<w:p %s><w:fldSimple w:instr=" AUTHOR old "><w:r><w:t>old simple</w:t></w:r></w:fldSimple></w:p>',
        '<w:p %s><w:sdt><w:sdtPr><w:alias w:val="old"/></w:sdtPr><w:sdtContent><w:r><w:t>old control'
        '</w:t></w:r></w:sdtContent></w:sdt></w:p>',
        '<w:p %s><w:smartTag w:uri="urn:x" w:element="place"><w:r><w:t>o</w:t></w:r><w:r><w:rPr><w:b/>'
        '</w:rPr><w:t>ld tagged</w:t></w:r></w:smartTag></w:p>',
    ]
    sect = body[-1]
    for x in xml:
        sect.addprevious(parse_xml(x % nsdecls("w")))
    table = d.add_table(rows=1, cols=2)
    table.cell(0, 0).text = "old cell"
    inner = table.cell(0, 1).add_table(rows=1, cols=1)
    inner.cell(0, 0).text = "old nested cell"
    png = os.path.join(HERE, "tiny.png")
    with open(png, "wb") as f:
        f.write(tiny_png())
    p = d.add_paragraph("ol")
    p.add_run().add_picture(png)
    p.add_run("d picture")
    os.remove(png)
    d.sections[0].header.paragraphs[0].text = "old header one"
    d.sections[0].footer.paragraphs[0].text = "old footer one"
    second = d.add_section()
    second.header.is_linked_to_previous = False
    second.header.paragraphs[0].text = "old header two"
    d.add_paragraph("Second section old text.")
    save(d, "03_structures.docx")


def protected(name, edit):
    d = docx.Document()
    d.add_paragraph("Protected old text.")
    settings = d.settings.element
    settings.insert(0, parse_xml('<w:documentProtection %s w:edit="%s" w:enforcement="1"/>' % (nsdecls("w"), edit)))
    save(d, name)


def rewrite_parts(name, edit):
    """Rewrites parts of a saved fixture in place: edit(parts) changes the dict of name -> bytes."""
    path = os.path.join(HERE, name)
    with zipfile.ZipFile(path) as z:
        infos = z.infolist()
        parts = {i.filename: z.read(i.filename) for i in infos}
    edit(parts)
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        for i in infos:
            z.writestr(i, parts[i.filename])


def wordart_header_textbox():
    d = docx.Document()
    d.add_paragraph("Body old text.")
    p = d.add_paragraph()
    p._p.append(parse_xml(
        '<w:r %s><w:pict><v:shape id="art1" type="#_x0000_t136" style="width:200pt;height:50pt">'
        '<v:textpath style="font-family:&quot;Arial&quot;" string="Old art OLD"/></v:shape></w:pict></w:r>'
        % (nsdecls("w") + VML)))
    header = d.sections[0].header.paragraphs[0]
    header.text = "old header"
    header._p.append(parse_xml(
        '<w:r %s><w:pict><v:shape id="box1" style="width:100pt;height:40pt"><v:textbox><w:txbxContent>'
        '<w:p><w:r><w:t>old header box</w:t></w:r></w:p></w:txbxContent></v:textbox></v:shape></w:pict></w:r>'
        % (nsdecls("w") + VML)))
    save(d, "07_wordart_header_textbox.docx")

    # A second relationship to the same header part, used as the even-page header.
    def second_reference(parts):
        rels = parts["word/_rels/document.xml.rels"].decode()
        target = re.search(r'Target="(header\d+\.xml)"', rels).group(1)
        rels = rels.replace("</Relationships>",
                            '<Relationship Id="rId99" Type="http://schemas.openxmlformats.org/officeDocument/'
                            '2006/relationships/header" Target="%s"/></Relationships>' % target)
        parts["word/_rels/document.xml.rels"] = rels.encode()
        doc = parts["word/document.xml"].decode()
        doc = re.sub(r"(<w:sectPr[^>]*>)", r'\1<w:headerReference w:type="even" r:id="rId99"/>', doc, count=1)
        parts["word/document.xml"] = doc.encode()
    rewrite_parts("07_wordart_header_textbox.docx", second_reference)


def broken_header():
    d = docx.Document()
    d.add_paragraph("Body old text.")
    d.sections[0].header.paragraphs[0].text = "old header"
    save(d, "08_broken_header.docx")

    def truncate(parts):
        name = [n for n in parts if re.match(r"word/header\d+\.xml", n)][0]
        parts[name] = parts[name][: len(parts[name]) // 2]
    rewrite_parts("08_broken_header.docx", truncate)


def hyperlink_fields():
    d = docx.Document()
    body = d.element.body
    sect = body[-1]
    for x in [
        '<w:p %s><w:fldSimple w:instr=" HYPERLINK &quot;http://old.example.com/&quot; \\o &quot;old tip&quot; ">'
        '<w:r><w:t>simple old link</w:t></w:r></w:fldSimple></w:p>',
        '<w:p %s><w:r><w:fldChar w:fldCharType="begin"/></w:r><w:r><w:instrText xml:space="preserve"> HYPERLINK '
        '"http://ol</w:instrText></w:r><w:r><w:instrText xml:space="preserve">d.example.com/page" </w:instrText></w:r>'
        '<w:r><w:fldChar w:fldCharType="separate"/></w:r><w:r><w:t>complex old link</w:t></w:r>'
        '<w:r><w:fldChar w:fldCharType="end"/></w:r></w:p>',
    ]:
        sect.addprevious(parse_xml(x % nsdecls("w")))
    save(d, "09_hyperlink_fields.docx")


minimal()
split_runs()
structures()
protected("04_protected_readonly.docx", "readOnly")
protected("05_protected_forms.docx", "forms")
wordart_header_textbox()
broken_header()
hyperlink_fields()
