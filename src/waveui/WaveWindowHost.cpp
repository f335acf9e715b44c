#include "waveui/WaveWindowHost.h"

namespace kelvorn {

namespace {
WaveWindowHost* installedHost = nullptr;
}

WaveWindowHost* GetWaveWindowHost()
{
    return installedHost;
}

WaveWindowHost* InstallWaveWindowHost(WaveWindowHost* host)
{
    WaveWindowHost* previous = installedHost;
    installedHost = host;
    return previous;
}

} // namespace kelvorn
