#!/usr/bin/python3
"""encrypt.py SOURCE TARGET PROFILE_DIR: saves SOURCE as an Excel 97-2003
workbook protected by a password, through a headless LibreOffice driven over UNO
(the command-line converter cannot set a password)."""
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


source, target, profile = map(os.path.abspath, sys.argv[1:4])
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
document = desktop.loadComponentFromURL(uno.systemPathToFileUrl(source), "_blank", 0, (prop("Hidden", True),))
document.storeToURL(uno.systemPathToFileUrl(target), (prop("FilterName", "MS Excel 97"), prop("Password", "gizli")))
document.close(True)
try:
    desktop.terminate()
except Exception:
    pass  # the office ends while answering
office.wait(timeout=60)
