#include "document/wave/WaveDocumentLinks.h"

namespace kelvorn {

namespace {
MainFormLink* installedMainFormLink = nullptr;
}

MainFormLink* GetMainFormLink()
{
    return installedMainFormLink;
}

MainFormLink* InstallMainFormLink(MainFormLink* link)
{
    MainFormLink* previous = installedMainFormLink;
    installedMainFormLink = link;
    return previous;
}

} // namespace kelvorn
