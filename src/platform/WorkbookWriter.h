#pragma once
// Writes an OOXML workbook (.xlsx) directly, without any spreadsheet program: sheets, cells of
// text, number and date with formats, bold and other font settings, column widths, merged
// cells. Rows and columns are counted from 0.
//
// Text cells are stored as text (codes such as "00042" keep their leading zeros), numbers as
// numbers with their display format, written with the file format's invariant separators
// ("#,##0.00"). The file is assembled when close() runs; the constructor already creates it, so
// a path that cannot be written fails at once.
//
// Column widths can be fitted to what was written (fitColumns): the writer remembers the widest
// text of every column as it is written.
#include <QColor>
#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <memory>
#include <stdexcept>
#include <vector>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

// A failure of the writer, with a Portuguese message.
class WorkbookError : public std::runtime_error {
public:
    explicit WorkbookError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

// How a cell looks. Empty or zero members mean the workbook's default.
struct CellFormat {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    QString fontName;
    double fontSize = 0;
    QColor fontColor;
    QColor background;
    // Number format code with invariant separators: "0", "#,##0.00", "dd/mm/yyyy".
    QString numberFormat;
    enum class Align { Default, Left, Center, Right } align = Align::Default;
    bool verticalCenter = false;
    bool wrap = false;
    bool border = false; // a thin border on all four sides

    bool operator==(const CellFormat& o) const;
    QString key() const;
};

class WorkbookWriter {
public:
    struct Options {
        // Rows are written to a temporary file as soon as the next row starts: large sheets
        // take little memory, but every sheet must be written in row order and merged cells
        // are not available.
        bool constantMemory = false;
    };

    // A format handle; 0 is the default format.
    using Format = int;

    // Creates the file (replacing one of the same name); throws WorkbookError when it cannot.
    explicit WorkbookWriter(const QString& path);
    WorkbookWriter(const QString& path, Options options);
    // Discards an unclosed workbook: the file stays as created (empty) unless close() ran.
    ~WorkbookWriter();
    WorkbookWriter(const WorkbookWriter&) = delete;
    WorkbookWriter& operator=(const WorkbookWriter&) = delete;

    const QString& path() const { return m_path; }

    // Adds a sheet and returns its index; an empty name gives "Plan1", "Plan2", ...
    // Characters a sheet name may not hold ([]:*?/\) become "_", and the name is cut to 31.
    int addSheet(const QString& name = QString());
    int sheetCount() const { return static_cast<int>(m_sheets.size()); }

    // The same format is handed out once and reused.
    Format format(const CellFormat& f);

    void writeText(int sheet, int row, int col, const QString& text, Format fmt = 0);
    void writeNumber(int sheet, int row, int col, double value, Format fmt = 0);
    // A date cell; a format without a number format shows "dd/mm/yyyy". Dates before 1900
    // (which the file format cannot hold as dates) are written as text.
    void writeDate(int sheet, int row, int col, const QDate& date, Format fmt = 0);
    void writeDateTime(int sheet, int row, int col, const QDateTime& value, Format fmt = 0);
    void writeBlank(int sheet, int row, int col, Format fmt);
    // Merges the range and writes the text into it (not in constant-memory mode).
    void mergeCells(int sheet, int firstRow, int firstCol, int lastRow, int lastCol, const QString& text,
                    Format fmt = 0);

    // Width in characters of the default font.
    void setColumnWidth(int sheet, int firstCol, int lastCol, double width);
    void setRowHeight(int sheet, int row, double points);
    // Sets every written column's width from the widest text written into it (numbers and
    // dates by their formatted text), within [minimum, 255].
    void fitColumns(int sheet, double minimum = 4);
    // The width fitColumns would give a column (0 when nothing was written in it).
    double fittedWidth(int sheet, int col) const;

    // Assembles and writes the file; throws WorkbookError when that fails. Further writes are
    // refused.
    void close();
    bool closed() const { return m_wb == nullptr; }

    // Estimated width, in characters of the default font, of a text in a cell.
    static double textWidth(const QString& text, bool bold = false);

private:
    struct Sheet {
        lxw_worksheet* ws = nullptr;
        std::vector<double> widths; // widest written text per column
    };
    Sheet& sheetAt(int sheet);
    lxw_format* lxwFormat(Format f) const;
    void check(int err, const char* what);
    void noteWidth(Sheet& s, int col, double width);
    QString numberText(double value, Format fmt) const;

    QString m_path;
    lxw_workbook* m_wb = nullptr;
    std::vector<Sheet> m_sheets;
    std::vector<lxw_format*> m_formats{nullptr};
    std::vector<CellFormat> m_formatDefs{CellFormat{}};
    QHash<QString, Format> m_formatIndex;
    QByteArray m_tmpdir;
};
