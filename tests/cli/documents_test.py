#!/usr/bin/python3
"""Documents as people hold them, compared by verko-cli: Word, Excel, PowerPoint and
OpenDocument files and a PDF printed by Chromium, each made here from text, with a changed
word, an added paragraph and an edited table cell; a folder of such pairs; hostile files,
each refused with exit 2 within a second and 100 MB; --no-convert and --convert.
Usage: documents_test.py VERKO_CLI TEST_FOLDER"""
import os, shutil, subprocess, sys, time, zipfile
import docx, openpyxl
from odf.opendocument import OpenDocumentText, OpenDocumentSpreadsheet, OpenDocumentPresentation
from odf import draw, table, text as odftext

cli, folder = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
shutil.rmtree(folder, ignore_errors=True)
os.makedirs(folder)
env = dict(os.environ, TMPDIR=folder, HOME=folder, XDG_CONFIG_HOME=folder, XDG_DATA_HOME=folder,
           XDG_CACHE_HOME=folder, XDG_RUNTIME_DIR=folder)
failures = []

def check(what, ok, detail=""):
    if not ok:
        failures.append(f"{what}: {detail[-600:]}")

# Old and new text of every pair: a changed word, an added paragraph, an edited table cell.
OLD = ["第一条　この規程は文書の保存について定める。", "第二条　保存期間は三年とする。"]
NEW = ["第一条　この規程は文書の管理について定める。", "第二条　保存期間は三年とする。",
       "第三条　廃棄は記録する。"]
OLD_CELLS, NEW_CELLS = [["区分", "期間"], ["契約書", "十年"]], [["区分", "期間"], ["契約書", "七年"]]

def word(path, paragraphs, cells):
    d = docx.Document()
    for p in paragraphs:
        d.add_paragraph(p)
    t = d.add_table(rows=len(cells), cols=len(cells[0]))
    for r, row in enumerate(cells):
        for c, value in enumerate(row):
            t.cell(r, c).text = value
    d.save(path)

def excel(path, paragraphs, cells):
    wb = openpyxl.Workbook()
    ws = wb.active
    ws.title = "規程"
    for row in [[p] for p in paragraphs] + cells:
        ws.append(row)
    wb.save(path)

def odf_table(name, rows):
    t = table.Table(name=name)
    for row in rows:
        tr = table.TableRow()
        for value in row:
            tc = table.TableCell(valuetype="string")
            tc.addElement(odftext.P(text=value))
            tr.addElement(tc)
        t.addElement(tr)
    return t

def odt(path, paragraphs, cells):
    d = OpenDocumentText()
    for p in paragraphs:
        d.text.addElement(odftext.P(text=p))
    d.text.addElement(odf_table("表", cells))
    d.save(path)

def ods(path, paragraphs, cells):
    d = OpenDocumentSpreadsheet()
    d.spreadsheet.addElement(odf_table("規程", [[p] for p in paragraphs] + cells))
    d.save(path)

def odp(path, paragraphs, cells):
    d = OpenDocumentPresentation()
    for lines in (paragraphs, ["\t".join(row) for row in cells]):
        page = draw.Page(masterpagename="")
        frame = draw.Frame(width="20cm", height="10cm", x="1cm", y="1cm")
        box = draw.TextBox()
        for line in lines:
            box.addElement(odftext.P(text=line))
        frame.addElement(box)
        page.addElement(frame)
        d.presentation.addElement(page)
    d.save(path)

def pptx(path, paragraphs, cells):
    """A presentation of two slides written part by part, as PowerPoint lays it out."""
    ns = ('xmlns:p="http://schemas.openxmlformats.org/presentationml/2006/main" '
          'xmlns:a="http://schemas.openxmlformats.org/drawingml/2006/main" '
          'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"')
    rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
    slides = [paragraphs, ["\t".join(row) for row in cells]]
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr("[Content_Types].xml", '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"/>')
        z.writestr("_rels/.rels", f'<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="{rel}/officeDocument" Target="ppt/presentation.xml"/></Relationships>')
        ids = "".join(f'<p:sldId id="{256 + i}" r:id="rId{i + 1}"/>' for i in range(len(slides)))
        z.writestr("ppt/presentation.xml", f"<p:presentation {ns}><p:sldIdLst>{ids}</p:sldIdLst></p:presentation>")
        targets = "".join(f'<Relationship Id="rId{i + 1}" Type="{rel}/slide" Target="slides/slide{i + 1}.xml"/>' for i in range(len(slides)))
        z.writestr("ppt/_rels/presentation.xml.rels", f'<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">{targets}</Relationships>')
        for i, lines in enumerate(slides):
            ps = "".join(f"<a:p><a:r><a:t>{line}</a:t></a:r></a:p>" for line in lines)
            z.writestr(f"ppt/slides/slide{i + 1}.xml", f"<p:sld {ns}><p:cSld><p:spTree><p:sp><p:txBody>{ps}</p:txBody></p:sp></p:spTree></p:cSld></p:sld>")

def pdf(path, paragraphs, cells):
    html = path + ".html"
    rows = "".join("<tr>" + "".join(f"<td>{v}</td>" for v in row) + "</tr>" for row in cells)
    with open(html, "w", encoding="utf-8") as f:
        f.write('<html><head><meta charset="utf-8"></head><body>' +
                "".join(f"<p>{p}</p>" for p in paragraphs) + f"<table>{rows}</table></body></html>")
    subprocess.run(["chromium", "--headless", "--no-sandbox", "--disable-gpu", f"--user-data-dir={folder}/chromium",
                    "--no-pdf-header-footer", f"--print-to-pdf={path}", html],
                   env=env, capture_output=True, timeout=120, check=True)
    os.remove(html)

def run(*args, quiet=True):
    return subprocess.run([cli, *(["--quiet"] if quiet else []), "--work-dir", folder, *args], cwd=folder, env=env,
                          capture_output=True, text=True, errors="replace")

# Every format: the changed word, the added paragraph and the edited cell as deleted and
# added lines of the report, coloured; the notice names the document on standard error.
CELL_LINE = {"xlsx": ("契約書\t十年", "契約書\t七年"), "ods": ("契約書\t十年", "契約書\t七年"),
             "odp": ("契約書 十年", "契約書 七年"), "pptx": ("契約書\t十年", "契約書\t七年"),
             "pdf": ("契約書　十年", "契約書　七年")}
NOTICE = {"docx": "Word 文書から", "xlsx": "Excel ブックから", "odt": "OpenDocument テキストから",
          "ods": "OpenDocument スプレッドシートから", "odp": "OpenDocument プレゼンテーションから",
          "pptx": "PowerPoint プレゼンテーションから", "pdf": "PDFから"}
makers = {"docx": word, "xlsx": excel, "odt": odt, "ods": ods, "odp": odp, "pptx": pptx, "pdf": pdf}
os.makedirs(f"{folder}/old")
os.makedirs(f"{folder}/new")
for ext, make in makers.items():
    old, new = f"old/規程.{ext}", f"new/規程.{ext}"
    make(f"{folder}/{old}", OLD, OLD_CELLS)
    make(f"{folder}/{new}", NEW, NEW_CELLS)
    done = run("--color=always", old, new, "-")
    check(f"{ext}: status", done.returncode == 1, f"{done.returncode} {done.stderr}")
    check(f"{ext}: notice", f"旧ファイル: {NOTICE[ext]}" in done.stderr, done.stderr)
    check(f"{ext}: header names the file as given", f"旧ファイル = {old}" in done.stdout, done.stdout[:300])
    cell = CELL_LINE.get(ext, ("十年", "七年"))
    # The changed characters are marked inside the coloured line; Chromium prints the
    # full-width space as a blank.
    report = done.stdout.replace("\x1b[7m", "").replace("\x1b[27m", "")
    if ext == "pdf":
        report = report.replace(" ", "　")
    for mark, colour, line in (("-", 31, "第一条　この規程は文書の保存について定める。"),
                               ("+", 32, "第一条　この規程は文書の管理について定める。"),
                               ("+", 32, "第三条　廃棄は記録する。"),
                               ("-", 31, cell[0]), ("+", 32, cell[1])):
        want = [l for l in report.splitlines() if l.startswith(f"\x1b[{colour}m{mark}") and line in l]
        check(f"{ext}: {mark} {line}", want, report)

# A folder of document pairs gets real outcomes, never バイナリ; an unchanged copy is 相違なし.
shutil.copy(f"{folder}/old/規程.docx", f"{folder}/old/same.docx")
shutil.copy(f"{folder}/old/規程.docx", f"{folder}/new/same.docx")
done = run("old", "new", "results", quiet=False)
check("folder: status", done.returncode == 1, f"{done.returncode} {done.stderr}")
check("folder: no binary pair", "バイナリ" not in done.stdout, done.stdout)
for ext in makers:
    check(f"folder: {ext}", f"相違あり: 規程.{ext}" in done.stdout, done.stdout)
check("folder: unchanged", "相違なし: same.docx" in done.stdout, done.stdout)

# Without conversion the zip bytes are compared as before.
done = run("--no-convert", "old/規程.docx", "new/規程.docx", "-")
check("--no-convert", done.returncode in (1, 2) and "Word 文書から" not in done.stderr, done.stderr)
# A converter of the user's for an extension: its output is compared; its failure refused.
for name, content in (("old.memo", "甲\n乙\n"), ("new.memo", "甲\n丙\n")):
    with open(f"{folder}/{name}", "w", encoding="utf-8") as f:
        f.write(content)
done = run("--convert", "memo=sed s/^/行:/ %f", "old.memo", "new.memo", "-")
check("--convert", done.returncode == 1 and "+               2    | 行:丙" in done.stdout, done.stdout + done.stderr)
done = run("--convert", "memo=false", "old.memo", "new.memo", "-")
check("--convert failing", done.returncode == 2 and "変換コマンド「false」が失敗しました" in done.stderr, done.stderr)

# Hostile files: exit 2 with a message, within a second and 100 MB, and nothing written.
def zipped(path, parts):
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        for name, writer in parts.items():
            with z.open(name, "w", force_zip64=True) as f:
                writer(f)

def bomb(f):
    f.write(b'<w:document xmlns:w="w"><w:body><w:p><w:r><w:t>')
    for _ in range(512):
        f.write(b" " * (1 << 20))
    f.write(b"</w:t></w:r></w:p></w:body></w:document>")

entities = "".join(f'<!ENTITY e{i} "{("&e%d;" % (i - 1) if i else "ha") * 10}">' for i in range(10))
hostile = {
    "bomb.docx": lambda p: zipped(p, {"[Content_Types].xml": lambda f: f.write(b"<Types/>"), "word/document.xml": bomb}),
    "entities.docx": lambda p: zipped(p, {"[Content_Types].xml": lambda f: f.write(b"<Types/>"), "word/document.xml": lambda f: f.write(
        f'<?xml version="1.0"?><!DOCTYPE d [{entities}]><w:document xmlns:w="w"><w:body><w:p><w:r><w:t>&e9;</w:t></w:r></w:p></w:body></w:document>'.encode())}),
    "locked.pdf": lambda p: subprocess.run(["qpdf", "--encrypt", "user", "owner", "256", "--", f"{folder}/old/規程.pdf", p], check=True),
    "truncated.docx": lambda p: open(p, "wb").write(open(f"{folder}/old/規程.docx", "rb").read()[:5000]),
    "truncated.pdf": lambda p: open(p, "wb").write(open(f"{folder}/old/規程.pdf", "rb").read()[:3000]),
    "text.docx": lambda p: open(p, "w").write("これは Word 文書ではない\n"),
    # A page and no text on it, as a scanner's PDF holds only an image.
    "scan.pdf": lambda p: open(p, "wb").write(b"%PDF-1.4\n1 0 obj<</Type/Catalog/Pages 2 0 R>>endobj 2 0 obj<</Type/Pages/Kids[3 0 R]/Count 1>>endobj 3 0 obj<</Type/Page/Parent 2 0 R/MediaBox[0 0 595 842]>>endobj\ntrailer<</Root 1 0 R>>\n%%EOF\n"),
}
MESSAGE = {"bomb.docx": "圧縮爆弾", "entities.docx": "DTD", "locked.pdf": "パスワード",
           "truncated.docx": "読めません", "truncated.pdf": "読めません", "text.docx": "読めません",
           "scan.pdf": "テキスト層がありません"}
for name, make in hostile.items():
    make(f"{folder}/{name}")
    result = f"{folder}/{name}.result"
    start = time.monotonic()
    process = subprocess.Popen([cli, "--quiet", "--work-dir", folder, name, "new/規程.docx", result],
                               cwd=folder, env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    out, err = process.communicate(timeout=30)
    elapsed = time.monotonic() - start
    check(f"{name}: exit 2", process.returncode == 2, f"{process.returncode} {err}")
    check(f"{name}: message", MESSAGE[name] in err, err)
    check(f"{name}: within a second", elapsed < 1.0, f"{elapsed:.2f} s")
    check(f"{name}: nothing written", not os.path.exists(result))

# The memory bound, measured for the worst of them by the kernel's count for the child.
for name in ("bomb.docx", "entities.docx"):
    pid = os.fork()
    if pid == 0:
        os.chdir(folder)
        devnull = os.open(os.devnull, os.O_WRONLY)
        os.dup2(devnull, 1)
        os.dup2(devnull, 2)
        os.execve(cli, [cli, "--quiet", "--work-dir", folder, name, "new/規程.docx", f"{name}.r"], env)
    _, status, usage = os.wait4(pid, 0)
    check(f"{name}: under 100 MB", usage.ru_maxrss < 100 * 1024, f"{usage.ru_maxrss} KB")

if failures:
    sys.exit("\n".join(failures))
