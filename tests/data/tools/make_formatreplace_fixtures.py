#!/usr/bin/env python3
"""Writes the formatted-replacement fixtures beside this script (standard library only).

FormatReplace_01_definitions.docx  a definition table: header row, then
    ACME  -> bold red "Acme" + plain " Ltd"
    LOGO  -> a 2x2 PNG picture and the text " logo"
    TWO   -> two paragraphs: "First line" (character style VarnelAccent, right-aligned paragraph) and
             "Second line " + a hyperlink "link" to https://example.com/
    (empty find cell) -> "never"
    " word " (spaces around it) -> italic "WORD"
  and a third column that is ignored.
FormatReplace_02_target.docx       plain paragraphs to replace in; no VarnelAccent style, no wp: namespace.
FormatReplace_03_one_column.docx   a table of one column.
FormatReplace_04_no_table.docx     paragraphs only.
"""
import os
import struct
import zipfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
W = 'http://schemas.openxmlformats.org/wordprocessingml/2006/main'
R = 'http://schemas.openxmlformats.org/officeDocument/2006/relationships'
WP = 'http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing'
A = 'http://schemas.openxmlformats.org/drawingml/2006/main'
PIC = 'http://schemas.openxmlformats.org/drawingml/2006/picture'
REL = 'http://schemas.openxmlformats.org/package/2006/relationships'
RT = 'http://schemas.openxmlformats.org/officeDocument/2006/relationships/'


def png():
    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data) & 0xffffffff)
    raw = b''.join(b'\x00' + b'\xff\x00\x00' * 2 for _ in range(2))
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', 2, 2, 8, 2, 0, 0, 0))
            + chunk(b'IDAT', zlib.compress(raw)) + chunk(b'IEND', b''))


def styles(extra=''):
    return (f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?><w:styles xmlns:w="{W}">'
            '<w:style w:type="paragraph" w:default="1" w:styleId="Normal"><w:name w:val="Normal"/></w:style>'
            f'{extra}</w:styles>')


ACCENT = ('<w:style w:type="character" w:styleId="VarnelAccent"><w:name w:val="Varnel Accent"/>'
          '<w:basedOn w:val="VarnelBase"/><w:rPr><w:i/></w:rPr></w:style>'
          '<w:style w:type="character" w:styleId="VarnelBase"><w:name w:val="Varnel Base"/>'
          '<w:rPr><w:u w:val="single"/></w:rPr></w:style>')


def package(path, body, namespaces, rels='', media=None, style_extra=''):
    types = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>'
             '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
             '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
             '<Default Extension="xml" ContentType="application/xml"/>'
             + ('<Default Extension="png" ContentType="image/png"/>' if media else '')
             + '<Override PartName="/word/document.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"/>'
             '<Override PartName="/word/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml"/>'
             '</Types>')
    root_rels = (f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?><Relationships xmlns="{REL}">'
                 f'<Relationship Id="rId1" Type="{RT}officeDocument" Target="word/document.xml"/></Relationships>')
    doc_rels = (f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?><Relationships xmlns="{REL}">'
                f'<Relationship Id="rId1" Type="{RT}styles" Target="styles.xml"/>{rels}</Relationships>')
    ns = ''.join(f' xmlns:{p}="{u}"' for p, u in namespaces)
    document = (f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?><w:document{ns}><w:body>{body}'
                '<w:sectPr><w:pgSz w:w="11906" w:h="16838"/></w:sectPr></w:body></w:document>')
    with zipfile.ZipFile(os.path.join(HERE, path), 'w', zipfile.ZIP_DEFLATED) as z:
        z.writestr('[Content_Types].xml', types)
        z.writestr('_rels/.rels', root_rels)
        z.writestr('word/_rels/document.xml.rels', doc_rels)
        z.writestr('word/document.xml', document)
        z.writestr('word/styles.xml', styles(style_extra))
        for name, data in (media or {}).items():
            z.writestr(name, data)


def p(*runs, ppr=''):
    return f'<w:p>{ppr}{"".join(runs)}</w:p>'


def r(text, rpr=''):
    return f'<w:r>{f"<w:rPr>{rpr}</w:rPr>" if rpr else ""}<w:t xml:space="preserve">{text}</w:t></w:r>'


def tc(*paragraphs):
    return f'<w:tc><w:tcPr><w:tcW w:w="3000" w:type="dxa"/></w:tcPr>{"".join(paragraphs) or p()}</w:tc>'


def tr(*cells):
    return f'<w:tr>{"".join(cells)}</w:tr>'


PICTURE = (f'<w:r><w:drawing><wp:inline distT="0" distB="0" distL="0" distR="0"><wp:extent cx="190500" cy="190500"/>'
           '<wp:docPr id="1" name="Picture 1"/><a:graphic><a:graphicData uri="http://schemas.openxmlformats.org/drawingml/2006/picture">'
           '<pic:pic><pic:nvPicPr><pic:cNvPr id="0" name="logo.png"/><pic:cNvPicPr/></pic:nvPicPr>'
           '<pic:blipFill><a:blip r:embed="rId10"/><a:stretch><a:fillRect/></a:stretch></pic:blipFill>'
           '<pic:spPr><a:xfrm><a:off x="0" y="0"/><a:ext cx="190500" cy="190500"/></a:xfrm>'
           '<a:prstGeom prst="rect"><a:avLst/></a:prstGeom></pic:spPr></pic:pic></a:graphicData></a:graphic>'
           '</wp:inline></w:drawing></w:r>')

table = ('<w:tbl><w:tblPr><w:tblW w:w="9000" w:type="dxa"/></w:tblPr><w:tblGrid><w:gridCol w:w="3000"/>'
         '<w:gridCol w:w="3000"/><w:gridCol w:w="3000"/></w:tblGrid>'
         + tr(tc(p(r('查找'))), tc(p(r('替换为'))), tc(p(r('备注'))))
         + tr(tc(p(r('ACME'))), tc(p(r('Acme', '<w:b/><w:color w:val="FF0000"/>'), r(' Ltd'))), tc(p(r('bold red'))))
         + tr(tc(p(r('LOGO'))), tc(p(PICTURE, r(' logo'))), tc(p(r('picture'))))
         + tr(tc(p(r('TWO'))),
              tc(p(r('First line', '<w:rStyle w:val="VarnelAccent"/>'), ppr='<w:pPr><w:jc w:val="right"/></w:pPr>'),
                 p(r('Second line '), '<w:hyperlink r:id="rId11"><w:r><w:t>link</w:t></w:r></w:hyperlink>')),
              tc(p(r('two paragraphs'))))
         + tr(tc(p()), tc(p(r('never'))), tc(p(r('empty find'))))
         + tr(tc(p(r(' word '))), tc(p(r('WORD', '<w:i/>'))), tc(p(r('trimmed'))))
         + '</w:tbl>')
package('FormatReplace_01_definitions.docx', p(r('格式替换定义')) + table + p(),
        [('w', W), ('r', R), ('wp', WP), ('a', A), ('pic', PIC)],
        rels=f'<Relationship Id="rId10" Type="{RT}image" Target="media/image1.png"/>'
             f'<Relationship Id="rId11" Type="{RT}hyperlink" Target="https://example.com/" TargetMode="External"/>',
        media={'word/media/image1.png': png()}, style_extra=ACCENT)

package('FormatReplace_02_target.docx',
        p(r('Welcome to ACME, the ACME company.')) + p(r('Our LOGO is here.')) + p(r('Before TWO after.'))
        + p(r('A word, and a password.')) + p(r('acme in lower case.')),
        [('w', W), ('r', R)])

package('FormatReplace_03_one_column.docx',
        '<w:tbl><w:tblGrid><w:gridCol w:w="3000"/></w:tblGrid>' + tr(tc(p(r('查找')))) + tr(tc(p(r('ACME'))))
        + '</w:tbl>' + p(), [('w', W)])
package('FormatReplace_04_no_table.docx', p(r('No definitions here.')), [('w', W)])
