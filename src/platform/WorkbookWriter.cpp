#include "platform/WorkbookWriter.h"
#include <QFile>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <xlsxwriter.h>

namespace {
// The file format's limits.
constexpr int kMaxText = 32767;
constexpr double kMaxWidth = 255;

QByteArray utf8(const QString& text) {
    // XML cannot carry most control characters; they become blanks. Over-long texts are cut
    // to what a cell can hold.
    QString t = text.size() > kMaxText ? text.left(kMaxText) : text;
    for (QChar& c : t) {
        const char16_t u = c.unicode();
        if ((u < 0x20 && u != '\t' && u != '\n' && u != '\r') || u == 0xFFFE || u == 0xFFFF)
            c = QLatin1Char(' ');
    }
    return t.toUtf8();
}

uint32_t rgb(const QColor& c) {
    return (static_cast<uint32_t>(c.red()) << 16) | (static_cast<uint32_t>(c.green()) << 8) |
           static_cast<uint32_t>(c.blue());
}
} // namespace

bool CellFormat::operator==(const CellFormat& o) const {
    return key() == o.key();
}

QString CellFormat::key() const {
    return QStringList{QString::number(bold),
                       QString::number(italic),
                       QString::number(underline),
                       fontName,
                       QString::number(fontSize),
                       fontColor.isValid() ? fontColor.name() : QString(),
                       background.isValid() ? background.name() : QString(),
                       numberFormat,
                       QString::number(static_cast<int>(align)),
                       QString::number(verticalCenter),
                       QString::number(wrap),
                       QString::number(border)}
        .join(QChar(0x1F));
}

WorkbookWriter::WorkbookWriter(const QString& path) : WorkbookWriter(path, Options{}) {}

WorkbookWriter::WorkbookWriter(const QString& path, Options options) : m_path(path) {
    // The library writes the file only when it closes; creating it now reports a folder that
    // does not exist or a file that cannot be replaced before any work is done.
    QFile probe(path);
    if (!probe.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw WorkbookError("Não foi possível criar o arquivo " + path + ": " + probe.errorString());
    probe.close();
    lxw_workbook_options opt{};
    opt.constant_memory = options.constantMemory ? LXW_TRUE : LXW_FALSE;
    opt.use_zip64 = LXW_FALSE;
    opt.tmpdir = nullptr;
    const QByteArray name = QFile::encodeName(path);
    m_wb = workbook_new_opt(name.constData(), &opt);
    if (!m_wb) throw WorkbookError("Não foi possível criar a planilha " + path + ".");
}

WorkbookWriter::~WorkbookWriter() {
    if (m_wb) {
        // Without a close the workbook is thrown away; the library only frees its memory
        // through workbook_close, which writes the file: let it write what it has.
        workbook_close(m_wb);
        m_wb = nullptr;
    }
}

void WorkbookWriter::check(int err, const char* what) {
    if (err == LXW_NO_ERROR) return;
    throw WorkbookError(
        QString("Erro ao gravar a planilha (%1): %2").arg(what, lxw_strerror(static_cast<lxw_error>(err))));
}

int WorkbookWriter::addSheet(const QString& name) {
    if (!m_wb) throw WorkbookError("A planilha já foi fechada.");
    QString n = name.isEmpty() ? QString("Plan%1").arg(m_sheets.size() + 1) : name;
    for (QChar& c : n)
        if (QStringLiteral("[]:*?/\\").contains(c)) c = QLatin1Char('_');
    n = n.left(31);
    const QByteArray u = utf8(n);
    lxw_worksheet* ws = workbook_add_worksheet(m_wb, u.constData());
    if (!ws) throw WorkbookError("Nome de folha inválido ou repetido: " + n);
    m_sheets.push_back(Sheet{ws, {}});
    return static_cast<int>(m_sheets.size()) - 1;
}

WorkbookWriter::Sheet& WorkbookWriter::sheetAt(int sheet) {
    if (!m_wb) throw WorkbookError("A planilha já foi fechada.");
    if (sheet < 0 || sheet >= static_cast<int>(m_sheets.size()))
        throw WorkbookError(QString("Folha %1 inexistente na planilha.").arg(sheet));
    return m_sheets[static_cast<size_t>(sheet)];
}

WorkbookWriter::Format WorkbookWriter::format(const CellFormat& f) {
    if (!m_wb) throw WorkbookError("A planilha já foi fechada.");
    const QString k = f.key();
    if (auto it = m_formatIndex.constFind(k); it != m_formatIndex.constEnd()) return *it;
    lxw_format* x = workbook_add_format(m_wb);
    if (f.bold) format_set_bold(x);
    if (f.italic) format_set_italic(x);
    if (f.underline) format_set_underline(x, LXW_UNDERLINE_SINGLE);
    if (!f.fontName.isEmpty()) format_set_font_name(x, utf8(f.fontName).constData());
    if (f.fontSize > 0) format_set_font_size(x, f.fontSize);
    if (f.fontColor.isValid()) format_set_font_color(x, rgb(f.fontColor));
    if (f.background.isValid()) {
        format_set_pattern(x, LXW_PATTERN_SOLID);
        format_set_bg_color(x, rgb(f.background));
    }
    if (!f.numberFormat.isEmpty()) format_set_num_format(x, utf8(f.numberFormat).constData());
    switch (f.align) {
    case CellFormat::Align::Left:
        format_set_align(x, LXW_ALIGN_LEFT);
        break;
    case CellFormat::Align::Center:
        format_set_align(x, LXW_ALIGN_CENTER);
        break;
    case CellFormat::Align::Right:
        format_set_align(x, LXW_ALIGN_RIGHT);
        break;
    case CellFormat::Align::Default:
        break;
    }
    if (f.verticalCenter) format_set_align(x, LXW_ALIGN_VERTICAL_CENTER);
    if (f.wrap) format_set_text_wrap(x);
    if (f.border) format_set_border(x, LXW_BORDER_THIN);
    m_formats.push_back(x);
    m_formatDefs.push_back(f);
    const Format id = static_cast<Format>(m_formats.size()) - 1;
    m_formatIndex.insert(k, id);
    return id;
}

lxw_format* WorkbookWriter::lxwFormat(Format f) const {
    if (f <= 0 || f >= static_cast<Format>(m_formats.size())) return nullptr;
    return m_formats[static_cast<size_t>(f)];
}

void WorkbookWriter::noteWidth(Sheet& s, int col, double width) {
    if (col < 0) return;
    if (static_cast<size_t>(col) >= s.widths.size()) s.widths.resize(static_cast<size_t>(col) + 1, 0);
    double& w = s.widths[static_cast<size_t>(col)];
    if (width > w) w = width;
}

namespace {
// The width of one character relative to the digit "0" (every cell of a large export passes
// here, so the classes are a switch, not a search).
double charWidth(QChar c) {
    const char16_t u = c.unicode();
    switch (u) {
    case u'i':
    case u'l':
    case u'j':
    case u't':
    case u'f':
    case u'r':
    case u'I':
    case u'.':
    case u',':
    case u';':
    case u':':
    case u'\'':
    case u'!':
    case u'|':
    case u'(':
    case u')':
    case u'[':
    case u']':
    case u' ':
        return 0.55;
    case u'm':
    case u'w':
    case u'M':
    case u'W':
    case u'@':
    case u'%':
        return 1.45;
    default:
        break;
    }
    if (u >= u'0' && u <= u'9') return 1.0;
    if (c.isUpper()) return 1.15;
    return u > 0x2E80 ? 2.0 : 1.0;
}
} // namespace

double WorkbookWriter::textWidth(const QString& text, bool bold) {
    // Widths relative to the digit "0" of the default font; the widest line counts.
    double widest = 0, line = 0;
    for (const QChar c : text) {
        if (c == QLatin1Char('\n')) {
            widest = std::max(widest, line);
            line = 0;
            continue;
        }
        line += charWidth(c);
    }
    widest = std::max(widest, line);
    return bold ? widest * 1.1 : widest;
}

QString WorkbookWriter::numberText(double value, Format fmt) const {
    const QString code = fmt > 0 && fmt < static_cast<Format>(m_formatDefs.size())
                             ? m_formatDefs[static_cast<size_t>(fmt)].numberFormat
                             : QString();
    if (code.isEmpty() || code.compare("General", Qt::CaseInsensitive) == 0) {
        // Whole numbers (keys, counts) are most cells of a large export: their digits directly.
        if (value == std::trunc(value) && std::fabs(value) < 1e11)
            return QString::number(static_cast<qint64>(value));
        return QString::number(value, 'g', 11);
    }
    // Decimals and grouping of the first section of the code.
    const QString first = code.section(';', 0, 0);
    const int dot = first.indexOf('.');
    int decimals = 0;
    if (dot >= 0)
        for (int i = dot + 1; i < first.size() && (first[i] == '0' || first[i] == '#'); ++i)
            ++decimals;
    QString t = QString::number(value, 'f', decimals);
    if (first.contains(',')) {
        const int intEnd =
            decimals > 0 ? static_cast<int>(t.size()) - decimals - 1 : static_cast<int>(t.size());
        const int start = t.startsWith('-') ? 1 : 0;
        for (int i = intEnd - 3; i > start; i -= 3)
            t.insert(i, ',');
    }
    // Literal text of the code (currency symbols, units) widens the cell too.
    for (const QChar c : first)
        if (!QStringLiteral("0#,.?;_\\\"*@ ").contains(c) && c.isLetter()) t += c;
    return t;
}

void WorkbookWriter::writeText(int sheet, int row, int col, const QString& text, Format fmt) {
    Sheet& s = sheetAt(sheet);
    const QByteArray u = utf8(text);
    check(worksheet_write_string(s.ws, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(col),
                                 u.constData(), lxwFormat(fmt)),
          "texto");
    const bool bold = fmt > 0 && fmt < static_cast<Format>(m_formatDefs.size()) &&
                      m_formatDefs[static_cast<size_t>(fmt)].bold;
    noteWidth(s, col, textWidth(text, bold));
}

void WorkbookWriter::writeNumber(int sheet, int row, int col, double value, Format fmt) {
    Sheet& s = sheetAt(sheet);
    check(worksheet_write_number(s.ws, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(col), value,
                                 lxwFormat(fmt)),
          "número");
    noteWidth(s, col, textWidth(numberText(value, fmt)));
}

void WorkbookWriter::writeDate(int sheet, int row, int col, const QDate& date, Format fmt) {
    writeDateTime(sheet, row, col, QDateTime(date, QTime(0, 0)), fmt);
}

void WorkbookWriter::writeDateTime(int sheet, int row, int col, const QDateTime& value, Format fmt) {
    Sheet& s = sheetAt(sheet);
    if (!value.isValid()) {
        check(worksheet_write_blank(s.ws, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(col),
                                    lxwFormat(fmt)),
              "data");
        return;
    }
    CellFormat def = fmt > 0 && fmt < static_cast<Format>(m_formatDefs.size())
                         ? m_formatDefs[static_cast<size_t>(fmt)]
                         : CellFormat{};
    const bool hasTime = value.time() != QTime(0, 0);
    if (def.numberFormat.isEmpty()) {
        def.numberFormat = hasTime ? "dd/mm/yyyy hh:mm:ss" : "dd/mm/yyyy";
        fmt = format(def);
    }
    if (value.date().year() < 1900) {
        writeText(sheet, row, col, value.toString(hasTime ? "dd/MM/yyyy hh:mm:ss" : "dd/MM/yyyy"));
        return;
    }
    lxw_datetime dt{value.date().year(),   value.date().month(),
                    value.date().day(),    value.time().hour(),
                    value.time().minute(), value.time().second() + value.time().msec() / 1000.0};
    check(worksheet_write_datetime(s.ws, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(col), &dt,
                                   lxwFormat(fmt)),
          "data");
    noteWidth(s, col, textWidth(QString(def.numberFormat).remove('\\').remove('"')));
}

void WorkbookWriter::writeBlank(int sheet, int row, int col, Format fmt) {
    Sheet& s = sheetAt(sheet);
    check(
        worksheet_write_blank(s.ws, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(col), lxwFormat(fmt)),
        "célula");
}

void WorkbookWriter::mergeCells(int sheet, int firstRow, int firstCol, int lastRow, int lastCol,
                                const QString& text, Format fmt) {
    Sheet& s = sheetAt(sheet);
    const QByteArray u = utf8(text);
    check(worksheet_merge_range(s.ws, static_cast<lxw_row_t>(firstRow), static_cast<lxw_col_t>(firstCol),
                                static_cast<lxw_row_t>(lastRow), static_cast<lxw_col_t>(lastCol),
                                u.constData(), lxwFormat(fmt)),
          "células mescladas");
}

void WorkbookWriter::setColumnWidth(int sheet, int firstCol, int lastCol, double width) {
    Sheet& s = sheetAt(sheet);
    check(worksheet_set_column(s.ws, static_cast<lxw_col_t>(firstCol), static_cast<lxw_col_t>(lastCol),
                               std::clamp(width, 0.0, kMaxWidth), nullptr),
          "largura de coluna");
}

void WorkbookWriter::setRowHeight(int sheet, int row, double points) {
    Sheet& s = sheetAt(sheet);
    check(worksheet_set_row(s.ws, static_cast<lxw_row_t>(row), points, nullptr), "altura de linha");
}

double WorkbookWriter::fittedWidth(int sheet, int col) const {
    if (sheet < 0 || sheet >= static_cast<int>(m_sheets.size())) return 0;
    const Sheet& s = m_sheets[static_cast<size_t>(sheet)];
    if (col < 0 || static_cast<size_t>(col) >= s.widths.size()) return 0;
    const double w = s.widths[static_cast<size_t>(col)];
    // A little room for the cell's margins.
    return w <= 0 ? 0 : std::min(kMaxWidth, w + 1.5);
}

void WorkbookWriter::fitColumns(int sheet, double minimum) {
    Sheet& s = sheetAt(sheet);
    for (size_t c = 0; c < s.widths.size(); ++c) {
        if (s.widths[c] <= 0) continue;
        setColumnWidth(sheet, static_cast<int>(c), static_cast<int>(c),
                       std::max(minimum, fittedWidth(sheet, static_cast<int>(c))));
    }
}

void WorkbookWriter::close() {
    if (!m_wb) return;
    lxw_workbook* wb = m_wb;
    m_wb = nullptr;
    const lxw_error err = workbook_close(wb);
    if (err != LXW_NO_ERROR)
        throw WorkbookError("Não foi possível gravar o arquivo " + m_path + ": " +
                            QString(lxw_strerror(err)));
}
