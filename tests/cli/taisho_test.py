#!/usr/bin/python3
"""The 新旧対照表 as a reader gets it: verko-cli writes it as HTML and as a workbook, and an
XML parser and a spreadsheet library (openpyxl) read back the texts and the underlines.
Usage: taisho_test.py VERKO_CLI TEST_FOLDER"""
import os, shutil, subprocess, sys, zipfile
import xml.etree.ElementTree as ET
import openpyxl

cli, folder = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
shutil.rmtree(folder, ignore_errors=True)
os.makedirs(folder)
OLD = ["第一条", "移る行", "作成者 山田太郎", "<script>alert(1)</script>", "旧い規定は削る",
       "", "", "", "", "末尾"]
NEW = ["第一条", "作成者 鈴木太郎", "<script>alert(1)</script>", "移る行", "", "", "", "",
       "末尾", "まったく新しい規定を置く"]
for name, lines in (("old.txt", OLD), ("new.txt", NEW)):
    with open(os.path.join(folder, name), "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")
failures = []

def run(fmt, result, *options):
    env = dict(os.environ, TMPDIR=folder)
    args = [cli, "--quiet", "--work-dir", folder, "--encoding", "utf-8", "--format", fmt,
            *options, "old.txt", "new.txt", result]
    done = subprocess.run(args, cwd=folder, env=env, capture_output=True, text=True)
    if done.returncode != 1:
        sys.exit(f"{' '.join(args)}: status {done.returncode}: {done.stderr}")
    return os.path.join(folder, result)

def check(what, got, want):
    if got != want:
        failures.append(f"{what}: {got!r}, expected {want!r}")

def html_rows(path):
    """Each row as (number, text, underlined pieces) of the left and right side."""
    tree = ET.parse(path)  # well-formed, or it raises
    check("script elements", tree.findall(".//script"), [])
    rows = []
    for tr in tree.findall(".//table/tbody/tr"):
        cells = tr.findall("td")
        rows.append(tuple(("".join(cells[i].itertext()), [u.text for u in cells[i].findall("u")])
                          for i in (1, 3)))
    return tree, rows

tree, rows = html_rows(run("html", "table.html"))
check("headings", [th.text for th in tree.findall(".//thead/tr/th")], ["行", "改正後", "行", "改正前"])
by_text = {left[0]: (left, right) for left, right in rows}
check("changed row", by_text.get("作成者 鈴木太郎"), (("作成者 鈴木太郎", ["鈴木"]), ("作成者 山田太郎", ["山田"])))
check("escaped text row", by_text.get("<script>alert(1)</script>", [None])[0], ("<script>alert(1)</script>", []))
check("added row", by_text.get("まったく新しい規定を置く"), (("まったく新しい規定を置く", ["まったく新しい規定を置く"]), ("（新設）", [])))
check("deleted row", by_text.get("（削る）"), (("（削る）", []), ("旧い規定は削る", ["旧い規定は削る"])))
check("moved rows", [r[0][0] for r in rows if "移" in r[0][0] or "移" in r[1][0]], ["（4 行目へ移動）", "移る行"])
full = len(rows)
tree, rows = html_rows(run("html", "short.html", "--diff-only", "1", "--old-left"))
check("--old-left headings", [th.text for th in tree.findall(".//thead/tr/th")][1::2], ["改正前", "改正後"])
check("--diff-only 1 left out", "（略）" in [r[0][0] for r in rows] and len(rows) < full, True)

book = run("xlsx", "table.xlsx")
sheet = openpyxl.load_workbook(book).active
cells = {c.value: c for row in sheet.iter_rows() for c in row if isinstance(c.value, str)}
changed = cells.get("作成者 鈴木太郎")
check("workbook changed row", changed and sheet.cell(changed.row, 4).value, "作成者 山田太郎")
check("workbook added row underlined", cells["まったく新しい規定を置く"].font.u, "single")
check("workbook print setup", (sheet.freeze_panes, sheet.print_title_rows, sheet.page_setup.orientation,
                               sheet.page_setup.paperSize, sheet.sheet_properties.pageSetUpPr.fitToPage),
      ("A5", "$4:$4", "landscape", 9, True))
# openpyxl reads a cell's rich text as plain text: the underlined runs are in the shared strings.
ns = {"x": "http://schemas.openxmlformats.org/spreadsheetml/2006/main"}
strings = ET.fromstring(zipfile.ZipFile(book).read("xl/sharedStrings.xml"))
underlined = {"".join(si.itertext()): [r.find("x:t", ns).text for r in si.findall("x:r", ns)
                                       if r.find("x:rPr/x:u", ns) is not None]
              for si in strings.findall("x:si", ns)}
check("workbook underlines", (underlined.get("作成者 鈴木太郎"), underlined.get("作成者 山田太郎")), (["鈴木"], ["山田"]))

print("\n".join(failures) or "the 新旧対照表 reads back")
sys.exit(1 if failures else 0)
