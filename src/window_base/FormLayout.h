#pragma once
// Fixed-position forms: controls sit at design positions in pixels within the client area,
// and each keeps its distance to the edges it is anchored to when the window is resized (a
// control anchored left and right grows with the window; one anchored right only moves).

#include <QFlags>
#include <QRect>
#include <QSize>

#include <vector>

class QWidget;

namespace kelvorn {

enum class Anchor { Left = 1, Top = 2, Right = 4, Bottom = 8 };
Q_DECLARE_FLAGS(Anchors, Anchor)
Q_DECLARE_OPERATORS_FOR_FLAGS(Anchors)

inline constexpr Anchors AnchorTopLeft = Anchors(int(Anchor::Left) | int(Anchor::Top));

/// The size limits of the forms count their window frame, which the toolkit does not: a
/// 4-pixel border on each side and a caption, 26 pixels for dialogs and 18 for tool windows.
inline constexpr int FrameWidthAllowance = 8;
inline constexpr int DialogFrameHeightAllowance = 34;
inline constexpr int ToolFrameHeightAllowance = 26;

class FormLayout
{
public:
    explicit FormLayout(QSize designClient) : design(designClient) {}

    /// The client size that later Place calls count their right and bottom distances from.
    void SetDesignSize(QSize client) { design = client; }
    QSize DesignSize() const { return design; }

    /// Puts control at (left, top, width, height) of the design client area and remembers its
    /// anchors; placing a control again replaces its earlier place.
    void Place(QWidget* control, const QRect& geometry, Anchors anchors = AnchorTopLeft);

    /// Moves and sizes every placed control for a client area of size client.
    void Apply(QSize client) const;

private:
    struct Entry
    {
        QWidget* control;
        QRect geometry;
        int rightGap;
        int bottomGap;
        Anchors anchors;
    };

    QRect GeometryFor(const Entry& entry, QSize client) const;

    QSize design;
    std::vector<Entry> entries;
};

} // namespace kelvorn
