/** @file QtCanvas.cpp
 * The 2D context's state follows the standard: a stack of drawing states (styles, line
 * settings, text settings, transform, clip) and one current path whose points are
 * fixed in device space when they are added, so later transforms do not move them.
 */
#include "canvas/QtCanvas.h"

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

#include <cmath>
#include <map>
#include <optional>
#include <sstream>
#include <vector>

namespace qy::canvas {
namespace {

using env::CanvasArg;

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string Trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return std::string(s);
}

/// A number as the engine prints it (shortest form that reads back).
std::string NumberText(double d) {
    if (d == std::floor(d) && std::fabs(d) < 1e15) return std::to_string(static_cast<long long>(d));
    for (int precision = 1; precision <= 17; ++precision) {
        std::ostringstream s;
        s.precision(precision);
        s << d;
        if (std::stod(s.str()) == d) return s.str();
    }
    return std::to_string(d);
}

double Hue(double p, double q, double t) {
    if (t < 0) t += 1;
    if (t > 1) t -= 1;
    if (t < 1.0 / 6) return p + (q - p) * 6 * t;
    if (t < 0.5) return q;
    if (t < 2.0 / 3) return p + (q - p) * (2.0 / 3 - t) * 6;
    return p;
}

/// The numbers of "rgb(…)"-like text: commas or blanks, percentages, a slash for alpha.
std::vector<std::pair<double, bool>> FunctionArgs(std::string_view inside) {
    std::vector<std::pair<double, bool>> out;
    std::string text(inside);
    for (char& c : text)
        if (c == ',' || c == '/') c = ' ';
    std::istringstream in(text);
    for (std::string word; in >> word;) {
        bool percent = !word.empty() && word.back() == '%';
        if (percent) word.pop_back();
        std::string unit;
        while (!word.empty() && std::isalpha(static_cast<unsigned char>(word.back()))) {
            unit.insert(unit.begin(), word.back());
            word.pop_back();
        }
        try {
            size_t used = 0;
            double d = std::stod(word, &used);
            if (used != word.size()) return {};
            if (unit == "turn") d *= 360;
            else if (unit == "rad") d = d * 180 / M_PI;
            else if (!unit.empty() && unit != "deg") return {};
            out.emplace_back(d, percent);
        } catch (...) {
            return {};
        }
    }
    return out;
}

int Channel(double v, bool percent) {
    return static_cast<int>(std::lround(std::clamp(percent ? v * 2.55 : v, 0.0, 255.0)));
}

QPainter::CompositionMode CompositionOf(const std::string& op, bool& known) {
    static const std::map<std::string, QPainter::CompositionMode> modes = {
        {"source-over", QPainter::CompositionMode_SourceOver},
        {"source-in", QPainter::CompositionMode_SourceIn},
        {"source-out", QPainter::CompositionMode_SourceOut},
        {"source-atop", QPainter::CompositionMode_SourceAtop},
        {"destination-over", QPainter::CompositionMode_DestinationOver},
        {"destination-in", QPainter::CompositionMode_DestinationIn},
        {"destination-out", QPainter::CompositionMode_DestinationOut},
        {"destination-atop", QPainter::CompositionMode_DestinationAtop},
        {"lighter", QPainter::CompositionMode_Plus},
        {"copy", QPainter::CompositionMode_Source},
        {"xor", QPainter::CompositionMode_Xor},
        {"multiply", QPainter::CompositionMode_Multiply},
        {"screen", QPainter::CompositionMode_Screen},
        {"overlay", QPainter::CompositionMode_Overlay},
        {"darken", QPainter::CompositionMode_Darken},
        {"lighten", QPainter::CompositionMode_Lighten},
        {"color-dodge", QPainter::CompositionMode_ColorDodge},
        {"color-burn", QPainter::CompositionMode_ColorBurn},
        {"hard-light", QPainter::CompositionMode_HardLight},
        {"soft-light", QPainter::CompositionMode_SoftLight},
        {"difference", QPainter::CompositionMode_Difference},
        {"exclusion", QPainter::CompositionMode_Exclusion},
    };
    auto it = modes.find(op);
    known = it != modes.end();
    return known ? it->second : QPainter::CompositionMode_SourceOver;
}

struct Font {
    std::string text = "10px sans-serif";
    QFont font;
};

/// The CSS font shorthand: [style] [variant] [weight] size[/line-height] families.
std::optional<Font> ParseFont(std::string_view input) {
    std::string text = Trim(input);
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    bool italic = false, smallCaps = false;
    int weight = 400;
    size_t i = 0;
    for (; i < words.size(); ++i) {
        std::string w = Lower(words[i]);
        if (w == "normal") continue;
        if (w == "italic" || w == "oblique") italic = true;
        else if (w == "small-caps") smallCaps = true;
        else if (w == "bold") weight = 700;
        else if (w == "bolder") weight = 900;
        else if (w == "lighter") weight = 100;
        else if (w.size() == 3 && std::isdigit(static_cast<unsigned char>(w[0])) && w.substr(1) == "00") weight = std::stoi(w);
        else break;
    }
    if (i >= words.size()) return std::nullopt;
    std::string sizeWord = words[i];
    if (size_t slash = sizeWord.find('/'); slash != std::string::npos) sizeWord = sizeWord.substr(0, slash);
    double px = 0;
    try {
        size_t used = 0;
        double v = std::stod(sizeWord, &used);
        std::string unit = Lower(sizeWord.substr(used));
        if (unit == "px") px = v;
        else if (unit == "pt") px = v * 4 / 3;
        else if (unit == "em" || unit == "rem") px = v * 10;
        else if (unit == "%") px = v / 10;
        else return std::nullopt;
    } catch (...) {
        return std::nullopt;
    }
    if (px < 0) return std::nullopt;
    std::string families;
    for (size_t k = i + 1; k < words.size(); ++k) families += (families.empty() ? "" : " ") + words[k];
    if (words[i].find('/') == std::string::npos && families.starts_with("/")) {
        // "16px / 2 Arial": the line height stands apart.
        std::istringstream rest(families);
        std::string slash, height;
        rest >> slash >> height;
        std::getline(rest, families);
        families = Trim(families);
    }
    if (families.empty()) return std::nullopt;
    Font f;
    QStringList list;
    for (QString family : QString::fromStdString(families).split(QLatin1Char(','))) {
        family = family.trimmed();
        if (family.size() >= 2 && (family.front() == QLatin1Char('"') || family.front() == QLatin1Char('\'')))
            family = family.mid(1, family.size() - 2);
        if (!family.isEmpty()) list << family;
    }
    f.font.setFamilies(list);
    if (!list.isEmpty()) {
        QString first = list.front().toLower();
        f.font.setStyleHint(first == QLatin1String("serif")       ? QFont::Serif
                            : first == QLatin1String("monospace") ? QFont::Monospace
                                                                  : QFont::SansSerif);
    }
    f.font.setPixelSize(std::max(1, static_cast<int>(std::lround(px))));
    f.font.setWeight(static_cast<QFont::Weight>(weight));
    f.font.setItalic(italic);
    if (smallCaps) f.font.setCapitalization(QFont::SmallCaps);
    // Read back as Chrome writes it: the parts that are not normal, the size in px.
    std::string out;
    if (italic) out += "italic ";
    if (smallCaps) out += "small-caps ";
    if (weight == 700) out += "bold ";
    else if (weight != 400) out += std::to_string(weight) + " ";
    out += NumberText(px) + "px " + families;
    f.text = out;
    return f;
}

struct Style {
    std::string text = "#000000";  ///< as the context reads it back; "" for a gradient
    QBrush brush{QColor(0, 0, 0)};
    int gradient = -1;             ///< the gradient's number when one is set
};

struct State {
    Style fill, stroke;
    double lineWidth = 1, miterLimit = 10, dashOffset = 0, alpha = 1;
    std::string cap = "butt", join = "miter", composite = "source-over", align = "start", baseline = "alphabetic";
    std::vector<double> dash;
    Font font;
    QTransform transform;
    std::optional<QPainterPath> clip;  ///< in device space
    bool smoothing = true;
};

class QtSurface final : public env::CanvasSurface {
public:
    QtSurface(int w, int h) { Resize(w, h); }

    void Resize(int w, int h) override {
        m_image = QImage(std::max(w, 0), std::max(h, 0), QImage::Format_ARGB32_Premultiplied);
        m_image.fill(Qt::transparent);
        m_shown = QImage();
        m_states.assign(1, State{});
        m_path = QPainterPath();
        m_gradients.clear();
    }
    int Width() const override { return m_image.width(); }
    int Height() const override { return m_image.height(); }
    const QImage& Image() const { return m_image; }

    std::string Call(std::string_view method, const std::vector<CanvasArg>& args) override;

    void DrawSurface(const CanvasSurface& source, const double* r) override {
        const auto& from = static_cast<const QtSurface&>(source).m_image;
        QImage copy = from.copy();  // a canvas may draw itself
        m_shown = QImage();
        Paint([&](QPainter& p) {
            p.setTransform(S().transform);
            p.drawImage(QRectF(r[4], r[5], r[6], r[7]), copy, QRectF(r[0], r[1], r[2], r[3]));
        });
    }

    std::vector<uint8_t> Read(int x, int y, int w, int h) const override {
        std::vector<uint8_t> out(static_cast<size_t>(w) * h * 4, 0);
        // A browser's image shown as it is reads back byte for byte: the premultiplied
        // pixels would round its translucent edges.
        QImage rgba = m_shown.isNull() ? m_image.convertToFormat(QImage::Format_RGBA8888) : m_shown;
        for (int row = 0; row < h; ++row) {
            int sy = y + row;
            if (sy < 0 || sy >= rgba.height()) continue;
            const uchar* line = rgba.constScanLine(sy);
            for (int col = 0; col < w; ++col) {
                int sx = x + col;
                if (sx < 0 || sx >= rgba.width()) continue;
                std::copy(line + sx * 4, line + sx * 4 + 4, out.begin() + (static_cast<size_t>(row) * w + col) * 4);
            }
        }
        return out;
    }

    void Write(const uint8_t* rgba, int w, int h, int dx, int dy) override {
        QImage src(rgba, w, h, w * 4, QImage::Format_RGBA8888);
        QImage converted = src.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        m_shown = QImage();
        QPainter p(&m_image);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(QPoint(dx, dy), converted);
    }

private:
    State& S() { return m_states.back(); }

    /// A solid style takes the global alpha into its colour (one rounding, as Chrome
    /// rounds); other styles are painted with it as the painter's opacity.
    QBrush Effective(const Style& style, bool& baked) {
        baked = style.brush.style() == Qt::SolidPattern;
        if (!baked) return style.brush;
        QColor c = style.brush.color();
        c.setAlpha(static_cast<int>(std::lround(c.alphaF() * std::clamp(S().alpha, 0.0, 1.0) * 255)));
        return QBrush(c);
    }

    template <typename F>
    void Paint(F draw, bool baked = false) {
        if (m_image.isNull()) return;
        QPainter p(&m_image);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setRenderHint(QPainter::SmoothPixmapTransform, S().smoothing);
        p.setRenderHint(QPainter::TextAntialiasing, true);
        bool known = true;
        p.setCompositionMode(CompositionOf(S().composite, known));
        p.setOpacity(baked ? 1.0 : std::clamp(S().alpha, 0.0, 1.0));
        if (S().clip) p.setClipPath(*S().clip);
        draw(p);
    }

    QPen Pen(bool& baked) {
        QPen pen(Effective(S().stroke, baked), S().lineWidth);
        pen.setCapStyle(S().cap == "round" ? Qt::RoundCap : S().cap == "square" ? Qt::SquareCap : Qt::FlatCap);
        pen.setJoinStyle(S().join == "round" ? Qt::RoundJoin : S().join == "bevel" ? Qt::BevelJoin : Qt::SvgMiterJoin);
        pen.setMiterLimit(S().miterLimit);
        if (!S().dash.empty() && S().lineWidth > 0) {
            QList<qreal> pattern;
            for (double d : S().dash) pattern << d / S().lineWidth;
            if (pattern.size() % 2) pattern << pattern;
            pen.setDashPattern(pattern);
            pen.setDashOffset(S().dashOffset / S().lineWidth);
        }
        return pen;
    }

    QPointF Map(double x, double y) { return S().transform.map(QPointF(x, y)); }

    void FillDevicePath(const QPainterPath& path) {
        bool baked = false;
        QBrush brush = Effective(S().fill, baked);
        Paint([&](QPainter& p) { p.fillPath(path, brush); }, baked);
    }
    void StrokeDevicePath(const QPainterPath& path) {
        // Stroked in user space, so that the line's width follows the transform.
        bool invertible = false;
        QTransform inverse = S().transform.inverted(&invertible);
        if (!invertible) return;
        QPainterPath user = inverse.map(path);
        bool baked = false;
        QPen pen = Pen(baked);
        Paint([&](QPainter& p) {
            p.setTransform(S().transform);
            p.strokePath(user, pen);
        }, baked);
    }

    std::string SetStyle(Style& style, const std::string& value) {
        if (value.rfind("gradient:", 0) == 0) {
            int n = std::atoi(value.c_str() + 9);
            auto it = m_gradients.find(n);
            if (it == m_gradients.end()) return "";
            style.gradient = n;
            style.text.clear();
            style.brush = QBrush(*it->second);
            return value;
        }
        QColor c;
        if (!ParseCssColor(value, c)) return "";
        style.gradient = -1;
        style.brush = QBrush(c);
        style.text = CssColorText(c);
        return style.text;
    }

    std::string Set(const std::string& name, const std::string& value, double number, bool isNumber);
    void ArcTo(double x1, double y1, double x2, double y2, double r);
    std::string Text(const std::vector<CanvasArg>& args, bool fill);
    std::string Measure(const std::string& text);
    std::string DataUrl(const std::string& type, double quality);
    std::string ShowDataUrl(const std::string& url);

    QImage m_image;
    QImage m_shown;  ///< a recorded image (RGBA, not premultiplied) while nothing has drawn over it
    std::vector<State> m_states;
    QPainterPath m_path;  ///< in device space
    std::map<int, std::unique_ptr<QGradient>> m_gradients;
};

double Num(const std::vector<CanvasArg>& a, size_t i, double fallback = 0) {
    if (i >= a.size()) return fallback;
    if (const double* d = std::get_if<double>(&a[i])) return *d;
    try {
        return std::stod(std::get<std::string>(a[i]));
    } catch (...) {
        return fallback;
    }
}

std::string Str(const std::vector<CanvasArg>& a, size_t i) {
    if (i >= a.size()) return "";
    if (const std::string* s = std::get_if<std::string>(&a[i])) return *s;
    return NumberText(std::get<double>(a[i]));
}

bool Finite(const std::vector<CanvasArg>& a, size_t from, size_t count) {
    for (size_t i = from; i < from + count; ++i)
        if (!std::isfinite(Num(a, i, NAN))) return false;
    return true;
}

std::string QtSurface::Set(const std::string& name, const std::string& value, double number, bool isNumber) {
    State& s = S();
    auto positive = [&](double& field) {
        if (isNumber && std::isfinite(number) && number > 0) field = number;
        return NumberText(field);
    };
    if (name == "fillStyle") return SetStyle(s.fill, value);
    if (name == "strokeStyle") return SetStyle(s.stroke, value);
    if (name == "lineWidth") return positive(s.lineWidth);
    if (name == "miterLimit") return positive(s.miterLimit);
    if (name == "lineDashOffset") {
        if (isNumber && std::isfinite(number)) s.dashOffset = number;
        return NumberText(s.dashOffset);
    }
    if (name == "globalAlpha") {
        if (isNumber && std::isfinite(number) && number >= 0 && number <= 1) s.alpha = number;
        return NumberText(s.alpha);
    }
    if (name == "globalCompositeOperation") {
        bool known = false;
        CompositionOf(value, known);
        if (known) s.composite = value;
        return s.composite;
    }
    if (name == "lineCap") {
        if (value == "butt" || value == "round" || value == "square") s.cap = value;
        return s.cap;
    }
    if (name == "lineJoin") {
        if (value == "miter" || value == "round" || value == "bevel") s.join = value;
        return s.join;
    }
    if (name == "textAlign") {
        if (value == "start" || value == "end" || value == "left" || value == "right" || value == "center") s.align = value;
        return s.align;
    }
    if (name == "textBaseline") {
        if (value == "alphabetic" || value == "top" || value == "hanging" || value == "middle" ||
            value == "ideographic" || value == "bottom")
            s.baseline = value;
        return s.baseline;
    }
    if (name == "font") {
        if (auto f = ParseFont(value)) s.font = *f;
        return s.font.text;
    }
    if (name == "imageSmoothingEnabled") {
        s.smoothing = value == "true";
        return s.smoothing ? "true" : "false";
    }
    return "";
}

void QtSurface::ArcTo(double x1, double y1, double x2, double y2, double r) {
    // In user space, as the standard describes it, then into the path.
    bool invertible = false;
    QTransform inverse = S().transform.inverted(&invertible);
    if (!invertible) return;
    if (m_path.elementCount() == 0) m_path.moveTo(Map(x1, y1));
    QPointF p0 = inverse.map(m_path.currentPosition());
    QPointF p1(x1, y1), p2(x2, y2);
    QPointF v1 = p0 - p1, v2 = p2 - p1;
    double l1 = std::hypot(v1.x(), v1.y()), l2 = std::hypot(v2.x(), v2.y());
    double cross = v1.x() * v2.y() - v1.y() * v2.x();
    if (r == 0 || l1 == 0 || l2 == 0 || std::fabs(cross) < 1e-12) {
        m_path.lineTo(Map(x1, y1));
        return;
    }
    double angle = std::acos(std::clamp((v1.x() * v2.x() + v1.y() * v2.y()) / (l1 * l2), -1.0, 1.0));
    double tangent = r / std::tan(angle / 2);
    QPointF t1 = p1 + v1 * (tangent / l1), t2 = p1 + v2 * (tangent / l2);
    QPointF bisector = v1 / l1 + v2 / l2;
    double bl = std::hypot(bisector.x(), bisector.y());
    QPointF center = p1 + bisector * (std::hypot(tangent, r) / bl);
    double a1 = std::atan2(t1.y() - center.y(), t1.x() - center.x());
    double a2 = std::atan2(t2.y() - center.y(), t2.x() - center.x());
    double sweep = a2 - a1;
    while (sweep > M_PI) sweep -= 2 * M_PI;
    while (sweep < -M_PI) sweep += 2 * M_PI;
    m_path.lineTo(Map(t1.x(), t1.y()));
    const int steps = std::max(8, static_cast<int>(std::fabs(sweep) * r / 2));
    for (int i = 1; i <= steps; ++i) {
        double a = a1 + sweep * i / steps;
        m_path.lineTo(Map(center.x() + r * std::cos(a), center.y() + r * std::sin(a)));
    }
}

std::string QtSurface::Measure(const std::string& text) {
    QFontMetricsF m(S().font.font);
    QString t = QString::fromStdString(text);
    double width = m.horizontalAdvance(t);
    QRectF tight = m.tightBoundingRect(t);
    double ascent = m.ascent(), descent = m.descent();
    double x = S().align == "center" ? width / 2 : (S().align == "right" || S().align == "end") ? width : 0;
    double baselineShift = S().baseline == "top" ? ascent : S().baseline == "hanging" ? ascent * 0.8
                           : S().baseline == "middle" ? (ascent - descent) / 2
                           : (S().baseline == "bottom" || S().baseline == "ideographic") ? -descent : 0;
    std::ostringstream out;
    out.precision(17);
    out << width << ',' << (x - tight.left()) << ',' << (tight.right() - x) << ',' << (-tight.top() - baselineShift)
        << ',' << (tight.bottom() + baselineShift) << ',' << (ascent - baselineShift) << ',' << (descent + baselineShift)
        << ',' << (0 - baselineShift) << ',' << (ascent * 0.8 - baselineShift) << ',' << (-descent - baselineShift);
    return out.str();
}

std::string QtSurface::Text(const std::vector<CanvasArg>& args, bool fill) {
    if (!Finite(args, 1, 2)) return "";
    QString t = QString::fromStdString(Str(args, 0));
    // Every kind of white space is a blank in canvas text.
    for (QChar& c : t)
        if (c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\f') || c == QLatin1Char('\r')) c = QLatin1Char(' ');
    double x = Num(args, 1), y = Num(args, 2);
    QFontMetricsF m(S().font.font);
    double width = m.horizontalAdvance(t);
    double scale = 1;
    if (args.size() > 3) {
        double maxWidth = Num(args, 3, NAN);
        if (!(maxWidth > 0)) return "";
        if (width > maxWidth) scale = maxWidth / width;
    }
    const std::string& a = S().align;
    double dx = a == "center" ? -width / 2 : (a == "right" || a == "end") ? -width : 0;
    const std::string& b = S().baseline;
    double dy = b == "top" ? m.ascent() : b == "hanging" ? m.ascent() * 0.8 : b == "middle" ? (m.ascent() - m.descent()) / 2
                : (b == "bottom" || b == "ideographic") ? -m.descent() : 0;
    QPainterPath glyphs;
    glyphs.addText(QPointF(dx, dy), S().font.font, t);
    QTransform place = QTransform::fromTranslate(x, y);
    place.scale(scale, 1);
    QTransform full = place * S().transform;
    bool baked = false;
    if (fill) {
        QBrush brush = Effective(S().fill, baked);
        Paint([&](QPainter& p) {
            p.setTransform(full);
            p.setPen(Qt::NoPen);
            p.setBrush(brush);
            p.drawPath(glyphs);
        }, baked);
    } else {
        QPen pen = Pen(baked);
        Paint([&](QPainter& p) {
            p.setTransform(full);
            p.strokePath(glyphs, pen);
        }, baked);
    }
    return "";
}

std::string QtSurface::DataUrl(const std::string& type, double quality) {
    if (m_image.width() == 0 || m_image.height() == 0) return "data:,";
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    std::string mime = Lower(type);
    bool jpeg = mime == "image/jpeg";
    if (jpeg) {
        // JPEG has no transparency: transparent pixels come out black, as in Chrome.
        QImage flat(m_image.size(), QImage::Format_RGB32);
        flat.fill(Qt::black);
        QPainter(&flat).drawImage(0, 0, m_image);
        int q = quality >= 0 && quality <= 1 ? static_cast<int>(std::lround(quality * 100)) : 92;
        flat.save(&buffer, "JPEG", q);
    } else {
        mime = "image/png";
        m_image.convertToFormat(QImage::Format_ARGB32).save(&buffer, "PNG");
    }
    return "data:" + mime + ";base64," + bytes.toBase64().toStdString();
}

/// Puts the pixels of an image given as a data address (a real browser's drawing the
/// profile recorded) in place of the surface's own; "1" when it decoded to the surface's size.
std::string QtSurface::ShowDataUrl(const std::string& url) {
    size_t comma = url.find(',');
    if (url.rfind("data:image/", 0) != 0 || comma == std::string::npos ||
        url.compare(comma - 7, 7, ";base64") != 0)
        return "";
    QByteArray bytes = QByteArray::fromBase64(QByteArray::fromRawData(url.data() + comma + 1,
                                                                      static_cast<qsizetype>(url.size() - comma - 1)));
    QImage decoded;
    if (!decoded.loadFromData(bytes) || decoded.size() != m_image.size()) return "";
    m_image = decoded.convertToFormat(m_image.format());
    m_shown = decoded.convertToFormat(QImage::Format_RGBA8888);
    return "1";
}

std::string QtSurface::Call(std::string_view methodView, const std::vector<CanvasArg>& a) {
    std::string method(methodView);
    State& s = S();
    static const char* const kPainting[] = {"fillRect", "strokeRect", "clearRect", "fill", "stroke", "fillText", "strokeText", "reset"};
    for (const char* painting : kPainting)
        if (method == painting) m_shown = QImage();
    if (method == "set") return Set(Str(a, 0), Str(a, 1), Num(a, 1, NAN), a.size() > 1 && std::holds_alternative<double>(a[1]));
    if (method == "save") {
        m_states.push_back(s);
        return "";
    }
    if (method == "restore") {
        if (m_states.size() > 1) m_states.pop_back();
        return "";
    }
    if (method == "reset") {
        Resize(Width(), Height());
        return "";
    }
    if (method == "fillRect" || method == "strokeRect" || method == "clearRect") {
        if (!Finite(a, 0, 4)) return "";
        QPainterPath rect;
        rect.addPolygon(s.transform.map(QPolygonF(QRectF(Num(a, 0), Num(a, 1), Num(a, 2), Num(a, 3)))));
        rect.closeSubpath();
        if (method == "fillRect") FillDevicePath(rect);
        else if (method == "strokeRect") StrokeDevicePath(rect);
        else {
            QPainter p(&m_image);
            p.setCompositionMode(QPainter::CompositionMode_Clear);
            if (s.clip) p.setClipPath(*s.clip);
            p.fillPath(rect, Qt::black);
        }
        return "";
    }
    if (method == "beginPath") {
        m_path = QPainterPath();
        return "";
    }
    if (method == "closePath") {
        if (m_path.elementCount()) m_path.closeSubpath();
        return "";
    }
    if (method == "moveTo" || method == "lineTo") {
        if (!Finite(a, 0, 2)) return "";
        QPointF p = Map(Num(a, 0), Num(a, 1));
        if (method == "moveTo" || m_path.elementCount() == 0) m_path.moveTo(p);
        else m_path.lineTo(p);
        return "";
    }
    if (method == "quadraticCurveTo" || method == "bezierCurveTo") {
        size_t n = method == "quadraticCurveTo" ? 4 : 6;
        if (!Finite(a, 0, n)) return "";
        if (m_path.elementCount() == 0) m_path.moveTo(Map(Num(a, 0), Num(a, 1)));
        if (n == 4) m_path.quadTo(Map(Num(a, 0), Num(a, 1)), Map(Num(a, 2), Num(a, 3)));
        else m_path.cubicTo(Map(Num(a, 0), Num(a, 1)), Map(Num(a, 2), Num(a, 3)), Map(Num(a, 4), Num(a, 5)));
        return "";
    }
    if (method == "rect") {
        if (!Finite(a, 0, 4)) return "";
        double x = Num(a, 0), y = Num(a, 1), w = Num(a, 2), h = Num(a, 3);
        m_path.moveTo(Map(x, y));
        m_path.lineTo(Map(x + w, y));
        m_path.lineTo(Map(x + w, y + h));
        m_path.lineTo(Map(x, y + h));
        m_path.closeSubpath();
        m_path.moveTo(Map(x, y));
        return "";
    }
    if (method == "arc" || method == "ellipse") {
        bool ellipse = method == "ellipse";
        size_t n = ellipse ? 7 : 5;
        if (!Finite(a, 0, n)) return "";
        double x = Num(a, 0), y = Num(a, 1), rx = Num(a, 2), ry = ellipse ? Num(a, 3) : rx;
        double rotation = ellipse ? Num(a, 4) : 0;
        double start = Num(a, ellipse ? 5 : 3), end = Num(a, ellipse ? 6 : 4);
        bool ccw = Num(a, ellipse ? 7 : 5) != 0;
        if (rx < 0 || ry < 0) return "IndexSizeError";
        double sweep = end - start;
        if (!ccw && sweep >= 2 * M_PI) sweep = 2 * M_PI;
        else if (ccw && -sweep >= 2 * M_PI) sweep = -2 * M_PI;
        else {
            sweep = std::fmod(sweep, 2 * M_PI);
            if (!ccw && sweep < 0) sweep += 2 * M_PI;
            if (ccw && sweep > 0) sweep -= 2 * M_PI;
        }
        int steps = std::max(4, static_cast<int>(std::ceil(std::fabs(sweep) * std::max(rx, ry) / 1.5)));
        steps = std::min(steps, 4096);
        double c = std::cos(rotation), sn = std::sin(rotation);
        for (int i = 0; i <= steps; ++i) {
            double t = start + sweep * i / steps;
            double px = rx * std::cos(t), py = ry * std::sin(t);
            QPointF p = Map(x + px * c - py * sn, y + px * sn + py * c);
            if (i == 0 && m_path.elementCount() == 0) m_path.moveTo(p);
            else m_path.lineTo(p);
        }
        return "";
    }
    if (method == "arcTo") {
        if (!Finite(a, 0, 5)) return "";
        if (Num(a, 4) < 0) return "IndexSizeError";
        ArcTo(Num(a, 0), Num(a, 1), Num(a, 2), Num(a, 3), Num(a, 4));
        return "";
    }
    if (method == "fill" || method == "clip" || method == "isPointInPath") {
        QPainterPath path = m_path;
        std::string rule = Str(a, method == "isPointInPath" ? 2 : 0);
        path.setFillRule(rule == "evenodd" ? Qt::OddEvenFill : Qt::WindingFill);
        if (method == "fill") FillDevicePath(path);
        else if (method == "clip") s.clip = s.clip ? s.clip->intersected(path) : path;
        else return path.contains(QPointF(Num(a, 0), Num(a, 1))) ? "1" : "0";
        return "";
    }
    if (method == "stroke") {
        StrokeDevicePath(m_path);
        return "";
    }
    if (method == "translate" || method == "scale" || method == "rotate" || method == "transform" ||
        method == "setTransform" || method == "resetTransform") {
        if (method == "resetTransform") {
            s.transform = QTransform();
            return "";
        }
        size_t n = method == "translate" || method == "scale" ? 2 : method == "rotate" ? 1 : 6;
        if (!Finite(a, 0, n)) return "";
        QTransform t;
        if (method == "translate") t.translate(Num(a, 0), Num(a, 1));
        else if (method == "scale") t.scale(Num(a, 0), Num(a, 1));
        else if (method == "rotate") t.rotateRadians(Num(a, 0));
        else t = QTransform(Num(a, 0), Num(a, 1), Num(a, 2), Num(a, 3), Num(a, 4), Num(a, 5));
        s.transform = method == "setTransform" ? t : t * s.transform;
        return "";
    }
    if (method == "getTransform") {
        const QTransform& t = s.transform;
        return NumberText(t.m11()) + "," + NumberText(t.m12()) + "," + NumberText(t.m21()) + "," + NumberText(t.m22()) +
               "," + NumberText(t.dx()) + "," + NumberText(t.dy());
    }
    if (method == "setLineDash") {
        std::vector<double> dash;
        for (size_t i = 0; i < a.size(); ++i) {
            double d = Num(a, i, NAN);
            if (!std::isfinite(d) || d < 0) return "";
            dash.push_back(d);
        }
        if (dash.size() % 2) dash.insert(dash.end(), dash.begin(), dash.end());
        s.dash = dash;
        return "";
    }
    if (method == "getLineDash") {
        std::string out;
        for (double d : s.dash) out += (out.empty() ? "" : ",") + NumberText(d);
        return out;
    }
    if (method == "fillText" || method == "strokeText") return Text(a, method == "fillText");
    if (method == "measureText") return Measure(Str(a, 0));
    if (method == "toDataURL") return DataUrl(Str(a, 0), Num(a, 1, -1));
    if (method == "showDataURL") return ShowDataUrl(Str(a, 0));
    if (method == "gradient") {
        // gradient, n, "linear"/"radial", coordinates…
        int n = static_cast<int>(Num(a, 0));
        std::unique_ptr<QGradient> g;
        if (Str(a, 1) == "linear" && Finite(a, 2, 4))
            g = std::make_unique<QLinearGradient>(Num(a, 2), Num(a, 3), Num(a, 4), Num(a, 5));
        else if (Str(a, 1) == "radial" && Finite(a, 2, 6))
            g = std::make_unique<QRadialGradient>(QPointF(Num(a, 5), Num(a, 6)), Num(a, 7), QPointF(Num(a, 2), Num(a, 3)),
                                                  Num(a, 4));
        if (!g) return "";
        g->setSpread(QGradient::PadSpread);
        m_gradients[n] = std::move(g);
        return "ok";
    }
    if (method == "colorStop") {
        auto it = m_gradients.find(static_cast<int>(Num(a, 0)));
        QColor c;
        double offset = Num(a, 1, NAN);
        if (!(offset >= 0 && offset <= 1)) return "IndexSizeError";
        if (!ParseCssColor(Str(a, 2), c)) return "SyntaxError";
        if (it != m_gradients.end()) it->second->setColorAt(offset, c);
        // A style that holds this gradient takes the new stop.
        for (State& st : m_states) {
            if (st.fill.gradient == it->first) st.fill.brush = QBrush(*it->second);
            if (st.stroke.gradient == it->first) st.stroke.brush = QBrush(*it->second);
        }
        return "";
    }
    return "";
}

}  // namespace

bool ParseCssColor(std::string_view input, QColor& color) {
    std::string text = Lower(Trim(input));
    if (text.empty()) return false;
    if (text == "transparent") {
        color = QColor(0, 0, 0, 0);
        return true;
    }
    if (text[0] == '#') {
        std::string hex = text.substr(1);
        for (char c : hex)
            if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
        auto nibble = [&](size_t i) { return std::stoi(hex.substr(i, 1), nullptr, 16) * 17; };
        auto byte = [&](size_t i) { return std::stoi(hex.substr(i, 2), nullptr, 16); };
        if (hex.size() == 3 || hex.size() == 4) {
            color = QColor(nibble(0), nibble(1), nibble(2), hex.size() == 4 ? nibble(3) : 255);
            return true;
        }
        if (hex.size() == 6 || hex.size() == 8) {
            color = QColor(byte(0), byte(2), byte(4), hex.size() == 8 ? byte(6) : 255);
            return true;
        }
        return false;
    }
    size_t open = text.find('(');
    if (open != std::string::npos && text.back() == ')') {
        std::string name = Trim(text.substr(0, open));
        auto args = FunctionArgs(std::string_view(text).substr(open + 1, text.size() - open - 2));
        if (args.size() != 3 && args.size() != 4) return false;
        double alpha = args.size() == 4 ? (args[3].second ? args[3].first / 100 : args[3].first) : 1;
        int a = static_cast<int>(std::lround(std::clamp(alpha, 0.0, 1.0) * 255));
        if (name == "rgb" || name == "rgba") {
            color = QColor(Channel(args[0].first, args[0].second), Channel(args[1].first, args[1].second),
                           Channel(args[2].first, args[2].second), a);
            return true;
        }
        if (name == "hsl" || name == "hsla") {
            double h = std::fmod(std::fmod(args[0].first, 360) + 360, 360) / 360;
            double sat = std::clamp(args[1].first / 100, 0.0, 1.0), l = std::clamp(args[2].first / 100, 0.0, 1.0);
            double q = l < 0.5 ? l * (1 + sat) : l + sat - l * sat, p = 2 * l - q;
            color = QColor(static_cast<int>(std::lround(Hue(p, q, h + 1.0 / 3) * 255)),
                           static_cast<int>(std::lround(Hue(p, q, h) * 255)),
                           static_cast<int>(std::lround(Hue(p, q, h - 1.0 / 3) * 255)), a);
            return true;
        }
        return false;
    }
    for (char c : text)
        if (!std::isalpha(static_cast<unsigned char>(c))) return false;
    QColor named = QColor::fromString(QString::fromStdString(text));
    if (!named.isValid()) return false;
    color = named;
    return true;
}

std::string CssColorText(const QColor& c) {
    char buffer[64];
    if (c.alpha() == 255) {
        std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x", c.red(), c.green(), c.blue());
        return buffer;
    }
    // The alpha byte in the fewest decimals that give it back.
    std::string alpha = "0";
    for (int decimals = 1; decimals <= 6; ++decimals) {
        double scale = std::pow(10, decimals);
        double v = std::round(c.alpha() / 255.0 * scale) / scale;
        if (std::lround(v * 255) == c.alpha()) {
            alpha = NumberText(v);
            break;
        }
    }
    std::snprintf(buffer, sizeof buffer, "rgba(%d, %d, %d, %s)", c.red(), c.green(), c.blue(), alpha.c_str());
    return buffer;
}

std::unique_ptr<env::CanvasSurface> NewSurface(int width, int height) {
    return std::make_unique<QtSurface>(width, height);
}


const QImage& SurfaceImage(const env::CanvasSurface& surface) { return static_cast<const QtSurface&>(surface).Image(); }

}  // namespace qy::canvas
