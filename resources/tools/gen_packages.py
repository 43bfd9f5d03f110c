#!/usr/bin/env python3
"""Writes the package projects of every supported IDE from the templates.

For each IDE folder F with package suffix NN it writes the runtime package
cvlNN and the design-time package dclcvlNN: the .dpk, the version resource
.res (compiled from templates/common/package.rc with windres), and the IDE's
project and compiler configuration files (.cfg, .dof, .bdsproj, .dproj,
dcc32.cfg, dcc64.cfg). The compiler configuration decides where the compiled
packages go; see resources/payload/README.md.

The manifest's "@pkg/<F>/<file>" entries must be exactly the files written:
a file the manifest does not name, or a name with no file, is an error.
"""
import argparse
import os
import re
import subprocess
import sys
import uuid

PRODUCT = "Corvane library"
VERSION = "4.07"
MAKER = "Brindlecraft"

# Families: which project files an IDE's packages have.
D3, DOF, D2005, BDS2006, MSBUILD, XE2 = "d3", "dof", "d2005", "bds2006", "msbuild", "xe2"

# folder           suffix  family   IDE name                      project version
IDES = [
    ("Delphi3",     "30",   D3,      "Delphi 3",                   ""),
    ("Delphi4",     "40",   DOF,     "Delphi 4",                   ""),
    ("Delphi5",     "50",   DOF,     "Delphi 5",                   ""),
    ("Delphi6",     "60",   DOF,     "Delphi 6",                   ""),
    ("Delphi7",     "70",   DOF,     "Delphi 7",                   ""),
    ("Delphi9",     "90",   D2005,   "Delphi 2005",                ""),
    ("BDS2006",     "2006", BDS2006, "Borland Developer Studio 2006", ""),
    ("BDS2007",     "2007", MSBUILD, "CodeGear RAD Studio 2007",   "12.0"),
    ("BDS2009",     "2009", MSBUILD, "CodeGear RAD Studio 2009",   "12.0"),
    ("BDS2010",     "2010", MSBUILD, "RAD Studio 2010",            "12.0"),
    ("RADStudio8",  "150",  MSBUILD, "RAD Studio XE",              "12.3"),
    ("RADStudio9",  "160",  XE2,     "RAD Studio XE2",             "13.4"),
    ("RADStudio10", "170",  XE2,     "RAD Studio XE3",             "14.4"),
    ("RADStudio11", "180",  XE2,     "RAD Studio XE4",             "14.6"),
    ("RADStudio12", "190",  XE2,     "RAD Studio XE5",             "15.3"),
    ("RADStudio14", "200",  XE2,     "RAD Studio XE6",             "15.4"),
    ("RADStudio15", "210",  XE2,     "RAD Studio XE7",             "16.1"),
    ("RADStudio16", "220",  XE2,     "RAD Studio XE8",             "17.2"),
    ("RADStudio17", "230",  XE2,     "RAD Studio XE10",            "18.0"),
    ("RADStudio18", "240",  XE2,     "RAD Studio XE10.1",          "18.2"),
    ("RADStudio19", "250",  XE2,     "RAD Studio XE10.2",          "18.3"),
    ("RADStudio20", "260",  XE2,     "RAD Studio XE10.3",          "18.8"),
    ("RADStudio21", "270",  XE2,     "RAD Studio XE10.4",          "19.1"),
    ("RADStudio22", "280",  XE2,     "RAD Studio 11",              "19.3"),
]

RUNTIME_UNITS = [
    "cvlConsts", "cvlTypes", "cvlUtils", "cvlStrUtils", "cvlStorage", "cvlIniStorage",
    "cvlRegStorage", "cvlXmlStorage", "cvlMemStorage", "cvlCrypt", "cvlStreams",
    "cvlSections", "cvlProfiles", "cvlTemplates", "cvlFormPlacement", "cvlPropStorage",
    "cvlMRUList", "cvlCmdLine", "cvlEnvironment", "cvlAppSettings", "cvlAbout",
    "cvlVersion", "cvlValidators",
]
# Units with a form: the form's name, as the IDE writes it into the .dpk.
FORMS = {"cvlSettingsEditor": "cvlSettingsEditorForm", "cvlTemplateDlg": "cvlTemplateDialog"}


def design_units(folder):
    units = ["cvlReg", "cvlPropEditors"]
    # Delphi 3 gets no settings editor (its folder has no copy of it); the
    # template browser needs TValueListEditor of Delphi 6.
    if folder != "Delphi3":
        units.append("cvlSettingsEditor")
    if folder not in ("Delphi3", "Delphi4", "Delphi5"):
        units.append("cvlTemplateDlg")
    return units


def requires(folder, family, suffix, design):
    if folder in ("Delphi3", "Delphi4", "Delphi5"):
        base = ["vcl" + suffix]
    else:
        base = ["rtl", "vcl"]
        if design:
            base.append("designide")
    if design:
        base.append("cvl" + suffix)
    return base


def unit_path(folder, unit):
    # Delphi 3 has no configuration file: its folder holds copies of the units.
    return unit + ".pas" if folder == "Delphi3" else "..\\Source\\" + unit + ".pas"


def contains_clause(folder, units):
    lines = []
    for unit in units:
        line = "  %s in '%s'" % (unit, unit_path(folder, unit))
        if unit in FORMS:
            line += " {%s}" % FORMS[unit]
        lines.append(line)
    return ",\n".join(lines)


def dproj_items(folder, units, reqs):
    items = []
    for req in reqs:
        items.append('    <DCCReference Include="%s.dcp"/>' % req)
    for unit in units:
        path = unit_path(folder, unit)
        if unit in FORMS:
            items.append('    <DCCReference Include="%s">\n      <Form>%s</Form>\n    </DCCReference>'
                         % (path, FORMS[unit]))
        else:
            items.append('    <DCCReference Include="%s"/>' % path)
    return "\n".join(items)


def fill(template, values):
    def repl(m):
        key = m.group(1)
        if key not in values:
            raise KeyError("template variable @%s@ has no value" % key)
        return values[key]
    return re.sub(r"@([A-Z_]+)@", repl, template)


class Writer:
    def __init__(self, templates, out, windres):
        self.templates = templates
        self.out = out
        self.windres = windres
        self.written = set()

    def template(self, name):
        with open(os.path.join(self.templates, name), encoding="utf-8") as f:
            return f.read()

    def write(self, folder, name, text):
        path = os.path.join(self.out, folder, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        # The IDEs of that time read and write their project files with CR LF.
        data = text.replace("\r\n", "\n").replace("\n", "\r\n").encode("ascii")
        self.store(path, data)
        self.written.add(folder + "/" + name)

    def store(self, path, data):
        # Always written: the build tool compares times, and an output older
        # than its inputs would make it run the generator again every time.
        with open(path, "wb") as f:
            f.write(data)

    def compile_res(self, folder, name, rc_text):
        rc_path = os.path.join(self.out + "-rc", folder, name + ".rc")
        os.makedirs(os.path.dirname(rc_path), exist_ok=True)
        with open(rc_path, "w", encoding="ascii") as f:
            f.write(rc_text)
        tmp = os.path.join(self.out + "-rc", folder, name + ".tmp")
        subprocess.run([self.windres, "-O", "res", "-i", rc_path, "-o", tmp], check=True)
        with open(tmp, "rb") as f:
            data = f.read()
        os.remove(tmp)
        self.store(os.path.join(self.out, folder, name), data)
        self.written.add(folder + "/" + name)


def write_ide(w, ide):
    folder, suffix, family, ide_name, project_version = ide
    for design in (False, True):
        package = ("dclcvl" if design else "cvl") + suffix
        units = design_units(folder) if design else RUNTIME_UNITS
        reqs = requires(folder, family, suffix, design)
        kind = "design-time" if design else "runtime"
        ext = "dpl" if family == D3 else "bpl"
        values = {
            "PACKAGE": package, "PRODUCT": PRODUCT, "VERSION": VERSION, "MAKER": MAKER,
            "IDE": ide_name,
            "DESCRIPTION": "%s %s package" % (PRODUCT, kind),
            "REQUIRES": ",\n".join("  " + r for r in reqs),
            "CONTAINS": contains_clause(folder, units),
            # Delphi 3 names its packages .dpl; the directive says so for any
            # tool that reads the project.
            "EXTENSION": "{$E dpl}\n" if family == D3 else "",
            "OUTPUT_NAME": package + "." + ext,
            "GUID": str(uuid.uuid5(uuid.NAMESPACE_URL, "brindlecraft.example/cvl/" + package)).upper(),
            "PROJECT_VERSION": project_version,
            "PACKAGE_KIND": "DesignOnlyPackage" if design else "RuntimeOnlyPackage",
            "DOF_VERSION": folder[-1] + ".0",
            "ITEMS": dproj_items(folder, units, reqs),
            "PLATFORMS": "1" if design else "3",
            "PLATFORM_LIST": '        <Platform value="Win32">True</Platform>\n'
                             '        <Platform value="Win64">%s</Platform>' % ("False" if design else "True"),
            "OUT": ".",
        }
        w.write(folder, package + ".dpk", fill(w.template("common/%s.dpk" % ("design" if design else "runtime")), values))
        w.compile_res(folder, package + ".res", fill(w.template("common/package.rc"), values))
        if family in (DOF, D2005, BDS2006, MSBUILD):
            w.write(folder, package + ".cfg", fill(w.template("common/package.cfg"), values))
        if family == DOF:
            w.write(folder, package + ".dof", fill(w.template("dof/package.dof"), values))
        if family == BDS2006:
            w.write(folder, package + ".bdsproj", fill(w.template("bds2006/package.bdsproj"), values))
        if family in (MSBUILD, XE2):
            w.write(folder, package + ".dproj", fill(w.template("%s/package.dproj" % family), values))
    if family == XE2:
        # One configuration per compiler, read from the current directory.
        for compiler, platform in (("dcc32", "Win32"), ("dcc64", "Win64")):
            w.write(folder, compiler + ".cfg", fill(w.template("xe2/dcc.cfg"), {"OUT": platform}))


def manifest_packages(manifest):
    names = set()
    with open(manifest, encoding="utf-8") as f:
        for line in f:
            fields = line.rstrip("\r\n").split("\t")
            if len(fields) == 4 and fields[2].startswith("@pkg/"):
                names.add(fields[2][len("@pkg/"):])
    return names


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--templates", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--windres", required=True)
    parser.add_argument("--manifest", required=True)
    args = parser.parse_args()

    w = Writer(args.templates, args.out, args.windres)
    for ide in IDES:
        write_ide(w, ide)
    wanted = manifest_packages(args.manifest)
    extra, missing = sorted(w.written - wanted), sorted(wanted - w.written)
    if extra or missing:
        for name in extra:
            print("gen_packages: written but not in the manifest: " + name, file=sys.stderr)
        for name in missing:
            print("gen_packages: in the manifest but not written: " + name, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
