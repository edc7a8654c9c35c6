#pragma once
// What a report band holds: texts and memos, rich text, images, rules, shaded rectangles and the
// system texts (page number, print date and time). Geometry is in millimetres from the band's
// top-left corner (the left margin of the page). Events may change any property before a band
// prints; the change stays until it is changed again.
#include <QColor>
#include <QFont>
#include <QImage>
#include <QRectF>
#include <QString>
#include <QVariant>
#include <functional>
#include <optional>

class ReportSource;

// Lines around an element or a band.
struct ReportFrame {
    enum Side { None = 0, Left = 1, Top = 2, Right = 4, Bottom = 8, All = 15 };
    int sides = None;
    double widthMm = 0.26; // one pixel of a 96 dpi screen
    QColor color = Qt::black;

    static ReportFrame all(double widthMm = 0.26) { return {All, widthMm, Qt::black}; }
    bool any() const { return sides != None && widthMm > 0; }
};

// A pixel of the 96 dpi layouts the reports were drawn in, in millimetres.
constexpr double kReportPixelMm = 25.4 / 96.0;

class ReportElement {
public:
    enum class Kind { Text, RichText, Image, Line, Shape, System };

    ReportElement(Kind kind, const QString& name, const QRectF& rectMm)
        : m_kind(kind), m_name(name), m_rect(rectMm) {}
    virtual ~ReportElement() = default;
    ReportElement(const ReportElement&) = delete;
    ReportElement& operator=(const ReportElement&) = delete;

    Kind kind() const { return m_kind; }
    const QString& name() const { return m_name; }
    const QRectF& rect() const { return m_rect; }
    void setRect(const QRectF& mm) { m_rect = mm; }
    bool visible() const { return m_visible; }
    void setVisible(bool v) { m_visible = v; }
    // Moves down by as much as that element (printed before it in the band) grew: what sits
    // under a growing memo stays under it.
    ReportElement* shiftWith() const { return m_shiftWith; }
    void setShiftWith(ReportElement* above) { m_shiftWith = above; }
    // The element reaches down to the bottom of the band as printed (rules of a growing row).
    bool stretchToBand() const { return m_stretch; }
    void setStretchToBand(bool s) { m_stretch = s; }

private:
    Kind m_kind;
    QString m_name;
    QRectF m_rect;
    bool m_visible = true;
    bool m_stretch = false;
    ReportElement* m_shiftWith = nullptr;
};

// A text: a fixed caption, or a field of the band's source shown with a display format. With
// word wrap it breaks into lines within its width; with auto-stretch it grows downwards to hold
// every line (a memo), growing its band, and a band holding it may split across pages between
// lines. Without clipping, text wider or taller than the box is still drawn whole.
class ReportText : public ReportElement {
public:
    ReportText(const QString& name, const QRectF& rectMm, const QString& text = {})
        : ReportElement(Kind::Text, name, rectMm), m_text(text) {}

    const QString& text() const { return m_text; }
    void setText(const QString& t) { m_text = t; }
    // The field whose value fills the text each time the band prints (before its event runs).
    const QString& field() const { return m_field; }
    void setField(const QString& f) { m_field = f; }
    const QString& displayFormat() const { return m_format; }
    void setDisplayFormat(const QString& f) { m_format = f; }
    // Turns the field's value into text instead of the display format.
    void setFormatter(std::function<QString(const QVariant&)> f) { m_formatter = std::move(f); }
    const std::function<QString(const QVariant&)>& formatter() const { return m_formatter; }

    // Unset: the report's font.
    const std::optional<QFont>& font() const { return m_font; }
    void setFont(const QFont& f) { m_font = f; }
    QColor color() const { return m_color; }
    void setColor(const QColor& c) { m_color = c; }
    // Horizontal (left, right, centre) and vertical (top, centre, bottom) alignment in the box.
    Qt::Alignment alignment() const { return m_align; }
    void setAlignment(Qt::Alignment a) { m_align = a; }
    bool wordWrap() const { return m_wrap; }
    void setWordWrap(bool w) { m_wrap = w; }
    bool autoStretch() const { return m_stretch; }
    void setAutoStretch(bool s) { m_stretch = s; }
    bool clipping() const { return m_clip; }
    void setClipping(bool c) { m_clip = c; }
    const ReportFrame& frame() const { return m_frame; }
    void setFrame(const ReportFrame& f) { m_frame = f; }
    // Invalid: transparent.
    QColor background() const { return m_background; }
    void setBackground(const QColor& c) { m_background = c; }

private:
    QString m_text, m_field, m_format;
    std::function<QString(const QVariant&)> m_formatter;
    std::optional<QFont> m_font;
    QColor m_color = Qt::black;
    Qt::Alignment m_align = Qt::AlignLeft | Qt::AlignTop;
    bool m_wrap = false, m_stretch = false, m_clip = false;
    ReportFrame m_frame;
    QColor m_background;

protected:
    ReportText(Kind kind, const QString& name, const QRectF& rectMm) : ReportElement(kind, name, rectMm) {}
};

// Page number, page count and the date and time the report was printed (the clock's time at the
// start of the run, the same on every page), after an optional caption.
class ReportSystemText : public ReportText {
public:
    enum class Data { PageNumber, PageCount, PageOfPages, Date, Time, DateTime };

    ReportSystemText(const QString& name, const QRectF& rectMm, Data data, const QString& caption = {})
        : ReportText(Kind::System, name, rectMm), m_data(data) {
        setText(caption);
    }
    Data data() const { return m_data; }
    void setData(Data d) { m_data = d; }
    // Date "dd/mm/yyyy", time "hh:nn", page of pages "%1 de %2" unless set.
    void setValueFormat(const QString& f) { m_valueFormat = f; }
    const QString& valueFormat() const { return m_valueFormat; }
    bool needsPageCount() const { return m_data == Data::PageCount || m_data == Data::PageOfPages; }

private:
    Data m_data;
    QString m_valueFormat;
};

// Rich text from RTF (a field's value or a text set by an event); it grows its band and splits
// across pages between lines. A value that is not RTF prints as plain text.
class ReportRichText : public ReportElement {
public:
    ReportRichText(const QString& name, const QRectF& rectMm) : ReportElement(Kind::RichText, name, rectMm) {}

    const QString& rtf() const { return m_rtf; }
    void setRtf(const QString& rtf) { m_rtf = rtf; }
    const QString& field() const { return m_field; }
    void setField(const QString& f) { m_field = f; }
    // The font of text the RTF gives no font; unset: the report's font.
    const std::optional<QFont>& font() const { return m_font; }
    void setFont(const QFont& f) { m_font = f; }
    bool autoStretch() const { return m_stretch; }
    void setAutoStretch(bool s) { m_stretch = s; }
    const ReportFrame& frame() const { return m_frame; }
    void setFrame(const ReportFrame& f) { m_frame = f; }

private:
    QString m_rtf, m_field;
    std::optional<QFont> m_font;
    bool m_stretch = true;
    ReportFrame m_frame;
};

// A picture (JPEG, PNG, BMP through Qt's image readers). An empty image prints nothing.
class ReportImage : public ReportElement {
public:
    enum class Fit {
        Stretch,    // fills the box, proportions ignored
        KeepAspect, // as large as fits, centred
        Natural,    // its own size at its resolution, from the top-left corner, clipped to the box
    };
    ReportImage(const QString& name, const QRectF& rectMm) : ReportElement(Kind::Image, name, rectMm) {}

    const QImage& image() const { return m_image; }
    void setImage(const QImage& img) { m_image = img; }
    void clear() { m_image = QImage(); }
    // Loads the file; a missing or unreadable file leaves the image empty and returns false.
    bool loadFile(const QString& path);
    // Loads encoded bytes (a picture column); empty or unreadable bytes leave it empty.
    bool loadData(const QByteArray& bytes);
    Fit fit() const { return m_fit; }
    void setFit(Fit f) { m_fit = f; }
    const ReportFrame& frame() const { return m_frame; }
    void setFrame(const ReportFrame& f) { m_frame = f; }

private:
    QImage m_image;
    Fit m_fit = Fit::Stretch;
    ReportFrame m_frame;
};

// A horizontal or vertical rule: a bar of the given thickness from the box's top-left corner
// along its width (horizontal) or height (vertical).
class ReportLine : public ReportElement {
public:
    ReportLine(const QString& name, const QRectF& rectMm, Qt::Orientation o, double thicknessMm,
               const QColor& color)
        : ReportElement(Kind::Line, name, rectMm), m_orientation(o), m_thickness(thicknessMm),
          m_color(color) {}
    Qt::Orientation orientation() const { return m_orientation; }
    double thicknessMm() const { return m_thickness; }
    void setThicknessMm(double t) { m_thickness = t; }
    QColor color() const { return m_color; }
    void setColor(const QColor& c) { m_color = c; }

private:
    Qt::Orientation m_orientation;
    double m_thickness;
    QColor m_color;
};

// A rectangle, filled (shaded) and/or outlined.
class ReportShape : public ReportElement {
public:
    ReportShape(const QString& name, const QRectF& rectMm, const QColor& fill, const ReportFrame& frame)
        : ReportElement(Kind::Shape, name, rectMm), m_fill(fill), m_frame(frame) {}
    QColor fill() const { return m_fill; }
    void setFill(const QColor& c) { m_fill = c; }
    const ReportFrame& frame() const { return m_frame; }
    void setFrame(const ReportFrame& f) { m_frame = f; }

private:
    QColor m_fill;
    ReportFrame m_frame;
};
