"""Prints the folder under PREFIX (relative to it) where this interpreter
finds packages, its user folder included, or nothing when it searches no
such folder there. Used by `cmake --install` to place the Python package.

    python3 python_folder.py PREFIX
"""
import os
import site
import sys


def main(prefix):
    prefix = os.path.realpath(prefix)
    folders = [p for p in sys.path if p]
    if site.ENABLE_USER_SITE is not False:
        folders.append(site.getusersitepackages())
    for folder in folders:
        real = os.path.realpath(folder)
        relative = os.path.relpath(real, prefix)
        # Three levels down, as the module's search path for its libraries
        # expects (lib/python3.11/site-packages).
        if (os.path.basename(real) in ("site-packages", "dist-packages")
                and not relative.startswith("..") and len(relative.split(os.sep)) == 3):
            print(relative)
            return


main(sys.argv[1])
