#include "window_base/FormLayout.h"

#include <QWidget>

#include <algorithm>

namespace kelvorn {

void FormLayout::Place(QWidget* control, const QRect& geometry, Anchors anchors)
{
    entries.erase(std::remove_if(entries.begin(), entries.end(),
                                 [control](const Entry& e) { return e.control == control; }),
                  entries.end());
    Entry entry{control, geometry, design.width() - geometry.x() - geometry.width(),
                design.height() - geometry.y() - geometry.height(), anchors};
    entries.push_back(entry);
    control->setGeometry(
        GeometryFor(entry, control->parentWidget() ? control->parentWidget()->size() : design));
}

void FormLayout::Apply(QSize client) const
{
    for (const Entry& entry : entries)
        entry.control->setGeometry(GeometryFor(entry, client));
}

QRect FormLayout::GeometryFor(const Entry& entry, QSize client) const
{
    QRect r = entry.geometry;
    if (entry.anchors.testFlag(Anchor::Right)) {
        int right = client.width() - entry.rightGap;
        if (entry.anchors.testFlag(Anchor::Left))
            r.setWidth(std::max(0, right - r.x()));
        else
            r.moveLeft(right - r.width());
    }
    if (entry.anchors.testFlag(Anchor::Bottom)) {
        int bottom = client.height() - entry.bottomGap;
        if (entry.anchors.testFlag(Anchor::Top))
            r.setHeight(std::max(0, bottom - r.y()));
        else
            r.moveTop(bottom - r.height());
    }
    return r;
}

} // namespace kelvorn
