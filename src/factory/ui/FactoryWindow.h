#pragma once
// The document window of a sound factory: the factory area with its pins and nodes painted into
// a backing image and scrollable both ways, the editor that the mouse and the pop-up menu drive
// (TFactoryEditor), the hint window over pins, and the immediate redraw of a node whose run
// state changes while a run keeps the event loop waiting.
//
// The mouse mode, the hint switch and the scroll positions live in the factory's view record,
// so that a save, a project copy and a duplicate keep them without asking the window.

#include "factory/core/FactoryEditor.h"
#include "factory/ui/FactoryImage.h"
#include "window_base/ChildKelvorn.h"
#include "window_base/SountoryListing.h"

#include <array>
#include <memory>

class QLabel;
class QMenu;
class QString;
class QAction;
class QScrollBar;

namespace kelvorn {

class TMDIChildFact : public TMDIChildKelvorn,
                      public SountoryWindowState,
                      public SountoryListing,
                      private TFactoryEditorView
{
    Q_OBJECT

public:
    /// The colour around the factory area (0x00BBGGRR).
    static constexpr uint32_t Background = 0xF0F0F0;

    /// Takes the factory (not null) and links window and document both ways.
    TMDIChildFact(QWidget* owner, std::unique_ptr<TUnitSountory> unit);
    ~TMDIChildFact() override;

    TUnitSountory& GetUnitSountory() const;
    /// Shows unit in place of the factory, which goes (a revert read a fresh one); the editor
    /// forgets every element of the old one.
    void SetUnitSountory(std::unique_ptr<TUnitSountory> unit);
    TFactoryEditor& Editor() { return *editor; }

    // ---- The main window's factory commands ----

    uint8_t GetEditMode() const override { return editor->GetMode(); }
    bool GetShowHints() const override { return editor->GetShowHints(); }
    /// Mode Drag or Mode Connect; marks the factory modified.
    void SetEditMode(uint8_t mode) { editor->SetMode(mode); }
    /// Show Hints: marks the factory modified and hides the hint shown.
    void ToggleShowHints() { editor->ToggleShowHints(); }

    // ---- The main window's factory lists ----

    uint8_t GetSountoryKind() const override;
    void ListNodes(uint8_t nodeKind,
                   std::vector<std::pair<std::string, const void*>>& nodes) const override;

    // ---- Painting ----

    /// Paints the factory at the scroll positions into the backing image and sets the scroll
    /// bars from the area; the paint event runs it when the image is stale.
    void PaintFactory();
    /// Draws one node into the image and shows it on the screen at once (during a run).
    void RedrawNode(const TSountoryNode& node);
    /// Paints the whole factory again soon (after a validation or a run).
    void Redraw() { Invalidate(); }
    const QImage& Image() const { return image.Image(); }
    /// The client area: the mouse and the paint events arrive there.
    QWidget* FactoryViewport() const;
    QScrollBar* HorzScrollBar() const;
    QScrollBar* VertScrollBar() const;
    /// The hint window over pins.
    QLabel* HintWindow() const { return hintWindow; }

    // ---- The pop-up menu ----

    QMenu* PopupMenu() const { return popup; }
    QAction* MenuAction(FactoryMenuItem item) const { return menuActions[size_t(item)]; }
    /// Sets the items for what lies under the drag point (the pop-up's own preparation).
    void PreparePopup();
    /// The pop-up at a client point, as a right click opens it.
    void PopupAt(QPoint point);

    /// A click into the window: the main window follows it as it follows an activation.
    void FormClick();

    void UpdateCaption() override { TMDIChildKelvorn::UpdateCaption(); }
    void RefreshCaption(const std::string& oldName) override
    {
        TMDIChildKelvorn::RefreshCaption(oldName);
    }
    void SetDrawCursor() override { TMDIChildKelvorn::SetDrawCursor(); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    class FactoryView;

    // ---- TFactoryEditorView ----
    void Invalidate() override;
    void SetCursor(EditorCursor cursor) override;
    void SetDragCursor(EditorCursor cursor) override;
    void EndDragCursor() override;
    void ShowHint(const std::string& text, PixelPoint windowPoint) override;
    void HideHint() override;
    bool EditFactoryProperties(TUnitSountory& factory) override;
    bool EditPinProperties(TSountoryTouchable& pin) override;
    bool EditNodeProperties(TSountoryNode& node, bool& fit) override;
    bool EditNodeValues(TSountoryNode& node, bool types) override;
    bool EditOutputValues(TUnitSountory& factory, bool types) override;
    void NewFactoryForNode(const TSountoryNode& node) override;
    void ShowHelp(int32_t context) override;

    void BuildPopup();
    void ScrollTo(int horizontal, int vertical);

    FactoryView* view = nullptr;
    std::unique_ptr<TFactoryEditor> editor;
    TFactoryImage image;
    bool stale = true;
    QLabel* hintWindow = nullptr;
    QMenu* popup = nullptr;
    std::array<QAction*, FactoryMenuItemCount> menuActions{};
};

/// The factory of window, or null for a window of another kind (or none).
TUnitSountory* UnitSountoryOf(const TMDIChildKelvorn* window);

/// The widest a hint's text may be; a longer line wraps there.
constexpr int HintTextWidth = 200;

/// Shows text in the hint window, sized for it: as wide as its widest line, at most
/// HintTextWidth plus the window's margins, and as high as its lines wrapped at that width.
void SetHintText(QLabel& hint, const QString& text);

} // namespace kelvorn
