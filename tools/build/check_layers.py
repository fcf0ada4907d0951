#!/usr/bin/env python3
"""Checks that the program's layers stand on each other bottom-up only.

The layers are the folders of KELVADO_LAYERS in the root CMakeLists.txt, bottom first. Each one is
one library, kelvado_<folder>. A file of a layer may include headers of its own layer and of the
layers below it, never of a layer above it, nor of the emulator, the tools or the tests; its
library links only libraries of the layers below it. Only *_win32 files include Win32 headers.
The tests of a layer, tests/<folder>, stand on it the same way: their files include nothing of a
layer above it (nor of another layer's tests above it), and their programs link no library of a
layer above it, directly or through the libraries they link.

Usage: check_layers.py SOURCE_DIR. Prints each fault and exits 1 when there is one.
"""
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)
LIBRARY = re.compile(r'kelvado_library\(\s*(\w+)(.*?)\)', re.S)
LINK = re.compile(r'target_link_libraries\(\s*(\w+)(.*?)\)', re.S)
WIN32_HEADERS = {'windows.h', 'commctrl.h', 'mmsystem.h', 'winioctl.h', 'shlobj.h', 'winreg.h',
                 'winbase.h', 'winuser.h', 'vfw.h', 'digitalv.h'}
OUTSIDE = ('cardsim', 'tools', 'bench', 'tests')
TEST_PROGRAM = re.compile(r'kelvado_(?:test|fuzzer|win32_program)\(\s*(\w+)(.*?)\)', re.S)


def layers_of(root):
    text = open(os.path.join(root, 'CMakeLists.txt'), encoding='utf-8').read()
    found = re.search(r'set\(KELVADO_LAYERS\s+([^)]*)\)', text)
    if not found:
        sys.exit('check_layers: no set(KELVADO_LAYERS ...) in CMakeLists.txt')
    return found.group(1).split()


def check_includes(root, layers, faults):
    rank = {layer: i for i, layer in enumerate(layers)}
    for layer in layers:
        folder = os.path.join(root, layer)
        for base, _, files in os.walk(folder):
            for name in sorted(files):
                if not name.endswith(('.h', '.cpp', '.rc')):
                    continue
                path = os.path.join(base, name)
                where = os.path.relpath(path, root)
                text = open(path, encoding='utf-8').read()
                win32_file = re.search(r'_win32\.(cpp|h|rc)$', name) is not None
                for bracket, target in INCLUDE.findall(text):
                    if bracket == '<':
                        if target.lower() in WIN32_HEADERS and not win32_file:
                            faults.append(f'{where}: includes <{target}> but is not a *_win32 file')
                        continue
                    top = target.split('/')[0]
                    if top in rank and rank[top] > rank[layer]:
                        faults.append(f'{where}: includes {target}, of the layer {top} above {layer}')
                    elif top in OUTSIDE:
                        faults.append(f'{where}: includes {target}, which is not part of the program')


def check_links(root, layers, faults):
    rank = {f'kelvado_{layer}': i for i, layer in enumerate(layers)}
    for layer in layers:
        where = f'{layer}/CMakeLists.txt'
        text = open(os.path.join(root, where), encoding='utf-8').read()
        text = re.sub(r'#.*', '', text)
        own = f'kelvado_{layer}'
        defined = [m.group(1) for m in LIBRARY.finditer(text)]
        if defined != [own]:
            faults.append(f'{where}: defines {defined or "no library"}; the folder is one library, {own}')
        for pattern in (LIBRARY, LINK):
            for match in pattern.finditer(text):
                if match.group(1) != own:
                    continue
                for lib in re.findall(r'\bkelvado_\w+', match.group(2)):
                    if lib == own:
                        continue
                    if lib not in rank:
                        faults.append(f'{where}: {own} links {lib}, which is not a layer of the program')
                    elif rank[lib] > rank[own]:
                        faults.append(f'{where}: {own} links {lib}, a layer above it')


def library_links(root):
    """Every library the tree defines (the layers', the emulator's, the tools'), with the kelvado_
    libraries it links."""
    links = {}
    for folder in sorted(os.listdir(root)):
        path = os.path.join(root, folder, 'CMakeLists.txt')
        if folder == 'tests' or not os.path.isfile(path):
            continue
        text = re.sub(r'#.*', '', open(path, encoding='utf-8').read())
        for pattern in (LIBRARY, LINK):
            for match in pattern.finditer(text):
                own = match.group(1)
                if own.startswith('kelvado_'):
                    links.setdefault(own, set()).update(
                        lib for lib in re.findall(r'\bkelvado_\w+', match.group(2)) if lib != own)
    return links


def reached(libs, links):
    seen, todo = set(), list(libs)
    while todo:
        lib = todo.pop()
        if lib not in seen:
            seen.add(lib)
            todo.extend(links.get(lib, ()))
    return seen


def check_tests(root, layers, faults):
    rank = {layer: i for i, layer in enumerate(layers)}
    links = library_links(root)
    for layer in layers:
        folder = os.path.join(root, 'tests', layer)
        if not os.path.isdir(folder):
            continue
        for base, _, files in os.walk(folder):
            for name in sorted(files):
                if not name.endswith(('.h', '.cpp')):
                    continue
                path = os.path.join(base, name)
                where = os.path.relpath(path, root)
                for bracket, target in INCLUDE.findall(open(path, encoding='utf-8').read()):
                    parts = target.split('/')
                    top = parts[1] if parts[0] == 'tests' and len(parts) > 1 else parts[0]
                    if bracket == '"' and top in rank and rank[top] > rank[layer]:
                        faults.append(
                            f'{where}: includes {target}, of the layer {top} above {layer}')
        where = f'tests/{layer}/CMakeLists.txt'
        if not os.path.isfile(os.path.join(root, where)):
            continue
        text = re.sub(r'#.*', '', open(os.path.join(root, where), encoding='utf-8').read())
        for match in TEST_PROGRAM.finditer(text):
            named = re.findall(r'\bkelvado_\w+', match.group(2))
            for lib in sorted(reached(named, links)):
                above = lib[len('kelvado_'):]
                if above in rank and rank[above] > rank[layer]:
                    faults.append(f'{where}: {match.group(1)} links {lib}, a layer above {layer}')


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    root = sys.argv[1]
    layers = layers_of(root)
    faults = []
    check_includes(root, layers, faults)
    check_links(root, layers, faults)
    check_tests(root, layers, faults)
    for fault in faults:
        print(fault)
    if faults:
        print(f'{len(faults)} faults in the layers {" < ".join(layers)}')
        return 1
    print(f'layers {" < ".join(layers)}: no include or link runs upward, in the layers or their '
          'tests')
    return 0


if __name__ == '__main__':
    sys.exit(main())
