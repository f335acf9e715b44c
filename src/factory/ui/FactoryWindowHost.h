#pragma once
// What a factory window asks of the main window beyond its document's FactoryHost. The main
// window lives in the shell, which this layer may not use, so the shell implements this and
// installs it with InstallService<FactoryWindowHost>; without one the windows ask nobody.

namespace kelvorn {

class TMDIChildFact;
class TSountoryNode;

class FactoryWindowHost
{
public:
    static constexpr const char* ServiceName = "FactoryWindowHost";
    virtual ~FactoryWindowHost() = default;
    /// window was clicked: the name window follows it and typed keys go to the shortcuts again
    /// (a click into the active window changes no activation, so the window reports it).
    virtual void FactChildActivated(TMDIChildFact& window) = 0;
    /// A new factory made to run in place of node ("Create Factory for Node"), in its window.
    virtual void NewFactoryForNode(const TSountoryNode& node) = 0;
};

} // namespace kelvorn
