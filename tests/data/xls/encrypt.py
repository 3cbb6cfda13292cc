#!/usr/bin/python3
"""Drives a headless LibreOffice over UNO, for what its command-line converter
cannot do with passwords:

encrypt.py save SOURCE TARGET PROFILE_DIR PASSWORD
    saves SOURCE as an Excel 97-2003 workbook protected by PASSWORD;
encrypt.py open SOURCE TARGET PROFILE_DIR PASSWORD
    opens the protected workbook SOURCE with PASSWORD and saves its first
    sheet as CSV (the same options as the test files' CSV), to check that
    LibreOffice reads it."""
import os
import subprocess
import sys
import time

import uno
from com.sun.star.beans import PropertyValue


def prop(name, value):
    p = PropertyValue()
    p.Name, p.Value = name, value
    return p


mode = sys.argv[1]
source, target, profile = map(os.path.abspath, sys.argv[2:5])
password = sys.argv[5]
office = subprocess.Popen(["soffice", "--headless", "--norestore", "-env:UserInstallation=file://" + profile,
                           "--accept=pipe,name=xlstestdata;urp;"])
context = uno.getComponentContext()
resolver = context.ServiceManager.createInstanceWithContext("com.sun.star.bridge.UnoUrlResolver", context)
for _ in range(200):
    try:
        remote = resolver.resolve("uno:pipe,name=xlstestdata;urp;StarOffice.ComponentContext")
        break
    except Exception:
        time.sleep(0.3)
desktop = remote.ServiceManager.createInstanceWithContext("com.sun.star.frame.Desktop", remote)
opening = (prop("Hidden", True),) + ((prop("Password", password),) if mode == "open" else ())
document = desktop.loadComponentFromURL(uno.systemPathToFileUrl(source), "_blank", 0, opening)
if document is None:
    sys.exit("LibreOffice could not open " + source)
if mode == "save":
    saving = (prop("FilterName", "MS Excel 97"), prop("Password", password))
else:
    saving = (prop("FilterName", "Text - txt - csv (StarCalc)"), prop("FilterOptions", "44,34,76,1"))
document.storeToURL(uno.systemPathToFileUrl(target), saving)
document.close(True)
try:
    desktop.terminate()
except Exception:
    pass  # the office ends while answering
office.wait(timeout=60)
