#!/usr/bin/env python3
"""Checks setupxfer.dll as the host will see it.

  check_dll.py OBJDUMP DLL setupxfer.h

- the export table holds exactly the functions declared in setupxfer.h, by
  their plain names (no @N, no leading underscore, nothing else);
- on 32-bit x86 every export cleans its own arguments off the stack
  (stdcall): each of its returns is `ret 4*argc`;
- the DLL imports only libraries that come with Windows, and the window
  functions of the log window and the prompt.
"""
import re
import subprocess
import sys

SHAPES = {"SX_STORE_EXPORT": 2, "SX_GROUP_EXPORT": 3, "SX_STORE_IMPORT": 3, "SX_GROUP_IMPORT": 4}
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "msvcrt.dll", "odbc32.dll", "ole32.dll",
               "oleaut32.dll", "shell32.dll", "advapi32.dll"}
NEEDED_IMPORTS = {"CreateWindowExW", "MessageBoxW", "CoCreateInstance", "CLSIDFromProgID",
                  "CoInitialize", "CoUninitialize", "SQLDriverConnectW"}


def declared(header):
    """Name -> argument count of every function setupxfer.h declares."""
    text = open(header, encoding="utf-8").read()
    text = re.sub(r"/\*.*?\*/", "", text, flags=re.S)
    text = re.sub(r"//[^\n]*", "", text)
    text = re.sub(r"\\\n", " ", text)
    text = "\n".join(l for l in text.split("\n") if not l.lstrip().startswith("#"))
    functions = {}
    for macro, argc in SHAPES.items():
        for name in re.findall(macro + r"\((\w+)\)", text):
            functions[name] = argc
    for decl in re.findall(r"SX_API[^;]*;", text):
        m = re.search(r"SX_CALL\s+(\w+)\s*\((.*)\)\s*;", decl, re.S)
        if not m:
            sys.exit("cannot read: " + decl)
        args, depth, count, seen = m.group(2), 0, 0, False
        for ch in args:
            if ch == "(":
                depth += 1
            elif ch == ")":
                depth -= 1
            elif ch == "," and depth == 0:
                count += 1
            if not ch.isspace():
                seen = True
        argc = 0 if not seen or args.strip() == "void" else count + 1
        functions[m.group(1)] = argc
    return functions


def main():
    objdump, dll, header = sys.argv[1:4]
    expected = declared(header)
    headers = subprocess.run([objdump, "-p", dll], capture_output=True, text=True, check=True).stdout
    failures = []

    base = int(re.search(r"^ImageBase\s+([0-9a-fA-F]+)", headers, re.M).group(1), 16)
    rvas = {int(i): int(rva, 16) for i, rva in
            re.findall(r"^\s*\[\s*(\d+)\] \+base\[\s*\d+\] ([0-9a-fA-F]+) Export RVA", headers, re.M)}
    table = headers.split("[Ordinal/Name Pointer] Table", 1)[1].split("\n\n", 1)[0]
    exported = {name: rvas[int(i)] for i, name in re.findall(r"^\s*\[\s*(\d+)\] (\S+)", table, re.M)}

    missing = sorted(set(expected) - set(exported))
    extra = sorted(set(exported) - set(expected))
    if missing:
        failures.append("not exported: " + ", ".join(missing))
    if extra:
        failures.append("exported but not declared in setupxfer.h: " + ", ".join(extra))

    checked = 0
    if "file format pei-i386" in subprocess.run([objdump, "-f", dll], capture_output=True, text=True).stdout:
        for name, argc in sorted(expected.items()):
            if name not in exported:
                continue
            start = base + exported[name]
            code = subprocess.run([objdump, "-d", "--start-address=%#x" % start, "--stop-address=%#x" % (start + 512),
                                   dll], capture_output=True, text=True, check=True).stdout
            # The first return of the function ends it (the exports call their frame once).
            rets = re.findall(r"\tret\s*(\$0x[0-9a-f]+)?", code)
            if not rets:
                failures.append("%s: no return found" % name)
                continue
            popped = int(rets[0][1:], 16) if rets[0] else 0
            checked += 1
            if popped != 4 * argc:
                failures.append("%s: returns with ret %d, stdcall with %d arguments needs ret %d"
                                % (name, popped, argc, 4 * argc))

    dlls = {d.lower() for d in re.findall(r"DLL Name: (\S+)", headers)}
    if dlls - SYSTEM_DLLS:
        failures.append("imports libraries that do not come with Windows: " + ", ".join(sorted(dlls - SYSTEM_DLLS)))
    imported = set(re.findall(r"^\s+[0-9a-f]+\s+\d+\s+(\w+)$", headers, re.M))
    if NEEDED_IMPORTS - imported:
        failures.append("does not import " + ", ".join(sorted(NEEDED_IMPORTS - imported)))

    if failures:
        print("\n".join(failures))
        return 1
    print("%s: %d exports by plain name, %d stdcall returns checked; imports %s"
          % (dll, len(exported), checked, ", ".join(sorted(dlls))))
    return 0


if __name__ == "__main__":
    sys.exit(main())
