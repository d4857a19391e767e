#pragma once

// Side navigation bar: titled groups of clickable items, each with a small image, a tag and
// enabled/visible states. It stands in for the grouped navigation bar of the listing window.

#include <QFrame>
#include <QIcon>
#include <QList>
#include <QToolButton>

class QVBoxLayout;

namespace quill {

class NavItem : public QToolButton {
    Q_OBJECT
public:
    explicit NavItem(const QString& name, QWidget* parent = nullptr);

    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }
    int imageIndex() const { return m_imageIndex; }
    // Takes the picture at `index` of the bar's image list (none when out of range).
    void setImageIndex(int index);

private:
    int m_tag = 0;
    int m_imageIndex = -1;
};

class NavGroup : public QFrame {
    Q_OBJECT
public:
    NavGroup(const QString& name, const QString& caption, QWidget* parent = nullptr);

    QString caption() const;
    void setCaption(const QString& caption);
    NavItem* addItem(const QString& name, const QString& caption);
    // The items in display order.
    const QList<NavItem*>& links() const { return m_items; }
    NavItem* item(const QString& name) const;
    bool isExpanded() const;
    void setExpanded(bool expanded);

private:
    QToolButton* m_header;
    QWidget* m_body;
    QVBoxLayout* m_bodyLayout;
    QList<NavItem*> m_items;
};

class NavBar : public QFrame {
    Q_OBJECT
public:
    explicit NavBar(QWidget* parent = nullptr);

    NavGroup* addGroup(const QString& name, const QString& caption);
    const QList<NavGroup*>& groups() const { return m_groups; }
    // Small images by index; items pick theirs with NavItem::setImageIndex.
    void setSmallImages(const QList<QIcon>& images);
    const QList<QIcon>& smallImages() const { return m_images; }

private:
    QVBoxLayout* m_layout;
    QList<NavGroup*> m_groups;
    QList<QIcon> m_images;
};

} // namespace quill
