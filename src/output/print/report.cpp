#include "output/print/report.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QRawFont>
#include <QSaveFile>

#include <algorithm>
#include <memory>
#include <vector>

namespace quill::print {

Item& Band::addText(const QRectF& rect, const QString& text, const QFont& font, int alignment) {
    Item& i = m_items.emplace_back();
    i.kind = ItemKind::Text;
    i.rect = rect;
    i.text = text;
    i.font = font;
    i.alignment = alignment;
    return i;
}

Item& Band::addLine(const QLineF& line, const QColor& pen, qreal width) {
    Item& i = m_items.emplace_back();
    i.kind = ItemKind::Line;
    i.rect = QRectF(line.p1(), line.p2());
    i.penColor = pen;
    i.penWidth = width;
    return i;
}

Item& Band::addFrame(const QRectF& rect, const QColor& pen, qreal width, const QColor& fill) {
    Item& i = m_items.emplace_back();
    i.kind = ItemKind::Frame;
    i.rect = rect;
    i.penColor = pen;
    i.penWidth = width;
    i.fill = fill;
    return i;
}

Item& Band::addCustom(const QRectF& rect, std::function<void(QPainter&, const QRectF&)> paint) {
    Item& i = m_items.emplace_back();
    i.kind = ItemKind::Custom;
    i.rect = rect;
    i.paint = std::move(paint);
    return i;
}

Band& Band::addChild(qreal h) {
    m_child = std::make_unique<Band>(h);
    return *m_child;
}

Report::Report() = default;
Report::~Report() = default;

namespace {
Band& ensure(std::unique_ptr<Band>& b) {
    if (!b) b = std::make_unique<Band>(0);
    return *b;
}
} // namespace

Band& Report::title() {
    return ensure(m_title);
}
Band& Report::pageHeader() {
    return ensure(m_pageHeader);
}
Band& Report::pageFooter() {
    return ensure(m_pageFooter);
}
Band& Report::summary() {
    return ensure(m_summary);
}
Band& Report::detail() {
    return ensure(m_detail);
}

Group& Report::addGroup(std::function<QVariant(int)> key, qreal headerHeight) {
    Group& g = m_groups.emplace_back();
    g.key = std::move(key);
    g.header = std::make_unique<Band>(headerHeight);
    return g;
}

SubDetail& Report::addSubDetail(qreal height) {
    SubDetail& s = m_subDetails.emplace_back();
    s.band = std::make_unique<Band>(height);
    return s;
}

// One printing pass: the painter, the vertical position and the page breaks.
struct Report::Pass {
    Report& r;
    QPagedPaintDevice& device;
    QPainter painter;
    qreal k = 1; // device pixels per unit
    qreal y = kMargin;
    bool pageOpen = false;
    bool pendingNewPage = false;
    bool bodyEmpty = true; // nothing but the page header on this page yet

    Pass(Report& report, QPagedPaintDevice& d) : r(report), device(d) {}

    // The fonts met, resolved for the device once: a single line is placed from its glyphs'
    // advances and drawn as one glyph run, without being laid out and shaped again on every
    // call (the reports are plain Latin text: no kerning or ligatures are lost that matter).
    struct Metricas {
        QFont font;
        QFontMetricsF fm;
        QRawFont raw;
    };
    std::vector<std::unique_ptr<Metricas>> metricas;
    const Metricas* actual = nullptr;
    QColor color;

    const Metricas& metricasDe(const QFont& f) {
        if (actual && actual->font == f) return *actual;
        for (const auto& m : metricas)
            if (m->font == f) return *m;
        const QFont enDispositivo(f, &device);
        metricas.push_back(std::make_unique<Metricas>(
            Metricas{f, QFontMetricsF(f, &device), QRawFont::fromFont(enDispositivo)}));
        return *metricas.back();
    }
    void usarFuente(const QFont& f, const QColor& c) {
        const Metricas& m = metricasDe(f);
        if (&m != actual) {
            painter.setFont(m.font);
            actual = &m;
        }
        if (c != color) {
            painter.setPen(c);
            color = c;
        }
    }
    // One line of text in a device rectangle: aligned, vertically centred or at the top or
    // bottom, clipped to the rectangle only when it does not fit.
    void linea(const Item& i, const QRectF& caja, const QString& t) {
        usarFuente(i.font, i.color);
        const QFontMetricsF& fm = actual->fm;
        const QRawFont& raw = actual->raw;
        QList<quint32> glifos = raw.isValid() ? raw.glyphIndexesForString(t) : QList<quint32>();
        // A character the font lacks (glyph 0) needs the system's fallback: the plain path.
        const bool directo = !glifos.isEmpty() && !glifos.contains(0u);
        QList<QPointF> posiciones;
        qreal w = 0;
        if (directo) {
            const QList<QPointF> avances = raw.advancesForGlyphIndexes(glifos);
            posiciones.reserve(avances.size());
            for (const QPointF& a : avances) {
                posiciones.append(QPointF(w, 0));
                w += a.x();
            }
        } else {
            w = fm.horizontalAdvance(t);
        }
        qreal x = caja.left();
        if (i.alignment & Qt::AlignRight)
            x = caja.right() - w;
        else if (i.alignment & Qt::AlignHCenter)
            x = caja.left() + (caja.width() - w) / 2;
        qreal base;
        if (i.alignment & Qt::AlignTop)
            base = caja.top() + fm.ascent();
        else if (i.alignment & Qt::AlignBottom)
            base = caja.bottom() - fm.descent();
        else
            base = caja.top() + (caja.height() - fm.height()) / 2 + fm.ascent();
        const bool recortar = w > caja.width() + 0.5;
        if (recortar) {
            painter.save();
            painter.setClipRect(caja);
            x = std::max(x, caja.left());
        }
        if (directo) {
            QGlyphRun run;
            run.setRawFont(raw);
            run.setGlyphIndexes(glifos);
            run.setPositions(posiciones);
            painter.drawGlyphRun(QPointF(x, base), run);
        } else {
            painter.drawText(QPointF(x, base), t);
        }
        if (recortar) painter.restore();
    }

    qreal footerHeight() const {
        return r.m_pageFooter && r.m_pageFooter->enabled ? r.m_pageFooter->height : 0;
    }
    qreal bottom() const { return kPageHeight - kMargin - footerHeight(); }

    QRectF toDevice(const QRectF& rect, qreal top) const {
        return QRectF((kMargin + rect.x()) * k, (top + rect.y()) * k, rect.width() * k,
                      rect.height() * k);
    }

    // The height a band takes with its wrapped texts.
    qreal heightOf(const Band& b) const {
        qreal h = b.height;
        if (!b.stretch) return h;
        for (const Item& i : b.items()) {
            if (!i.visible || i.kind != ItemKind::Text || !i.wordWrap) continue;
            const QFontMetricsF fm(i.font, &device);
            const QRectF need = fm.boundingRect(QRectF(0, 0, i.rect.width() * k, 1e9),
                                                i.alignment | Qt::TextWordWrap, i.text);
            h = std::max(h, i.rect.y() + need.height() / k + 2);
        }
        return h;
    }

    void paintBand(const Band& b, qreal h, qreal top) {
        if (b.color.isValid() && b.color.alpha() > 0)
            painter.fillRect(QRectF(kMargin * k, top * k, kBodyWidth * k, h * k), b.color);
        for (const Item& i : b.items()) {
            if (!i.visible) continue;
            switch (i.kind) {
            case ItemKind::Text: {
                const QString t = i.dynamicText ? i.dynamicText() : i.text;
                if (t.isEmpty()) break;
                QRectF rect = i.rect;
                if (i.wordWrap && b.stretch) rect.setHeight(h - rect.y());
                if (i.wordWrap) {
                    usarFuente(i.font, i.color);
                    painter.drawText(toDevice(rect, top), i.alignment | Qt::TextWordWrap, t);
                } else {
                    linea(i, toDevice(rect, top), t);
                }
                break;
            }
            case ItemKind::Line: {
                color = QColor();
                painter.setPen(QPen(i.penColor, std::max<qreal>(i.penWidth * k, 1)));
                const QRectF d = toDevice(i.rect, top);
                painter.drawLine(d.topLeft(), d.bottomRight());
                break;
            }
            case ItemKind::Frame: {
                if (i.fill.isValid()) painter.fillRect(toDevice(i.rect, top), i.fill);
                if (i.penWidth > 0) {
                    color = QColor();
                    painter.setPen(QPen(i.penColor, std::max<qreal>(i.penWidth * k, 1)));
                    painter.setBrush(Qt::NoBrush);
                    painter.drawRect(toDevice(i.rect, top));
                }
                break;
            }
            case ItemKind::Custom:
                if (i.paint) {
                    painter.save();
                    i.paint(painter, toDevice(i.rect, top));
                    painter.restore();
                    actual = nullptr;
                    color = QColor();
                }
                break;
            }
        }
    }

    void printFooter() {
        if (!r.m_pageFooter || !r.m_pageFooter->enabled) return;
        Band& f = *r.m_pageFooter;
        if (f.beforePrint && !f.beforePrint()) return;
        paintBand(f, f.height, kPageHeight - kMargin - f.height);
        if (f.afterPrint) f.afterPrint();
    }

    void openPage() {
        if (r.m_page > 0) device.newPage();
        ++r.m_page;
        pageOpen = true;
        pendingNewPage = false;
        y = kMargin;
        bodyEmpty = true;
        if (r.m_pageHeader && r.m_pageHeader->enabled &&
            (r.m_page > 1 || r.pageHeaderOnFirstPage)) {
            Band& ph = *r.m_pageHeader;
            if (!ph.beforePrint || ph.beforePrint()) {
                const qreal h = heightOf(ph);
                paintBand(ph, h, y);
                y += h;
                if (ph.afterPrint) ph.afterPrint();
            }
        }
    }

    void closePage() {
        if (!pageOpen) return;
        printFooter();
        pageOpen = false;
    }

    // Prints a band (and its child) when its hook lets it; true when it printed.
    bool print(Band* b) {
        if (!b || !b->enabled) return false;
        if (b->beforePrint && !b->beforePrint()) return false;
        const qreal h = heightOf(*b);
        if (pendingNewPage) {
            closePage();
        } else if (pageOpen && y + h > bottom() + 0.01 && !bodyEmpty) {
            closePage();
        }
        if (!pageOpen) openPage();
        paintBand(*b, h, y);
        y += h;
        bodyEmpty = false;
        if (b->afterPrint) b->afterPrint();
        if (b->newPageAfter) pendingNewPage = true;
        print(b->child());
        return true;
    }

    void run() {
        r.m_page = 0;
        r.m_row = -1;
        r.m_subRow = -1;
        if (r.beforePrint) r.beforePrint();
        openPage();
        print(r.m_title.get());
        std::vector<QVariant> keys(r.m_groups.size());
        for (int row = 0; row < r.rowCount; ++row) {
            r.m_row = row;
            r.m_subRow = -1;
            for (size_t g = 0; g < r.m_groups.size(); ++g) {
                const QVariant key = r.m_groups[g].key(row);
                if (row == 0 || key != keys[g]) {
                    keys[g] = key;
                    // An outer group that changes restarts the inner ones.
                    for (size_t inner = g + 1; inner < keys.size(); ++inner)
                        keys[inner] = QVariant();
                    print(r.m_groups[g].header.get());
                }
            }
            if (!print(r.m_detail.get())) continue;
            for (SubDetail& s : r.m_subDetails) {
                const int n = s.rowCount ? s.rowCount() : 0;
                if (n > 0 || s.header) {
                    r.m_subRow = -1;
                    print(s.header.get());
                }
                for (int sub = 0; sub < n; ++sub) {
                    r.m_subRow = sub;
                    print(s.band.get());
                }
                if (s.newPageAfter) pendingNewPage = true;
            }
        }
        r.m_row = -1;
        r.m_subRow = -1;
        // The summary follows the last row; a page break still pending makes no empty page.
        pendingNewPage = false;
        print(r.m_summary.get());
        if (r.pageFooterOnLastPage) closePage();
        if (r.afterPrint) r.afterPrint();
    }
};

int Report::print(QPagedPaintDevice& device) {
    device.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    Pass pass(*this, device);
    if (!pass.painter.begin(&device)) return -1;
    pass.k = device.logicalDpiY() / 96.0;
    pass.painter.setRenderHint(QPainter::Antialiasing, false);
    pass.run();
    pass.painter.end();
    return m_page;
}

QString writePdf(Report& report, const QString& fichero, int* paginas) {
    if (paginas) *paginas = 0;
    if (fichero.trimmed().isEmpty())
        return QStringLiteral("Debe indicar un nombre para el fichero");
    QSaveFile file(fichero);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("No se puede escribir el fichero '%1': %2")
            .arg(QFileInfo(fichero).absoluteFilePath(), file.errorString());
    int n = -1;
    {
        QPdfWriter writer(&file);
        writer.setResolution(300);
        writer.setCreator(QStringLiteral("Listado de Pacientes"));
        n = report.print(writer);
    }
    if (n < 0) {
        file.cancelWriting();
        return QStringLiteral("No se puede escribir el fichero '%1'").arg(fichero);
    }
    if (!file.commit())
        return QStringLiteral("No se puede escribir el fichero '%1': %2")
            .arg(QFileInfo(fichero).absoluteFilePath(), file.errorString());
    if (paginas) *paginas = n;
    return {};
}

} // namespace quill::print
