#pragma once

// A small banded report engine: bands of items painted top to bottom on any paged device
// (QPdfWriter, QPrinter, the preview's printer), page by page as they are reached; nothing of a
// finished page is kept, so memory does not grow with the number of pages.
//
// Geometry is in report units of 1/96 inch on an A4 portrait page (kPageWidth x kPageHeight);
// fonts are in points. A report has at most one band of each page-level kind (title, page
// header, page footer, summary), one detail band walked once per data row, group headers keyed
// on the row, sub-details walked per printed detail row, and child bands under any band.
//
// The engine reads no data itself: the caller says how many rows there are and fills the items
// in each band's before-print hook (which may also refuse the band for this row).

#include <QColor>
#include <QFont>
#include <QLineF>
#include <QRectF>
#include <QString>
#include <QVariant>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

class QPagedPaintDevice;
class QPainter;

namespace quill::print {

// A4 portrait in report units (1/96 inch) and the margins every report keeps.
inline constexpr qreal kPageWidth = 793.7;
inline constexpr qreal kPageHeight = 1122.5;
inline constexpr qreal kMargin = 38.0;
inline constexpr qreal kBodyWidth = kPageWidth - 2 * kMargin;

enum class ItemKind { Text, Line, Frame, Custom };

struct Item {
    ItemKind kind = ItemKind::Text;
    QRectF rect; // within the band (a line goes from the top-left to the bottom-right corner)
    bool visible = true;

    // Text: fixed text, or one computed when painted (page number, running totals).
    QString text;
    std::function<QString()> dynamicText;
    QFont font;
    int alignment = Qt::AlignLeft | Qt::AlignVCenter;
    QColor color = Qt::black;
    bool wordWrap = false; // with a stretching band, the band grows to the wrapped text

    // Mask applied by setValue(): how a value shows (dates, amounts, blanks for empty values).
    std::function<QString(const QVariant&)> mask;
    void setValue(const QVariant& v) { text = mask ? mask(v) : v.toString(); }

    // Line and frame.
    QColor penColor = Qt::black;
    qreal penWidth = 1.0; // units
    QColor fill;          // invalid: no fill

    // Custom painting in device coordinates (charts).
    std::function<void(QPainter&, const QRectF& deviceRect)> paint;
};

class Band {
public:
    explicit Band(qreal alto = 0) : height(alto) {}

    qreal height;
    QColor color;              // background; invalid: none
    bool enabled = true;       // a disabled band never prints (nor its child)
    bool stretch = false;      // grows to fit its word-wrapped texts
    bool newPageAfter = false; // the next band starts a new page

    // Called before the band prints, after its row is current; false skips it this time.
    std::function<bool()> beforePrint;
    // Called once the band has been painted (running totals add up here, so a row moved to the
    // next page is not counted in this page's footer).
    std::function<void()> afterPrint;

    // Items, addressed by the references these return (they stay valid).
    Item& addText(const QRectF& rect, const QString& text, const QFont& font,
                  int alignment = Qt::AlignLeft | Qt::AlignVCenter);
    Item& addLine(const QLineF& line, const QColor& pen = Qt::black, qreal width = 1.0);
    Item& addFrame(const QRectF& rect, const QColor& pen = Qt::black, qreal width = 1.0,
                   const QColor& fill = QColor());
    Item& addCustom(const QRectF& rect, std::function<void(QPainter&, const QRectF&)> paint);
    std::deque<Item>& items() { return m_items; }
    const std::deque<Item>& items() const { return m_items; }

    // The band printed right after this one whenever this one prints.
    Band& addChild(qreal height);
    Band* child() const { return m_child.get(); }

private:
    std::deque<Item> m_items;
    std::unique_ptr<Band> m_child;
};

// A band printed for each row of a list that belongs to the current detail row.
struct SubDetail {
    std::function<int()> rowCount; // rows for the current detail row
    std::unique_ptr<Band> header;  // before the first row, when there is one (may be null)
    std::unique_ptr<Band> band;
    bool newPageAfter = false; // after the last row (or after the header when there is none)
};

// A header printed before the first detail row and whenever the key of the row changes.
struct Group {
    std::function<QVariant(int row)> key;
    std::unique_ptr<Band> header;
};

class Report {
public:
    Report();
    ~Report();
    Report(const Report&) = delete;
    Report& operator=(const Report&) = delete;

    // Page-level bands (created on first use).
    Band& title();
    Band& pageHeader();
    Band& pageFooter();
    Band& summary();
    Band& detail();
    Group& addGroup(std::function<QVariant(int row)> key, qreal headerHeight);
    SubDetail& addSubDetail(qreal height);

    bool pageHeaderOnFirstPage = false;
    bool pageFooterOnLastPage = true;

    // Number of detail rows (the data set); the hooks read currentRow().
    int rowCount = 0;
    int currentRow() const { return m_row; }
    int currentSubRow() const { return m_subRow; }
    int pageNumber() const { return m_page; }

    // Called at the start and at the end of every printing pass (previews print more than once).
    std::function<void()> beforePrint;
    std::function<void()> afterPrint;

    // Prints every page on the device (A4 portrait, no device margins). Returns the pages
    // printed, or -1 when the device cannot be painted on.
    int print(QPagedPaintDevice& device);

private:
    struct Pass;
    std::unique_ptr<Band> m_title, m_pageHeader, m_pageFooter, m_summary, m_detail;
    std::vector<Group> m_groups;
    std::vector<SubDetail> m_subDetails;
    int m_row = -1;
    int m_subRow = -1;
    int m_page = 0;
};

// Writes the report as a PDF file: to a temporary file first, renamed only when complete, so a
// failure leaves no partial file behind. Empty text, or why not (Spanish); `paginas` gets the
// pages written.
QString writePdf(Report& report, const QString& fichero, int* paginas = nullptr);

} // namespace quill::print
