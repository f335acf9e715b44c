#pragma once
// What the main window's factory lists and its action update need of a factory window: the
// factory window implements both beside the document-window base.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kelvorn {

/// One entry of a factory node list: the factory's name, "." and the node's name, with the
/// node as the entry's object (not owned, type known to the factory code only).
struct SountoryNodeChoice
{
    std::string caption;
    const void* node = nullptr;
};

/// What the main window's factory lists need of a factory document; the factory window
/// answers it.
class SountoryListing
{
public:
    virtual ~SountoryListing() = default;
    /// The factory's kind: 0 free, 1 loop and mix, 2 create a wave window, 3 change one.
    virtual uint8_t GetSountoryKind() const = 0;
    /// Appends (node name, node) for every node of nodeKind, in the factory's list order.
    virtual void ListNodes(uint8_t nodeKind,
                           std::vector<std::pair<std::string, const void*>>& nodes) const = 0;
};

/// A factory window's editing state, which the action update shows.
class SountoryWindowState
{
public:
    virtual ~SountoryWindowState() = default;
    static constexpr uint8_t ModeDrag = 0;
    static constexpr uint8_t ModeConnect = 1;
    /// ModeDrag or ModeConnect.
    virtual uint8_t GetEditMode() const = 0;
    virtual bool GetShowHints() const = 0;
};

} // namespace kelvorn
