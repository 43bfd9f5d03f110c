#!/usr/bin/env python3
"""Checks the winget manifest set that a build made for its setup.exe.

    check_winget.py BUILD_DIR...

For each build folder: the three files parse as YAML and carry what winget and the
Apps & Features match need, and InstallerSha256 is the SHA-256 of that build's
setup.exe. A folder without a manifest (a build not made) is passed over, but at
least one must be checked."""
import glob
import hashlib
import os
import sys

import yaml

IDENT = "Brindlecraft.CorvaneLibrary"
WANT_CODES = {2: "invalidParameter", 3: "missingDependency", 4: "packageInUseByApplication",
              6: "installInProgress", 7: "contactSupport", 8: "diskFull"}


def check(build):
    folder = os.path.join(build, "packaging", "winget")
    docs = {}
    for path in glob.glob(os.path.join(folder, "*.yaml")):
        with open(path, encoding="utf-8") as f:
            doc = yaml.safe_load(f)
        docs[doc["ManifestType"]] = doc
    assert set(docs) == {"version", "defaultLocale", "installer"}, "manifest types: %s" % sorted(docs)
    for doc in docs.values():
        assert doc["PackageIdentifier"] == IDENT and doc["PackageVersion"] == "4.07", doc
        assert doc["ManifestVersion"] == "1.10.0", doc["ManifestVersion"]
    assert docs["version"]["DefaultLocale"] == docs["defaultLocale"]["PackageLocale"] == "en-US"
    locale = docs["defaultLocale"]
    assert (locale["Publisher"], locale["PackageName"]) == ("Brindlecraft", "Corvane library"), locale

    inst = docs["installer"]
    assert (inst["InstallerType"], inst["Scope"]) == ("exe", "machine"), inst
    assert inst["InstallerSwitches"] == {"Silent": "/silent", "SilentWithProgress": "/silent",
                                         "InstallLocation": "/dir=<INSTALLPATH>", "Log": "/log=<LOGPATH>"}
    codes = {c["InstallerReturnCode"]: c["ReturnResponse"] for c in inst["ExpectedReturnCodes"]}
    assert codes == WANT_CODES, codes
    assert inst["AppsAndFeaturesEntries"] == [{"DisplayName": "Brindlecraft Corvane library v4.07",
                                                "Publisher": "Brindlecraft", "DisplayVersion": "4.07",
                                                "ProductCode": "cvlLib"}], inst["AppsAndFeaturesEntries"]
    [installer] = inst["Installers"]
    with open(os.path.join(build, "bin", "setup.exe"), "rb") as f:
        digest = hashlib.sha256(f.read()).hexdigest().upper()
    assert installer["InstallerSha256"] == digest, (installer["InstallerSha256"], digest)
    assert installer["Architecture"] == ("x86" if build.rstrip("/").endswith("x86") else "x64")
    assert installer["InstallerUrl"].startswith("https://")


def main():
    checked = 0
    for build in sys.argv[1:]:
        if not os.path.isdir(os.path.join(build, "packaging", "winget")):
            print("no manifest in %s: passed over" % build)
            continue
        try:
            check(build)
        except (AssertionError, KeyError, TypeError, ValueError, yaml.YAMLError) as e:
            sys.exit("%s: %r" % (build, e))
        print("winget manifest of %s: ok" % build)
        checked += 1
    sys.exit(0 if checked else "no manifest checked")


main()
