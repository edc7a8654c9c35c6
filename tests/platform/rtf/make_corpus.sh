#!/usr/bin/env bash
# Regenerates the LibreOffice part of the RTF corpus: writes a few HTML documents shaped like the
# laboratory's comments and standing texts, and has LibreOffice Writer convert them to RTF.
# Needs libreoffice-writer-nogui; the produced .rtf files are committed, so the tests do not.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat > "$work/lo-formatos.html" <<'HTML'
<html><head><meta charset="utf-8"></head><body>
<p style="font-family:Arial; font-size:10pt">Laudo de análise: <b>negrito</b>, <i>itálico</i>, <u>sublinhado</u>, <s>riscado</s>.</p>
<p style="font-family:'Times New Roman'; font-size:14pt; color:#c00000">Vermelho em Times 14 — “aspas” € ação</p>
<p style="text-indent:1cm">Parágrafo com recuo de primeira linha.<br>Quebra de linha.</p>
<p style="text-align:center">Centralizado</p>
<p>Grego: αβγ, símbolo ✓, emoji 😀</p>
</body></html>
HTML

cat > "$work/lo-listas.html" <<'HTML'
<html><head><meta charset="utf-8"></head><body>
<p>Recomendações:</p>
<ul><li>Manter o pH entre 10,5 e 11,5</li><li>Purgar a caldeira diariamente</li></ul>
<p>Procedimento:</p>
<ol><li>Coletar a amostra</li><li>Resfriar a 25 °C</li><li>Enviar ao laboratório</li></ol>
</body></html>
HTML

# A picture and a table: the reader skips the picture and shows the cells.
png=$(printf 'iVBORw0KGgoAAAANSUhEUgAAAAQAAAAECAIAAAAmkwkpAAAAEklEQVR4nGP8z4AATEhsPBwAM9EBBzDn4UwAAAAASUVORK5CYII=')
cat > "$work/lo-figura-tabela.html" <<HTML
<html><head><meta charset="utf-8"></head><body>
<p>Antes da figura <img src="data:image/png;base64,$png" width="40" height="40"> depois da figura.</p>
<table border="1"><tr><td>Ferro</td><td>0,30 ppm</td></tr><tr><td>Sílica</td><td>150 ppm</td></tr></table>
<p>Fim do comentário.</p>
</body></html>
HTML

cd "$work"
for f in *.html; do
    soffice --headless --infilter="HTML (StarWriter)" --convert-to rtf "$f" >/dev/null 2>&1
done
cp ./*.rtf "$here/"
ls -1 "$here"/lo-*.rtf
