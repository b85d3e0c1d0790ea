#!/usr/bin/python3
"""Saves a document with an open password through LibreOffice's UNO bridge (Debian's python3-uno).

LibreOffice 7.4 writes OOXML with the standard encryption (AES-128-ECB, SHA-1, 50000 spins).
    /usr/bin/python3 store_standard.py PASSWORD IN OUT FILTER
"""
import os
import signal
import subprocess
import sys
import tempfile
import time

import uno
from com.sun.star.beans import NamedValue, PropertyValue


def value(cls, name, content):
    v = cls()
    v.Name = name
    v.Value = content
    return v


def main():
    password, source, target, filter_name = sys.argv[1:5]
    profile = tempfile.mkdtemp()
    pipe = "fixture%d" % os.getpid()
    office = subprocess.Popen(["soffice", "--headless", "--norestore", "--invisible",
                               "-env:UserInstallation=file://" + profile, "--accept=pipe,name=%s;urp;" % pipe],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
    try:
        local = uno.getComponentContext()
        resolver = local.ServiceManager.createInstanceWithContext("com.sun.star.bridge.UnoUrlResolver", local)
        for _ in range(100):
            try:
                remote = resolver.resolve("uno:pipe,name=%s;urp;StarOffice.ComponentContext" % pipe)
                break
            except Exception:
                time.sleep(0.3)
        desktop = remote.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", remote)
        doc = None
        for _ in range(20):  # a fresh profile may not load documents at once
            doc = desktop.loadComponentFromURL(uno.systemPathToFileUrl(os.path.abspath(source)), "_blank", 0,
                                               (value(PropertyValue, "Hidden", True),))
            if doc:
                break
            time.sleep(0.5)
        secret = uno.Any("[]com.sun.star.beans.NamedValue", (value(NamedValue, "OOXPassword", password),
                                                                 value(NamedValue, "CryptoType", "Standard")))
        doc.storeToURL(uno.systemPathToFileUrl(os.path.abspath(target)),
                       (value(PropertyValue, "FilterName", filter_name), value(PropertyValue, "EncryptionData", secret)))
        doc.close(True)
        try:
            desktop.terminate()
        except Exception:
            pass
    finally:
        try:
            office.wait(timeout=20)
        except subprocess.TimeoutExpired:
            pass
        try:
            os.killpg(office.pid, signal.SIGKILL)  # soffice.bin outlives its launcher
        except ProcessLookupError:
            pass


if __name__ == "__main__":
    main()
