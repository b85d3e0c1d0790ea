#!/usr/bin/python3
"""Makes 11_data_binding.docx from 01_minimal.docx with Python's zipfile (no other module needed).

    /usr/bin/python3 make_data_binding.py

Word keeps the text of a data-bound content control twice: in the control and in a custom XML part
(customXml/item2.xml here, found through its itemProps2.xml by w:storeItemID), which it reloads when
the document opens. The body gets three controls: an inline plain-text control and a block-level
plain-text control bound to nodes of the part (the part binds a default namespace, the bindings the
prefix ns0), and a bound control showing its placeholder text.
"""
import os
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
STORE = "{6F3C2B9A-1D4E-4C8B-9A7F-2E5D8C1B0A93}"
NS = "http://example.com/varnel/company"
W = 'xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main"'

ITEM = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
        '<company xmlns="%s"><name>旧公司名有限公司</name><address>旧地址 1 号</address><empty/></company>' % NS)
PROPS = ('<?xml version="1.0" encoding="UTF-8" standalone="no"?>\n'
         '<ds:datastoreItem ds:itemID="%s" xmlns:ds="http://schemas.openxmlformats.org/officeDocument/2006/customXml">'
         '<ds:schemaRefs><ds:schemaRef ds:uri="%s"/></ds:schemaRefs></ds:datastoreItem>' % (STORE, NS))
ITEM_RELS = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
             '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
             '<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/'
             'customXmlProps" Target="itemProps2.xml"/></Relationships>')


def binding(xpath):
    return ('<w:dataBinding w:prefixMappings="xmlns:ns0=\'%s\'" w:xpath="%s" w:storeItemID="%s"/>'
            % (NS, xpath, STORE))


BODY = (
    '<w:p><w:r><w:t xml:space="preserve">公司：</w:t></w:r>'
    '<w:sdt><w:sdtPr><w:alias w:val="Company"/><w:id w:val="101"/>' + binding("/ns0:company[1]/ns0:name[1]")
    + '<w:text/></w:sdtPr><w:sdtContent><w:r><w:t>旧公司名</w:t></w:r><w:r><w:rPr><w:b/></w:rPr>'
    '<w:t>有限公司</w:t></w:r></w:sdtContent></w:sdt></w:p>'
    '<w:sdt><w:sdtPr><w:alias w:val="Address"/><w:id w:val="102"/>' + binding("/ns0:company[1]/ns0:address[1]")
    + '<w:text/></w:sdtPr><w:sdtContent><w:p><w:r><w:t>旧地址 1 号</w:t></w:r></w:p></w:sdtContent></w:sdt>'
    '<w:p><w:sdt><w:sdtPr><w:id w:val="103"/>' + binding("/ns0:company[1]/ns0:empty[1]")
    + '<w:showingPlcHdr/><w:text/></w:sdtPr><w:sdtContent><w:r><w:t>单击此处输入旧公司名</w:t></w:r>'
    '</w:sdtContent></w:sdt></w:p>')


def main():
    source = zipfile.ZipFile(os.path.join(HERE, "01_minimal.docx"))
    out = zipfile.ZipFile(os.path.join(HERE, "11_data_binding.docx"), "w", zipfile.ZIP_DEFLATED)
    for info in source.infolist():
        data = source.read(info.filename)
        if info.filename == "[Content_Types].xml":
            data = data.replace(b"</Types>", b'<Override PartName="/customXml/itemProps2.xml" ContentType='
                                b'"application/vnd.openxmlformats-officedocument.customXmlProperties+xml"/></Types>')
        elif info.filename == "word/_rels/document.xml.rels":
            data = data.replace(b"</Relationships>", b'<Relationship Id="rId90" Type="http://schemas.openxmlformats'
                                b'.org/officeDocument/2006/relationships/customXml" Target="../customXml/item2.xml"/>'
                                b"</Relationships>")
        elif info.filename == "word/document.xml":
            start = data.index(b"<w:body>") + len(b"<w:body>")
            end = data.index(b"<w:sectPr")
            data = data[:start] + BODY.encode() + data[end:]
        out.writestr(info, data)
    out.writestr("customXml/item2.xml", ITEM)
    out.writestr("customXml/itemProps2.xml", PROPS)
    out.writestr("customXml/_rels/item2.xml.rels", ITEM_RELS)
    out.close()


main()
