// Code pages of the fonts an RTF document names, and the table of the control words it reads.
#include "platform/Cp1252.h"
#include "platform/RtfReader.h"

#include <QStringDecoder>

namespace rtf {

int codePageOfCharset(int charset) {
    switch (charset) {
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 254:
        return 437;
    case 255:
        return 850;
    default:
        return 0;
    }
}

namespace {

// ---- Code pages ----

const char* codecNameOf(int codePage) {
    switch (codePage) {
    case 437:
        return "IBM437";
    case 850:
        return "IBM850";
    case 874:
        return "windows-874";
    case 932:
        return "Shift_JIS";
    case 936:
        return "GBK";
    case 949:
        return "windows-949";
    case 950:
        return "Big5";
    case 1250:
        return "windows-1250";
    case 1251:
        return "windows-1251";
    case 1253:
        return "windows-1253";
    case 1254:
        return "windows-1254";
    case 1255:
        return "windows-1255";
    case 1256:
        return "windows-1256";
    case 1257:
        return "windows-1257";
    case 1258:
        return "windows-1258";
    case 10000:
        return "macintosh";
    default:
        return nullptr;
    }
}

} // namespace

QString CodePages::decode(const QByteArray& bytes, int codePage) {
    if (codePage != 1252) {
        if (QStringDecoder* d = decoderFor(codePage)) return d->decode(bytes);
    }
    QString out;
    out.reserve(bytes.size());
    for (char b : bytes)
        out += cp1252::charOf(static_cast<uchar>(b));
    return out;
}

QStringDecoder* CodePages::decoderFor(int codePage) {
    auto it = m_decoders.find(codePage);
    if (it != m_decoders.end()) return it->second.get();
    std::unique_ptr<QStringDecoder> d;
    if (const char* name = codecNameOf(codePage)) {
        d = std::make_unique<QStringDecoder>(name, QStringConverter::Flag::Stateless);
        if (!d->isValid()) d.reset();
    }
    QStringDecoder* raw = d.get();
    m_decoders.emplace(codePage, std::move(d));
    return raw;
}

const std::unordered_map<std::string_view, Kw>& keywords() {
    static const std::unordered_map<std::string_view, Kw> map = [] {
        std::unordered_map<std::string_view, Kw> m{
            {"fonttbl", Kw::FontTbl},
            {"colortbl", Kw::ColorTbl},
            {"listtable", Kw::ListTableKw},
            {"list", Kw::ListKw},
            {"listlevel", Kw::ListLevelKw},
            {"listoverridetable", Kw::ListOverrideTableKw},
            {"listoverride", Kw::ListOverrideKw},
            {"pn", Kw::PnKw},
            {"deff", Kw::Deff},
            {"ansicpg", Kw::Ansicpg},
            {"mac", Kw::Mac},
            {"pc", Kw::Pc},
            {"pca", Kw::Pca},
            {"uc", Kw::Uc},
            {"u", Kw::U},
            {"f", Kw::F},
            {"fcharset", Kw::Fcharset},
            {"red", Kw::Red},
            {"green", Kw::Green},
            {"blue", Kw::Blue},
            {"levelnfc", Kw::Levelnfc},
            {"levelnfcn", Kw::Levelnfc},
            {"listid", Kw::Listid},
            {"ls", Kw::Ls},
            {"ilvl", Kw::Ilvl},
            {"plain", Kw::Plain},
            {"fs", Kw::Fs},
            {"b", Kw::B},
            {"i", Kw::I},
            {"ulnone", Kw::Ulnone},
            {"strike", Kw::Strike},
            {"striked", Kw::Strike},
            {"v", Kw::V},
            {"cf", Kw::Cf},
            {"cb", Kw::Cb},
            {"highlight", Kw::Cb},
            {"chcbpat", Kw::Cb},
            {"super", Kw::Super},
            {"sub", Kw::Sub},
            {"nosupersub", Kw::NoSuperSub},
            {"pard", Kw::Pard},
            {"ql", Kw::Ql},
            {"qc", Kw::Qc},
            {"qr", Kw::Qr},
            {"qj", Kw::Qj},
            {"li", Kw::Li},
            {"ri", Kw::Ri},
            {"fi", Kw::Fi},
            {"sb", Kw::Sb},
            {"sa", Kw::Sa},
            {"pnlvlblt", Kw::Pnlvlblt},
            {"pnlvlbody", Kw::Pnlvlbody},
            {"pnlvl", Kw::Pnlvl},
            {"pndec", Kw::Pndec},
            {"pnucltr", Kw::Pnucltr},
            {"pnlcltr", Kw::Pnlcltr},
            {"pnucrm", Kw::Pnucrm},
            {"pnlcrm", Kw::Pnlcrm},
            {"par", Kw::Par},
            {"sect", Kw::Par},
            {"page", Kw::Par},
            {"row", Kw::Par},
            {"line", Kw::Line},
            {"tab", Kw::Tab},
            {"cell", Kw::Tab},
            {"nestcell", Kw::Tab},
            {"emdash", Kw::Emdash},
            {"endash", Kw::Endash},
            {"emspace", Kw::Emspace},
            {"enspace", Kw::Enspace},
            {"bullet", Kw::Bullet},
            {"lquote", Kw::Lquote},
            {"rquote", Kw::Rquote},
            {"ldblquote", Kw::Ldblquote},
            {"rdblquote", Kw::Rdblquote},
        };
        // Destinations whose content is not document text.
        for (const char* d : {"pntext",
                              "listtext",
                              "pntxtb",
                              "pntxta",
                              "fldinst",
                              "pict",
                              "info",
                              "stylesheet",
                              "header",
                              "headerl",
                              "headerr",
                              "headerf",
                              "footer",
                              "footerl",
                              "footerr",
                              "footerf",
                              "footnote",
                              "annotation",
                              "xe",
                              "tc",
                              "txe",
                              "rxe",
                              "themedata",
                              "colorschememapping",
                              "latentstyles",
                              "datastore",
                              "xmlnstbl",
                              "rsidtbl",
                              "generator",
                              "mmathPr",
                              "pgdsctbl",
                              "userprops",
                              "nonshppict",
                              "shp",
                              "shpinst",
                              "sp",
                              "sn",
                              "sv",
                              "leveltext",
                              "levelnumbers",
                              "listname",
                              "bkmkstart",
                              "bkmkend",
                              "filetbl",
                              "revtbl",
                              "listpicture",
                              "ftnsep",
                              "ftnsepc",
                              "ftncn",
                              "aftnsep",
                              "aftnsepc",
                              "aftncn",
                              "objdata",
                              "objclass",
                              "objname",
                              "template",
                              "author",
                              "title",
                              "subject",
                              "operator",
                              "keywords",
                              "comment",
                              "doccomm",
                              "company",
                              "manager",
                              "category",
                              "falt",
                              "panose",
                              "fontemb",
                              "fontfile",
                              "docvar",
                              "protusertbl",
                              "wgrffmtfilter",
                              "passwordhash",
                              "atnid",
                              "atnauthor",
                              "atndate",
                              "atnref",
                              "atrfstart",
                              "atrfend",
                              "blipuid",
                              "picprop",
                              "defchp",
                              "defpap",
                              "pgptbl",
                              "ud",
                              "upr"})
            m.emplace(d, Kw::SkipDest);
        return m;
    }();
    return map;
}

// The underline family: \ul, \uld, \uldb, \ulwave... but not the underline colour \ulc.
bool isUnderlineWord(std::string_view w) {
    return w.size() >= 2 && w.substr(0, 2) == "ul" && w != "ulnone" && w != "ulc";
}

} // namespace rtf
