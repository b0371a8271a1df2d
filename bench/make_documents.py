#!/usr/bin/python3
"""Makes the documents bench/documents.sh times: a Word document and a PDF of about 100 pages
each, old and new, from the real law texts before and after their amendments
(/work/shared/laws or the folder given), 20 paragraphs a page.
Usage: make_documents.py LAWS_FOLDER OUT_FOLDER"""
import glob, os, subprocess, sys
import docx

laws, out = sys.argv[1], sys.argv[2]
PAGES, PER_PAGE = 100, 20
for side in ("old", "new"):
    lines = []
    for path in sorted(glob.glob(f"{laws}/*/{side}.txt")):
        with open(path, encoding="utf-8") as f:
            lines += [l.rstrip("\n") for l in f if l.strip()]
    lines = lines[:PAGES * PER_PAGE]
    d = docx.Document()
    for i, line in enumerate(lines):
        p = d.add_paragraph(line)
        if i % PER_PAGE == PER_PAGE - 1:
            p.runs[-1].add_break(docx.enum.text.WD_BREAK.PAGE)
    d.save(f"{out}/{side}.docx")
    html = f"{out}/{side}.html"
    with open(html, "w", encoding="utf-8") as f:
        f.write('<html><head><meta charset="utf-8"><style>p{margin:0;font-size:9pt}'
                '.page{page-break-after:always}</style></head><body>')
        for start in range(0, len(lines), PER_PAGE):
            f.write('<div class="page">' + "".join(
                f"<p>{l.replace('&', '&amp;').replace('<', '&lt;')}</p>"
                for l in lines[start:start + PER_PAGE]) + "</div>")
        f.write("</body></html>")
    subprocess.run(["chromium", "--headless", "--no-sandbox", "--disable-gpu",
                    f"--user-data-dir={out}/chromium", "--no-pdf-header-footer",
                    f"--print-to-pdf={out}/{side}.pdf", html], capture_output=True, check=True)
