#!/usr/bin/python3
"""Writes the demo form templates as Word XML under data/demo/templates/ from the demo
form descriptions (data/demo/*.tsv).

Each template has the organisation card and date placeholders in its heading, header
and footer, and a table per sheet: a row per grid row with a code, whose code cell shows
the code and carries the row placeholder "@CODE@" as hidden text, followed by one cell
per data column. The total rows hold "P#" patterns. Run it again after changing the demo
forms; the output is committed so that it can be reviewed."""
import csv
import os
from xml.sax.saxutils import escape

ROOT = os.path.join(os.path.dirname(__file__), "..", "data", "demo")
OUT = os.path.join(ROOT, "templates")


def table(name):
    with open(os.path.join(ROOT, name + ".tsv"), encoding="utf-8") as f:
        return list(csv.DictReader(f, delimiter="\t", quoting=csv.QUOTE_NONE))


forms = {int(r["KOD_FORM"]): r for r in table("S_FORM")}
cells = table("DISABLE_CELL")

W = 'xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main" ' \
    'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"'


def run(text, bold=False, hidden=False, size=None):
    props = ""
    if bold or hidden or size:
        props = "<w:rPr>" + ("<w:b/>" if bold else "") + ("<w:vanish/>" if hidden else "") + \
                (f'<w:sz w:val="{size}"/>' if size else "") + "</w:rPr>"
    return f'<w:r>{props}<w:t xml:space="preserve">{escape(text)}</w:t></w:r>'


def para(*runs, centre=False, right=False):
    jc = "center" if centre else "right" if right else None
    props = f'<w:pPr><w:jc w:val="{jc}"/></w:pPr>' if jc else ""
    return f"<w:p>{props}{''.join(runs)}</w:p>"


def cell(content, width, shade=False):
    props = f'<w:tcPr><w:tcW w:w="{width}" w:type="dxa"/>' + \
            ('<w:shd w:val="clear" w:color="auto" w:fill="E7E6E6"/>' if shade else "") + "</w:tcPr>"
    return f"<w:tc>{props}{content}</w:tc>"


def sheet_table(kod):
    columns = sorted((int(c["NOMER_COL"]), c["NAME_CELL"]) for c in cells
                     if int(c["KOD_FORM"]) == kod and c["KOD_KOORD"] == "2")
    code_col = next(int(c["NOMER_COL"]) for c in cells if int(c["KOD_FORM"]) == kod and c["KOD_KOORD"] == "3")
    code_caption = next(c["NAME_CELL"] for c in cells if int(c["KOD_FORM"]) == kod and c["KOD_KOORD"] == "3")
    by_cell = {(int(c["NOMER_COL"]), int(c["NOMER_ROW"])): c["NAME_CELL"] for c in cells
               if int(c["KOD_FORM"]) == kod and c["KOD_KOORD"] == "0"}
    rows = sorted({r for (_, r) in by_cell if r >= 3})
    data_cols = [c for c, _ in columns if c > code_col]
    widths = [4200, 1000] + [max(1400, 9800 // max(1, len(data_cols)))] * len(data_cols)
    grid = "".join(f'<w:gridCol w:w="{w}"/>' for w in widths)
    borders = "".join(f'<w:{side} w:val="single" w:sz="4" w:space="0" w:color="000000"/>'
                      for side in ("top", "left", "bottom", "right", "insideH", "insideV"))
    out = [f'<w:tbl><w:tblPr><w:tblW w:w="0" w:type="auto"/><w:tblBorders>{borders}</w:tblBorders>'
           f'<w:tblLayout w:type="fixed"/></w:tblPr><w:tblGrid>{grid}</w:tblGrid>']
    head = [cell(para(run("Найменування показника", bold=True), centre=True), widths[0], True),
            cell(para(run(code_caption, bold=True), centre=True), widths[1], True)]
    head += [cell(para(run(name, bold=True), centre=True), widths[2], True) for c, name in columns if c > code_col]
    out.append("<w:tr>" + "".join(head) + "</w:tr>")
    numbers = [cell(para(run(str(i + 1)), centre=True), w, True) for i, w in enumerate(widths)]
    out.append("<w:tr>" + "".join(numbers) + "</w:tr>")
    for r in rows:
        code = by_cell.get((code_col, r), "")
        if not code:
            continue
        name = by_cell.get((1, r), "")
        total = code == "X"
        row = [cell(para(run(name, bold=total)), widths[0]),
               cell(para(run(code + " ", bold=total), run("@" + code + "@", hidden=True), centre=True), widths[1])]
        for _ in data_cols:
            row.append(cell(para(run("P#" if total else "", bold=total), right=True), widths[2]))
        out.append("<w:tr>" + "".join(row) + "</w:tr>")
    out.append("</w:tbl>")
    return "".join(out)


def document(kods):
    first = forms[kods[0]]
    body = [
        para(run("@name@", bold=True, size=26), centre=True),
        para(run("Код за ЄДРПОУ: @KOD_ZKPO@    Територія: @ter@ (@koatuu@)")),
        para(run("Вид економічної діяльності: @dial@ (КВЕД @kved@)")),
        para(run("Організаційно-правова форма господарювання: @n_kopfg@ (КОПФГ @kopfg@)")),
        para(run("Середня кількість працівників: @cnt_worker@")),
        para(run("Адреса, телефон: @citi@")),
        para(run("Звітний період: @kvartal@ (станом на @day@.@month@.@year2@)")),
        para(run("Код класифікації: @klas@   Вид фонду: @fond@   Вид коштів: @kosh@   Замовлення: @zam@")),
    ]
    for kod in kods:
        form = forms[kod]
        body.append(para(run(form["NAME_FORM"], bold=True, size=24), centre=True))
        body.append(para(run("Одиниця виміру: грн" if form["KOD_TYPE_ZVITNOST"] == "1" else "Одиниця виміру: тис. грн"),
                         right=True))
        body.append(sheet_table(kod))
        body.append(para())
    body += [
        para(run("Керівник ____________________ @boss@")),
        para(run("Головний бухгалтер ____________________ @buh@")),
        para(run("\"@DAY_DANPER@\" @MONTH_DANPER@ @fin_date@")),
    ]
    section = '<w:sectPr><w:headerReference w:type="default" r:id="rIdHeader"/>' \
              '<w:footerReference w:type="default" r:id="rIdFooter"/>' \
              '<w:pgSz w:w="16838" w:h="11906" w:orient="landscape"/>' \
              '<w:pgMar w:top="851" w:right="851" w:bottom="851" w:left="1134" w:header="454" w:footer="454" ' \
              'w:gutter="0"/></w:sectPr>'
    return f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<w:document {W}><w:body>' + \
        "".join(body) + section + "</w:body></w:document>\n"


groups = {}
for kod, form in sorted(forms.items()):
    if form["FILE_NAME2"]:
        groups.setdefault(form["FILE_NAME2"], []).append(kod)
for name, kods in groups.items():
    folder = os.path.join(OUT, os.path.splitext(name)[0], "word")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "document.xml"), "w", encoding="utf-8") as f:
        f.write(document(kods))
    print(name, kods)
