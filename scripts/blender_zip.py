#!/usr/bin/env python3
"""blender_zip.py --linux PROGRAM [--windows PROGRAM.exe] --out ZIP

Makes the Blender add-on's zip, installable with Blender's Install button
(Blender 3.4 and later; 4.2's extensions read its blender_manifest.toml):
rillmark/ with the add-on's Python files, parameters.json (the Linux
program's --describe-parameters, so the add-on's properties come from the
same declaration as the plug-in's panel), and bin/ with the programs (the
package has both; the benchmark needs only the Linux one). The version is
the project's, from CMakeLists.txt.
"""

import argparse
import os
import re
import subprocess
import sys
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
ADDON = os.path.join(ROOT, "blender", "rillmark")


def project_version():
    with open(os.path.join(ROOT, "CMakeLists.txt"), encoding="utf-8") as f:
        match = re.search(r"project\(Rillmark VERSION (\d+)\.(\d+)(?:\.(\d+))?", f.read())
    return tuple(int(part or 0) for part in match.groups())


def with_version(name, text, version):
    """The add-on's two version declarations, set to the project's."""
    if name == "__init__.py":
        text, count = re.subn(r'"version": \([^)]*\)', '"version": (%d, %d, %d)' % version, text)
    elif name == "blender_manifest.toml":
        text, count = re.subn(r'(?m)^version = "[^"]*"', 'version = "%d.%d.%d"' % version, text)
    else:
        return text
    if count != 1:
        sys.exit(f"blender_zip: no version to set in {name}")
    return text


def add(archive, name, data, executable=False):
    info = zipfile.ZipInfo(name, date_time=(2024, 1, 1, 0, 0, 0))
    info.compress_type = zipfile.ZIP_DEFLATED
    # Unix permissions, for unzip; Blender's installer drops them anyway.
    info.external_attr = (0o100755 if executable else 0o100644) << 16
    archive.writestr(info, data)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--linux", required=True, help="the Linux x86-64 rillmark-bake")
    parser.add_argument("--windows", help="rillmark-bake.exe")
    parser.add_argument("--out", required=True, help="the zip to write")
    args = parser.parse_args()

    version = project_version()
    description = subprocess.run([args.linux, "--describe-parameters"], check=True, capture_output=True).stdout
    temporary = args.out + ".part"
    with zipfile.ZipFile(temporary, "w") as archive:
        for name in sorted(os.listdir(ADDON)):
            if name.endswith((".py", ".toml")):
                with open(os.path.join(ADDON, name), encoding="utf-8") as f:
                    add(archive, "rillmark/" + name, with_version(name, f.read(), version))
        add(archive, "rillmark/parameters.json", description)
        for program in filter(None, (args.linux, args.windows)):
            with open(program, "rb") as f:
                add(archive, "rillmark/bin/" + os.path.basename(program), f.read(), executable=True)
    os.replace(temporary, args.out)
    print(f"Blender add-on: {args.out}")


if __name__ == "__main__":
    main()
