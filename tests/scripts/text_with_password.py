#!/usr/bin/python3
"""Opens a password-protected document in LibreOffice (through python3-uno) and prints its text: every
cell string of every sheet of a spreadsheet, one per line, the text of every shape on the slides of a
presentation, or the body text of a text document.
Exits 1 when LibreOffice cannot open it with the password.

    /usr/bin/python3 text_with_password.py PASSWORD DOCUMENT
"""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

import uno
from com.sun.star.beans import PropertyValue


def prop(name, value):
    p = PropertyValue()
    p.Name = name
    p.Value = value
    return p


def text_of(doc):
    if doc.supportsService("com.sun.star.sheet.SpreadsheetDocument"):
        lines = []
        for sheet in doc.Sheets:
            cursor = sheet.createCursor()
            cursor.gotoEndOfUsedArea(False)
            end = cursor.RangeAddress
            for row in sheet.getCellRangeByPosition(0, 0, end.EndColumn, end.EndRow).DataArray:
                lines.extend(str(value) for value in row if value != "")
        return "\n".join(lines)
    if doc.supportsService("com.sun.star.presentation.PresentationDocument"):
        return "\n".join(shape.String for page in doc.DrawPages for shape in page if hasattr(shape, "String"))
    return doc.Text.String


def main():
    password, path = sys.argv[1:3]
    profile = tempfile.mkdtemp()
    pipe = "varnel%d" % os.getpid()
    office = subprocess.Popen(["soffice", "--headless", "--norestore", "--invisible",
                               "-env:UserInstallation=file://" + profile, "--accept=pipe,name=%s;urp;" % pipe],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
    status = 1
    try:
        local = uno.getComponentContext()
        resolver = local.ServiceManager.createInstanceWithContext("com.sun.star.bridge.UnoUrlResolver", local)
        remote = None
        for _ in range(200):
            try:
                remote = resolver.resolve("uno:pipe,name=%s;urp;StarOffice.ComponentContext" % pipe)
                break
            except Exception:
                time.sleep(0.3)
        desktop = remote.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", remote)
        doc = desktop.loadComponentFromURL(uno.systemPathToFileUrl(os.path.abspath(path)), "_blank", 0,
                                           (prop("Hidden", True), prop("Password", password)))
        if doc:
            sys.stdout.write(text_of(doc))
            doc.close(True)
            status = 0
    finally:
        try:
            os.killpg(office.pid, signal.SIGKILL)  # soffice.bin outlives its launcher
        except ProcessLookupError:
            pass
        shutil.rmtree(profile, ignore_errors=True)
    sys.exit(status)


if __name__ == "__main__":
    main()
