#!/usr/bin/python3
"""Makes 12_hidden_space.docx from 06_textbox_notes.docx with the standard library only:

    python3 make_hidden_space.py

The endnote's text becomes a w:t without xml:space="preserve" whose text starts and ends with a space,
right after the reference mark, as several generators write notes; the body gains a paragraph whose
second run is " space " in the same way. Word and LibreOffice read neither space.
"""
import os
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))


def main():
    source = os.path.join(HERE, "06_textbox_notes.docx")
    target = os.path.join(HERE, "12_hidden_space.docx")
    with zipfile.ZipFile(source) as z:
        infos = z.infolist()
        parts = {i.filename: z.read(i.filename) for i in infos}

    notes = parts["word/endnotes.xml"].decode()
    old = "<w:tab/><w:t>Endnote old text</w:t>"
    assert old in notes
    parts["word/endnotes.xml"] = notes.replace(old, "<w:t> A tachyon walks into the old bar. </w:t>").encode()

    body = parts["word/document.xml"].decode()
    paragraph = "<w:p><w:r><w:t>Hidden</w:t></w:r><w:r><w:t> space </w:t></w:r><w:r><w:t>old</w:t></w:r></w:p>"
    assert "<w:body>" in body
    parts["word/document.xml"] = body.replace("<w:body>", "<w:body>" + paragraph, 1).encode()

    with zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED) as z:
        for i in infos:
            z.writestr(i, parts[i.filename])


main()
