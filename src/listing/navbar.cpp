#include "listing/navbar.h"

#include <QScrollArea>
#include <QVBoxLayout>

namespace quill {

namespace {

const char* const kBarStyle = R"(
quill--NavBar { background: #dfe6ee; border: none; border-right: 1px solid #b7c3d0; }
QScrollArea#navScroll, QWidget#navContent { background: transparent; }
quill--NavGroup { background: transparent; }
QToolButton#navHeader {
    border: 1px solid #8da3bb; border-radius: 3px; padding: 4px 6px;
    color: #ffffff; font-weight: bold; text-align: left;
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #5d86b3, stop:1 #3f6894);
}
QWidget#navBody { background: #f7f9fb; border: 1px solid #c3ceda; border-top: none; }
quill--NavItem {
    border: 1px solid transparent; border-radius: 3px; padding: 3px 4px;
    color: #1d3f66; text-align: left; background: transparent;
}
quill--NavItem:hover { background: #e3edf8; border-color: #a9c2de; text-decoration: underline; }
quill--NavItem:pressed { background: #cfdff2; }
quill--NavItem:focus { background: #d4e4f7; border: 1px solid #2f6fb5; }
quill--NavItem:disabled { color: #9aa6b2; }
)";

} // namespace

NavItem::NavItem(const QString& name, QWidget* parent) : QToolButton(parent) {
    setObjectName(name);
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    setAutoRaise(true);
    setIconSize(QSize(16, 16));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
}

void NavItem::setImageIndex(int index) {
    m_imageIndex = index;
    NavBar* bar = nullptr;
    for (QWidget* w = parentWidget(); w && !bar; w = w->parentWidget())
        bar = qobject_cast<NavBar*>(w);
    if (bar && index >= 0 && index < bar->smallImages().size())
        setIcon(bar->smallImages().at(index));
    else
        setIcon(QIcon());
}

NavGroup::NavGroup(const QString& name, const QString& caption, QWidget* parent)
    : QFrame(parent), m_header(new QToolButton(this)), m_body(new QWidget(this)),
      m_bodyLayout(new QVBoxLayout(m_body)) {
    setObjectName(name);
    m_header->setObjectName(QStringLiteral("navHeader"));
    m_header->setText(caption);
    m_header->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_header->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_header->setArrowType(Qt::DownArrow);
    m_header->setFocusPolicy(Qt::NoFocus);
    m_body->setObjectName(QStringLiteral("navBody"));
    m_bodyLayout->setContentsMargins(6, 4, 6, 6);
    m_bodyLayout->setSpacing(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_header);
    layout->addWidget(m_body);
    connect(m_header, &QToolButton::clicked, this, [this] { setExpanded(!isExpanded()); });
}

QString NavGroup::caption() const {
    return m_header->text();
}

void NavGroup::setCaption(const QString& caption) {
    m_header->setText(caption);
}

NavItem* NavGroup::addItem(const QString& name, const QString& caption) {
    auto* item = new NavItem(name, m_body);
    item->setText(caption);
    m_bodyLayout->addWidget(item);
    m_items.append(item);
    return item;
}

NavItem* NavGroup::item(const QString& name) const {
    for (NavItem* i : m_items)
        if (i->objectName() == name) return i;
    return nullptr;
}

bool NavGroup::isExpanded() const {
    return !m_body->isHidden();
}

void NavGroup::setExpanded(bool expanded) {
    m_body->setVisible(expanded);
    m_header->setArrowType(expanded ? Qt::DownArrow : Qt::RightArrow);
}

NavBar::NavBar(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("nbrListado"));
    setStyleSheet(QString::fromLatin1(kBarStyle));
    setAttribute(Qt::WA_StyledBackground);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 1, 0);
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("navScroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->viewport()->setAutoFillBackground(false);
    auto* content = new QWidget(scroll);
    content->setObjectName(QStringLiteral("navContent"));
    content->setAutoFillBackground(false);
    m_layout = new QVBoxLayout(content);
    m_layout->setContentsMargins(8, 8, 8, 8);
    m_layout->setSpacing(10);
    m_layout->addStretch(1);
    scroll->setWidget(content);
    outer->addWidget(scroll);
}

NavGroup* NavBar::addGroup(const QString& name, const QString& caption) {
    auto* group = new NavGroup(name, caption, this);
    m_layout->insertWidget(m_layout->count() - 1, group);
    m_groups.append(group);
    return group;
}

void NavBar::setSmallImages(const QList<QIcon>& images) {
    m_images = images;
    for (NavGroup* g : m_groups)
        for (NavItem* i : g->links())
            i->setImageIndex(i->imageIndex());
}

} // namespace quill
